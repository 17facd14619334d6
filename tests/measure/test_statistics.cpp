#include "measure/statistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace trazel {
namespace {

TEST(SampleStatistics, MeanAndSampleStandardDeviation) {
    const SampleStatistics two = sampleStatistics(std::vector<float>{2, 4});
    EXPECT_DOUBLE_EQ(two.mean, 3);
    EXPECT_DOUBLE_EQ(two.sd, std::sqrt(2.0));
    EXPECT_EQ(two.count, 2);
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>{1, 2, 3, 4, 5}).sd, std::sqrt(2.5));
}

TEST(SampleStatistics, OneValueOrEqualOnesHaveNoSpreadAndNoValuesNoMean) {
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>{7.5F}).mean, 7.5);
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>{7.5F}).sd, 0);
    EXPECT_DOUBLE_EQ(sampleStatistics(std::vector<float>(3, 12345.678F)).sd, 0) << "not NaN from rounding";
    EXPECT_EQ(sampleStatistics({}).count, 0);
    EXPECT_DOUBLE_EQ(sampleStatistics({}).mean, 0);
}

} // namespace
} // namespace trazel
