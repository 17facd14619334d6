#include "files/edf_file.h"
#include "support/open_file_fixture.h"

#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace trazel::testing {
namespace {

constexpr const char* ReadFailure = "Error encountered while trying to open file, please retry.";

class EdfOpening : public MeasurementTest {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(Recordings)) {
            GTEST_SKIP() << "the recordings are not at " << Recordings;
        }
    }

    // Exports the loaded recording to `name` and opens what was written.
    std::filesystem::path exportAndReopen(const std::string& name) {
        const std::filesystem::path path = files.path(name);
        dialogs.answerSave(qs(path));
        window->exports().mnuExportEdf_Click();
        open(path);
        return path;
    }

    std::vector<float> trace(int t) const {
        const auto values = state.RawData.trace(t).first(static_cast<std::size_t>(state.SampleCount));
        return {values.begin(), values.end()};
    }
    std::vector<Integer> markers() const {
        const auto words = state.Markers.span().first(static_cast<std::size_t>(state.SampleCount));
        return {words.begin(), words.end()};
    }
    std::vector<std::int64_t> stimulusPoints() const {
        std::vector<std::int64_t> points;
        for (std::int64_t i = 0; i < state.SampleCount; ++i) {
            if (state.Markers(i) == MarkerStimulus) {
                points.push_back(i);
            }
        }
        return points;
    }
    QString selectorText(int t) const {
        return window->ui.ch_select[static_cast<std::size_t>(t - 1)]->text();
    }
};

// The values MNE-Python reads (tests/files/edf_reference.txt) at the first point.
TEST_F(EdfOpening, ShowsThePickedSignalsInPhysicalUnitsWithTheTriggersAsStimuli) {
    dialogs.answerOpen(qs(Recordings / "edf/test_edf_stim_channel.edf"));
    dialogs.answerSignals({9, 2}); // EEG Cz, then EEG F7
    window->files().mnuOpen_Click();
    const ScriptedDialogs::Question& choice = dialogs.questions().back();
    ASSERT_EQ(choice.offered.size(), 24U) << "the trigger signal is no trace";
    EXPECT_EQ(choice.offered[9].label, "EEG Cz");
    EXPECT_EQ(choice.offered[9].unit, "uV");
    EXPECT_EQ(choice.offered[9].rate, 128);
    EXPECT_EQ(choice.preselected, (std::vector{0, 1, 2}));

    expectLoaded(1228);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_EQ(state.SampleInterval, 1.0F / 128);
    EXPECT_NEAR(state.RawData(1, 0), 175384.3439, 0.02);
    EXPECT_NEAR(state.RawData(2, 0), 176086.3908, 0.02);
    EXPECT_EQ(QStringList({selectorText(1), selectorText(2), selectorText(3)}),
              QStringList({"EEG Cz (uV)", "EEG F7 (uV)", ""}));
    EXPECT_EQ(stimulusPoints(),
              (std::vector<std::int64_t>{121, 170, 193, 255, 307, 340, 388, 528, 558, 591, 644, 668}));
    ASSERT_EQ(state.Events.size(), 12U);
    EXPECT_EQ(state.Events[0].text, "Trigger 100");
    EXPECT_TRUE(window->windowTitle().endsWith("test_edf_stim_channel.edf"));

    press(121);
    EXPECT_TRUE(window->ui.Label1->text().endsWith("   Trigger 100"))
        << window->ui.Label1->text().toStdString();
    press(140);
    EXPECT_FALSE(window->ui.Label1->text().contains("Trigger"));

    open(Recordings / "bdf/test_bdf_stim_channel.bdf"); // three signals of one rate: no question
    expectLoaded(5000);
    EXPECT_EQ(QStringList({selectorText(1), selectorText(2), selectorText(3)}),
              QStringList({"C3 (uV)", "C4 (uV)", "Cz (uV)"}));
    EXPECT_NEAR(state.RawData(3, 0), 7399.913831, 0.002);
    EXPECT_EQ(stimulusPoints(),
              (std::vector<std::int64_t>{242, 310, 952, 1606, 2249, 2900, 3537, 4162, 4790}));
    EXPECT_EQ(state.Events[0].text, "Trigger 4");
}

