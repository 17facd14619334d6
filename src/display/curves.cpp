#include "display/curves.h"

#include "core/number_rules.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace trazel {

namespace {

std::vector<int> tracesToDraw(const AppState& s, bool overplotChecked) {
    std::vector<int> traces;
    for (int c = 1; c <= TraceCount; ++c) {
        if (s.TraceChannel(c) >= 1 && (!overplotChecked || c == s.CurrentTrace)) {
            traces.push_back(c);
        }
    }
    return traces;
}

struct Band {
    double upper;
    double lower;
    double clamp(double v) const { return v > upper ? upper : (v < lower ? lower : v); }
};

Band bandOf(const AppState& s, int c) {
    return {s.TraceRange(c) / 2.0, -s.TraceRange(c) / 2.0};
}

Integer plotWidthInPixels(PlotSurface& disp, double W) {
    const double top = disp.ScaleTop();
    const double height = disp.ScaleHeight();
    disp.setScaleMode(ScaleMode::Pixels);
    const auto pixels = toInteger(disp.ScaleWidth());
    disp.setScaleMode(ScaleMode::User);
    disp.setScaleWidth(W);
    disp.setScaleLeft(-0.125 * W);
    disp.setScaleTop(top);
    disp.setScaleHeight(height);
    return pixels;
}

// The points the arrays hold; a view never reads past them.
std::int64_t lastStoredPoint(const AppState& s) {
    return std::min(s.TraceData.upper(), s.Markers.upper());
}

// A curve's pen and the values of the run of points it is drawing.
struct PlacedCurve {
    std::optional<PlotSurface::LinePen> pen;
    std::vector<double> ys;
};

class CurveDrawing {
public:
    CurveDrawing(const AppState& s, PlotSurface& disp, std::vector<int> traces)
        : s(s), disp(disp), m_traces(std::move(traces)), m_first(toLong(s.ViewStart)),
          m_last(std::min<std::int64_t>(s.ScreenPoints, lastStoredPoint(s))),
          m_average(s.ShowAverage && s.AverageData.exists()), m_single(s.ShowSingle) {}

    void pointByPoint();
    void columns(double pointsPerPixel);
    void marks();

private:
    // The averaged curve is indexed by the position within the view.
    bool hasAverageAt(std::int64_t x) const { return s.AverageData.contains(toLong(x - s.ViewStart)); }
    float averageAt(int c, std::int64_t x) const { return s.AverageData(c, toLong(x - s.ViewStart)); }
    void placeRun(int c, const Band& band, double offset, std::int64_t from, std::int64_t to,
                  PlacedCurve& average, PlacedCurve& single) const;
    void drawColumn(int c, std::int64_t x, double pointsPerPixel);
    void drawMarkerRuns();
    void drawStimulusTicks();
    // The points from .. to where the marker-on state changes or a stimulus is marked.
    std::span<const std::int64_t> markerChanges(std::int64_t from, std::int64_t to) const {
        return s.Markers.summary().between(from, to);
    }

