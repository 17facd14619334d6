// The latency of the user's commands on a long recording, in the real main window (offscreen): each
// command from its handler until the window has repainted (the waiting events have run), one
// benchmark per command in the order a user works through the recording. The benchmarks share one window
// and each starts where the one before left it; run on their own (--benchmark_filter) they bring the
// window into the mode they need first.
//
// The recording, a Trazel .bin file written once to the temp folder and reused: 10,000,000 records of 3
// traces at 1 ms (80 MB), trace c a wave of c Hz and 1000 units with a little noise; a stimulus marker
// (200) at the first point of every second, so that block mode cuts it into 10,000 sweeps of 1000 points,
// and a marker-on run (100) of 5 s in every 100 s.
//
// Goals, reported, not asserted: view-only commands (paging, zoom, gain, shift, cursor, display
// selection) 16 ms, open 500 ms, PSD 300 ms, everything else 100 ms.

#include "core/app_state.h"
#include "core/marker_index.h"
#include "files/bin_writer.h"
#include "fixed_dialogs.h"
#include "peak_memory.h"
#include "qt_benchmark_main.h"
#include "ui/clipboard.h"
#include "ui/event_loop.h"
#include "ui/mouse_buttons.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

using namespace trazel;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t Records = 10'000'000;
constexpr int Traces = 3;
constexpr int SweepPoints = 1000; // one second: the stimulus period
// One copy of the data arrays: a float per trace and the marker word per record.
constexpr double ArrayBytes = (Traces * 4.0 + 2.0) * static_cast<double>(Records);

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::filesystem::path recordingFile() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "trazel_bench_latency.bin";
    binformat::Header header;
    header.channelCount = Traces;
    header.traceChannels = {1, 2, 3};
    header.sampleIntervalUs = 1000;
    const auto expectedSize = binformat::HeaderSize + static_cast<std::uint64_t>(Records) * (2 * Traces + 2);
    std::error_code error;
    if (std::filesystem::file_size(path, error) == expectedSize) {
        return path;
    }
    std::array<std::int16_t, SweepPoints> wave{};
    for (int k = 0; k < SweepPoints; ++k) {
        wave[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(std::lround(1000 * std::sin(2 * std::numbers::pi * k / SweepPoints)));
    }
    auto writer = BinFileWriter::create(path, header);
    constexpr std::int64_t Block = 1'000'000;
    std::vector<std::int16_t> samples(Traces * Block);
    std::vector<std::int16_t> markers(Block);
    for (std::int64_t first = 0; first < Records; first += Block) {
        for (std::int64_t i = 0; i < Block; ++i) {
            const std::int64_t point = first + i;
            for (int c = 0; c < Traces; ++c) {
                const auto noise = static_cast<int>((point * 7 + c * 13) % 41) - 20;
                samples[static_cast<std::size_t>(Traces * i + c)] = static_cast<std::int16_t>(
                    wave[static_cast<std::size_t>(point * (c + 1) % SweepPoints)] + noise);
            }
            const std::int64_t inRun = point % 100'000;
            markers[static_cast<std::size_t>(i)] = point % SweepPoints == 0            ? MarkerStimulus
                                                   : inRun >= 20'000 && inRun < 25'000 ? MarkerOn
                                                                                       : std::int16_t{0};
        }
        writer->append(samples, markers);
    }
    writer->close();
    return path;
}

// Answers every question as FixedDialogs does; a message box means that a command failed, which makes
// its time worthless, so the messages are kept to be reported.
class Answers : public FixedDialogs {
public:
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        messages << text;
        return FixedDialogs::MsgBox(text, buttons, icon, title);
    }
    QStringList messages;
};

// Settings of this run only: File > Open writes the recent files, which must not reach the user's.
struct PrivateSettings {
    PrivateSettings() {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(QSettings::NativeFormat, scope, dir.path());
        }
    }
    QTemporaryDir dir;
};

