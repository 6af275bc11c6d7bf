// Repeated timing: the best of several runs is the figure least disturbed by
// the rest of the machine; the median is kept to show how steady it was.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace qmv::bench {

struct Timing {
    double best = 0.0;    // seconds
    double median = 0.0;  // seconds
};

// Runs `body` `runs` times; a body returning false stops the series and
// gives an empty Timing (best 0).
template <typename Body>
Timing timeRuns(int runs, Body body) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = body();
        const auto stop = std::chrono::steady_clock::now();
        if (!ok) return {};
        seconds.push_back(std::chrono::duration<double>(stop - start).count());
    }
    if (seconds.empty()) return {};
    std::sort(seconds.begin(), seconds.end());
    return {seconds.front(), seconds[seconds.size() / 2]};
}

}  // namespace qmv::bench
