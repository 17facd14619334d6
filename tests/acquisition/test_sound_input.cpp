#include "acquisition/simulated_source.h"
#include "core/number_rules.h"
#include "support/main_window_fixture.h"
#include "support/program_run.h"
#include "support/pulse_server.h"
#include "ui/controls.h"
#include "ui/event_loop.h"

#include <QFile>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <numbers>

namespace trazel::testing {
namespace {

// The recording layout over a sound server of the test's own, which starts before the window. Qt's sound
// backend stays with the first server a process reached: ctest runs every test in a process of its own,
// and by hand these tests run one at a time (--gtest_filter).
struct SoundCard {
    explicit SoundCard(int rate, int channels = 2) : server(rate, channels) {
        EXPECT_TRUE(server.started()) << "the test's sound server did not start, or offers no input";
        QSettings().remove(QStringLiteral("recording/input"));
        window->show();
        window->layouts().mnuMeasure_Click();
    }
    // The server's input with trace t on its channel t, at `hz` points a second (continuous mode).
    void useInput(int traces, const char* hz) {
        window->ui.input_list->setListIndex(1);
        for (int t = 1; t <= traces; ++t) {
            window->ui.ch_list[static_cast<std::size_t>(t - 1)]->setListIndex(t);
        }
        window->ui.sampling_hz->setText(QString::fromLatin1(hz));
        window->settings().sampling_hz_LostFocus();
    }
    // Records into `path` until `done` says so, looked at every 50 ms; a recording that the input ends
    // ends with a message.
    void record(const QString& path, const std::function<bool()>& done, bool endsWithMessage = false) {
        dialogs.answerSave(path);
        if (endsWithMessage) {
            dialogs.answerMessage(MsgAnswer::Ok);
        }
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (done()) {
                watch.stop();
                window->recorder().halt_Click();
            }
        });
        watch.start(50);
        window->recorder().store_Click();
    }

    PulseServer server;
    AppState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Trazel> window = std::make_unique<Trazel>(state, dialogs);
    QTemporaryDir folder;
};

// The samples of channel `c` (0-based) of a recording of `channels` channels.
std::vector<std::int16_t> channelOf(const QString& path, int channels, int c) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll().mid(128);
    std::vector<std::int16_t> samples;
    const auto record = 2 * (channels + 1);
    for (qsizetype at = 0; at + record <= bytes.size(); at += record) {
        std::int16_t word = 0;
        std::memcpy(&word, bytes.constData() + at + 2 * c, 2);
        samples.push_back(word);
    }
    return samples;
}

void waitFor(int ms) {
    QTimer::singleShot(ms, [] {});
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        waitForEvents();
    }
}

TEST(SoundCardInput, IsListedRememberedAndRecordedSampleForSampleAtItsOwnRate) {
    SoundCard card(1000);
    EXPECT_EQ(card.window->ui.input_list->count(), 2);
    EXPECT_EQ(card.window->ui.input_list->itemText(1), PulseServer::InputName);
    card.useInput(2, "1000");
    EXPECT_EQ(QSettings().value(QStringLiteral("recording/input")).toString(), PulseServer::InputId);
    // Two channels: the third cannot be picked, and typed it counts as none.
    ComboBox& third = *card.window->ui.ch_list[2];
    EXPECT_FALSE(qobject_cast<QStandardItemModel*>(third.model())->item(3)->isEnabled());
    third.setText(QStringLiteral("3. ch"));
    card.window->settings().ch_list_LostFocus(2);
    EXPECT_EQ(card.state.TraceChannel(3), 0);
    std::vector<std::int16_t> played(2 * 1500);
    std::uint32_t noise = 12345;
    for (std::int16_t& sample : played) {
        noise = noise * 1103515245U + 12345U;
        sample = static_cast<std::int16_t>(noise >> 16);
    }
    const QString path = card.folder.filePath(QStringLiteral("card.bin"));
    bool started = false;
    card.record(path, [&] {
        if (!started) {
            card.server.play(played);
            started = true;
        }
        return !card.server.playing();
    });
    std::vector<std::int16_t> left;
    std::vector<std::int16_t> right;
    for (std::size_t i = 0; i < played.size(); i += 2) {
        left.push_back(played[i]);
        right.push_back(played[i + 1]);
    }
    const std::ptrdiff_t at = findRun(channelOf(path, 2, 0), left);
    ASSERT_GE(at, 0) << "the played samples are not in the recording unchanged";
    EXPECT_EQ(findRun(channelOf(path, 2, 1), right), at);
}

