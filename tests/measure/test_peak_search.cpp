#include "measure/peak_search.h"
#include "support/open_file_fixture.h"

#include <QAction>
#include <cmath>

namespace trazel {
namespace {

using Extremes = std::vector<std::int64_t>;

// Three waves of 100 samples from a trough of -100 through a peak of 100 at samples 50, 150, 250.
std::vector<float> waves() {
    std::vector<float> v(300);
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = static_cast<float>(-100 * std::cos(2 * 3.14159265358979 * static_cast<double>(i) / 100));
    }
    return v;
}

TEST(PeakSearch, FindsTheExtremesOfTheWavesThatCrossTheBand) {
    const std::vector<float> v = waves();
    // Starting below the band: the trough before the first rise and the one in progress at the end are
    // not measured.
    EXPECT_EQ(findPeaks(v, 0, 0, 300, -10, 10).extremes, (Extremes{50, 100, 150, 200, 250}));
    EXPECT_EQ(findPeaks(v, 0, 50, 300, -10, 10).extremes, (Extremes{100, 150, 200, 250})); // from above
    EXPECT_EQ(findPeaks(v, 0, 0, 300, -10, 10, 2).extremes, (Extremes{50, 100})); // as many as wanted
    EXPECT_EQ(findPeaks(v, 200, 0, 300, -10, 10).extremes, Extremes{}); // drawn 200 higher, it never falls
    const std::vector<float> noise = {0, 5, -5, 9, -9, 3};
    const PeakSearch quiet = findPeaks(noise, 0, 0, 6, -10, 10);
    EXPECT_TRUE(quiet.extremes.empty() && quiet.ended);
    const PeakSearch rising = findPeaks(v, 0, 0, 20, -10, 10); // ends before the first rise
    EXPECT_TRUE(rising.extremes.empty());
    EXPECT_FALSE(rising.ended);
    EXPECT_TRUE(findPeaks(v, 0, 400, 500, -10, 10).extremes.empty()); // a range beyond the samples
}

TEST(PeakSearch, TakesTheFirstOfEqualExtremes) {
    const std::vector<float> v = {-50, 20, 80, 30, 80, -50, -70, -70, 40};
    EXPECT_EQ(FindMaxIndex(v, 0, 8), 2);
    EXPECT_EQ(FindMinIndex(v, 0, 8), 6);
    EXPECT_EQ(FindMinIndex(v, 5, 2), 5);
    EXPECT_EQ(findPeaks(v, 0, 0, 9, -10, 10).extremes, (Extremes{2, 6}));
}

namespace testing_ = ::trazel::testing;

class AutoPeaks : public testing_::MeasurementTest {};

TEST_F(AutoPeaks, OnePressEntersEveryTroughAndPeakOfTheSelection) {
    std::vector<std::int16_t> samples;
    for (const float x : waves()) {
        samples.push_back(static_cast<std::int16_t>(std::lround(x)));
    }
    open(files.write("waves.bin",
                     testing_::versionedFile(testing_::recordedHeader(1, {1, 0, 0}, 100000), samples,
                                             std::vector<std::int16_t>(samples.size(), 0))));
    window->measurements().mnuPeaks_Click(); // no selection: stays off
    EXPECT_FALSE(state.AutoPeaks);
    window->viewCommands().mnuCompress_Click(); // 300 points in view
    window->viewCommands().mnuCompress_Click();
    press(299, 2); // right to left
    press(0, 2);
    window->measurements().mnuPeaks_Click();
    ASSERT_TRUE(state.AutoPeaks);
    press(0, 1);
    window->measurements().disp_MouseMove(1, 0, 0, 1e9); // the band follows a drag but stays on the plot
    EXPECT_FLOAT_EQ(state.LevelY(1), static_cast<float>(0.4 * state.TraceRange(1) / 0.8));
    window->measurements().disp_MouseMove(1, 0, 0, -10);
    EXPECT_EQ(state.LevelY(1), -10.0F);
    dialogs.answerInput(QStringLiteral("waves")); // the label of the new block
    window->measurements().add_Click();
    EXPECT_EQ(row(1)[0], "waves");
    // Peak, trough: rounded to whole samples, 49 to 51 all hold 100 and the first of them counts.
    EXPECT_EQ(row(2).mid(1, 4), QStringList({"4.90", "100.00", "9.90", "-100.00"}));
    EXPECT_EQ(row(3).mid(1, 4), QStringList({"14.90", "100.00", "19.90", "-100.00"}));
    EXPECT_EQ(row(4)[1], "24.90"); // the last peak opens a row of its own
    EXPECT_FALSE(state.AutoPeaks);
    EXPECT_EQ(state.LevelY(1), NoLevel);
}

} // namespace
} // namespace trazel
