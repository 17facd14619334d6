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

} // namespace
} // namespace trazel
