// Reading a large recorded file: 3 traces, 15,000,000 records (120 MB), from the page cache.

#include "core/app_state.h"
#include "files/bin_writer.h"
#include "fixed_dialogs.h"
#include "peak_memory.h"
#include "qt_benchmark_main.h"
#include "window/main_window.h"

#include <QDir>
#include <chrono>
#include <filesystem>

namespace {

using namespace trazel;

constexpr std::int64_t Records = 15'000'000;

std::filesystem::path largeFile() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "trazel_bench_large.bin";
    binformat::Header header;
    header.channelCount = 3;
    header.traceChannels = {1, 2, 3};
    header.sampleIntervalUs = 1000;
    const auto expectedSize = binformat::HeaderSize + static_cast<std::uint64_t>(Records) * 8;
    std::error_code error;
    if (std::filesystem::file_size(path, error) == expectedSize) {
        return path;
    }
    auto writer = BinFileWriter::create(path, header);
    constexpr std::int64_t Block = 1'000'000;
    std::vector<std::int16_t> samples(3 * Block);
    std::vector<std::int16_t> markers(Block);
    for (std::int64_t first = 0; first < Records; first += Block) {
        for (std::int64_t i = 0; i < Block; ++i) {
            for (int c = 0; c < 3; ++c) {
                samples[static_cast<std::size_t>(3 * i + c)] =
                    static_cast<std::int16_t>((first + i) * (c + 1) % 4000 - 2000);
            }
            markers[static_cast<std::size_t>(i)] = (first + i) % 10000 == 0 ? 200 : 0;
        }
        writer->append(samples, markers);
    }
    writer->close();
    return path;
}

void BM_ReadBinFile(benchmark::State& state) {
    const std::filesystem::path path = largeFile();
    const QString name = QString::fromStdString(path.string());
    AppState s;
    FixedDialogs dialogs; // the versioned file asks no question
    Trazel window(s, dialogs);
    // The first read of a process takes its memory from the system; later reads of files of about the
    // same size reuse it. Both are reported: the first as a counter, the later ones as the timing.
    const long before = peakResidentKiB();
    const auto coldStart = std::chrono::steady_clock::now();
    window.files().ReadBinFile(name);
    const double coldMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - coldStart).count();
    const long afterFirst = peakResidentKiB();
    for (auto _ : state) {
        s.DataLoaded = false; // measure the reading, not the drawing of the first screen
        benchmark::DoNotOptimize(window.files().ReadBinFile(name));
    }
    // One copy of the arrays, the floats of three traces and the marker words: the views share them.
    const double arrayBytes = 3.0 * 4 * (Records + 1) + 2.0 * (Records + 1);
    const double file = static_cast<double>(std::filesystem::file_size(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(file) * state.iterations());
    state.counters["first_read_ms"] = coldMs;
    state.counters["peak_over_arrays"] = (afterFirst - before) * 1024.0 / arrayBytes;
    state.counters["peak_growth_after_first_MiB"] = (peakResidentKiB() - afterFirst) / 1024.0;
    state.counters["records"] = static_cast<double>(s.SampleCount);
}
BENCHMARK(BM_ReadBinFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
