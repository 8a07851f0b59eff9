#pragma once

namespace core {

// FLINT keeps caches per thread (its tables of small primes grow to megabytes
// while numbers are factorised or proven) and frees them only when that thread
// calls flint_cleanup(). A thread that may call FLINT and then ends holds one
// of these for its whole life, so that nothing of it outlives the thread.
class FlintThreadCleanup {
public:
    FlintThreadCleanup() = default;
    ~FlintThreadCleanup();
    FlintThreadCleanup(const FlintThreadCleanup &) = delete;
    FlintThreadCleanup &operator=(const FlintThreadCleanup &) = delete;
};

}  // namespace core
