// The curve-point copy of a view of 1,000,000 samples of three traces at 1 kHz: building the text alone,
// and the whole command with the text put on the (offscreen) clipboard.

#include "core/app_state.h"
#include "export/curve_points.h"
#include "fixed_dialogs.h"
#include "qt_benchmark_main.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <cmath>

namespace {

using namespace trazel;

constexpr std::int64_t Samples = 1'000'000;

// A continuous recording of Samples points with a noisy wave on every trace, all of it in view.
void loadRecording(AppState& s, PlotSurface& disp) {
    s.DataLoaded = true;
    s.SampleInterval = 0.001F;
    s.SampleCount = static_cast<Long>(Samples);
    s.TraceData.create(Samples - 1);
    s.Markers.create(Samples - 1);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceChannel(t) = static_cast<Integer>(t);
        auto data = s.TraceData.trace(t);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<float>(800 * std::sin(static_cast<double>(i) * 0.001 * t) +
                                         static_cast<double>(i % 17) * 0.1);
        }
    }
    s.ViewStart = 0;
    s.ScreenLen = 1000;
    disp.setScaleWidth(Samples / 0.8);
}

void BM_CurvePointsText(benchmark::State& state) {
    AppState s;
    PlotSurface disp;
    loadRecording(s, disp);
    PointStretch stretch;
    stretch.last = Samples - 1;
    stretch.single = true;
    for (int t = 1; t <= TraceCount; ++t) {
        stretch.traces.push_back({t, s.TraceData.trace(t), {}});
    }
    stretch.markers = s.Markers.span();
    const SampleTimes times(s.ScreenLen, 0.8 * disp.ScaleWidth());
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = curvePointsText(stretch, times).size();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CurvePointsText)->Unit(benchmark::kMillisecond);

void BM_CopyCurvePoints(benchmark::State& state) {
    AppState s;
    FixedDialogs dialogs;
    Trazel window(s, dialogs);
    window.show();
    loadRecording(s, *window.ui.disp);
    for (auto _ : state) {
        window.exports().CopyCurvePoints();
    }
}
BENCHMARK(BM_CopyCurvePoints)->Unit(benchmark::kMillisecond);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
