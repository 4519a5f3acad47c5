// parallel.h: splits a loop over rows between the machine's cores.
//
// Used only by operations whose result does not depend on the order in
// which rows are visited; small images run on the calling thread. Short of
// memory, a thread that cannot be started leaves its rows to the calling
// thread, and an exception in a body (std::bad_alloc) reaches the caller
// once every thread has ended, instead of ending the program.
#ifndef MIRLAN_PARALLEL_H
#define MIRLAN_PARALLEL_H

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
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
    const size_t chunk = count / threads;
    std::vector<std::exception_ptr> failures(threads);
    std::vector<std::thread> pool;
    size_t started = 1;
    try {
        pool.reserve(threads - 1);
        for (; started < threads; ++started) {
            const size_t first = started * chunk, last = (started + 1 == threads) ? count : first + chunk;
            std::exception_ptr *failure = &failures[started];
            pool.emplace_back([=] {
                try {
                    body(first, last);
                } catch (...) {
                    *failure = std::current_exception();
                }
            });
        }
    } catch (const std::exception &) {
        // No memory for another thread: the rest runs here.
    }
    try {
        body(size_t(0), chunk);
        if (started < threads)
            body(started * chunk, count);
    } catch (...) {
        failures[0] = std::current_exception();
    }
    for (auto &thread : pool)
        thread.join();
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

}  // namespace mirlan

#endif
