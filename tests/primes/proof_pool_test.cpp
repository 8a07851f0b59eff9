// The proofs' worker threads: the same primes in the same order with any
// number of workers, an end at the limit, and readers that stop early.

#include <gtest/gtest.h>

#include <vector>

#include "core/stretch_pool.h"
#include "numeric/decimal_num.h"
#include "primes/prime_source.h"

namespace {

const uint128 kStart = DecimalNum::fromText("1000000000000000000000000000").coefficient();  // 10^27

std::vector<uint128> take(primes::ProofPool &pool, std::size_t count)
{
    std::vector<uint128> taken;
    for (uint128 p = pool.next(); p != 0 && taken.size() < count; p = pool.next())
        taken.push_back(p);
    return taken;
}

TEST(ProofPool, SamePrimesWithAnyNumberOfWorkers)
{
    primes::ProofPool alone(kStart, primes::kLimit, 0);
    const std::vector<uint128> expected = take(alone, 200);
    ASSERT_EQ(expected.size(), 200u);
    ASSERT_TRUE(std::is_sorted(expected.begin(), expected.end()) && expected.front() > kStart);
    for (const unsigned workers : {1u, 2u, 8u}) {
        primes::ProofPool pool(kStart, primes::kLimit, workers);
        EXPECT_EQ(take(pool, 200), expected) << workers << " workers";
    }
    // The prime source takes its workers from the thread count.
    for (const unsigned threads : {1u, 2u, 8u}) {
        core::setParallelSettings({.threads = threads});
        primes::PrimeSource source(kStart);
        std::vector<uint128> yielded;
        while (yielded.size() < expected.size())
            yielded.push_back(source.next());
        EXPECT_EQ(yielded, expected) << threads << " threads";
    }
    core::setParallelSettings({});
}

// The last primes below the limit, then 0 for good.
TEST(ProofPool, EndsAtTheLimit)
{
    primes::ProofPool alone(kStart, kStart + 3000, 0);
    const std::vector<uint128> expected = take(alone, 1000);
    ASSERT_TRUE(expected.size() > 20 && expected.back() <= kStart + 3000);
    for (const unsigned workers : {2u, 8u}) {
        primes::ProofPool pool(kStart, kStart + 3000, workers);
        EXPECT_EQ(take(pool, 1000), expected) << workers << " workers";
        EXPECT_TRUE(pool.next() == 0 && pool.next() == 0);
    }
}

// Readers that take a few primes, or none, and leave: the workers stop and
// are joined while they still have batches to prove.
TEST(ProofPool, ReaderLeavesEarly)
{
    for (const std::size_t count : {0u, 1u, 3u, 40u}) {
        primes::ProofPool pool(kStart, primes::kLimit, 8);
        EXPECT_EQ(take(pool, count).size(), count);
    }
}

}  // namespace
