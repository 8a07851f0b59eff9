#include "core/flint_thread.h"

#include <flint/flint.h>

namespace core {

FlintThreadCleanup::~FlintThreadCleanup() { flint_cleanup(); }

}  // namespace core
