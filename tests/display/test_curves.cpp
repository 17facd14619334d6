#include "display/curves.h"
#include "support/drawing_log.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace trazel {
namespace {

using testing::figuresOfKind;

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Grey = rgb(150, 150, 150);

// A plot 800 pixels wide with data set up by hand: trace 1 scaled to +-1000 (range 2000).
class Curves : public ::testing::Test {
protected:
    Curves() {
        disp.resize(800, 600);
        s.DataLoaded = true;
        s.MaxPointsPerPixel = 6;
        s.ShowSingle = true;
        s.CurrentTrace = 1;
        s.SweepLength = -1;
        s.CurveCount = -1;
        for (int t = 1; t <= 3; ++t) {
            s.TraceRange(t) = 2000;
            s.SingleColour(t) = std::array{White, Yellow, rgb(0, 255, 255)}[static_cast<std::size_t>(t - 1)];
            s.AverageColour(t) = Grey;
        }
    }

    // Continuous data of trace 1 (and trace 2 when given); every marker word 0.
    void load(const std::vector<float>& trace1, const std::vector<float>& trace2 = {}) {
        const auto n = static_cast<std::int64_t>(trace1.size());
        s.SampleCount = static_cast<Long>(n);
        s.TraceData.create(n);
        s.Markers.create(n);
        s.TraceChannel(1) = 1;
        s.TraceChannel(2) = trace2.empty() ? 0 : 2;
        for (std::int64_t i = 0; i < n; ++i) {
            s.TraceData(1, i) = trace1[static_cast<std::size_t>(i)];
            if (!trace2.empty()) {
                s.TraceData(2, i) = trace2[static_cast<std::size_t>(i)];
            }
        }
    }

    // One screen of `points` points: the scale width puts them on 80 % of the plot.
    void showPoints(double points, double viewStart = 0) {
        s.ViewStart = static_cast<Single>(viewStart);
        const double W = points / 0.8;
        disp.Scale(-0.125 * W, 0, 0.875 * W, -1);
    }

    void draw(bool overplot = false) { DrawCurves(s, disp, window, overplot); }

    std::vector<DrawnFigure> lines() const { return figuresOfKind(disp, DrawnFigure::Kind::Line); }
    std::vector<DrawnFigure> boxes() const { return figuresOfKind(disp, DrawnFigure::Kind::Box); }

    AppState s;
    PlotSurface disp;
    QWidget window;
};

TEST_F(Curves, DrawsSparseViewsPointByPointHeldWithinTheBand) {
    load({0, 5000, -5000, 500});
    showPoints(10);
    draw();
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 3U);
    const double expected[][4] = {{0, 0, 1, 1000}, {1, 1000, 2, -1000}, {2, -1000, 3, 500}};
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_DOUBLE_EQ(drawn[i].x1, expected[i][0]);
        EXPECT_DOUBLE_EQ(drawn[i].y1, expected[i][1]);
        EXPECT_DOUBLE_EQ(drawn[i].x2, expected[i][2]);
        EXPECT_DOUBLE_EQ(drawn[i].y2, expected[i][3]);
        EXPECT_EQ(drawn[i].colour, White);
    }
    EXPECT_EQ(s.ScreenPoints, 3) << "the last screen ends at the last point";
    EXPECT_EQ(s.PlotWidthPx, 800);
    EXPECT_EQ(mousePointer(window), MousePointer::Default);
}

TEST_F(Curves, DrawsEachTraceInItsOwnScaleWithItsOffset) {
    s.TraceRange(2) = 40;
    s.TraceOffset(2) = 10;
    load({0, 100}, {0, 5});
    showPoints(10);
    draw();
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 2U);
    EXPECT_DOUBLE_EQ(drawn[1].y1, 10);
    EXPECT_DOUBLE_EQ(drawn[1].y2, 15);
    EXPECT_EQ(drawn[1].colour, Yellow);
    EXPECT_DOUBLE_EQ(disp.ScaleHeight(), -40 / 0.8) << "left in the scale of the last trace drawn";
}

