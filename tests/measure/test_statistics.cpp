#include "measure/statistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace trazel {
namespace {

// Means and sample SDs of two or more values are checked in the statistics rows of the measurement tests.
TEST(SampleStatistics, OneValueOrEqualOnesHaveNoSpreadAndNoValuesNoMean) {
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>{7.5F}).mean, 7.5);
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>{7.5F}).sd, 0);
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>(3, 12345.678F)).sd, 0) << "not NaN from rounding";
    EXPECT_EQ(sampleStatistics({}).count, 0);
    EXPECT_DOUBLE_EQ(sampleStatistics({}).mean, 0);
}

} // namespace
} // namespace trazel
