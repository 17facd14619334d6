#include "core/app_state.h"

#include <gtest/gtest.h>

namespace trazel {
namespace {

TEST(FixedText, PadsWithBlanksAndCutsToItsLength) {
    FixedText<2> unit;
    unit = "s";
    EXPECT_EQ(unit.str(), "s ");
    unit = "ms and more";
    EXPECT_EQ(unit.str(), "ms");
}

TEST(ResultTable, HoldsAThousandRecordsPerTraceAndClearsThemAll) {
    AppState s;
    s.Results(3, 1000).Kind = 7;
    s.Results(3, 1000).V(7) = 2.5F;
    s.Results(1, 1).Text = "a";
    EXPECT_EQ(s.Results(2, 1000).Kind, 0);
    s.Results.clear();
    EXPECT_EQ(s.Results(3, 1000).Kind, 0);
    EXPECT_EQ(s.Results(3, 1000).V(7), 0.0F);
    EXPECT_EQ(s.Results(1, 1).Text, "");
}

} // namespace
} // namespace trazel
