#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// Small helpers for the benchmarks: they print figures, they do not judge them.
namespace Bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The median of the samples (the mean of the middle two for an even count).
inline double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

// Runs `work` `count` times and returns each run's duration in milliseconds.
template <typename Work>
std::vector<double> timeRuns(int count, Work&& work)
{
    std::vector<double> samples;
    samples.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(millisecondsSince(start));
    }
    return samples;
}

}
