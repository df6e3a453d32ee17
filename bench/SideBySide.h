#pragma once

// Timing of a workload and its anchor in turn, in one process, for
// benchmarks that report a ratio rather than a bare time.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace side_by_side {

// Seconds taken by one call of `work`.
template <typename Work>
double seconds_of(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor seconds (user and system) the calling thread spent in one call
// of `work`: unlike elapsed time, not stretched by other programs sharing the
// processors, so ratios of workloads of different lengths stay comparable on
// a busy machine.
template <typename Work>
double thread_seconds_of(Work&& work) {
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) + 1e-9 * double(end.tv_nsec - start.tv_nsec);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs `ours` and `anchor` alternately `rounds` times and reports the median
// nanoseconds per item of each and their ratio (ours / anchor). Without an
// anchor (null), only ours is reported.
template <typename Ours, typename Anchor>
void report(benchmark::State& state, int rounds, double items, Ours&& ours, Anchor* anchor) {
    std::vector<double> ours_s, anchor_s;
    for (auto _ : state) {
        for (int r = 0; r < rounds; ++r) {
            ours_s.push_back(seconds_of(ours));
            if (anchor) anchor_s.push_back(seconds_of(*anchor));
        }
    }
    const double ns = median(ours_s) * 1e9 / items;
    state.counters["ns_per_item"] = ns;
    if (anchor) {
        const double anchor_ns = median(anchor_s) * 1e9 / items;
        state.counters["anchor_ns"] = anchor_ns;
        state.counters["ratio"] = ns / anchor_ns;
    }
}

}  // namespace side_by_side
