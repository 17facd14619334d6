#include "measure/statistics.h"

#include <algorithm>
#include <cmath>

namespace trazel {

SampleStatistics sampleStatistics(std::span<const float> values) {
    SampleStatistics result;
    result.count = static_cast<int>(values.size());
    if (values.empty()) {
        return result;
    }
    double sum = 0;
    double squares = 0;
    for (float value : values) {
        sum += value;
        squares += static_cast<double>(value) * value;
    }
    const double m = result.count;
    result.mean = sum / m;
    if (result.count > 1) {
        // Rounding can leave the difference a hair below zero for equal values.
        result.sd = std::sqrt(std::max(0.0, (squares - sum * sum / m) / (m - 1)));
    }
    return result;
}

} // namespace trazel
