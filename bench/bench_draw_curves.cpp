// Drawing the curves of a view on a plot 800 pixels wide.

#include "core/app_state.h"
#include "display/curves.h"
#include "qt_benchmark_main.h"
#include "ui/plot_surface.h"

#include <QWidget>
#include <cmath>

namespace {

using namespace trazel;

void setUp(AppState& s, PlotSurface& disp, std::int64_t points, int traces) {
    disp.resize(800, 600);
    s.DataLoaded = true;
    s.ShowSingle = true;
    s.MaxPointsPerPixel = 6;
    s.CurrentTrace = 1;
    s.SampleCount = static_cast<Long>(points);
    s.TraceData.create(points);
    s.Markers.create(points);
    for (int t = 1; t <= traces; ++t) {
        s.TraceChannel(t) = static_cast<Integer>(t);
        s.TraceRange(t) = 2000;
        s.SingleColour(t) = rgb(255, 255, 255);
        auto data = s.TraceData.trace(t);
        for (std::int64_t i = 0; i <= points; ++i) {
            data[static_cast<std::size_t>(i)] =
                static_cast<float>(800 * std::sin(i * 0.001 * t) + (i % 17) * 10);
        }
    }
    for (std::int64_t i = 0; i <= points; i += 5000) {
        s.Markers(i) = 200;
    }
    const double W = static_cast<double>(points) / 0.8;
    disp.Scale(-0.125 * W, 0, 0.875 * W, -1);
}

void BM_DrawCurves(benchmark::State& state) {
    const auto points = state.range(0);
    const auto traces = static_cast<int>(state.range(1));
    AppState s;
    PlotSurface disp;
    QWidget window;
    setUp(s, disp, points, traces);
    for (auto _ : state) {
        disp.Cls();
        DrawCurves(s, disp, window, false);
        benchmark::DoNotOptimize(disp.Image());
    }
    state.counters["figures"] = static_cast<double>(disp.drawingLog().size());
}
BENCHMARK(BM_DrawCurves)
    ->ArgNames({"points", "traces"})
    ->Args({1000, 1})
    ->Args({1000, 3})
    ->Args({10'000'000, 1})
    ->Args({10'000'000, 3})
    ->Unit(benchmark::kMillisecond);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
