#include "core/neighbour_table.h"

#include <algorithm>
#include <cmath>

#include "core/factorise.h"

namespace core {
std::uint64_t wholeRoot(uint128 n)
{
    auto root = static_cast<uint128>(std::sqrt(static_cast<double>(n)));
    while (root * root > n)
        --root;
    while ((root + 1) * (root + 1) <= n)
        ++root;
    return static_cast<std::uint64_t>(root);
}

namespace {

// The trial divisors may end a few places past the bound, the rounded root.
constexpr std::uint64_t kPastTheRoot = 64;

}  // namespace

NeighbourTable::NeighbourTable(uint128 n) : n_(n), limit_(wholeRoot(n) + kPastTheRoot) {}

NeighbourTable::Neighbour *NeighbourTable::takeOpen(std::uint64_t count, std::uint64_t &r)
{
    while (neighbours_.size() < std::min<std::uint64_t>(count, wanted_))
        neighbours_.push_back(std::make_unique<Neighbour>());
    for (r = firstOpen_; r < count && r < neighbours_.size(); ++r) {
        if (neighbours_[r]->state == Neighbour::State::Open) {
            firstOpen_ = r + 1;
            neighbours_[r]->state = Neighbour::State::Working;
            return neighbours_[r].get();
        }
    }
    firstOpen_ = std::max<std::uint64_t>(firstOpen_, std::min<std::uint64_t>(count, neighbours_.size()));
    return nullptr;
}

// Outside the lock; a stopped factorisation leaves the neighbour open again.
void NeighbourTable::factoriseTaken(Neighbour &neighbour, std::uint64_t r, const std::stop_token &stop)
{
    // n - r is never 0 where it matters: a remainder r is below d <= sqrt(n).
    const auto factors = r < n_ ? factorise(n_ - r, stop) : std::vector<PrimePower>{};
    std::vector<std::uint64_t> divisors;
    if (factors)
        divisors = divisorsUpTo(*factors, limit_);
    {
        std::lock_guard lock(mutex_);
        if (factors) {
            neighbour.divisors = std::move(divisors);
            neighbour.state = Neighbour::State::Done;
        } else {
            neighbour.state = Neighbour::State::Open;
            firstOpen_ = std::min(firstOpen_, r);
        }
    }
    changed_.notify_all();
}

bool NeighbourTable::allDone(std::uint64_t count) const
{
    if (neighbours_.size() < count)
        return false;
    return std::all_of(neighbours_.begin(), neighbours_.begin() + static_cast<std::ptrdiff_t>(count),
                       [](const auto &neighbour) { return neighbour->state == Neighbour::State::Done; });
}

bool NeighbourTable::anyOpen(std::uint64_t count) const
{
    for (std::uint64_t r = firstOpen_; r < count && r < neighbours_.size(); ++r)
        if (neighbours_[r]->state == Neighbour::State::Open)
            return true;
    return false;
}

bool NeighbourTable::ensure(std::uint64_t count, const std::stop_token &stop)
{
    std::unique_lock lock(mutex_);
    wanted_ = std::max(wanted_, count);
    for (;;) {
        if (stop.stop_requested())
            return false;
        std::uint64_t r = 0;
        if (Neighbour *open = takeOpen(count, r)) {
            lock.unlock();
            factoriseTaken(*open, r, stop);
            lock.lock();
            continue;
        }
        if (allDone(count))
            return true;
        // Others are still factorising some of them.
        changed_.wait(lock, stop, [&] { return allDone(count) || anyOpen(count); });
    }
}

bool NeighbourTable::helpOnce(const std::stop_token &stop)
{
    std::unique_lock lock(mutex_);
    std::uint64_t r = 0;
    Neighbour *open = takeOpen(wanted_, r);
    if (open == nullptr)
        return false;
    lock.unlock();
    factoriseTaken(*open, r, stop);
    return true;
}

std::uint64_t NeighbourTable::taken() const
{
    std::lock_guard lock(mutex_);
    return firstOpen_;
}

std::vector<const std::vector<std::uint64_t> *> NeighbourTable::divisorLists(std::uint64_t count) const
{
    std::lock_guard lock(mutex_);
    std::vector<const std::vector<std::uint64_t> *> lists;
    lists.reserve(count);
    for (std::uint64_t r = 0; r < count; ++r)
        lists.push_back(&neighbours_.at(r)->divisors);
    return lists;
}

namespace {

constexpr std::size_t kKeptTables = 4;

std::mutex tablesMutex;
std::vector<std::shared_ptr<NeighbourTable>> keptTables;  // most recent last

}  // namespace

std::shared_ptr<NeighbourTable> neighbourTableOf(uint128 n)
{
    std::lock_guard lock(tablesMutex);
    auto found = std::find_if(keptTables.begin(), keptTables.end(), [n](const auto &table) { return table->n() == n; });
    std::shared_ptr<NeighbourTable> table;
    if (found != keptTables.end()) {
        table = *found;
        keptTables.erase(found);
    } else {
        table = std::make_shared<NeighbourTable>(n);
        if (keptTables.size() == kKeptTables)
            keptTables.erase(keptTables.begin());
    }
    keptTables.push_back(table);
    return table;
}

void forgetNeighbourTables()
{
    std::lock_guard lock(tablesMutex);
    keptTables.clear();
}

}  // namespace core