TEST_F(Curves, DrawsOnlyRecordedTracesAndUnderOverplotOnlyTheCurrentOne) {
    load({0, 1, 2}, {0, 1, 2});
    showPoints(10);
    draw();
    EXPECT_EQ(lines().size(), 4U);
    disp.Cls();
    s.CurrentTrace = 2;
    draw(true);
    ASSERT_EQ(lines().size(), 2U);
    EXPECT_EQ(lines()[0].colour, Yellow);
    disp.Cls();
    s.TraceChannel(1) = 0;
    s.TraceChannel(2) = 0;
    draw();
    EXPECT_TRUE(lines().empty());
}

TEST_F(Curves, ASparseViewOnEightHundredPixelsGoesPointByPoint) {
    load(std::vector<float>(2000, 1));
    showPoints(1000); // W = 1250, 1.5625 points per pixel
    draw();
    EXPECT_EQ(lines().size(), 1000U);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Curves, ADenseViewGetsOneBarPerPixelColumn) {
    std::vector<float> data(100001);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<float>(i % 1000) - 500; // a ramp from -500 to 499 every 1000 points
    }
    load(data);
    showPoints(100000); // W = 125000, S = 156.25: steps of 156 points, each bar 157 points wide
    draw();
    const auto bars = boxes();
    ASSERT_FALSE(bars.empty());
    EXPECT_DOUBLE_EQ(bars[0].x1, 0);
    EXPECT_DOUBLE_EQ(bars[0].x2, 156.25);
    EXPECT_DOUBLE_EQ(bars[0].y1, -500) << "smallest of points 0..156";
    EXPECT_DOUBLE_EQ(bars[0].y2, -344) << "largest of points 0..156";
    EXPECT_DOUBLE_EQ(bars[1].x1, 156);
    EXPECT_TRUE(bars[0].filled);
    EXPECT_EQ(bars.size(), 641U) << "columns at 0, 156, ... up to the end of the view less one column";
}

TEST_F(Curves, BarsCollapseOntoTheBandEndsOrAreCutThere) {
    std::vector<float> data(10000, 5000);
    for (std::size_t i = 2000; i < 4000; ++i) {
        data[i] = -5000;
    }
    for (std::size_t i = 6000; i < 8000; ++i) {
        data[i] = (i % 2 == 0) ? 0 : 3000;
    }
    load(data);
    showPoints(8000); // 12.5 points per pixel
    draw();
    const auto bars = boxes();
    auto barAt = [&](double x) {
        const auto found =
            std::find_if(bars.begin(), bars.end(), [x](const DrawnFigure& b) { return b.x1 >= x; });
        return *found;
    };
    EXPECT_DOUBLE_EQ(barAt(100).y1, 1000);
    EXPECT_DOUBLE_EQ(barAt(100).y2, 1000) << "a column above the band collapses to its top";
    EXPECT_DOUBLE_EQ(barAt(2100).y1, -1000);
    EXPECT_DOUBLE_EQ(barAt(2100).y2, -1000) << "a column below the band collapses to its bottom";
    EXPECT_DOUBLE_EQ(barAt(6100).y1, 0);
    EXPECT_DOUBLE_EQ(barAt(6100).y2, 1000) << "a column crossing the top is cut there";
}