    const AppState& s;
    PlotSurface& disp;
    std::vector<int> m_traces;
    std::int64_t m_first;
    std::int64_t m_last;
    bool m_average;
    bool m_single;
};

// The points go into pixels a run at a time, each run's lines across the traces point by point.
void CurveDrawing::pointByPoint() {
    if (m_first > m_last) {
        return;
    }
    disp.setCurrentX(0);
    constexpr std::int64_t Run = 4096; // the points of a sweep at once, mostly
    struct TraceCurves {
        int c;
        Band band;
        double offset;
        PlacedCurve average, single;
    };
    std::vector<TraceCurves> curves;
    curves.reserve(m_traces.size());
    std::vector<PlotSurface::LinePen*> pens;
    for (int c : m_traces) {
        setTraceScale(s, disp, c);
        TraceCurves& curve = curves.emplace_back(TraceCurves{c, bandOf(s, c), s.TraceOffset(c), {}, {}});
        if (m_average && s.AverageData.contains(0)) {
            pens.push_back(&curve.average.pen.emplace(disp.linePen(s.AverageColour(c))));
        }
        if (m_single) {
            pens.push_back(&curve.single.pen.emplace(disp.linePen(s.SingleColour(c))));
        }
    }
    const double viewStart = s.ViewStart;
    for (std::int64_t from = m_first; from < m_last; from += Run) {
        const std::int64_t to = std::min(from + Run, m_last);
        for (TraceCurves& curve : curves) {
            placeRun(curve.c, curve.band, curve.offset, from, to, curve.average, curve.single);
            for (PlacedCurve* placed : {&curve.average, &curve.single}) {
                if (placed->pen) {
                    placed->pen->placePoints(static_cast<double>(from) - viewStart, placed->ys);
                }
            }
        }
        PlotSurface::LinePen::linesAcross(pens);
    }
}

// The values of points from .. to of trace c as drawn: offset, held in the band; the average as far as
// it goes.
void CurveDrawing::placeRun(int c, const Band& band, double offset, std::int64_t from, std::int64_t to,
                            PlacedCurve& average, PlacedCurve& single) const {
    average.ys.clear();
    if (average.pen) {
        for (std::int64_t x = from; x <= to && hasAverageAt(x); ++x) {
            average.ys.push_back(band.clamp(averageAt(c, x) + offset));
        }
    }
    if (single.pen) {
        const auto samples = s.TraceData.trace(c).subspan(static_cast<std::size_t>(from),
                                                          static_cast<std::size_t>(to - from + 1));
        single.ys.resize(samples.size());
        // Copies, which the stores into ys cannot change: they stay in registers.
        std::transform(samples.begin(), samples.end(), single.ys.begin(),
                       [band, offset](float v) { return band.clamp(v + offset); });
    }
}

// A column wholly beyond an end of the band collapses onto that end; one that crosses an end is cut there.
void clampColumn(double& smallest, double& largest, const Band& band) {
    if (smallest > band.upper) {
        smallest = largest = band.upper;
    } else if (largest > band.upper) {
        largest = band.upper;
    }
    if (largest < band.lower) {
        smallest = largest = band.lower;
    } else if (smallest < band.lower) {
        smallest = band.lower;
    }
}

void CurveDrawing::columns(double pointsPerPixel) {
    const auto step = std::max<Long>(1, toLong(pointsPerPixel));
    const Long lastColumn = toLong(s.ScreenPoints - pointsPerPixel);
    for (std::int64_t x = m_first; x <= lastColumn; x += step) {
        for (int c : m_traces) {
            drawColumn(c, x, pointsPerPixel);
        }
    }
}

void CurveDrawing::drawColumn(int c, std::int64_t x, double pointsPerPixel) {
    const double at = static_cast<double>(x) - s.ViewStart;
    const double offset = s.TraceOffset(c);
    Extremes average;
    if (m_average) {
        average = s.AverageData.extremesBetween(c, toLong(at), toLong(at + pointsPerPixel));
    }
    Extremes single;
    if (m_single) {
        single =
            s.TraceData.extremesBetween(c, x, std::min<std::int64_t>(toLong(x + pointsPerPixel), m_last));
    }
    setTraceScale(s, disp, c);
    const Band band = bandOf(s, c);
    for (const auto& [extremes, colour] :
         {std::pair{average, s.AverageColour(c)}, std::pair{single, s.SingleColour(c)}}) {
        if (extremes.empty()) {
            continue;
        }
        double smallest = extremes.smallest + offset;
        double largest = extremes.largest + offset;
        clampColumn(smallest, largest, band);
        disp.Box(at, smallest, at + pointsPerPixel, largest, colour, BoxFill::Solid);
    }
}

void CurveDrawing::marks() {
    if (m_first > m_last) {
        return;
    }
    drawMarkerRuns();
    drawStimulusTicks();
}

// Each run of marker-on points is one bar just above the time axis, from the run's first point to the
// point that ends it, or to the end of the view; a run already on at the left edge starts there. Past the
// first point a run can open or end only where the marker-on state changes, which the index lists.
void CurveDrawing::drawMarkerRuns() {
    const double viewStart = s.ViewStart;
    auto bar = [&](double from, double to) { drawMarkerBar(disp, from - viewStart, to - viewStart); };
    bool open = s.Markers(m_first) >= 1;
    double runStart = viewStart;
    auto visit = [&](std::int64_t x) {
        const bool on = s.Markers(x) == MarkerOn;
        if (on && !open) {
            open = true;
            runStart = static_cast<double>(x);
        } else if (!on && open) {
            bar(runStart, static_cast<double>(x));
            open = false;
        }
    };
    visit(m_first);
    for (const std::int64_t x : markerChanges(m_first + 1, m_last)) {
        visit(x);
    }
    if (open) {
        bar(runStart, static_cast<double>(m_last));
    }
}

void CurveDrawing::drawStimulusTicks() {
    for (const std::int64_t x : markerChanges(m_first, m_last)) {
        if (s.Markers(x) == MarkerStimulus) {
            drawStimulusTick(disp, static_cast<double>(x) - s.ViewStart);
        }
    }
}

} // namespace

Long lastViewPoint(const AppState& s, double W) {
    const double screen = 0.8 * W;
    if (s.BlockMode) {
        const double points = static_cast<double>(s.SweepLength) * s.CurveCount;
        Long end =
            points - s.ViewStart <= screen ? static_cast<Long>(points - 1) : toLong(screen + s.ViewStart);
        if (end - s.ViewStart >= s.SweepLength) {
            end = toLong(s.ViewStart + s.SweepLength - 1);
        }
        return end;
    }
    return s.SampleCount - s.ViewStart < screen ? s.SampleCount - 1 : toLong(screen + s.ViewStart);
}

// Every trace fills the same band of the plot whatever its scale: +R/2 at the top of the amplitude
// axis, -R/2 at its bottom.
void setTraceScale(const AppState& s, PlotSurface& disp, int c) {
    disp.setScaleTop(s.TraceRange(c) * 0.475 / 0.8);
    disp.setScaleHeight(-s.TraceRange(c) / 0.8);
}

void drawMarkerBar(PlotSurface& disp, double x1, double x2) {
    const double H = disp.ScaleHeight();
    disp.Box(x1, 0.405 * H, x2, 0.425 * H, disp.ForeColor(), BoxFill::Solid);
}

void drawStimulusTick(PlotSurface& disp, double x) {
    const double H = disp.ScaleHeight();
    disp.Line(x, 0.385 * H, x, 0.425 * H);
}

void DrawCurves(AppState& s, PlotSurface& disp, QWidget& window, bool overplotChecked) {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    const HourglassPointer busy(window);
    const double W = disp.ScaleWidth();
    s.ScreenPoints = lastViewPoint(s, W);
    s.PlotWidthPx = plotWidthInPixels(disp, W);
    const double pointsPerPixel = W / std::max<Integer>(1, s.PlotWidthPx);
    disp.setDrawMode(DrawMode::CopyPen);

    CurveDrawing drawing(s, disp, tracesToDraw(s, overplotChecked));
    if (pointsPerPixel <= s.MaxPointsPerPixel) {
        drawing.pointByPoint();
    } else {
        drawing.columns(pointsPerPixel);
    }
    if (!s.SpectrumShown) {
        drawing.marks();
    }
}

} // namespace trazel
