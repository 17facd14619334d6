#include "core/number_rules.h"
#include "display/curves.h"
#include "support/drawing_log.h"
#include "support/open_file_fixture.h"
#include "support/visited_extremes.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <random>

namespace trazel::testing {
namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Grey = rgb(150, 150, 150);

// A plot 800 pixels wide with data set up by hand: every trace scaled to +-1000 (range 2000).
class Curves : public ::testing::Test {
protected:
    Curves() {
        disp.resize(800, 600);
        disp.show(); // its picture takes the size when shown
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
        std::ranges::copy(trace1, s.TraceData.trace(1).begin());
        std::ranges::copy(trace2, s.TraceData.trace(2).begin());
    }

    // One screen of `points` points: the scale width puts them on 80 % of the plot.
    void showPoints(double points, double viewStart = 0) {
        s.ViewStart = static_cast<Single>(viewStart);
        const double W = points / 0.8;
        disp.Scale(-0.125 * W, 0, 0.875 * W, -1);
    }

    void draw(bool overplot = false) {
        disp.Cls();
        DrawCurves(s, disp, window, overplot);
    }

    std::vector<DrawnFigure> lines() const { return figuresOfKind(disp, DrawnFigure::Kind::Line); }
    std::vector<DrawnFigure> boxes() const { return figuresOfKind(disp, DrawnFigure::Kind::Box); }

    AppState s;
    LoggedSurface disp;
    QWidget window;
};

TEST_F(Curves, DrawsSparseViewsPointByPointHeldWithinTheBand) {
    load({0, 5000, -5000, 500});
    showPoints(10);
    draw();
    std::vector<std::array<double, 4>> drawn;
    for (const DrawnFigure& line : lines()) {
        drawn.push_back(corners(line));
        EXPECT_EQ(line.colour, White);
    }
    EXPECT_EQ(drawn,
              (std::vector<std::array<double, 4>>{{0, 0, 1, 1000}, {1, 1000, 2, -1000}, {2, -1000, 3, 500}}));
    EXPECT_EQ(s.ScreenPoints, 3) << "the last screen ends at the last point";
    EXPECT_EQ(s.PlotWidthPx, 800);
    EXPECT_EQ(mousePointer(window), MousePointer::Default);
    setMousePointer(window, MousePointer::Hourglass);
    draw();
    EXPECT_EQ(mousePointer(window), MousePointer::Hourglass) << "drawn within a longer work, which keeps it";
    setMousePointer(window, MousePointer::Default);

    load(std::vector<float>(2000, 1));
    showPoints(1000); // 1.5625 points per pixel
    draw();
    EXPECT_EQ(lines().size(), 1000U);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Curves, DrawsEachRecordedTraceInItsOwnScaleAndUnderOverplotOnlyTheCurrentOne) {
    s.TraceRange(2) = 40;
    s.TraceOffset(2) = 10;
    load({0, 100, 0}, {0, 5, 0});
    showPoints(10);
    draw();
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 4U);
    EXPECT_EQ(corners(drawn[1]), (std::array<double, 4>{0, 10, 1, 15}))
        << "point by point, trace after trace";
    EXPECT_EQ(drawn[1].colour, Yellow);
    EXPECT_DOUBLE_EQ(disp.ScaleHeight(), -40 / 0.8) << "left in the scale of the last trace drawn";
    s.CurrentTrace = 2;
    draw(true);
    ASSERT_EQ(lines().size(), 2U);
    EXPECT_EQ(lines()[0].colour, Yellow);
}

