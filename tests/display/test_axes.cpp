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
    void drawAxes() { DrawAxes(state, *window->disp, *window->Label1); }
    PlotSurface& disp() { return *window->disp; }
};

struct AxesCase {
    const char* name;
    float peak;
    int shift;
    bool blockMode;
    float viewStart;
    float range;
    QStringList amplitudeLabels;
    QStringList timeLabels;
};

TEST_F(Axes, LabelsTheAxesFromThePeakShiftAndTimeBase) {
    const AxesCase cases[] = {
        {"peak 1000 takes step 500",
         1000,
         0,
         false,
         0,
         2000,
         {"1000", "500", "0", "-500", "-1000"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"peak 0 keeps the smallest step",
         0,
         0,
         false,
         0,
         0.4F,
         {"0.2", "0.1", "0.0", "-0.1", "-0.2"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"peak 20000 takes the largest step",
         20000,
         0,
         false,
         0,
         20000,
         {"10000", "5000", "0", "-5000", "-10000"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"a shift moves the labels by one step",
         1000,
         1,
         false,
         0,
         2000,
         {"500", "0", "-500", "-1000", "-1500"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"a negative shift with a fractional step",
         0.9F,
         -2,
         false,
         0,
         2,
         {"2.0", "1.5", "1.0", "0.5", "0.0"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"continuous labels count from the recording start",
         1000,
         0,
         false,
         400,
         2000,
         {"1000", "500", "0", "-500", "-1000"},
         {"40.0", "42.0", "44.0", "46.0", " s"}},
        {"block labels count from the sweep start",
         1000,
         0,
         true,
         400,
         2000,
         {"1000", "500", "0", "-500", "-1000"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
        {"peak 250 takes step 125",
         250,
         0,
         false,
         0,
         500,
         {"250", "125", "0", "-125", "-250"},
         {"0.0", "2.0", "4.0", "6.0", " s"}},
    };
    state.TraceColour(1) = Yellow; // tells the amplitude axis apart from the time axis
    for (const AxesCase& c : cases) {
        SCOPED_TRACE(c.name);
        state.TracePeak(1) = c.peak;
        state.TraceShift(1) = static_cast<Integer>(c.shift);
        state.BlockMode = c.blockMode;
        state.ViewStart = c.viewStart;
        drawAxes();
        EXPECT_FLOAT_EQ(state.TraceRange(1), c.range);
        EXPECT_EQ(printedTexts(disp(), Yellow), c.amplitudeLabels);
        EXPECT_EQ(printedTexts(disp(), White), c.timeLabels);
        EXPECT_EQ(disp().ForeColor(), White) << "the pen is restored";
    }
}

TEST_F(Axes, ScalesEveryTraceButDrawsOnlyTheCurrentTracesAxis) {
    state.TracePeak(2) = 30;
    state.TracePeak(3) = 4500;
    state.TraceShift(3) = -1;
    drawAxes();
    EXPECT_EQ(state.TraceScaleIndex(2), 11);
    EXPECT_EQ(state.TraceRange(2), 80.0F);
    EXPECT_EQ(state.TraceScaleIndex(3), 2);
    EXPECT_EQ(state.TraceRange(3), 16000.0F);
    EXPECT_EQ(state.TraceOffset(3), -4000.0F);
    EXPECT_EQ(printedTexts(disp(), White).size(), 10) << "time labels, unit and trace 1's five labels";
}

TEST_F(Axes, SetsThePlotWindowAndStoresTheAxisGeometry) {
    drawAxes();
    EXPECT_DOUBLE_EQ(disp().ScaleLeft(), -12.5);
    EXPECT_DOUBLE_EQ(disp().ScaleWidth(), 100);
    EXPECT_DOUBLE_EQ(disp().ScaleTop(), 1187.5);
    EXPECT_DOUBLE_EQ(disp().ScaleHeight(), -2500);
    EXPECT_FLOAT_EQ(state.TimeAxisX1, 0);
    EXPECT_FLOAT_EQ(state.TimeAxisX2, 80);
    EXPECT_FLOAT_EQ(state.CursorBottom, -1062.5F);
    EXPECT_FLOAT_EQ(state.TimeAxisY2, -1062.5F);
    EXPECT_FLOAT_EQ(state.AmpAxisX1, -2.5F);
    EXPECT_FLOAT_EQ(state.AmpAxisX2, -2.5F);
    EXPECT_FLOAT_EQ(state.CursorTop, 1000);
    EXPECT_FLOAT_EQ(state.AmpAxisY2, -1000);
}

TEST_F(Axes, PlacesTicksAndLabels) {
    drawAxes();
    const auto lines = figuresOfKind(disp(), DrawnFigure::Kind::Line);
    ASSERT_EQ(lines.size(), 1U + 4 + 1 + 1 + 5);
    const DrawnFigure& timeAxis = lines[0];
    EXPECT_DOUBLE_EQ(timeAxis.x1, 0);
    EXPECT_DOUBLE_EQ(timeAxis.x2, 80);
    EXPECT_DOUBLE_EQ(timeAxis.y1, -1062.5);
    for (int i = 0; i < 4; ++i) {
        const DrawnFigure& tick = lines[static_cast<std::size_t>(1 + i)];
        EXPECT_NEAR(tick.x1, 20 * i, 1e-4);
        EXPECT_DOUBLE_EQ(tick.y1, -1062.5);
        EXPECT_DOUBLE_EQ(tick.y2, -1112.5) << "ticks hang below the axis";
    }
    EXPECT_NEAR(lines[5].x1, 80, 1e-4) << "the axis end has a tick";
    const DrawnFigure& amplitudeAxis = lines[6];
    EXPECT_DOUBLE_EQ(amplitudeAxis.x1, -2.5);
    EXPECT_DOUBLE_EQ(amplitudeAxis.y1, 1000);
    EXPECT_DOUBLE_EQ(amplitudeAxis.y2, -1000);

    const auto texts = figuresOfKind(disp(), DrawnFigure::Kind::Text);
    ASSERT_EQ(texts.size(), 10U);
    for (int i = 0; i < 5; ++i) {
        const DrawnFigure& label = texts[static_cast<std::size_t>(i)];
        EXPECT_NEAR((label.x1 + label.x2) / 2, 20 * i, 1e-6) << "centred under its division";
        EXPECT_DOUBLE_EQ(label.y1, -1112.5);
    }
    for (int i = 0; i < 5; ++i) {
        const DrawnFigure& label = texts[static_cast<std::size_t>(5 + i)];
        EXPECT_NEAR(label.x2, -3.5, 1e-6) << "ends 1 % of the width left of the axis";
        EXPECT_NEAR((label.y1 + label.y2) / 2, 1000 - 500 * i, 1e-6) << "centred on its tick";
    }
}

TEST_F(Axes, LabelsMillisecondSweeps) {
    state.BlockMode = true;
    state.ScreenLen = 500;
    state.TimeFactor = 0.001F;
    state.TimeUnit = "ms";
    state.SampleInterval = 0.001F;
    disp().setScaleWidth(500 / 0.8);
    drawAxes();
    EXPECT_EQ(printedTexts(disp(), White),
              QStringList({"0.0", "125.0", "250.0", "375.0", "ms", "1000", "500", "0", "-500", "-1000"}));
}

TEST_F(Axes, RemovesEveryMeasurementMark) {
    state.CursorX = 12;
    state.SelStart = 3;
    state.SelEnd = 9;
    state.AutoPeaks = true;
    for (int t = 1; t <= 3; ++t) {
        state.LevelY(t) = 100;
    }
    window->Label1->show();
    setMousePointer(disp(), MousePointer::Hourglass);
    drawAxes();
    EXPECT_EQ(state.CursorX, -1.0F);
    EXPECT_EQ(state.SelStart, -1.0F);
    EXPECT_EQ(state.SelEnd, -1.0F);
    EXPECT_FALSE(state.AutoPeaks);
    for (int t = 1; t <= 3; ++t) {
        EXPECT_EQ(state.LevelY(t), -1E7F);
    }
    EXPECT_FALSE(window->Label1->isVisible());
    EXPECT_EQ(mousePointer(disp()), MousePointer::Default);
}

TEST_F(Axes, ContinuousScaleWidthPutsOneScreenOnEightyPercent) {
    EXPECT_EQ(continuousScaleWidth(state), 100.0F);
    state.ScreenLen = 30;
    state.SampleInterval = 1.0F / 200;
    EXPECT_FLOAT_EQ(continuousScaleWidth(state), 7500);
}

} // namespace
} // namespace trazel::testing