struct Session {
    Session() {
        dialogs.openFile = QString::fromStdString(recordingFile().string());
        window.show();
        yieldToEvents();
    }
    AppState s;
    Answers dialogs;
    Trazel window{s, dialogs};
};

Session& sharedSession() {
    static PrivateSettings settings;
    // Never destroyed: its widgets must not outlive the application, which main ends before the statics.
    static Session* const instance = new Session;
    return *instance;
}

void open(Session& session) {
    session.window.files().mnuOpen_Click();
    yieldToEvents();
}

Session& opened() {
    Session& session = sharedSession();
    if (!session.s.DataLoaded) {
        open(session);
    }
    return session;
}

// Block mode of one-second sweeps as the user asks for it: the block length in ms.
void enterBlockMode(Session& session) {
    session.dialogs.input = QString::number(SweepPoints);
    session.window.settings().mnuBlock_Click();
    yieldToEvents();
}

Session& inBlockMode() {
    Session& session = opened();
    if (!session.s.BlockMode) {
        enterBlockMode(session);
    }
    return session;
}

Session& inContinuousMode() {
    Session& session = opened();
    if (session.s.BlockMode) {
        session.window.settings().mnuContinuous_Click();
        yieldToEvents();
    }
    return session;
}

// The screen a user pages through continuous data on: one second. Expanding halves the span down to
// 2 s and then jumps to 512 ms, which compresses to 1 s.
void showFirstSecond(Session& session) {
    ViewCommands& view = session.window.viewCommands();
    while (session.s.TimeUnit.str() != "ms") {
        view.mnuExpand_Click();
    }
    view.mnuCompress_Click();
    yieldToEvents();
}

void reportMessages(benchmark::State& state) {
    QStringList& messages = sharedSession().dialogs.messages;
    if (!messages.isEmpty()) {
        state.SkipWithError(("message box: " + messages.join(QStringLiteral(" | "))).toStdString().c_str());
        messages.clear();
    }
}

// One command per iteration (given the iteration's number), timed with the repaint that follows it;
// `prepare` runs untimed before each. The slowest command is reported beside the mean.
template <typename Prepare, typename Command>
void timeCommands(benchmark::State& state, Prepare prepare, Command command) {
    double slowest = 0;
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(i);
        yieldToEvents();
        state.ResumeTiming();
        const auto start = Clock::now();
        command(i);
        yieldToEvents();
        slowest = std::max(slowest, msSince(start));
        ++i;
    }
    state.counters["max_ms"] = slowest;
    reportMessages(state);
}

template <typename Command> void timeCommands(benchmark::State& state, Command command) {
    timeCommands(
        state, [](std::int64_t) {}, command);
}

// The first open of the process takes its memory from the system; later opens of the same file reuse
// it. Both are reported: the first as counters, the later ones as the timing.
void BM_Open(benchmark::State& state) {
    Session& session = sharedSession();
    const long before = peakResidentKiB();
    const auto start = Clock::now();
    open(session);
    state.counters["first_open_ms"] = msSince(start);
    const double growthBytes = (peakResidentKiB() - before) * 1024.0;
    state.counters["peak_growth_MiB"] = growthBytes / (1024.0 * 1024.0);
    state.counters["peak_over_arrays"] = growthBytes / ArrayBytes;
    timeCommands(state, [&](std::int64_t) { session.window.files().mnuOpen_Click(); });
    state.counters["records"] = static_cast<double>(session.s.SampleCount);
}

// Page down and up by turns on the first second of the recording.
void BM_Paging(benchmark::State& state) {
    Session& session = inContinuousMode();
    showFirstSecond(session);
    Views& views = session.window.views();
    timeCommands(state, [&](std::int64_t i) { i % 2 == 0 ? views.PgDn_Click() : views.PgUp_Click(); });
}