TEST_F(EdfOpening, KeepsEverySampleMarkAndSweepOfARecordingThroughEdfAndBdf) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> marks(300, 0);
    for (int i = 0; i < 300; ++i) {
        samples.push_back(static_cast<std::int16_t>(i * 217 % 65536 - 32768));
        samples.push_back(static_cast<std::int16_t>(i % 7 - 3));
    }
    std::fill(marks.begin() + 20, marks.begin() + 60, 100);
    marks[40] = marks[150] = marks[299] = 200;
    const struct {
        const char* name;
        binformat::Header header;
    } recordings[] = {{"continuous", recordedHeader(2, {1, 2, 0}, 1000)},
                      {"block", recordedHeader(2, {1, 2, 0}, 250, 100)}};
    for (const auto& recording : recordings) {
        for (const char* extension : {".edf", ".bdf"}) {
            SCOPED_TRACE(std::string(recording.name) + extension);
            open(files.write(std::string(recording.name) + ".bin",
                             versionedFile(recording.header, samples, marks)));
            const auto [t1, t2, words] = std::tuple(trace(1), trace(2), markers());
            const auto [block, sweep, curves] =
                std::tuple(state.BlockMode, state.SweepLength, state.CurveCount);
            exportAndReopen(std::string(recording.name) + extension);
            expectLoaded(300);
            EXPECT_EQ(trace(1), t1);
            EXPECT_EQ(trace(2), t2);
            EXPECT_EQ(markers(), words);
            EXPECT_EQ(std::tuple(state.BlockMode, state.SweepLength, state.CurveCount),
                      std::tuple(block, sweep, curves));
            EXPECT_EQ(QStringList({selectorText(1), selectorText(2)}), QStringList({"ch1", "ch2"}));
        }
    }
}

TEST_F(EdfOpening, WritesAFilesEventsBackWithTheirOwnTextsOnsetsAndDurations) {
    std::vector<float> values(2000);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<float>(i % 50) * 0.25F - 3;
    }
    std::vector<SignalEvent> events;
    for (int k = 0; k < 100; ++k) {
        events.push_back({k * 0.15, k % 3 == 0 ? 0.05 : -1, "Event " + std::to_string(k)});
    }
    events[7].text = std::string(60, 'x') + "é"; // 61 characters, 62 bytes
    std::string error;
    const std::filesystem::path source = files.path("annotated.edf");
    ASSERT_TRUE(writeEdf(source, false, {{"EMG", "mV", 100, values}}, events, error)) << error;

    open(source);
    ASSERT_EQ(state.Events.size(), 100U);
    EXPECT_EQ(state.Events[7].text, events[7].text);
    EXPECT_EQ(state.Markers(15), MarkerStimulus);
    EXPECT_EQ(state.Markers(49), MarkerOn) << "an event with a duration marks its points";
    const std::vector<SignalEvent> written = EdfReader::open(source, error)->events(error); // onsets as text
    const std::filesystem::path exported = exportAndReopen("again.edf");
    std::optional<EdfReader> reader = EdfReader::open(exported, error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->events(error), written);
    EXPECT_EQ(reader->signalList().at(0).unit, "mV");
    for (std::int64_t i = 0; i < 2000; ++i) {
        ASSERT_NEAR(state.RawData(1, i), values[static_cast<std::size_t>(i)], 1e-3) << i;
    }
}

TEST_F(EdfOpening, TellsWhyAFileCannotBeOpenedAndLeavesNothingLoaded) {
    const Bytes real = readBytes(Recordings / "edf/test_edf_stim_channel.edf");
    Bytes damaged = real;
    std::fill(damaged.begin() + 184, damaged.begin() + 192, 'x'); // the header's length
    const struct {
        const char* name;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"text.edf", Bytes(300, 'a'), "The file is not EDF(+) or BDF(+)."},
        {"cut.edf", Bytes(real.begin(), real.end() - 1000), "The file is shorter than its header says."},
        {"damaged.bdf", damaged, "The file's header is damaged."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        openFailing(files.write(c.name, c.bytes));
        EXPECT_EQ(lastQuestions().back().text, QString(ReadFailure) + "\n\n" + c.reason);
        expectNothingLoaded();
    }
    dialogs.answerOpen(qs(Recordings / "edf/test_edf_stim_channel.edf"));
    dialogs.answerSignals({}); // cancelled: no message
    window->files().mnuOpen_Click();
    expectNothingLoaded();
}

