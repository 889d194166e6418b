#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The summaries the benchmarks print, the same on both platforms.

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double percentile90(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[(values.size() * 9) / 10];
}
