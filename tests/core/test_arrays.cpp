#include "core/arrays.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace trazel {
namespace {

std::vector<float> valuesOf(const TraceBuffer& buffer, int t) {
    const auto values = buffer.trace(t);
    return {values.begin(), values.end()};
}

// The views' copy of the data shares its samples until one side is written to; then only that trace of
// that side is copied, with its summary following its own values.
TEST(TraceBuffer, ACopySharesTheSamplesUntilATraceIsWritten) {
    TraceBuffer raw, views;
    raw.create(3);
    for (int t = 1; t <= TraceCount; ++t) {
        for (std::int64_t i = 0; i <= 3; ++i) {
            raw(t, i) = static_cast<float>(10 * t + i);
        }
    }
    views.copyFrom(raw);
    EXPECT_TRUE(views.sharesTrace(1, raw) && views.sharesTrace(2, raw) && views.sharesTrace(3, raw));
    EXPECT_EQ(std::as_const(views).trace(2).data(), std::as_const(raw).trace(2).data()) << "no copy";

    views.negate(2);
    EXPECT_FALSE(views.sharesTrace(2, raw));
    EXPECT_TRUE(views.sharesTrace(1, raw) && views.sharesTrace(3, raw)) << "the other traces stay shared";
    EXPECT_EQ(valuesOf(views, 2), (std::vector<float>{-20, -21, -22, -23}));
    EXPECT_EQ(valuesOf(raw, 2), (std::vector<float>{20, 21, 22, 23}));
    EXPECT_EQ(views.extremesBetween(2, 0, 3).largest, -20);
    EXPECT_EQ(raw.extremesBetween(2, 0, 3).largest, 23);

    raw(3, 1) = 99; // the data side copies too
    EXPECT_EQ(views(3, 1), 31);
    EXPECT_EQ(views.extremesBetween(3, 0, 3).largest, 33);
    EXPECT_EQ(raw.extremesBetween(3, 0, 3).largest, 99);

    views.copyFrom(raw);
    raw.negateTogether(1, views); // once for both
    EXPECT_TRUE(views.sharesTrace(1, raw));
    EXPECT_EQ(valuesOf(views, 1), (std::vector<float>{-10, -11, -12, -13}));
    EXPECT_EQ(std::pair(raw.extremesBetween(1, 0, 3).largest, views.extremesBetween(1, 0, 3).largest),
              std::pair(-10.0F, -10.0F));
    TraceBuffer third;
    third.copyFrom(raw);
    raw.negateTogether(2, views); // shared with a third as well: the third keeps its values
    EXPECT_EQ(valuesOf(views, 2), (std::vector<float>{-20, -21, -22, -23}));
    EXPECT_EQ(valuesOf(raw, 2), valuesOf(views, 2));
    EXPECT_EQ(valuesOf(third, 2), (std::vector<float>{20, 21, 22, 23}));
}

// Making, clearing or freeing one side never reaches the values of the other.
TEST(TraceBuffer, ANewOrErasedArrayLeavesTheValuesItSharedToTheOther) {
    TraceBuffer raw, views;
    raw.create(2);
    raw(1, 2) = 5;
    views.copyFrom(raw);
    raw.create(2); // the same size: memory of its own would be cleared for the new data
    EXPECT_EQ(views(1, 2), 5);
    EXPECT_EQ(raw(1, 2), 0);

    views.copyFrom(raw);
    views.erase();
    EXPECT_TRUE(raw.exists());
    raw(1, 0) = 7;
    views.copyFrom(raw);
    raw.release();
    EXPECT_EQ(views.upper(), 2);
    EXPECT_EQ(views(1, 0), 7);
    views.create(-1);
    EXPECT_FALSE(views.exists());
    EXPECT_TRUE(views.trace(1).empty());
}

} // namespace
} // namespace trazel
