// The acquisition loop: how closely the points taken follow the requested rate on the real clock, and
// what one point costs the loop (three segments drawn, the point recorded).

#include "fixed_dialogs.h"
#include "qt_benchmark_main.h"
#include "ui/controls.h"
#include "ui/event_loop.h"
#include "window/main_window.h"

#include <QTemporaryDir>
#include <filesystem>

namespace {

using namespace trazel;

// A clock always one point ahead: the loop never sleeps, so it runs as fast as a point can be made.
class AheadClock : public Clock {
public:
    explicit AheadClock(const AppState& s) : m_s(s) {}
    double Seconds() override { return m_now += m_s.SampleInterval; }

private:
    const AppState& m_s;
    double m_now = 0;
};

// A window in the recording layout recording three traces at 1000 points per second into a file of
// `seconds`, which ends the recording by itself.
struct RecordingSetup {
    explicit RecordingSetup(const QString& seconds) : window(s, dialogs) {
        // Record makes its folder in the home folder: here, not in the user's.
        qputenv("HOME", folder.path().toUtf8());
        window.show();
        window.layouts().mnuMeasure_Click();
        yieldToEvents();
        for (std::size_t k = 0; k < 3; ++k) {
            window.ui.ch_list[k]->setListIndex(static_cast<int>(k) + 1);
        }
        window.ui.sampling_hz->setText(QStringLiteral("1000"));
        window.settings().sampling_hz_LostFocus();
        window.ui.file_lng->setText(seconds);
        dialogs.saveFile = folder.filePath(QStringLiteral("bench.bin"));
    }
    std::uintmax_t pointsInFile() const {
        return (std::filesystem::file_size(dialogs.saveFile.toStdString()) - 128) / 8;
    }

    AppState s;
    FixedDialogs dialogs;
    QTemporaryDir folder;
    Trazel window;
};

void BM_RateOverTenSeconds(benchmark::State& state) {
    RecordingSetup setup(QStringLiteral("10"));
    double rate = 0;
    for (auto _ : state) {
        const double start = SteadyClock().Seconds();
        setup.window.recorder().store_Click();
        // The last of 10,000 points is due 9.999 s after the first.
        rate = static_cast<double>(setup.pointsInFile() - 1) / (SteadyClock().Seconds() - start);
    }
    state.counters["points"] = static_cast<double>(setup.pointsInFile());
    state.counters["points_per_s"] = rate;
    state.counters["error_%"] = (rate / 1000 - 1) * 100;
}
BENCHMARK(BM_RateOverTenSeconds)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_CostOfOnePoint(benchmark::State& state) {
    RecordingSetup setup(QStringLiteral("20"));
    AheadClock clock(setup.s);
    setup.window.recorder().useClock(clock);
    for (auto _ : state) {
        setup.window.recorder().store_Click();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(setup.pointsInFile()));
    state.counters["us_per_point"] = benchmark::Counter(
        static_cast<double>(state.iterations() * setup.pointsInFile()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_CostOfOnePoint)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
