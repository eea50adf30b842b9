#pragma once
// Independent pieces of work on several threads, their results handed back on the calling
// thread in the pieces' own order, as soon as a piece and every one before it is done.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace nimbrel::tool {

// The machine's cores, at least one.
unsigned DefaultJobs();

template <class Result> struct OrderedWork {
    std::size_t count = 0;
    unsigned jobs = 1;
    std::function<Result(std::size_t index)> work;           // on a worker thread
    std::function<void(std::size_t index, Result&)> deliver; // on the calling thread, in order
    // Asked on the calling thread now and then; once true, no further piece starts.
    std::function<bool()> stopRequested = [] { return false; };
    // Called on the calling thread now and then (up to a hundred times a second) while work
    // is under way.
    std::function<void(std::size_t delivered)> tick = [](std::size_t) {};
};

// Runs the pieces; answers how many were delivered (all, unless a stop came first). An
// exception of a piece stops the others from starting and is raised here once the
// running ones are done.
template <class Result> std::size_t RunOrdered(const OrderedWork<Result>& w) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> results(w.count);
    std::size_t next = 0;    // the next piece to start
    std::size_t running = 0; // pieces started and not yet done
    bool stopping = false;   // no piece starts any more
    std::exception_ptr failure;

    auto worker = [&] {
        for (;;) {
            std::size_t index = 0;
            {
                std::lock_guard lock(mutex);
                if (stopping || next == w.count)
                    return;
                index = next++;
                ++running;
            }
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(w.work(index));
            } catch (...) {
                error = std::current_exception();
            }
            std::lock_guard lock(mutex);
            --running;
            if (error) {
                if (!failure)
                    failure = error;
                stopping = true;
            } else {
                results[index] = std::move(result);
            }
            // The deliverer looks in now and then by itself; it is woken only at the end, so
            // that many small pieces do not cost two thread switches each.
            if (running == 0 && (stopping || next == w.count))
                changed.notify_all();
        }
    };

    const std::size_t wanted =
        std::min<std::size_t>(std::max(1u, w.jobs), std::max<std::size_t>(1, w.count));
    std::vector<std::jthread> pool;
    pool.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i)
        pool.emplace_back(worker);
    // Leaving early (a failing delivery) lets no further piece start before the pool joins.
    struct StopOnExit {
        std::mutex& mutex;
        bool& stopping;
        ~StopOnExit() {
            std::lock_guard lock(mutex);
            stopping = true;
        }
    } stopOnExit{mutex, stopping};

    std::size_t delivered = 0;
    std::vector<Result> ready;
    for (;;) {
        bool finished = false;
        {
            std::unique_lock lock(mutex);
            auto hasNews = [&] {
                return delivered == w.count || results[delivered].has_value() ||
                       (stopping && running == 0);
            };
            changed.wait_for(lock, std::chrono::milliseconds(10), hasNews);
            // Every piece done in a row from the next one on, handed over in one go.
            for (std::size_t i = delivered; i < w.count && results[i].has_value(); ++i) {
                ready.push_back(std::move(*results[i]));
                results[i].reset();
            }
            finished = ready.empty() && (delivered == w.count || (stopping && running == 0));
        }
        for (Result& result : ready) {
            w.deliver(delivered, result);
            ++delivered;
        }
        ready.clear();
        if (finished)
            break;
        if (w.stopRequested()) {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        w.tick(delivered);
    }
    pool.clear(); // joins
    if (failure)
        std::rethrow_exception(failure);
    return delivered;
}

} // namespace nimbrel::tool
