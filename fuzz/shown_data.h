#pragma once

#include "harness.h"

#include <cstddef>

// The rules every file the readers take over must leave in the state, and what a refused file must leave.
namespace trazel::fuzz {

// Arrays sized as SampleCount (and in block data the sweep count) says, the views' copy equal to the data,
// nothing beyond the points read, the peaks, the summaries and the marker index true to the values, the
// time base and the plot's scale usable, the progress window gone; memory in proportion to the file.
void requireShownData(const Harness& h, std::size_t fileLength);

// The one error message, and no data left.
void requireNothingLoaded(const Harness& h);

// A count of records rounded to the nearest whole number, halves to even, in whole numbers only.
std::int64_t roundedQuotient(std::int64_t dividend, std::int64_t divisor);

} // namespace trazel::fuzz
