#include "measure/peak_search.h"

#include <algorithm>

namespace trazel {

namespace {

template <typename Better>
std::int64_t findExtremeIndex(std::span<const float> samples, std::int64_t from, std::int64_t to,
                              Better better) {
    if (from > to) {
        return from;
    }
    std::int64_t kept = from;
    for (std::int64_t k = from + 1; k <= to; ++k) {
        if (better(samples[static_cast<std::size_t>(k)], samples[static_cast<std::size_t>(kept)])) {
            kept = k;
        }
    }
    return kept;
}

} // namespace

std::int64_t FindMinIndex(std::span<const float> samples, std::int64_t from, std::int64_t to) {
    return findExtremeIndex(samples, from, to, std::less<float>());
}

std::int64_t FindMaxIndex(std::span<const float> samples, std::int64_t from, std::int64_t to) {
    return findExtremeIndex(samples, from, to, std::greater<float>());
}

PeakSearch findPeaks(std::span<const float> samples, float offset, std::int64_t first, std::int64_t end,
                     float lo, float hi, std::size_t wanted) {
    PeakSearch result;
    const auto size = static_cast<std::int64_t>(samples.size());
    end = std::min(end, size);
    if (first < 0 || first >= size) {
        return result;
    }
    auto v = [&](std::int64_t i) { return samples[static_cast<std::size_t>(i)] + offset; };
    std::int64_t i = first;
    std::int64_t down = -1; // where the signal last fell below the band
    std::int64_t up = -1;   // where it last rose above it
    do {
        if (down == -1 && up == -1) {
            // The phase in progress at the start is passed over to its end.
            const bool low = v(i) < lo;
            if (low || v(i) > hi) {
                while (low ? v(i) < hi : v(i) > lo) {
                    if (++i >= end) {
                        result.ended = false;
                        return result;
                    }
                }
                (low ? up : down) = i;
            }
        } else if (down != -1) {
            if (v(i) > hi) {
                up = i;
                result.extremes.push_back(FindMinIndex(samples, down, up));
                down = -1;
            }
        } else if (v(i) < lo) {
            down = i;
            result.extremes.push_back(FindMaxIndex(samples, up, down));
            up = -1;
        }
        ++i;
    } while (i < end && result.extremes.size() < wanted);
    return result;
}

} // namespace trazel