// Compress step by step from the first second out to the whole file, then back (untimed) for the next
// round: the time is that of one step.
void BM_Zoom(benchmark::State& state) {
    Session& session = inContinuousMode();
    const PlotSurface& disp = *session.window.ui.disp;
    const auto wholeFileShown = [&] { return 0.8 * disp.ScaleWidth() >= session.s.SampleCount; };
    std::int64_t steps = 0;
    timeCommands(
        state,
        [&](std::int64_t i) {
            if (i == 0 || wholeFileShown()) {
                showFirstSecond(session);
            }
        },
        [&](std::int64_t i) {
            session.window.viewCommands().mnuCompress_Click();
            if (steps == 0 && wholeFileShown()) {
                steps = i + 1;
            }
        });
    state.counters["steps"] = static_cast<double>(steps);
}

// The following view commands work on the whole file, as the zoom leaves it.

void BM_Gain(benchmark::State& state) {
    ViewCommands& view = opened().window.viewCommands();
    timeCommands(state, [&](std::int64_t i) { i % 2 == 0 ? view.mul_Click() : view.div_Click(); });
}

void BM_Shift(benchmark::State& state) {
    ViewCommands& view = opened().window.viewCommands();
    timeCommands(state, [&](std::int64_t i) { i % 2 == 0 ? view.pshift_Click() : view.nshift_Click(); });
}

// Presses spread over the recorded points in view (the whole-file view reaches past the end of the
// file, where a press stops at its last point), each placing the cursor and its readout afresh.
void BM_CursorPress(benchmark::State& state) {
    Session& session = opened();
    const double recorded =
        std::min(0.8 * session.window.ui.disp->ScaleWidth(), static_cast<double>(session.s.SampleCount));
    timeCommands(state, [&](std::int64_t i) {
        const double x = recorded * static_cast<double>(i * 37 % 97 + 1) / 100;
        session.window.measurements().disp_MouseDown(LeftButton, 0, x, 0);
    });
}

// A drag pixel by pixel, as the mouse reports it.
void BM_CursorDrag(benchmark::State& state) {
    Session& session = opened();
    const PlotSurface& disp = *session.window.ui.disp;
    Measurements& measurements = session.window.measurements();
    measurements.disp_MouseDown(LeftButton, 0, disp.userX(100), 0);
    timeCommands(state, [&](std::int64_t i) {
        measurements.disp_MouseMove(LeftButton, 0, disp.userX(static_cast<double>(101 + i)), 0);
    });
}

// An even number of iterations leaves the trace as it was.
void BM_Invert(benchmark::State& state) {
    ViewCommands& view = opened().window.viewCommands();
    timeCommands(state, [&](std::int64_t) { view.mnuInvert_Click(); });
}

void BM_RawCurves(benchmark::State& state) {
    ViewCommands& view = opened().window.viewCommands();
    timeCommands(state, [&](std::int64_t) { view.mnuRaw_Click(); });
}

// From continuous data (returned to untimed) into block mode of one-second sweeps.
void BM_BlockMode(benchmark::State& state) {
    Session& session = opened();
    session.dialogs.input = QString::number(SweepPoints);
    timeCommands(
        state,
        [&](std::int64_t) {
            if (session.s.BlockMode) {
                session.window.settings().mnuContinuous_Click();
            }
        },
        [&](std::int64_t) { session.window.settings().mnuBlock_Click(); });
    state.counters["sweeps"] = static_cast<double>(session.s.CurveCount);
}

void BM_Accept(benchmark::State& state) {
    Views& views = inBlockMode().window.views();
    timeCommands(state, [&](std::int64_t) { views.accept_Click(); });
}

// Average, both, single by turns: a multiple of three iterations ends on the single curve.
void BM_DisplaySelection(benchmark::State& state) {
    Views& views = inBlockMode().window.views();
    timeCommands(state, [&](std::int64_t i) {
        switch (i % 3) {
        case 0:
            views.mnuA_Click();
            break;
        case 1:
            views.mnuS_A_Click();
            break;
        default:
            views.mnuS_Click();
        }
    });
}

