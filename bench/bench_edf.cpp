// Opening and exporting a large EDF file: 3 signals of 10 hours at 1 kHz (3 × 36,000,000 16-bit samples,
// 216 MB of samples), from the page cache. The file is kept as <temp>/trazel_bench_large.edf for the
// yardstick: /usr/bin/python3 bench/mne_read_edf.py times MNE-Python's reading of the same file.

#include "core/app_state.h"
#include "core/marker_index.h"
#include "export/recording_export.h"
#include "files/edf_file.h"
#include "files/file_commands.h"
#include "fixed_dialogs.h"
#include "peak_memory.h"
#include "qt_benchmark_main.h"
#include "window/main_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace trazel;

constexpr int Signals = 3;
constexpr double Rate = 1000;
constexpr std::int64_t Samples = 36'000'000;
constexpr std::int64_t StimulusEvery = 10'000; // samples: one stimulus each 10 s

std::filesystem::path tempFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

// Whole numbers from -2000 to 2000, a different sawtooth on each signal; made once, shared by all.
const std::vector<std::vector<float>>& signalValues() {
    static const std::vector<std::vector<float>> values = [] {
        std::vector<std::vector<float>> all(Signals, std::vector<float>(Samples));
        for (int c = 0; c < Signals; ++c) {
            for (std::int64_t i = 0; i < Samples; ++i) {
                all[c][static_cast<std::size_t>(i)] = static_cast<float>(i * (c + 1) % 4001 - 2000);
            }
        }
        return all;
    }();
    return values;
}

// Reused while the reader takes it with every sample, so that a run interrupted while writing remakes it.
bool holdsEverySample(const std::filesystem::path& path) {
    std::string error;
    const auto reader = EdfReader::open(path, error);
    return reader && reader->signalList().size() == Signals &&
           std::ranges::all_of(reader->signalList(),
                               [](const SignalInfo& s) { return s.samples == Samples; });
}

// The signals as their digital values.
std::vector<EdfOutSignal> outSignals() {
    std::vector<EdfOutSignal> out;
    for (int c = 0; c < Signals; ++c) {
        EdfOutSignal signal{"ch" + std::to_string(c + 1), "uV", Rate, signalValues()[c]};
        signal.digital = true;
        out.push_back(std::move(signal));
    }
    return out;
}

std::vector<SignalEvent> stimulusEvents() {
    std::vector<SignalEvent> events;
    for (std::int64_t i = 0; i < Samples; i += StimulusEvery) {
        events.push_back({static_cast<double>(i) / Rate, -1, "Stimulus"});
    }
    return events;
}

std::filesystem::path largeEdf() {
    const std::filesystem::path path = tempFile("trazel_bench_large.edf");
    if (holdsEverySample(path)) {
        return path;
    }
    std::string error;
    if (!writeEdf(path, false, outSignals(), stimulusEvents(), error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        std::exit(EXIT_FAILURE);
    }
    return path;
}

std::int64_t fileBytes(const std::filesystem::path& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

// The reading alone, without the window: EDFlib's decoding and the scaling to physical values.
void BM_ReadEdfPhysical(benchmark::State& state) {
    const std::filesystem::path path = largeEdf();
    std::vector<std::vector<float>> out(Signals, std::vector<float>(Samples));
    for (auto _ : state) {
        std::string error;
        auto reader = EdfReader::open(path, error);
        for (int c = 0; reader && c < Signals; ++c) {
            if (!reader->readPhysical(c, out[c], error)) {
                reader.reset();
            }
        }
        if (!reader) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(fileBytes(path) * state.iterations());
}
BENCHMARK(BM_ReadEdfPhysical)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// File > Open of the file, up to the first screen drawn, as the user waits for it.
void BM_OpenEdf(benchmark::State& state) {
    const std::filesystem::path path = largeEdf();
    const QString name = QString::fromStdString(path.string());
    AppState s;
    FixedDialogs dialogs; // answers the message of a file that cannot be read
    Trazel window(s, dialogs);
    // As for the .bin files: the first opening takes its memory from the system, later ones reuse it.
    const long before = peakResidentKiB();
    const auto coldStart = std::chrono::steady_clock::now();
    window.files().OpenFile(name);
    const double coldMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - coldStart).count();
    const long afterFirst = peakResidentKiB();
    if (!s.DataLoaded || s.SampleCount != Samples) {
        state.SkipWithError("the window did not open the EDF file");
        return;
    }
    for (auto _ : state) {
        window.files().OpenFile(name);
    }
    state.SetBytesProcessed(fileBytes(path) * state.iterations());
    state.counters["first_open_ms"] = coldMs;
    state.counters["first_peak_growth_MiB"] = (afterFirst - before) / 1024.0;
    state.counters["peak_growth_after_first_MiB"] = (peakResidentKiB() - afterFirst) / 1024.0;
}
BENCHMARK(BM_OpenEdf)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The writing alone, without the export's look at the traces and markers.
void BM_WriteEdf(benchmark::State& state) {
    const std::vector<EdfOutSignal> out = outSignals();
    const std::vector<SignalEvent> events = stimulusEvents();
    const std::filesystem::path path = tempFile("trazel_bench_write.edf");
    for (auto _ : state) {
        std::string error;
        if (!writeEdf(path, false, out, events, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.SetBytesProcessed(fileBytes(path) * state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteEdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The markers of the recording: a stimulus each 10 s, as File > Export writes them back.
const std::vector<Integer>& markerWords() {
    static const std::vector<Integer> markers = [] {
        std::vector<Integer> words(Samples, 0);
        for (std::int64_t i = 0; i < Samples; i += StimulusEvery) {
            words[static_cast<std::size_t>(i)] = MarkerStimulus;
        }
        return words;
    }();
    return markers;
}

void exportAs(benchmark::State& state, ExportFormat format, const char* name) {
    RecordingView view;
    view.rate = Rate;
    for (const std::vector<float>& values : signalValues()) {
        view.traces.emplace_back(values);
    }
    view.labels = {"ECG", "EMG", "Resp"};
    view.units = {"uV", "uV", "uV"};
    view.markers = markerWords();
    const std::filesystem::path path = tempFile(name);
    for (auto _ : state) {
        std::string error;
        if (!exportRecording(path, format, view, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.SetBytesProcessed(fileBytes(path) * state.iterations());
    std::filesystem::remove(path);
}

void BM_ExportEdf(benchmark::State& state) {
    exportAs(state, ExportFormat::Edf, "trazel_bench_export.edf");
}
BENCHMARK(BM_ExportEdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ExportBdf(benchmark::State& state) {
    exportAs(state, ExportFormat::Bdf, "trazel_bench_export.bdf");
}
BENCHMARK(BM_ExportBdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
