#pragma once

#include <span>

namespace trazel {

struct SampleStatistics {
    double mean = 0;
    double sd = 0; // sample standard deviation (n - 1); 0 for fewer than two values
    int count = 0;
};

// Sums and sums of squares are taken in double precision.
SampleStatistics sampleStatistics(std::span<const float> values);

} // namespace trazel
