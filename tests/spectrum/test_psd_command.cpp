#include "support/open_file_fixture.h"

#include <QSignalSpy>
#include <cmath>
#include <numbers>

namespace trazel::testing {
namespace {

constexpr int SweepPoints = 512; // a power of two: no zeros around the sweep
constexpr int SineBin = 32;      // 62.5 Hz at 1 ms

class PsdCommand : public MeasurementTest {
protected:
    // Trace 1 only, three sweeps of a sine of 1000 units on bin 32; the second sweep twice as large.
    void openSineSweeps() {
        std::vector<std::int16_t> samples;
        for (int sweep = 0; sweep < 3; ++sweep) {
            for (int i = 0; i < SweepPoints; ++i) {
                samples.push_back(static_cast<std::int16_t>(
                    std::lround((sweep == 1 ? 2000 : 1000) *
                                std::sin(2 * std::numbers::pi * SineBin * i / SweepPoints))));
            }
        }
        open(files.write("sine.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 1000, SweepPoints), samples,
                                                   std::vector<std::int16_t>(samples.size(), 0))));
        ASSERT_TRUE(state.DataLoaded);
    }
    std::int64_t largestBin(int t, int sweep) const {
        const auto bins = state.SpectrumData.trace(t).subspan(static_cast<std::size_t>(sweep * 256), 256);
        return std::ranges::max_element(bins) - bins.begin();
    }
};

TEST_F(PsdCommand, ShowsTheSpectrumOfTheCurrentSweepOnAFrequencyAxis) {
    openSineSweeps();
    window->views().PgDn_Click();
    const Single rawPeak = state.TracePeak(1);
    window->spectrum().mnuPSD_Click();

    EXPECT_EQ((std::array<std::int64_t, 4>{state.FftSize, state.SweepLength, state.CurveCount,
                                           state.SpectrumData.upper()}),
              (std::array<std::int64_t, 4>{512, 256, 3, 3 * 256}));
    EXPECT_EQ((std::array{largestBin(1, 0), largestBin(1, 1), largestBin(1, 2)}),
              (std::array<std::int64_t, 3>{SineBin, SineBin, SineBin}));
    EXPECT_EQ(state.SpectrumPeak(1), state.SpectrumData(1, 256 + SineBin)) << "the larger second sweep";
    EXPECT_NEAR(state.SpectrumData(1, 256 + SineBin) / state.SpectrumData(1, SineBin), 4, 0.01);
    EXPECT_TRUE(std::ranges::all_of(state.SpectrumData.trace(2), [](float v) { return v == 0; }))
        << "an unrecorded trace is transformed too";
    EXPECT_EQ((std::array{state.SpectrumPeak(2), state.SpectrumPeak(3)}), (std::array{0.0F, 0.0F}));
    EXPECT_TRUE(std::ranges::equal(state.TraceData.trace(1), state.SpectrumData.trace(1)));

    EXPECT_EQ((std::array{state.TraceShift(1), state.TraceShift(3)}), (std::array<Integer, 2>{-2, -2}));
    EXPECT_EQ((std::array{state.SavedPeak(1), state.TracePeak(1)}),
              (std::array{rawPeak, state.SpectrumPeak(1) / 2}));
    EXPECT_FLOAT_EQ(state.ScreenLen, 500) << "half the sampling rate";
    EXPECT_EQ(
        std::tuple(state.TimeFactor, state.ViewStart, state.TimeUnit.str(), window->ui.disp->ScaleWidth()),
        std::tuple(1.0F, 256.0F, std::string("Hz"), 256 / 0.8));
    EXPECT_EQ((std::array{window->ui.mnuPSD->isChecked(), window->ui.mnuRaw->isChecked(),
                          window->ui.mnuBlock->isEnabled(), window->ui.mnuInvert->isEnabled(),
                          state.SpectrumShown}),
              (std::array{true, false, false, false, true}));
    EXPECT_EQ(printedTexts(*window->ui.disp, state.TraceColour(1)).mid(0, 5),
              QStringList({"0.0", "125.0", "250.0", "375.0", "Hz"}));
    EXPECT_EQ(std::pair(window->ui.Scroll->caption(), window->ui.Scroll->isVisible()),
              std::pair(QStringLiteral("Calculating FFT for curve 3..."), false));
    EXPECT_TRUE(figuresOfKind(*window->ui.disp, DrawnFigure::Kind::Box).empty()) << "no marker marks";
}

TEST_F(PsdCommand, PagesThroughTheSpectraAndReturnsToTheSweeps) {
    openSineSweeps();
    window->spectrum().mnuPSD_Click();
    window->views().PgDn_Click();
    EXPECT_EQ(std::pair(state.CurrentCurve, state.ViewStart), (std::pair<Long, Single>(2, 256)));
    EXPECT_GT(figuresOfKind(*window->ui.disp, DrawnFigure::Kind::Line).size(), 255U);

    window->viewCommands().mnuRaw_Click();
    EXPECT_EQ(std::tuple(state.SweepLength, state.CurrentCurve, state.ViewStart, state.TimeUnit.str()),
              std::tuple(SweepPoints, 2, 512.0F, std::string("ms")));
    EXPECT_TRUE(std::ranges::equal(state.TraceData.trace(1), state.RawData.trace(1)));
    EXPECT_EQ((std::array{window->ui.mnuPSD->isChecked(), window->ui.mnuBlock->isEnabled(),
                          window->ui.mnuInvert->isEnabled()}),
              (std::array{false, true, true}));
}

TEST_F(PsdCommand, EndsWhenAnotherFileIsOpened) {
    openSineSweeps();
    window->spectrum().mnuPSD_Click();
    openBlockFile();
    EXPECT_FALSE(state.SpectrumShown || window->ui.mnuPSD->isChecked());
    window->viewCommands().mnuInvert_Click();
    EXPECT_EQ(state.TraceData(1, 150), -(3 * 50 - 30)) << "the new sweeps invert";
}

TEST_F(PsdCommand, DoesNothingASecondTimeWithoutDataOrWithoutASweepToTransform) {
    window->spectrum().mnuPSD_Click();
    EXPECT_FALSE(window->ui.mnuPSD->isChecked()) << "no data";

    openSineSweeps();
    window->spectrum().mnuPSD_Click();
    const auto spectra = std::vector(state.TraceData.trace(1).begin(), state.TraceData.trace(1).end());
    QSignalSpy captions(window->ui.Scroll, &QWidget::windowTitleChanged);
    window->spectrum().mnuPSD_Click();
    EXPECT_TRUE(captions.empty() && state.SweepLength == 256 &&
                std::ranges::equal(state.TraceData.trace(1), spectra));

    window->viewCommands().mnuRaw_Click();
    state.SweepLength = 1; // no trend line through a single point
    window->spectrum().mnuPSD_Click();
    EXPECT_FALSE(window->ui.mnuPSD->isChecked());
}

} // namespace
} // namespace trazel::testing
