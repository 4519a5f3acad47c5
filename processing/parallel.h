// parallel.h: splits a loop over rows between the machine's cores.
//
// Used only by operations whose result does not depend on the order in
// which rows are visited; small images run on the calling thread.
#ifndef MIRLAN_PARALLEL_H
#define MIRLAN_PARALLEL_H

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

namespace mirlan {

// Calls body(first, last) on disjoint ranges that cover [0, count). Work below
// min_per_thread items stays on the calling thread.
template <class Body>
void ParallelFor(size_t count, size_t min_per_thread, Body body)
{
    size_t cores = std::max(1u, std::thread::hardware_concurrency());
    size_t threads = std::min(cores, min_per_thread ? count / min_per_thread : cores);
    if (threads <= 1) {
        if (count)
            body(size_t(0), count);
        return;
    }
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    size_t chunk = count / threads;
    for (size_t t = 1; t < threads; ++t) {
        size_t first = t * chunk, last = (t + 1 == threads) ? count : first + chunk;
        pool.emplace_back([=] { body(first, last); });
    }
    body(size_t(0), chunk);
    for (auto &thread : pool)
        thread.join();
}

}  // namespace mirlan

#endif