// The import process's failures end in the message with nothing loaded and the window alive.
TEST_F(EdfOpening, SurvivesACrashingOrHangingImportProcess) {
    using namespace std::chrono_literals;
    window->files().importControl() = {.limit = 2s, .cancelled = {}, .program = TRAZEL_IMPORT_TEST_PROGRAM};
    const std::filesystem::path file = files.write("night.gdf", Bytes(1000, 0x5A));
    const struct {
        const char* hook;
        bool pressCancel;
        QString reason; // empty: cancelled, no message
    } cases[] = {
        {"crash", false, "The import process crashed (signal 6)."},
        {"hang", false, "The import process did not finish within 2 s."},
        {"hang", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hook);
        qputenv("TRAZEL_IMPORT_TEST", c.hook);
        // While the process runs, Cancel is offered in a window that takes every click.
        bool offered = false;
        QTimer whileRunning;
        whileRunning.setSingleShot(true);
        QObject::connect(&whileRunning, &QTimer::timeout, [&, pressCancel = c.pressCancel] {
            auto* cancel = window->ui.Scroll->findChild<QPushButton*>("cancel");
            offered = cancel->isVisible() && window->ui.Scroll->isModal();
            if (pressCancel) {
                cancel->click();
            }
        });
        whileRunning.start(c.hook == std::string_view("hang") ? 300ms : 0ms);
        if (c.reason.isEmpty()) {
            open(file);
        } else {
            openFailing(file);
            EXPECT_EQ(lastQuestions().back().text, QString(ReadFailure) + "\n\n" + c.reason);
        }
        EXPECT_EQ(lastQuestions().size(), c.reason.isEmpty() ? 1U : 2U); // the file's name, the message
        EXPECT_TRUE(offered);
        expectNothingLoaded();
    }
    qunsetenv("TRAZEL_IMPORT_TEST");
    open(Recordings / "abf/130618-1-12.abf");
    EXPECT_TRUE(state.DataLoaded) << "the window works on";
}

TEST_F(EdfOpening, ExportsOnlyToEdfOrBdfNamesBesideTheDataFile) {
    openContinuousFile();
    dialogs.answerSave(qs(files.path("points.txt")));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->exports().mnuExportEdf_Click();
    const auto& asked = dialogs.questions();
    const FileDialogRequest request = asked[asked.size() - 2].request;
    EXPECT_EQ(QStringList({request.title, request.filter, request.fileName}),
              QStringList({"Export as EDF+/BDF+", "EDF+ files (*.edf)|*.edf|BDF+ files (*.bdf)|*.bdf",
                           "continuous.edf"}));
    EXPECT_EQ(asked.back().text, "Could not write " + qs(files.path("points.txt")) +
                                     ": the name must end in .edf (16-bit EDF+) or .bdf (24-bit BDF+).");
    EXPECT_FALSE(std::filesystem::exists(files.path("points.txt")));
}

// Episodic ABF sweeps open as block data; a WFDB record comes through the import process.
TEST_F(EdfOpening, OpensAbfSweepsAsBlockDataAndWfdbRecordsThroughTheImportProcess) {
    dialogs.answerOpen(qs(Recordings / "abf/pclamp11_4ch.abf"));
    dialogs.answerSignals({3, 0}); // four signals: the user picks
    window->files().mnuOpen_Click();
    expectLoaded(40000);
    EXPECT_EQ(std::tuple(state.BlockMode, state.SweepLength, state.CurveCount), std::tuple(true, 4000, 10));
    EXPECT_EQ(QStringList({selectorText(1), selectorText(2)}), QStringList({"IN 3 (pA)", "IN 0 (pA)"}));
    EXPECT_EQ(state.SampleInterval, 1.0F / 20000);
    EXPECT_EQ(state.Markers(62), MarkerStimulus) << "the epoch's step in each sweep";
    EXPECT_EQ(state.Markers(4062), MarkerStimulus);

    dialogs.answerOpen(qs(Recordings / "wfdb/v102s.hea"));
    dialogs.answerSignals({1});
    window->files().mnuOpen_Click();
    expectLoaded(75000);
    EXPECT_FALSE(state.BlockMode);
    EXPECT_EQ(selectorText(1), "V (mV)");
    EXPECT_FALSE(window->ui.Scroll->isVisible());
}

} // namespace
} // namespace trazel::testing
