#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace trazel {

// The index of the smallest (largest) sample from `from` to `to` inclusive, the first of equal ones;
// `from` when from > to.
std::int64_t FindMinIndex(std::span<const float> samples, std::int64_t from, std::int64_t to);
std::int64_t FindMaxIndex(std::span<const float> samples, std::int64_t from, std::int64_t to);

// The troughs and peaks of the waves that cross a level band, in order.
struct PeakSearch {
    std::vector<std::int64_t> extremes;
    bool ended = true; // false when the range ran out before the signal first crossed the band
};

// Walks samples `first` .. `end` - 1 (the first one even when first equals end), each as drawn (plus
// `offset`), with hysteresis: a low phase ends only strictly above `hi`, a high phase only strictly below
// `lo`, so noise inside the band gives nothing. Each completed phase gives its extreme: the trough
// between a fall and the next rise, the peak between a rise and the next fall. The phase in progress at
// the start and at the end is not measured. A range outside the samples gives nothing. The walk stops
// once it has `wanted` extremes.
PeakSearch findPeaks(std::span<const float> samples, float offset, std::int64_t first, std::int64_t end,
                     float lo, float hi, std::size_t wanted = SIZE_MAX);

} // namespace trazel
