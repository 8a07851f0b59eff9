#include "generator/path_exists.h"

#include <QFileInfo>

bool PathExists(const QString &path) { return QFileInfo::exists(path); }
