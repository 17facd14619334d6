#include "measure/statistics.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace trazel {
namespace {

TEST(SampleStatistics, MeanAndSampleStandardDeviation) {
    const std::vector<float> two = {2, 4};
    const SampleStatistics s = sampleStatistics(two);
    EXPECT_DOUBLE_EQ(s.mean, 3);
    EXPECT_DOUBLE_EQ(s.sd, std::sqrt(2.0));
    EXPECT_EQ(s.count, 2);

    const std::vector<float> five = {1, 2, 3, 4, 5};
    EXPECT_DOUBLE_EQ(sampleStatistics(five).sd, std::sqrt(2.5));
}

TEST(SampleStatistics, OneValueHasNoSpreadAndNoValuesNoMean) {
    const std::vector<float> one = {7.5F};
    EXPECT_DOUBLE_EQ(sampleStatistics(one).mean, 7.5);
    EXPECT_DOUBLE_EQ(sampleStatistics(one).sd, 0);
    EXPECT_EQ(sampleStatistics({}).count, 0);
    EXPECT_DOUBLE_EQ(sampleStatistics({}).mean, 0);
}

TEST(SampleStatistics, EqualLargeValuesGiveNoSpreadRatherThanNotANumber) {
    const std::vector<float> equal(3, 12345.678F);
    EXPECT_DOUBLE_EQ(sampleStatistics(equal).sd, 0);
}

} // namespace
} // namespace trazel