TEST_F(Curves, ADenseViewGetsOneBarPerPixelColumnCutAtTheBandEnds) {
    std::vector<float> data(100001);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<float>(i % 1000) - 500; // a ramp from -500 to 499 every 1000 points
    }
    load(data);
    showPoints(100000); // S = 156.25: steps of 156 points, each bar 157 points wide
    draw();
    auto bars = boxes();
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(corners(bars[0]), (std::array<double, 4>{0, -500, 156.25, -344})) << "points 0 .. 156";
    EXPECT_DOUBLE_EQ(bars[1].x1, 156);
    EXPECT_TRUE(bars[0].filled);
    EXPECT_EQ(bars.size(), 641U) << "columns at 0, 156, ... up to the end of the view less one column";

    data.assign(10000, 5000);
    for (std::size_t i = 2000; i < 4000; ++i) {
        data[i] = -5000;
        data[i + 4000] = i % 2 == 0 ? 0 : 3000;
    }
    load(data);
    showPoints(8000); // 12.5 points per pixel
    draw();
    bars = boxes();
    const auto barAt = [&](double x) {
        const auto found = std::ranges::find_if(bars, [x](const DrawnFigure& b) { return b.x1 >= x; });
        return std::pair(found->y1, found->y2);
    };
    EXPECT_EQ(barAt(100), std::pair(1000.0, 1000.0)) << "a column above the band collapses to its top";
    EXPECT_EQ(barAt(2100), std::pair(-1000.0, -1000.0)) << "a column below the band collapses to its bottom";
    EXPECT_EQ(barAt(6100), std::pair(0.0, 1000.0)) << "a column crossing the top is cut there";
}

TEST_F(Curves, MarkerRunsAreBarsAboveTheTimeAxisAcrossTheViewEdges) {
    load(std::vector<float>(40, 0));
    for (std::int64_t i = 0; i < 40; ++i) {
        // On before the view starts, in the view, and still on past its right edge.
        s.Markers(i) = static_cast<Integer>(i <= 12 || (i >= 20 && i <= 24) || i >= 28 ? 100 : 0);
    }
    s.Markers(16) = 200;
    showPoints(20, 10); // points 10 .. 30: a screen ends one screen on from its start
    draw();
    const double H = disp.ScaleHeight();
    const auto bars = boxes();
    ASSERT_EQ(bars.size(), 3U);
    const double expected[][2] = {{0, 3}, {10, 15}, {18, 20}};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(corners(bars[i]), (std::array{expected[i][0], 0.405 * H, expected[i][1], 0.425 * H}));
        EXPECT_EQ(bars[i].colour, disp.ForeColor());
    }
    EXPECT_EQ(corners(lines().back()), (std::array{6.0, 0.385 * H, 6.0, 0.425 * H}))
        << "a stimulus tick stands on the time axis";

    s.SpectrumShown = true;
    draw();
    EXPECT_TRUE(boxes().empty()) << "no marks while a spectrum is shown";
    EXPECT_EQ(lines().size(), 20U) << "only the curve, points 10 .. 30";
}

TEST_F(Curves, BlockViewsNeverRunPastOneSweepNorPastTheLastSweepNorPastTheStoredPoints) {
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

    s.CurveCount = 5; // names more sweeps than the arrays hold
    load(std::vector<float>(150, 1));
    showPoints(1000, 100);
    draw();
    EXPECT_EQ(lines().size(), 50U) << "points 100 .. 150, where the arrays end";
    s.TraceData.erase();
    s.Markers.erase();
    draw();
    EXPECT_TRUE(disp.drawingLog().empty());
}

TEST_F(Curves, BlockViewsDrawTheAverageBeforeTheSingleCurve) {
    s.BlockMode = true;
    s.SweepLength = 3;
    s.CurveCount = 2;
    s.ShowAverage = true;
    load({0, 10, 20, 30, 40, 50, 0});
    s.SampleCount = 6;
    s.AverageData.create(2);
    std::ranges::copy(std::array{1.0F, 2.0F, 3.0F}, s.AverageData.trace(1).begin());
    showPoints(3, 3);
    draw();
    const auto drawn = lines();
    ASSERT_EQ(drawn.size(), 4U);
    EXPECT_EQ(std::pair(drawn[0].colour, corners(drawn[0])),
              std::pair(Grey, std::array<double, 4>{0, 1, 1, 2}));
    EXPECT_EQ(std::pair(drawn[1].colour, corners(drawn[1])),
              std::pair(White, std::array<double, 4>{0, 30, 1, 40}));
}

