#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "numeric/uint128.h"
#include "primes/sieved_candidates.h"

namespace primes {

// The primes among the sieved candidates above a start, up to a limit, in
// increasing order. Worker threads take the candidates in small batches and
// prove them, at most a few batches ahead of the reader, who takes the
// batches' primes in order. With no workers the reader proves each batch
// itself when it needs it.
class ProofPool {
public:
    // Candidates per batch, and batches each worker may run ahead of the
    // reader: above 10^25 about five primes a batch, so that a short or
    // stopped list leaves a few dozen primes proven for nothing at most.
    static constexpr std::size_t kBatchCandidates = 16;
    static constexpr std::uint64_t kLookAheadPerWorker = 2;

    ProofPool(uint128 after, uint128 limit, unsigned workers);
    ~ProofPool();  // stops the workers and joins them
    ProofPool(const ProofPool &) = delete;
    ProofPool &operator=(const ProofPool &) = delete;

    // The next prime, or 0 once none is left up to the limit.
    uint128 next();

private:
    struct Batch {
        std::vector<uint128> primes;
        bool last = false;  // no candidate follows it
    };

    Batch takeCandidates();  // with mutex_ held, or with no workers
    static void proveAll(Batch &batch);
    void work(const std::stop_token &stop);
    Batch nextBatch();

    const uint128 limit_;
    const std::uint64_t lookAhead_;
    SievedCandidates candidates_;          // guarded by mutex_
    std::uint64_t batchesTaken_ = 0;       // by workers; guarded by mutex_
    std::uint64_t batchesRead_ = 0;        // by the reader; guarded by mutex_
    bool lastTaken_ = false;               // guarded by mutex_
    std::map<std::uint64_t, Batch> done_;  // guarded by mutex_
    std::mutex mutex_;
    std::condition_variable_any changed_;
    Batch reading_;
    std::size_t readAt_ = 0;
    std::vector<std::jthread> workers_;  // last: joined before the rest goes
};

}  // namespace primes