TEST(SoundCardInput, ThatStopsEndsTheRecordingWithAMessageAndACompleteFile) {
    SoundCard card(48000);
    card.useInput(1, "100");
    const QString path = card.folder.filePath(QStringLiteral("cut.bin"));
    QElapsedTimer clock;
    clock.start();
    card.record(
        path,
        [&] {
            if (clock.elapsed() > 500) {
                card.server.kill();
            }
            return false; // the input's end ends the recording
        },
        true);
    const auto& message = card.dialogs.questions().back();
    EXPECT_EQ(message.title, "Input");
    EXPECT_TRUE(message.text.startsWith("The input Probe input stopped: ")) << message.text.toStdString();
    EXPECT_TRUE(message.text.endsWith(". Recording stopped.")) << message.text.toStdString();
    EXPECT_EQ(QFileInfo(path).size() % 4, 128 % 4);
    EXPECT_GE(channelOf(path, 1, 0).size(), 40u) << "the points taken before the end are in the file";
    EXPECT_TRUE(card.window->ui.store->isEnabled() && !card.window->ui.halt->isEnabled());
    EXPECT_EQ(card.window->windowTitle(), "CONTINUOUS MODE   LAST RECORDED FILE: " + path);
}

TEST(SoundCardInput, MakesABlockSweepOfTheDevicesPointsAfterTheStimulus) {
    SoundCard card(48000);
    card.useInput(1, "10");
    card.dialogs.answerInput(QStringLiteral("100"));
    card.window->settings().mnuBlock_Click(); // 100 points at 1 ms
    card.server.play(std::vector<std::int16_t>(2 * 48000 * 3, 1000));
    waitFor(400);
    card.window->recorder().stim_Click();
    ASSERT_EQ(card.state.RawData.upper(), 99);
    for (std::int64_t j = 0; j < 100; ++j) {
        EXPECT_NEAR(card.state.RawData(1, j), 1000, 1) << j;
    }
}

TEST(SoundCardInput, WithoutAServerOnlyTheSimulatedSourceIsOfferedAndSaysWhy) {
    QSettings().setValue(QStringLiteral("recording/input"), QStringLiteral("gone"));
    AppState state;
    ScriptedDialogs dialogs;
    Trazel window(state, dialogs);
    dialogs.answerMessage(MsgAnswer::Ok);
    window.layouts().mnuMeasure_Click();
    EXPECT_EQ(dialogs.questions().back().text,
              "The input gone is not available; the simulated input is used.");
    EXPECT_EQ(window.ui.input_list->count(), 1);
    EXPECT_EQ(window.ui.input_list->toolTip(),
              "No sound input found: no sound server runs, or it offers no input.");
}