// Point by point, the curves are drawn a run of points at a time; the picture is that of each line drawn
// on its own, across the traces point after point: random walks with spikes beyond the band and gaps (NaN),
// over more points than one run, an average shorter than the view; then the overplot's single curve.
TEST_F(Curves, SparseViewsAreThePictureOfTheirLinesDrawnOneByOne) {
    s.MaxPointsPerPixel = 15;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(0, 1);
    const auto walk = [&](std::span<float> points, float nanShare) {
        float v = 0;
        for (float& point : points) {
            v = std::clamp(v + 60 * (uniform(random) - 0.5F), -1100.0F, 1100.0F);
            point = uniform(random) < nanShare ? NAN : (uniform(random) < 0.005F ? -4 * v : v);
        }
    };
    load(std::vector<float>(9500), std::vector<float>(9500));
    s.TraceChannel(3) = 3;
    s.AverageData.create(4999);
    for (int t = 1; t <= TraceCount; ++t) {
        walk(s.TraceData.trace(t), t == 1 ? 0 : 0.002F); // trace 1, the overplot's, stays on the plot
        walk(s.AverageData.trace(t), 0.002F);
        s.TraceOffset(t) = 150.0F * static_cast<float>(t - 2);
    }
    showPoints(9000, 400); // 14 points per pixel

    for (const bool overplot : {false, true}) {
        s.ShowAverage = !overplot;
        draw(overplot);
        LoggedSurface ref;
        ref.resize(disp.size());
        ref.show();
        ref.Scale(disp.ScaleLeft(), 0, disp.ScaleLeft() + disp.ScaleWidth(), -1);
        const auto held = [&](int c, double v) { return std::clamp(v + s.TraceOffset(c), -1000.0, 1000.0); };
        for (std::int64_t x = 401; x <= s.ScreenPoints; ++x) {
            const double at = static_cast<double>(x) - 400;
            for (int c = overplot ? s.CurrentTrace : 1; c <= (overplot ? s.CurrentTrace : TraceCount); ++c) {
                setTraceScale(s, ref, c);
                if (s.ShowAverage && s.AverageData.contains(x - 400)) {
                    ref.Line(at - 1, held(c, s.AverageData(c, x - 401)), at,
                             held(c, s.AverageData(c, x - 400)), s.AverageColour(c));
                }
                ref.Line(at - 1, held(c, s.TraceData(c, x - 1)), at, held(c, s.TraceData(c, x)),
                         s.SingleColour(c));
            }
        }
        const auto drawn = lines();
        ASSERT_EQ(drawn.size(), ref.drawingLog().size());
        const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const auto [a, b] = std::pair(corners(drawn[i]), corners(ref.drawingLog()[i]));
            ASSERT_TRUE(std::ranges::equal(a, b, same) && drawn[i].colour == ref.drawingLog()[i].colour)
                << "line " << i;
        }
        EXPECT_EQ(disp.Image(), ref.Image());
    }
}

