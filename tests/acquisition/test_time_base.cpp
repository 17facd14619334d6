#include "acquisition/time_base.h"

#include <cmath>
#include <gtest/gtest.h>

namespace trazel {
namespace {

TEST(SweepSpan, CountsWholePointsOfTheSweepAtItsInterval) {
    struct Case {
        double ms;
        Single interval;
        Single screenLen;
        const char* unit;
        Long points;
    };
    const Case cases[] = {{40000, 0.1F, 40, " s", 400},
                          {500, 30e-6F, 500, "ms", 16667},
                          {0.6, 0.001F, 0.6F, "ms", 1},
                          {2000, 0.0001F, 2, " s", 20000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        const std::optional<SweepSpan> span = sweepSpan(c.ms, c.interval);
        ASSERT_TRUE(span);
        EXPECT_EQ(span->time.screenLen, c.screenLen);
        EXPECT_STREQ(span->time.unit, c.unit);
        EXPECT_EQ(span->time.timeFactor, c.unit[0] == 'm' ? 0.001F : 1.0F);
        EXPECT_EQ(span->sweepLength, c.points);
    }
}

TEST(SweepSpan, RefusesSweepsOfNoWholePointAndBeyondTheLargest) {
    for (const double ms : {0.0, -5.0, 0.4, 1e12, HUGE_VAL}) {
        EXPECT_FALSE(sweepSpan(ms, 0.001F)) << ms;
    }
    EXPECT_TRUE(sweepSpan(MaxSweepLength, 0.001F));
    EXPECT_FALSE(sweepSpan(MaxSweepLength + 100.0, 0.001F));
    EXPECT_FALSE(screenPointCount(1, 0, 0)); // no time over no interval
}

} // namespace
} // namespace trazel
