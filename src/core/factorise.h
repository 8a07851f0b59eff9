#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <vector>

#include "numeric/uint128.h"

// Exact prime factorisation of whole numbers below 2^128 (the number type
// needs 2^96), each prime proven, and the divisors built from it.
namespace core {

struct PrimePower {
    uint128 prime;
    int exponent;

    bool operator==(const PrimePower &) const = default;
};

// The prime factorisation of m >= 1 (empty for 1), primes ascending, each
// proven prime. Empty optional when `stop` was requested before the end;
// `stop` is looked at between pieces of work of at most a few milliseconds.
// Safe to call from several threads at once.
std::optional<std::vector<PrimePower>> factorise(uint128 m, const std::stop_token &stop = {});

// The divisors of the number with these factors that are at most `limit`, ascending.
std::vector<std::uint64_t> divisorsUpTo(const std::vector<PrimePower> &factors, std::uint64_t limit);

}  // namespace core