// The picture of the dense view DrawCurves has just drawn, made again on `ref` by a visit to every point, as
// the columns and marks were drawn before they read the summaries.
void drawByFullScan(const AppState& s, PlotSurface& ref) {
    const double S = ref.ScaleWidth() / s.PlotWidthPx;
    const std::int64_t first = toLong(s.ViewStart);
    const std::int64_t last =
        std::min<std::int64_t>({s.ScreenPoints, s.TraceData.upper(), s.Markers.upper()});
    const auto at = [&](std::int64_t x) { return static_cast<double>(x) - s.ViewStart; };
    for (std::int64_t x = first; x <= toLong(s.ScreenPoints - S); x += toLong(S)) {
        for (int c = 1; c <= TraceCount; ++c) {
            if (s.TraceChannel(c) < 1) {
                continue;
            }
            const double U = s.TraceRange(c) / 2;
            const auto column = [&](std::pair<float, float> e, Colour colour) {
                double lo = static_cast<double>(e.first) + s.TraceOffset(c);
                double hi = static_cast<double>(e.second) + s.TraceOffset(c);
                lo > U ? lo = hi = U : hi = std::min(hi, U);
                hi < -U ? lo = hi = -U : lo = std::max(lo, -U);
                if (e.first <= e.second) {
                    ref.Box(at(x), lo, at(x) + S, hi, colour, BoxFill::Solid);
                }
            };
            setTraceScale(s, ref, c);
            if (s.ShowAverage && s.AverageData.exists()) {
                column(visitedExtremes(s.AverageData.trace(c), toLong(at(x)), toLong(at(x) + S)),
                       s.AverageColour(c));
            }
            if (s.ShowSingle) {
                column(visitedExtremes(s.TraceData.trace(c), x, std::min<std::int64_t>(toLong(x + S), last)),
                       s.SingleColour(c));
            }
        }
    }
    bool open = s.Markers(first) >= 1;
    double runStart = s.ViewStart;
    for (std::int64_t x = first; x <= last; ++x) {
        if ((s.Markers(x) == MarkerOn) != open && open) {
            drawMarkerBar(ref, runStart - s.ViewStart, at(x));
        }
        runStart = (s.Markers(x) == MarkerOn) && !open ? static_cast<double>(x) : runStart;
        open = s.Markers(x) == MarkerOn;
    }
    if (open) {
        drawMarkerBar(ref, runStart - s.ViewStart, at(last));
    }
    for (std::int64_t x = first; x <= last; ++x) {
        if (s.Markers(x) == MarkerStimulus) {
            drawStimulusTick(ref, at(x));
        }
    }
}

// DrawCurves on a plot `width` pixels wide draws exactly the figures and pixels of a visit to every point.
void expectPictureOfFullScan(AppState& s, QWidget& window, double scaleWidth, int width) {
    LoggedSurface disp;
    LoggedSurface ref;
    for (PlotSurface* plot : {&disp, &ref}) {
        plot->setMinimumSize(1, 1);
        plot->resize(width, 300);
        plot->show();
        plot->Scale(-0.125 * scaleWidth, 0, 0.875 * scaleWidth, -1);
    }
    DrawCurves(s, disp, window, false);
    ASSERT_EQ(s.PlotWidthPx, width);
    ASSERT_GT(scaleWidth / width, s.MaxPointsPerPixel) << "a dense view";
    drawByFullScan(s, ref);
    const auto figure = [](const DrawnFigure& f) {
        return std::tuple(f.kind, corners(f), f.colour, f.filled);
    };
    ASSERT_EQ(disp.drawingLog().size(), ref.drawingLog().size());
    for (std::size_t i = 0; i < ref.drawingLog().size(); ++i) {
        ASSERT_EQ(figure(disp.drawingLog()[i]), figure(ref.drawingLog()[i])) << "figure " << i;
    }
    EXPECT_EQ(disp.Image(), ref.Image());
}

struct RandomView {
    unsigned seed;
    std::int64_t points;
    double viewStart;
    double screenPoints; // beyond the data the view ends at the last point
    int plotWidth;
    double nanShare; // imported float files may hold NaN, which the columns pass over
    Integer wordAtStart;
};

class DenseViews : public Curves, public ::testing::WithParamInterface<RandomView> {};

