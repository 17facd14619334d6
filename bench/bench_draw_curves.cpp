// Drawing the curves of a view on a plot 800 pixels wide, and the overplot view of many sweeps.

#include "core/app_state.h"
#include "display/curves.h"
#include "files/bin_writer.h"
#include "fixed_dialogs.h"
#include "qt_benchmark_main.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <chrono>
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
    // Four marker-on runs and twenty stimuli over the recording.
    for (std::int64_t run = 1; run <= 4; ++run) {
        std::ranges::fill(s.Markers.span().subspan(static_cast<std::size_t>(points * (2 * run - 1) / 9),
                                                   static_cast<std::size_t>(points / 9)),
                          MarkerOn);
    }
    for (std::int64_t i = 1; i <= 20; ++i) {
        s.Markers(points * i / 21) = MarkerStimulus;
    }
    const double W = static_cast<double>(points) / 0.8;
    disp.Scale(-0.125 * W, 0, 0.875 * W, -1);
}

// The summaries' memory beside the curves'.
double summaryShare(const AppState& s, int traces) {
    double bytes = 0;
    for (int t = 1; t <= traces; ++t) {
        bytes += static_cast<double>(s.TraceData.summary(t).bytes());
    }
    return bytes / (static_cast<double>(s.TraceData.upper() + 1) * sizeof(float) * traces);
}

void BM_DrawCurves(benchmark::State& state) {
    const auto points = state.range(0);
    const auto traces = static_cast<int>(state.range(1));
    AppState s;
    PlotSurface disp;
    QWidget window;
    setUp(s, disp, points, traces);
    // The first picture after the data were written also brings the summaries up to date.
    const auto start = std::chrono::steady_clock::now();
    DrawCurves(s, disp, window, false);
    const auto first = std::chrono::steady_clock::now() - start;
    for (auto _ : state) {
        disp.Cls();
        DrawCurves(s, disp, window, false);
        benchmark::DoNotOptimize(disp.Image());
    }
    state.counters["first_draw_ms"] = std::chrono::duration<double, std::milli>(first).count();
    state.counters["summary_share"] = summaryShare(s, traces);
}
BENCHMARK(BM_DrawCurves)
    ->ArgNames({"points", "traces"})
    ->Args({1000, 1})
    ->Args({1000, 3})
    ->Args({10'000'000, 1})
    ->Args({10'000'000, 3})
    ->Args({100'000'000, 3})
    ->Unit(benchmark::kMillisecond);

// A block file of 1,000 sweeps of 1,000 points, one trace, laid out in the overplot view.
void BM_DrawOverplot(benchmark::State& state) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath(QStringLiteral("sweeps.bin")).toStdString();
    binformat::Header header;
    header.traceChannels = {1, 0, 0};
    header.blockFlag = -1;
    header.pointsPerSweep = 1000;
    header.sampleIntervalUs = 1000;
    std::vector<std::int16_t> samples(1000 * 1000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(400 * std::sin(static_cast<double>(i % 1000) * 0.02));
    }
    auto writer = BinFileWriter::create(path, header);
    writer->append(samples, std::vector<std::int16_t>(samples.size(), 0));
    writer->close();

    AppState s;
    FixedDialogs dialogs;
    dialogs.openFile = QString::fromStdString(path.string());
    dialogs.input = QStringLiteral("0.1");
    Trazel window(s, dialogs);
    window.show();
    window.files().mnuOpen_Click();
    window.viewCommands().mnuOverplot_Click();
    for (auto _ : state) {
        window.plot().DrawOverplot();
    }
    state.counters["sweeps"] = static_cast<double>(s.CurveCount);
}
BENCHMARK(BM_DrawOverplot)->Unit(benchmark::kMillisecond);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
