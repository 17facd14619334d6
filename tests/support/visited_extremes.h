#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>

namespace trazel::testing {

// The smallest and the largest of values[from .. to] by a visit to every point, cut to the values there
// are: std::min and std::max from infinite start values, which pass over NaN.
inline std::pair<float, float> visitedExtremes(std::span<const float> values, std::int64_t from,
                                               std::int64_t to) {
    std::pair<float, float> e{INFINITY, -INFINITY};
    for (auto k = std::max<std::int64_t>(from, 0); k <= std::min<std::int64_t>(to, std::ssize(values) - 1);
         ++k) {
        const float v = values[static_cast<std::size_t>(k)];
        e = {std::min(e.first, v), std::max(e.second, v)};
    }
    return e;
}

} // namespace trazel::testing