TEST_F(Curves, MarkerRunsAreBarsAboveTheTimeAxisAcrossTheViewEdges) {
    load(std::vector<float>(40, 0));
    for (std::int64_t i = 0; i <= 12; ++i) {
        s.Markers(i) = 100; // on before the view starts
    }
    for (std::int64_t i = 20; i <= 24; ++i) {
        s.Markers(i) = 100;
    }
    for (std::int64_t i = 28; i <= 39; ++i) {
        s.Markers(i) = 100; // still on past the right edge
    }
    s.Markers(16) = 200;
    showPoints(20, 10); // points 10 .. 30: a screen ends one screen on from its start
    draw();
    const double H = disp.ScaleHeight();
    const auto bars = boxes();
    ASSERT_EQ(bars.size(), 3U);
    const double expected[][2] = {{0, 3}, {10, 15}, {18, 20}};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_DOUBLE_EQ(bars[i].x1, expected[i][0]);
        EXPECT_DOUBLE_EQ(bars[i].x2, expected[i][1]);
        EXPECT_DOUBLE_EQ(bars[i].y1, 0.405 * H);
        EXPECT_DOUBLE_EQ(bars[i].y2, 0.425 * H);
        EXPECT_EQ(bars[i].colour, disp.ForeColor());
    }
    const auto drawn = lines();
    const DrawnFigure& tick = drawn.back();
    EXPECT_DOUBLE_EQ(tick.x1, 6);
    EXPECT_DOUBLE_EQ(tick.x2, 6);
    EXPECT_DOUBLE_EQ(tick.y1, 0.385 * H);
    EXPECT_DOUBLE_EQ(tick.y2, 0.425 * H) << "a stimulus tick stands on the time axis";
}

TEST_F(Curves, NoMarksWhileASpectrumIsShown) {
    load(std::vector<float>(10, 0));
    s.Markers(3) = 100;
    s.Markers(5) = 200;
    s.SpectrumShown = true;
    showPoints(10);
    draw();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(lines().size(), 10U) << "only the curve, points 0 .. 10";
}

TEST_F(Curves, BlockViewsNeverRunPastOneSweepNorPastTheLastSweep) {
    s.BlockMode = true;
    s.SweepLength = 100;
    s.CurveCount = 3;
    load(std::vector<float>(301, 0));
    s.SampleCount = 300;
    showPoints(1000, 100);
    draw();
    EXPECT_EQ(s.ScreenPoints, 199);
    showPoints(1000, 250);
    draw();
    EXPECT_EQ(s.ScreenPoints, 299) << "the data end before the sweep would";
}

TEST_F(Curves, BlockViewsDrawTheAverageBeforeTheSingleCurve) {
    s.BlockMode = true;
    s.SweepLength = 3;
    s.CurveCount = 2;
    s.ShowAverage = true;
    load({0, 10, 20, 30, 40, 50, 0});
    s.SampleCount = 6;
    s.AverageData.create(2);
    s.AverageData(1, 0) = 1;
    s.AverageData(1, 1) = 2;
    s.AverageData(1, 2) = 3;
    showPoints(3, 3);
    draw();
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 4U);
    EXPECT_EQ(drawn[0].colour, Grey);
    EXPECT_DOUBLE_EQ(drawn[0].y1, 1);
    EXPECT_DOUBLE_EQ(drawn[0].y2, 2);
    EXPECT_EQ(drawn[1].colour, White);
    EXPECT_DOUBLE_EQ(drawn[1].y1, 30);
    EXPECT_DOUBLE_EQ(drawn[1].y2, 40);
}

TEST_F(Curves, NothingAtAllWithoutDataOrTheRecordingLayout) {
    load({0, 1, 2});
    s.DataLoaded = false;
    setMousePointer(window, MousePointer::Hourglass);
    showPoints(10);
    draw();
    EXPECT_TRUE(disp.drawingLog().empty());
    EXPECT_EQ(mousePointer(window), MousePointer::Hourglass) << "the pointer is not touched";
    s.MeasureLayout = true;
    draw();
    EXPECT_EQ(lines().size(), 2U);
}

TEST_F(Curves, ViewsNeverReadPastTheStoredPoints) {
    s.BlockMode = true;
    s.SweepLength = 100;
    s.CurveCount = 5; // names more sweeps than the arrays hold
    load(std::vector<float>(150, 1));
    showPoints(1000, 100);
    draw();
    EXPECT_EQ(lines().size(), 50U) << "points 100 .. 150, where the arrays end";
    s.TraceData.erase();
    s.Markers.erase();
    disp.Cls();
    draw();
    EXPECT_TRUE(disp.drawingLog().empty());
}

} // namespace
} // namespace trazel
