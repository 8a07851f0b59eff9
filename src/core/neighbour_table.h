#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <vector>

#include "numeric/uint128.h"

namespace core {

// The whole square root of n, n below 2^128.
std::uint64_t wholeRoot(uint128 n);

// The divisors of n - r, r = 0, 1, 2, ..., up to the square root of n (a
// little beyond, for the divisor sequences that end past it), factorised on
// demand and kept for every loop over n. Threads that need the same
// neighbours share the factorisations: each takes the next one nobody has
// taken yet.
class NeighbourTable {
public:
    explicit NeighbourTable(uint128 n);

    uint128 n() const { return n_; }
    std::uint64_t divisorLimit() const { return limit_; }

    // Makes the divisors of n - r available for every r < count. False when
    // `stop` was requested first.
    bool ensure(std::uint64_t count, const std::stop_token &stop);
    // Factorises one neighbour that a caller of ensure() waits for; false
    // when there is none to take.
    bool helpOnce(const std::stop_token &stop);
    // The neighbours factorised so far, or being factorised.
    std::uint64_t taken() const;

    // The divisor lists of n - r for r < count, ascending, after ensure(count).
    std::vector<const std::vector<std::uint64_t> *> divisorLists(std::uint64_t count) const;

private:
    struct Neighbour {
        enum class State { Open, Working, Done } state = State::Open;
        std::vector<std::uint64_t> divisors;
    };

    // Under the lock: the first neighbour below `count` that nobody has taken.
    Neighbour *takeOpen(std::uint64_t count, std::uint64_t &r);
    void factoriseTaken(Neighbour &neighbour, std::uint64_t r, const std::stop_token &stop);
    bool allDone(std::uint64_t count) const;
    bool anyOpen(std::uint64_t count) const;

    const uint128 n_;
    const std::uint64_t limit_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<std::unique_ptr<Neighbour>> neighbours_;
    std::uint64_t wanted_ = 0;     // the largest count asked for by ensure()
    std::uint64_t firstOpen_ = 0;  // no neighbour below it is open
};

// The table of n, shared by the loops of one Analyze (the factor search,
// the divisor pass and the divisor walk all go over n). A few recent tables
// are kept.
std::shared_ptr<NeighbourTable> neighbourTableOf(uint128 n);
// Drops the kept tables, so that the next loop factorises afresh.
void forgetNeighbourTables();

}  // namespace core