// Every sweep 0.01 % of the plot height below the one before: the 10,000 sweeps fill the plot. Each
// iteration enters the overplot view from the single curve, to which the benchmark returns.
void BM_Overplot(benchmark::State& state) {
    Session& session = inBlockMode();
    session.dialogs.input = QStringLiteral("0.01");
    Views& views = session.window.views();
    timeCommands(
        state, [&](std::int64_t) { views.mnuS_Click(); },
        [&](std::int64_t) { session.window.viewCommands().mnuOverplot_Click(); });
    state.counters["sweeps"] = static_cast<double>(session.s.CurveCount);
    views.mnuS_Click();
    yieldToEvents();
}

// Display > PSD of every sweep, then Raw curves back to the sweeps, timed apart: PSD as the timing, Raw
// curves as a counter.
void BM_PSD(benchmark::State& state) {
    Session& session = inBlockMode();
    double rawMs = 0;
    for (auto _ : state) {
        session.window.spectrum().mnuPSD_Click();
        yieldToEvents();
        state.PauseTiming();
        const auto start = Clock::now();
        session.window.viewCommands().mnuRaw_Click();
        yieldToEvents();
        rawMs += msSince(start);
        state.ResumeTiming();
    }
    state.counters["raw_curves_ms"] = rawMs / static_cast<double>(state.iterations());
    reportMessages(state);
}

// Automatic peaks over the whole file of continuous data: the selection of all of it, the level band at
// zero across trace 1's wave, and Add, which enters extremes until the trace's table is full. The table
// is emptied and the band placed again (untimed) before each.
void BM_AutoPeaks(benchmark::State& state) {
    Session& session = inContinuousMode();
    Measurements& measurements = session.window.measurements();
    session.window.views().PgUp_Click(); // the whole file from its first point
    measurements.mnuMarksoff_Click();
    measurements.disp_MouseDown(RightButton, 0, 0, 0);
    measurements.disp_MouseDown(RightButton, 0, static_cast<double>(session.s.SampleCount), 0);
    session.dialogs.input = QStringLiteral("peaks"); // the label of the block Add opens
    timeCommands(
        state,
        [&](std::int64_t) {
            measurements.Clear_Click();
            if (!session.s.AutoPeaks) {
                measurements.mnuPeaks_Click();
            }
            measurements.disp_MouseDown(LeftButton, 0, 0, 0);
        },
        [&](std::int64_t) { measurements.add_Click(); });
    state.counters["rows"] = static_cast<double>(session.s.NextRecord(session.s.CurrentTrace) - 1);
}

// Copy > curve points of the first sweep to the clipboard.
void BM_CopyCurvePoints(benchmark::State& state) {
    Exports& exports = inBlockMode().window.exports();
    timeCommands(state, [&](std::int64_t) { exports.mnuCopyitem_Click(5); });
    state.counters["lines"] = static_cast<double>(clipboard::text().count(QLatin1Char('\n')));
}

#define LATENCY(name, iterations)                                                                            \
    BENCHMARK(name)->Iterations(iterations)->UseRealTime()->Unit(benchmark::kMillisecond)

LATENCY(BM_Open, 5);
LATENCY(BM_Paging, 20);
LATENCY(BM_Zoom, 28);
LATENCY(BM_Gain, 20);
LATENCY(BM_Shift, 20);
LATENCY(BM_CursorPress, 40);
LATENCY(BM_CursorDrag, 40);
LATENCY(BM_Invert, 20);
LATENCY(BM_RawCurves, 20);
LATENCY(BM_BlockMode, 10);
LATENCY(BM_Accept, 20);
LATENCY(BM_DisplaySelection, 12);
LATENCY(BM_Overplot, 3);
LATENCY(BM_PSD, 5);
LATENCY(BM_AutoPeaks, 5);
LATENCY(BM_CopyCurvePoints, 10);

} // namespace

TRAZEL_QT_BENCHMARK_MAIN();
