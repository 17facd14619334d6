#include "acquisition/time_base.h"

#include <gtest/gtest.h>

namespace trazel {
namespace {

// The window tests cover sweeps and refusals of every day; these are the edges of the range.
TEST(SweepSpan, HoldsFromOneWholePointToTheLargestSweep) {
    EXPECT_EQ(sweepSpan(0.6, 0.001F)->sweepLength, 1);
    EXPECT_FALSE(sweepSpan(0.4, 0.001F));
    EXPECT_EQ(sweepSpan(MaxSweepLength, 0.001F)->sweepLength, MaxSweepLength);
    EXPECT_FALSE(sweepSpan(MaxSweepLength + 100.0, 0.001F));
    EXPECT_FALSE(screenPointCount(1, 0, 0)); // no time over no interval
}

} // namespace
} // namespace trazel
