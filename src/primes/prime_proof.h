#pragma once

#include "numeric/uint128.h"

namespace primes {

// True only when n is proven prime. A number that passes probable-prime
// tests but cannot be proven is refused. Safe to call from several threads;
// a worker thread that calls it holds a core::FlintThreadCleanup.
bool isProvenPrime(uint128 n);

}  // namespace primes