// Random walks with spikes beyond the band, marker-on runs, stimuli and odd marker words; then changes
// written through every kind of access, which the summaries must follow.
TEST_P(DenseViews, DrawExactlyThePictureOfAVisitToEveryPointAlsoAfterChanges) {
    const RandomView& view = GetParam();
    std::mt19937 random(view.seed);
    std::uniform_real_distribution<float> uniform(0, 1);
    s.SampleCount = static_cast<Long>(view.points);
    s.TraceData.create(view.points);
    s.Markers.create(view.points);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceChannel(t) = static_cast<Integer>(t);
        s.TraceOffset(t) = 100.0F * static_cast<float>(t - 2);
        float walk = 0;
        for (float& v : s.TraceData.trace(t)) {
            walk = std::clamp(walk + 40 * (uniform(random) - 0.5F), -1200.0F, 1200.0F);
            v = uniform(random) < view.nanShare ? NAN : (uniform(random) < 0.001F ? -3 * walk : walk);
        }
    }
    Integer word = 0;
    for (Integer& marker : s.Markers.span()) {
        const float u = uniform(random);
        word = u < 0.002F ? static_cast<Integer>(MarkerOn - word) : word;
        marker = u > 0.9995F ? MarkerStimulus : (u > 0.999F ? 7 : word);
    }
    s.Markers(toLong(view.viewStart)) = view.wordAtStart;
    s.ViewStart = static_cast<Single>(view.viewStart);
    expectPictureOfFullScan(s, window, view.screenPoints / 0.8, view.plotWidth);

    std::uniform_int_distribution<std::int64_t> point(0, view.points);
    for (int i = 0; i < 20; ++i) {
        s.TraceData(1 + i % 3, point(random)) = 900.0F - 90.0F * static_cast<float>(i);
        s.Markers(point(random)) = std::array<Integer, 3>{MarkerOn, MarkerStimulus, 0}[i % 3];
    }
    std::ranges::fill(s.TraceData.trace(2).subspan(static_cast<std::size_t>(point(random) / 2), 5000),
                      555.0F);
    std::ranges::fill(s.Markers.pointsFrom(point(random)), MarkerOn);
    expectPictureOfFullScan(s, window, view.screenPoints / 0.8, view.plotWidth);
}

INSTANTIATE_TEST_SUITE_P(RandomData, DenseViews,
                         ::testing::Values(RandomView{1, 200'000, 0, 200'000, 800, 0, 0},
                                           RandomView{2, 200'000, 12'345, 150'001, 800, 0.01, 100},
                                           RandomView{3, 300'000, 1000.5, 99'999, 333, 0.2, 200},
                                           RandomView{4, 100'000, 64, 80'000, 97, 0, 7},
                                           RandomView{5, 150'000, 140'000.25, 50'000, 800, 0.05, 100},
                                           RandomView{6, 60'000, 0, 60'000, 7, 0.99, 0},
                                           RandomView{7, 500'000, 3, 500'000, 1, 0, 200}));

using ExampleViews = OpenFileTest;

// The summaries follow the data through the commands that change them: read, inverted (negated in place),
// copied back by Raw curves, averaged, and read again into the memory of another file.
TEST_F(ExampleViews, AreThePictureOfAVisitToEveryPointThroughInvertRawCurvesAveragingAndRereading) {
    const auto expectDenseViews = [&](const char* after) {
        SCOPED_TRACE(after);
        for (const int width : {2, 5, 9}) {
            expectPictureOfFullScan(state, *window, window->ui.disp->ScaleWidth(), width);
        }
    };
    open(Examples / "continuous.bin");
    expectDenseViews("read");
    window->viewCommands().mnuInvert_Click();
    expectDenseViews("inverted");
    window->viewCommands().mnuRaw_Click();
    expectDenseViews("raw curves");
    open(Examples / "block.bin");
    window->views().accept_Click();
    window->viewCommands().mnuInvert_Click();
    window->views().accept_Click();
    window->views().mnuS_A_Click();
    expectDenseViews("averaged");
    open(Examples / "continuous.bin");
    expectDenseViews("read again");
}

} // namespace
} // namespace trazel::testing
