#include "primes/proof_pool.h"

#include <csignal>
#include <pthread.h>

#include "core/flint_thread.h"
#include "primes/prime_proof.h"

namespace primes {

namespace {

// Signals go to the threads that handle them (Ctrl+C ends a write of the
// main thread): workers start with every signal blocked.
class SignalsBlocked {
public:
    SignalsBlocked()
    {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsBlocked(const SignalsBlocked &) = delete;
    SignalsBlocked &operator=(const SignalsBlocked &) = delete;

private:
    sigset_t previous_;
};

}  // namespace

ProofPool::ProofPool(uint128 after, uint128 limit, unsigned workers)
    : limit_(limit), lookAhead_(kLookAheadPerWorker * workers), candidates_(after)
{
    const SignalsBlocked blocked;
    for (unsigned i = 0; i < workers; ++i)
        workers_.emplace_back([this](const std::stop_token &stop) {
            const core::FlintThreadCleanup cleanup;
            work(stop);
        });
}

ProofPool::~ProofPool()
{
    for (auto &worker : workers_)
        worker.request_stop();
    changed_.notify_all();
    workers_.clear();
}

ProofPool::Batch ProofPool::takeCandidates()
{
    Batch batch;
    while (batch.primes.size() < kBatchCandidates) {
        const uint128 candidate = candidates_.next(limit_);
        if (candidate == 0) {
            batch.last = true;
            break;
        }
        batch.primes.push_back(candidate);
    }
    return batch;
}

// Keeps the candidates that are proven prime, in their order.
void ProofPool::proveAll(Batch &batch)
{
    std::erase_if(batch.primes, [](uint128 candidate) { return !isProvenPrime(candidate); });
}

void ProofPool::work(const std::stop_token &stop)
{
    for (;;) {
        std::unique_lock lock(mutex_);
        // Not too far ahead of the reader, who may stop at any prime.
        if (!changed_.wait(lock, stop, [this] { return lastTaken_ || batchesTaken_ < batchesRead_ + lookAhead_; }) ||
            lastTaken_)
            return;
        const std::uint64_t index = batchesTaken_++;
        Batch batch = takeCandidates();
        lastTaken_ = batch.last;
        lock.unlock();
        proveAll(batch);
        lock.lock();
        done_.emplace(index, std::move(batch));
        lock.unlock();
        changed_.notify_all();
    }
}

ProofPool::Batch ProofPool::nextBatch()
{
    if (workers_.empty()) {
        Batch batch = takeCandidates();
        proveAll(batch);
        return batch;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_.contains(batchesRead_); });
    Batch batch = std::move(done_.extract(batchesRead_++).mapped());
    lock.unlock();
    changed_.notify_all();
    return batch;
}

uint128 ProofPool::next()
{
    while (readAt_ == reading_.primes.size()) {
        if (reading_.last)
            return 0;
        reading_ = nextBatch();
        readAt_ = 0;
    }
    return reading_.primes[readAt_++];
}

}  // namespace primes
