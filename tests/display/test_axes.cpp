#include "display/axes.h"
#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QLabel>

namespace trazel::testing {
namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);

class Axes : public MainWindowTest {
protected:
    void drawAxes() { DrawAxes(state, *window->ui.disp, *window->ui.Label1); }
    PlotSurface& disp() { return *window->ui.disp; }
};

TEST_F(Axes, LabelsTheAmplitudeAxisFromThePeakAndShift) {
    struct Case {
        const char* name;
        float peak;
        int shift;
        float range;
        QStringList labels;
    };
    const Case cases[] = {
        {"peak 1000 takes step 500", 1000, 0, 2000, {"1000", "500", "0", "-500", "-1000"}},
        {"peak 0 keeps the smallest step", 0, 0, 0.4F, {"0.2", "0.1", "0.0", "-0.1", "-0.2"}},
        {"peak 20000 takes the largest step", 20000, 0, 20000, {"10000", "5000", "0", "-5000", "-10000"}},
        {"a shift moves the labels by one step", 1000, 1, 2000, {"500", "0", "-500", "-1000", "-1500"}},
        {"a negative shift with a fractional step", 0.9F, -2, 2, {"2.0", "1.5", "1.0", "0.5", "0.0"}},
        {"peak 250 takes step 125", 250, 0, 500, {"250", "125", "0", "-125", "-250"}},
    };
    state.TraceColour(1) = Yellow; // tells the amplitude axis apart from the time axis
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.TracePeak(1) = c.peak;
        state.TraceShift(1) = static_cast<Integer>(c.shift);
        drawAxes();
        EXPECT_FLOAT_EQ(state.TraceRange(1), c.range);
        EXPECT_EQ(printedTexts(disp(), Yellow), c.labels);
        EXPECT_EQ(disp().ForeColor(), White) << "the pen is restored";
    }
}

TEST_F(Axes, LabelsTheTimeAxisFromTheRecordingOrSweepStart) {
    state.ViewStart = 400;
    drawAxes();
    EXPECT_EQ(printedTexts(disp(), White).mid(0, 5), QStringList({"40.0", "42.0", "44.0", "46.0", " s"}));
    state.BlockMode = true;
    drawAxes();
    EXPECT_EQ(printedTexts(disp(), White).mid(0, 5), QStringList({"0.0", "2.0", "4.0", "6.0", " s"}));

    state.ScreenLen = 500; // millisecond sweeps
    state.TimeFactor = 0.001F;
    state.TimeUnit = "ms";
    state.SampleInterval = 0.001F;
    disp().setScaleWidth(500 / 0.8);
    drawAxes();
    EXPECT_EQ(printedTexts(disp(), White).mid(0, 5), QStringList({"0.0", "125.0", "250.0", "375.0", "ms"}));
}

TEST_F(Axes, SetsThePlotWindowAndPlacesTicksAndLabels) {
    drawAxes();
    EXPECT_DOUBLE_EQ(disp().ScaleLeft(), -12.5);
    EXPECT_DOUBLE_EQ(disp().ScaleWidth(), 100);
    EXPECT_DOUBLE_EQ(disp().ScaleTop(), 1187.5);
    EXPECT_DOUBLE_EQ(disp().ScaleHeight(), -2500);
    EXPECT_EQ((std::array{state.TimeAxisX1, state.TimeAxisX2, state.CursorBottom, state.TimeAxisY2}),
              (std::array<Single, 4>{0, 80, -1062.5F, -1062.5F}));
    EXPECT_EQ((std::array{state.AmpAxisX1, state.AmpAxisX2, state.CursorTop, state.AmpAxisY2}),
              (std::array<Single, 4>{-2.5F, -2.5F, 1000, -1000}));

    const auto lines = figuresOfKind(disp(), DrawnFigure::Kind::Line);
    ASSERT_EQ(lines.size(), 1U + 4 + 1 + 1 + 5);
    for (std::size_t i = 1; i <= 5; ++i) {
        EXPECT_NEAR(lines[i].x1, 20.0 * (i - 1), 1e-4) << "a tick at every division and the axis end";
        EXPECT_DOUBLE_EQ(lines[i].y1, -1062.5);
        EXPECT_DOUBLE_EQ(lines[i].y2, -1112.5) << "ticks hang below the axis";
    }
    EXPECT_EQ(corners(lines[6]), (std::array<double, 4>{-2.5, 1000, -2.5, -1000})) << "the amplitude axis";

    const auto texts = figuresOfKind(disp(), DrawnFigure::Kind::Text);
    ASSERT_EQ(texts.size(), 10U);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR((texts[i].x1 + texts[i].x2) / 2, 20.0 * i, 1e-6) << "centred under its division";
        EXPECT_DOUBLE_EQ(texts[i].y1, -1112.5);
        EXPECT_NEAR(texts[5 + i].x2, -3.5, 1e-6) << "ends 1 % of the width left of the axis";
        EXPECT_NEAR((texts[5 + i].y1 + texts[5 + i].y2) / 2, 1000 - 500.0 * i, 1e-6) << "centred on its tick";
    }
}

TEST_F(Axes, RemovesEveryMeasurementMark) {
    state.CursorX = 12;
    state.SelStart = 3;
    state.SelEnd = 9;
    window->ui.Label1->show();
    setMousePointer(disp(), MousePointer::Hourglass);
    drawAxes();
    EXPECT_EQ((std::array{state.CursorX, state.SelStart, state.SelEnd}), (std::array<Single, 3>{-1, -1, -1}));
    EXPECT_FALSE(window->ui.Label1->isVisible());
    EXPECT_EQ(mousePointer(disp()), MousePointer::Default);
}

} // namespace
} // namespace trazel::testing
