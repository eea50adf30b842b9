#pragma once
// The processor time of the benchmark's finished child processes (and theirs), so that a
// command run through the shell shows the work it did beside the time it took: on cores
// shared with other work, the time taken says little, the work done stays the same.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace nimbrel::bench {

inline double ChildCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Adds the counter child_cpu_ms (per iteration) over the lifetime of the object.
class ChildCpuCounter {
public:
    explicit ChildCpuCounter(benchmark::State& state) : state_(state), start_(ChildCpuSeconds()) {}
    ~ChildCpuCounter() {
        state_.counters["child_cpu_ms"] = benchmark::Counter((ChildCpuSeconds() - start_) * 1000,
                                                             benchmark::Counter::kAvgIterations);
    }
    ChildCpuCounter(const ChildCpuCounter&) = delete;
    ChildCpuCounter& operator=(const ChildCpuCounter&) = delete;

private:
    benchmark::State& state_;
    double start_;
};

} // namespace nimbrel::bench