TEST(CommandLineRecording, ResamplesASineToTheRateWithinItsFidelity) {
    PulseServer server(48000, 2);
    ASSERT_TRUE(server.started());
    constexpr double Hz = 200; // 0.4 of the point rate
    std::vector<std::int16_t> sine;
    for (int i = 0; i < 48000 * 4; ++i) {
        const auto value =
            static_cast<std::int16_t>(std::lround(20000 * std::sin(2 * std::numbers::pi * Hz * i / 48000)));
        sine.insert(sine.end(), {value, 0});
    }
    server.play(sine);
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sine.bin"));
    const ProgramRun run =
        trazel({"--record", path, "--input", "probe_in", "--rate", "500", "--seconds", "2.5"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const std::vector<std::int16_t> points = channelOf(path, 1, 0);
    EXPECT_NEAR(static_cast<double>(points.size()), 1250, 1);
    // A sine of the known frequency and a constant, fitted by least squares over the settled points.
    std::array<std::array<double, 4>, 3> normal{};
    const auto basis = [&](std::size_t n) {
        const double phase = 2 * std::numbers::pi * Hz * static_cast<double>(n) / 500;
        return std::array{std::sin(phase), std::cos(phase), 1.0};
    };
    for (std::size_t n = 250; n < points.size(); ++n) {
        const auto b = basis(n);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                normal[r][c] += b[r] * b[c];
            }
            normal[r][3] += b[r] * points[n];
        }
    }
    for (int p = 0; p < 3; ++p) { // Gauss-Jordan on the 3 x 3 system
        for (int r = 0; r < 3; ++r) {
            if (r != p) {
                const double f = normal[r][p] / normal[p][p];
                for (int c = 0; c < 4; ++c) {
                    normal[r][c] -= f * normal[p][c];
                }
            }
        }
    }
    const std::array fit = {normal[0][3] / normal[0][0], normal[1][3] / normal[1][1],
                            normal[2][3] / normal[2][2]};
    const double amplitude = std::hypot(fit[0], fit[1]);
    double residual = 0;
    for (std::size_t n = 250; n < points.size(); ++n) {
        const auto b = basis(n);
        const double error = points[n] - (fit[0] * b[0] + fit[1] * b[1] + fit[2]);
        residual += error * error;
    }
    residual = std::sqrt(residual / static_cast<double>(points.size() - 250));
    EXPECT_NEAR(amplitude, 20000, 20) << "amplitude within 0.1 %";
    EXPECT_LE(20 * std::log10(residual * std::numbers::sqrt2 / amplitude), -50) << "residual in dB";
}

TEST(CommandLineRecording, RecordsTheSimulatedSourceAndRefusesWhatItCannotDo) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sim.bin"));
    const ProgramRun simulated =
        trazel({"--record", path, "--rate", "100", "--seconds", "1", "--channels", "1,3"});
    ASSERT_EQ(simulated.status, 0) << simulated.err.toStdString();
    SimulatedSource replay;
    replay.SimulatedSample(true);
    const std::vector<std::int16_t> first = channelOf(path, 2, 0);
    const std::vector<std::int16_t> second = channelOf(path, 2, 1);
    ASSERT_EQ(first.size(), 100u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(first[i], toInteger(replay.SimulatedSample(false)));
        ASSERT_EQ(second[i], toInteger(replay.SimulatedSample(false)));
    }
    const std::pair<QStringList, const char*> refused[] = {
        {{"--record", path, "--input", "nope", "--rate", "100", "--seconds", "1"}, "No input nope"},
        {{"--record", folder.filePath("no/such/folder.bin"), "--rate", "100", "--seconds", "1"},
         "Cannot write"},
        {{"--record", path, "--rate", "fast", "--seconds", "1"}, "--rate takes"},
        {{"--record", path, "--rate", "2000", "--seconds", "1"}, "--rate takes"},
        {{"--record", path, "--rate", "100", "--seconds", "0"}, "--seconds takes"},
        {{"--record", path, "--rate", "100", "--seconds", "1", "--channels", "1,x"}, "--channels takes"},
        {{"--record", path, "--rate", "100", "--seconds", "1", "--channels", "5"}, "--channels takes"},
    };
    for (const auto& [arguments, message] : refused) {
        const ProgramRun run = trazel(arguments);
        EXPECT_NE(run.status, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(message))) << run.err.toStdString();
    }
    const ProgramRun help = trazel({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--record", "--input", "--rate", "--seconds", "--channels", "--list-inputs",
                               "--help", "--version"}) {
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;
    }
    EXPECT_TRUE(trazel({"--list-inputs"}).out.startsWith("simulated\tSimulated\n"));
}

} // namespace
} // namespace trazel::testing
