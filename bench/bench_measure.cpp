// Accepting a long sweep into the running average, adding a row to a nearly full results table, and the
// automatic peak search over a long selection.

#include "core/app_state.h"
#include "display/average.h"
#include "files/bin_writer.h"
#include "fixed_dialogs.h"
#include "measure/peak_search.h"
#include "qt_benchmark_main.h"
#include "window/main_window.h"

#include <cmath>
#include <filesystem>

namespace {

using namespace trazel;

constexpr std::int64_t SweepPoints = 32767;

void BM_AcceptSweep(benchmark::State& state) {
    AppState s;
    s.SweepLength = SweepPoints;
    s.TraceData.create(4 * SweepPoints);
    s.AverageData.create(SweepPoints - 1);
    for (int t = 1; t <= 3; ++t) {
        s.TraceChannel(t) = static_cast<Integer>(t);
        auto data = s.TraceData.trace(t);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<float>(i % 1000) * t;
        }
    }
    s.ViewStart = SweepPoints;
    for (auto _ : state) {
        acceptIntoAverage(s);
        benchmark::DoNotOptimize(s.AverageData(1, 100));
    }
    state.SetItemsProcessed(3 * SweepPoints * state.iterations());
}
BENCHMARK(BM_AcceptSweep)->Unit(benchmark::kMicrosecond);

std::filesystem::path blockFile() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "trazel_bench_block.bin";
    binformat::Header header;
    header.channelCount = 1;
    header.traceChannels = {1, 0, 0};
    header.blockFlag = -1;
    header.pointsPerSweep = 500;
    header.stimDelay = 10;
    header.sampleIntervalUs = 1000;
    auto writer = BinFileWriter::create(path, header);
    std::vector<std::int16_t> samples(500 * 20);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(i % 500);
    }
    writer->append(samples, std::vector<std::int16_t>(samples.size(), 0));
    writer->close();
    return path;
}

void BM_AddToAFullTable(benchmark::State& state) {
    AppState s;
    FixedDialogs dialogs; // a label for each block, yes to each deletion
    dialogs.input = QStringLiteral("A");
    dialogs.answer = MsgAnswer::Yes;
    dialogs.openFile = QString::fromStdString(blockFile().string());
    Trazel window(s, dialogs);
    window.show();
    window.files().mnuOpen_Click();
    window.measurements().disp_MouseDown(1, 0, 100, 0);
    while (s.TableRow(1) < 999) {
        window.measurements().add_Click();
    }
    for (auto _ : state) {
        window.measurements().add_Click();
        state.PauseTiming();
        window.measurements().del_Click();
        state.ResumeTiming();
    }
    state.counters["rows"] = s.TableRow(1);
}
BENCHMARK(BM_AddToAFullTable)->Unit(benchmark::kMillisecond);

// 10,000,000 samples of noisy waves of 1,000 samples: 20,000 extremes.
void BM_PeakSearch(benchmark::State& state) {
    std::vector<float> samples(10'000'000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<float>(500 * std::sin(static_cast<double>(i) * 0.00628318530717958) +
                                        static_cast<double>(i * 7919 % 41) - 20);
    }
    std::size_t extremes = 0;
    for (auto _ : state) {
        extremes =
            findPeaks(samples, 0, 0, static_cast<std::int64_t>(samples.size()), -50, 50).extremes.size();
    }
    state.counters["extremes"] = static_cast<double>(extremes);
}
BENCHMARK(BM_PeakSearch)->Unit(benchmark::kMillisecond);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
