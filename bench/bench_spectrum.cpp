// The spectrum's transform against FFTW for the same length, and Display > PSD over a large block file.

#include "core/app_state.h"
#include "files/bin_writer.h"
#include "fixed_dialogs.h"
#include "qt_benchmark_main.h"
#include "spectrum/power_spectrum.h"
#include "window/main_window.h"

#include <QTemporaryDir>
#include <cmath>
#include <fftw3.h>
#include <random>

namespace {

using namespace trazel;

std::vector<double> noise(std::size_t n) {
    std::mt19937 generator(7);
    std::normal_distribution<double> normal(0, 100);
    std::vector<double> values(n);
    for (double& v : values) {
        v = normal(generator);
    }
    return values;
}

void BM_Transform(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> input = noise(n);
    std::vector<double> real(n);
    std::vector<double> imag(n);
    const RealTransform transform(transformSize(static_cast<std::int64_t>(n)).bits);
    for (auto _ : state) {
        transform.run(input, real, imag);
        benchmark::DoNotOptimize(real.data());
    }
}
BENCHMARK(BM_Transform)->RangeMultiplier(4)->Range(1024, 65536)->Unit(benchmark::kMicrosecond);

// FFTW's complex transform of the same length, planned the quick way an application would, out of place.
void BM_Fftw(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const std::vector<double> input = noise(static_cast<std::size_t>(n));
    auto* in = fftw_alloc_complex(static_cast<std::size_t>(n));
    auto* out = fftw_alloc_complex(static_cast<std::size_t>(n));
    const fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    for (int i = 0; i < n; ++i) {
        in[i][0] = input[static_cast<std::size_t>(i)];
        in[i][1] = 0;
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_Fftw)->RangeMultiplier(4)->Range(1024, 65536)->Unit(benchmark::kMicrosecond);

// 1,000 sweeps of 1,000 points on three traces, computed and shown, the progress window included.
void BM_PsdCommand(benchmark::State& state) {
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath(QStringLiteral("sweeps.bin")).toStdString();
    binformat::Header header;
    header.channelCount = 3;
    header.traceChannels = {1, 2, 3};
    header.blockFlag = -1;
    header.pointsPerSweep = 1000;
    header.sampleIntervalUs = 1000;
    constexpr std::size_t Points = 1000 * 1000;
    std::vector<std::int16_t> samples(3 * Points);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<std::int16_t>(400 * std::sin(static_cast<double>(i / 3 % 1000) * 0.2) + i % 17);
    }
    auto writer = BinFileWriter::create(path, header);
    writer->append(samples, std::vector<std::int16_t>(Points, 0));
    writer->close();

    AppState s;
    FixedDialogs dialogs;
    dialogs.openFile = QString::fromStdString(path.string());
    Trazel window(s, dialogs);
    window.show();
    window.files().mnuOpen_Click();
    for (auto _ : state) {
        window.spectrum().mnuPSD_Click();
        state.PauseTiming();
        window.viewCommands().mnuRaw_Click();
        state.ResumeTiming();
    }
    state.counters["sweeps"] = static_cast<double>(s.CurveCount);
}
BENCHMARK(BM_PsdCommand)->Unit(benchmark::kMillisecond);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
