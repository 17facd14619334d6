#include "display/axes.h"
#include "export/curve_points.h"

#include <gtest/gtest.h>

namespace trazel::testing {
namespace {

// The times of continuous views whose screen points come from single-precision settings, as the plot's
// scale gets them: sampling rate, screen length, seconds per time unit, sample, its time.
TEST(SampleTimes, ReadAsTheSamplingGridInTheTimeUnit) {
    const std::tuple<float, float, float, std::int64_t, const char*> cases[] = {
        {1000, 8, 1, 0, "0"},
        {1000, 8, 1, 3, "0.003"},
        {1000, 512, 0.001F, 7, "7"},
        {10000, 8, 1, 10'000'000, "1000"},
        {10000, 8, 1, 10'000'001, "1000.0001"},
        {300, 8, 1, 2, "0.006666667"},
        {300, 8, 1, 3'000'000, "10000"},
        {1 / 30E-6F, 256, 0.001F, 10'000'001, "300000.03"}};
    for (const auto& [rate, screenLen, timeFactor, sample, expected] : cases) {
        AppState s;
        s.SampleInterval = 1 / rate;
        s.ScreenLen = screenLen;
        s.TimeFactor = timeFactor;
        EXPECT_EQ(SampleTimes(s.ScreenLen, 0.8 * continuousScaleWidth(s)).text(sample), expected)
            << rate << " points/s, sample " << sample;
    }
}

TEST(CurvePoints, NameTracesByNumberAndLeaveCellsPastTheAverageEmpty) {
    const std::vector<float> trace1 = {0, 1, 2.5F, -3, 1E-5F, 123456789.0F};
    const std::vector<float> trace3(6, 9);
    const std::vector<float> average = {-0.25F, 7};
    const std::vector<std::int16_t> markers = {0, 0, 0, 100, 200, 0};
    // Samples 2 to 9 of 0.1 s, past the end of the data.
    const PointStretch stretch{2, 9, 0, true, true, {{1, trace1, average}, {3, trace3, {}}}, markers};
    EXPECT_EQ(
        curvePointsText(stretch, SampleTimes(8, 80)),
        "time\tch1\tch1-ave\tch3\tch3-ave\tmarker\r\n0.2\t2.5\t-0.25\t9\t\t0\r\n0.3\t-3\t7\t9\t\t100\r\n"
        "0.4\t1E-05\t\t9\t\t200\r\n0.5\t1.234568E+08\t\t9\t\t0");
}

} // namespace
} // namespace trazel::testing
