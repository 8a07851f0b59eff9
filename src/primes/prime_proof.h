#pragma once

#include "numeric/uint128.h"

namespace primes {

// True only when n is proven prime. A number that passes probable-prime
// tests but cannot be proven is refused. Safe to call from several threads;
// a thread other than the main one calls flint_cleanup() before it ends
// (FlintThreadCleanup).
bool isProvenPrime(uint128 n);

// Frees the tables FLINT keeps for the thread it lives on, when the thread's
// work is done.
class FlintThreadCleanup {
public:
    FlintThreadCleanup() = default;
    ~FlintThreadCleanup();
    FlintThreadCleanup(const FlintThreadCleanup &) = delete;
    FlintThreadCleanup &operator=(const FlintThreadCleanup &) = delete;
};

}  // namespace primes
