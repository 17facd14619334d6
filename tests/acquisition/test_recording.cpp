#include "acquisition/simulated_source.h"
#include "core/number_rules.h"
#include "support/drawing_log.h"
#include "support/recording_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace trazel::testing {
namespace {

// A clock that is always one point ahead: the loop never sleeps and yields once per point.
class AheadClock : public Clock {
public:
    explicit AheadClock(const AppState& state) : m_state(state) {}
    double Seconds() override { return m_now += m_state.SampleInterval; }

private:
    const AppState& m_state;
    double m_now = 0;
};

// A clock that moves only when the test moves it.
class ManualClock : public Clock {
public:
    double Seconds() override { return now; }
    double now = 0;
};

std::int16_t wordAt(const QByteArray& bytes, qsizetype offset) {
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                     (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

class Recording : public RecordingLayoutTest {
protected:
    Recording() : clock(state), oldHome(qgetenv("HOME")) {
        qputenv("HOME", home.path().toUtf8());
        window->recorder().useClock(clock);
    }
    ~Recording() override { qputenv("HOME", oldHome); }

    void useChannels(std::initializer_list<int> traces) {
        for (const int t : traces) {
            window->ui.ch_list[static_cast<std::size_t>(t - 1)]->setListIndex(t);
        }
    }

    // Runs a command that starts the loop; at every pass of the event loop `step` sees how many passes
    // there have been, and STOP is pressed when it returns false.
    void runLoop(void (Recorder::*command)(), const std::function<bool(int)>& step) {
        QTimer passes;
        passes.setInterval(0);
        int count = 0;
        QObject::connect(&passes, &QTimer::timeout, [&] {
            if (!step(++count)) {
                passes.stop();
                window->recorder().halt_Click();
            }
        });
        passes.start();
        (window->recorder().*command)();
        passes.stop();
    }

    QString record(const QString& name, const std::function<bool(int)>& step) {
        const QString path = QDir(Recorder::recordingFolder()).filePath(name);
        dialogs.answerSave(path);
        runLoop(&Recorder::store_Click, step);
        return path;
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The records of the data section: each the samples of the recorded traces and the marker word.
    static std::vector<std::vector<std::int16_t>> records(const QByteArray& bytes, int channels) {
        std::vector<std::vector<std::int16_t>> result;
        for (qsizetype at = 128; at + 2 * (channels + 1) <= bytes.size(); at += 2 * (channels + 1)) {
            result.emplace_back();
            for (int w = 0; w <= channels; ++w) {
                result.back().push_back(wordAt(bytes, at + 2 * w));
            }
        }
        return result;
    }

    // Each record holds the source's values in the order a run that began with trace 1 took them.
    static void expectReplayed(const std::vector<std::vector<std::int16_t>>& taken, int channels) {
        SimulatedSource replay;
        replay.SimulatedSample(true);
        for (const auto& record : taken) {
            for (int c = 0; c < channels; ++c) {
                ASSERT_EQ(record[static_cast<std::size_t>(c)], toInteger(replay.SimulatedSample(false)));
            }
        }
    }

    // The marker words of the recording as a text ('.' 0, 'M' 100, 'S' 200) match the pattern.
    static void expectMarkerWords(const QString& path, const char* pattern) {
        std::string words;
        for (const auto& record : records(contents(path), 1)) {
            words += record[1] == 0 ? '.' : record[1] == 100 ? 'M' : record[1] == 200 ? 'S' : '?';
        }
        EXPECT_TRUE(QRegularExpression(pattern).match(QString::fromStdString(words)).hasMatch()) << words;
    }

    QTemporaryDir home;
    AheadClock clock;
    QByteArray oldHome;
};

TEST_F(Recording, MonitorRunsUntilStopAndNeedsAChannel) {
    window->recorder().monitor_Click(); // no channel yet: nothing happens
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
    useChannels({1, 3});
    QString during;
    runLoop(&Recorder::monitor_Click, [&](int pass) {
        during = window->windowTitle();
        EXPECT_TRUE(state.Acquiring);
        EXPECT_TRUE(window->ui.halt->isEnabled() && window->ui.stim->isEnabled());
        return pass < 30;
    });
    EXPECT_EQ(during, "MONITOR MODE");
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
    EXPECT_FALSE(state.Acquiring);
    expectEnabled({window->ui.halt, window->ui.stim}, false);
    EXPECT_GE(figuresOfKind(*window->ui.disp, DrawnFigure::Kind::Line).size(), 2 * 25u); // both traces' pens

    runLoop(&Recorder::monitor_Click, [&](int pass) { // a mode change ends the loop and names the mode
        if (pass == 10) {
            enterBlockMode("200");
        }
        return pass < 1000;
    });
    EXPECT_FALSE(state.Acquiring);
    EXPECT_EQ(window->windowTitle(), "BLOCK MODE (200.ms)");
}

TEST_F(Recording, RecordWhileMonitoringTakesOverTheLoop) {
    useChannels({1});
    const QString path = QDir(home.path()).filePath("taken.bin");
    dialogs.answerSave(path);
    runLoop(&Recorder::monitor_Click, [&](int pass) {
        if (pass == 5) {
            window->recorder().store_Click(); // runs its own loop until STOP, then monitoring ends too
        }
        return pass < 30;
    });
    EXPECT_FALSE(state.Acquiring || state.Recording);
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE   LAST RECORDED FILE: " + path);
    EXPECT_GE(records(contents(path), 1).size(), 20u);
}

TEST_F(Recording, ContinuousRecordingReadsBackPointForPoint) {
    useChannels({1, 2});
    QFile(QDir(Recorder::recordingFolder()).filePath("data07.bin")).open(QIODevice::WriteOnly);
    const QString path = record("data08.bin", [&](int pass) {
        EXPECT_TRUE(window->windowTitle().startsWith("CONTINUOUS RECORD MODE  file name: "));
        expectEnabled({window->ui.monitor, window->ui.store, window->ui.sampling_hz, window->ui.ch_list[0],
                       window->ui.mul},
                      false);
        return pass < 45;
    });
    const auto& question = dialogs.questions().back();
    EXPECT_EQ(question.text, "Open file to save data");
    EXPECT_EQ(question.request.fileName, "data08.bin");
    EXPECT_EQ(question.request.initialFolder, QDir(home.path()).filePath("nb_data"));
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE   LAST RECORDED FILE: " + path);
    expectEnabled(
        {window->ui.monitor, window->ui.store, window->ui.sampling_hz, window->ui.ch_list[0], window->ui.mul},
        true);

    const QByteArray bytes = contents(path);
    ASSERT_GE(bytes.size(), 128);
    EXPECT_EQ(bytes.left(12), "Version 1.00");
    const std::int16_t header[] = {2, 1, 2, 0, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(wordAt(bytes, 12 + 2 * i), header[i]) << "header word " << i;
    }
    EXPECT_EQ(static_cast<std::uint16_t>(wordAt(bytes, 32)) | (wordAt(bytes, 34) << 16),
              100000); // 100 ms in microseconds
    const auto taken = records(bytes, 2);
    ASSERT_GE(taken.size(), 40u);
    EXPECT_EQ((bytes.size() - 128) % 6, 0);

    expectReplayed(taken, 2); // the same actions give the same data
    EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](const auto& record) { return record[2] == 0; }));
    window->layouts().mnuTrazel_Click();
    dialogs.answerOpen(path);
    window->files().mnuOpen_Click();
    ASSERT_EQ(state.SampleCount, static_cast<Long>(taken.size()));
    for (std::size_t i = 0; i < taken.size(); ++i) {
        ASSERT_EQ(state.RawData(2, i), taken[i][1]);
    }
}

TEST_F(Recording, AFullFileEndsTheRecordingAlsoOnTheFirstPointOfAScreen) {
    useChannels({2});
    type(*window->ui.scr_lng, "1", &Settings::scr_lng_LostFocus); // 10 points a screen
    window->ui.file_lng->setText("1.1");                          // 11 points: the first of the second screen
    const QString path = record("data01.bin", [](int) { return true; });
    EXPECT_EQ(contents(path).size(), 128 + 11 * 4);
    EXPECT_FALSE(state.Recording || state.Acquiring);
    const auto& log = window->ui.disp->drawingLog(); // the time axis of the second screen
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const DrawnFigure& f) { return f.text == "1.25"; }));
}

TEST_F(Recording, MarkerAndStimulusMarkThePoints) {
    useChannels({1});
    const QString path = record("data01.bin", [&](int pass) {
        if (pass == 5 || pass == 15) {
            window->recorder().drug_button_Click();
        } else if (pass == 8 || pass == 18) {
            window->recorder().stim_Click();
            window->recorder().stim_Click(); // twice before the point: still one stimulus
        }
        return pass < 22;
    });
    EXPECT_EQ(window->ui.drug_button->text(), "MARKER ON");
    // Marker on from the 5th pass, a stimulus inside it, marker off at the 15th, a stimulus after it.
    expectMarkerWords(path, "^\\.+M+SM+\\.+S\\.+$");
}

TEST_F(Recording, MarkerPressedBeforeTheStimulusPointKeepsBoth) {
    useChannels({1});
    const QString path = record("data01.bin", [&](int pass) {
        if (pass == 5 || pass == 15) { // both before the loop takes its next point
            window->recorder().stim_Click();
            window->recorder().drug_button_Click();
        }
        return pass < 22;
    });
    EXPECT_EQ(window->ui.drug_button->text(), "MARKER ON");
    // Without the mend the MARKER press ate the waiting stimulus and was itself lost.
    expectMarkerWords(path, "^\\.+SM+S\\.+$");
}

TEST_F(Recording, StopWhileWaitingEndsAfterThatPoint) {
    useChannels({1});
    class StoppedClock : public Clock {
        double Seconds() override { return 0; }
    } stopped;
    window->recorder().useClock(stopped);
    QTimer::singleShot(50, window.get(),
                       [this] { window->recorder().halt_Click(); }); // the second point waits
    dialogs.answerSave(QDir(home.path()).filePath("stop.bin"));
    window->recorder().store_Click();
    EXPECT_EQ(contents(QDir(home.path()).filePath("stop.bin")).size(), 128 + 2 * 4);
}

TEST_F(Recording, BlockRecordingAppendsEachSavedSweep) {
    useChannels({1, 3});
    dialogs.answerInput("100"); // 100 points at 1000 points per second
    window->settings().mnuBlock_Click();
    window->ui.dly1->setText("0");
    window->ui.interval->setText("2");
    window->ui.stim_num->setText("3");
    const QString path = QDir(home.path()).filePath("block.bin");
    dialogs.answerSave(path);
    window->recorder().store_Click();
    EXPECT_EQ(window->windowTitle(), "BLOCK RECORD MODE  file name: " + path);
    EXPECT_EQ(window->ui.halt->text(), "CLOSE");
    EXPECT_EQ(window->ui.ave_count_label->text(), "saved");
    for (int sweep = 0; sweep < 2; ++sweep) {
        window->recorder().stim_Click();
        EXPECT_EQ(window->focusWidget(), window->ui.save);
        EXPECT_EQ(state.Markers(2) + state.Markers(4) + state.Markers(1), 400);
        window->recorder().save_Click();
        EXPECT_EQ(contents(path).size(), 128 + (sweep + 1) * 100 * 2 * 3); // in the file before CLOSE
    }
    EXPECT_EQ(window->ui.ave_count->text(), " 2");
    EXPECT_EQ(state.AveragedCount, 2.0F);
    window->recorder().halt_Click();
    EXPECT_EQ(window->windowTitle(), "BLOCK MODE    LAST RECORDED FILE: " + path);
    EXPECT_EQ(window->ui.halt->text(), "STOP");
    expectEnabled({window->ui.store, window->ui.ch_list[0]}, true);
    expectEnabled({window->ui.scr_lng, window->ui.file_lng, window->ui.save}, false);
    const QByteArray bytes = contents(path);
    EXPECT_EQ(bytes.size(), 128 + 2 * 100 * 2 * 3);
    EXPECT_EQ(wordAt(bytes, 20), -1);                                                    // block flag
    EXPECT_EQ(wordAt(bytes, 22), 100);                                                   // points per sweep
    EXPECT_EQ(wordAt(bytes, 26) * 100 + wordAt(bytes, 28) * 10 + wordAt(bytes, 30), 32); // dly, #, intrvl
    EXPECT_EQ(records(bytes, 2)[104][2], 200);                                           // sweep 2, point 4
    EXPECT_EQ(records(bytes, 2)[199][0], toInteger(state.RawData(1, 99)));
}

TEST_F(Recording, CancelledOrUnwritableFilesLeaveTheControlsAsBefore) {
    useChannels({1});
    dialogs.answerSave(QString());
    window->recorder().store_Click();
    EXPECT_FALSE(state.Recording || state.Acquiring);
    dialogs.answerSave(QDir(home.path()).filePath("no/such/folder/x.bin"));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->recorder().store_Click();
    EXPECT_EQ(dialogs.questions().back().text,
              "Error encountered while trying to write file, recording stopped.");
    EXPECT_EQ(dialogs.questions().back().title, "File output");
    EXPECT_FALSE(state.Recording);
    expectEnabled({window->ui.store, window->ui.monitor, window->ui.sampling_hz}, true);
    EXPECT_EQ(window->windowTitle(), "CONTINUOUS MODE");
}

TEST_F(Recording, AtEveryMomentTheFileHoldsEveryPointButThoseOfTheLastSecond) {
    useChannels({1, 2});
    ManualClock manual;
    window->recorder().useClock(manual);
    const QString path = QDir(home.path()).filePath("crash.bin");
    dialogs.answerSave(path);
    // What the file holds between two passes of the loop is what a crash there would leave behind.
    qint64 mostMissing = 0;
    bool whole = true;
    runLoop(&Recorder::store_Click, [&](int pass) {
        const auto taken = static_cast<qint64>(manual.now / state.SampleInterval) + 1; // 10 a second from 0
        const qint64 data = QFileInfo(path).size() - 128;
        whole = whole && data % 6 == 0;
        mostMissing = std::max(mostMissing, taken - data / 6);
        manual.now = pass * 0.01;
        return manual.now < 20; // two and a half screens
    });
    EXPECT_TRUE(whole);
    EXPECT_LE(mostMissing, 10);
    const auto taken = records(contents(path), 2);
    EXPECT_EQ(taken.size(), 201u); // STOP writes the rest
    expectReplayed(taken, 2);
}

// Writes that would take a file beyond `bytes` fail as on a full disk, while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_signal(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_old{};
    void (*m_signal)(int);
};

TEST_F(Recording, AWriteFailureStopsTheRecordingAndKeepsTheBlocksWrittenBefore) {
    useChannels({1, 2}); // records of 6 bytes
    const QString path = QDir(home.path()).filePath("full.bin");
    dialogs.answerSave(path);
    dialogs.answerMessage(MsgAnswer::Ok);
    {
        const FileSizeLimit full(128 + 25 * 6 + 3); // the disk fills up inside the 26th point
        runLoop(&Recorder::store_Click, [](int pass) { return pass < 1000; });
    }
    EXPECT_EQ(dialogs.questions().back().text,
              "Error encountered while trying to write file, recording stopped.");
    EXPECT_FALSE(state.Recording || state.Acquiring);
    expectEnabled({window->ui.store, window->ui.monitor, window->ui.sampling_hz, window->ui.ch_list[0]},
                  true);
    // Without the mend half of the 26th point stayed in the file and the reader took it for a point. The
    // block that failed is gone, the blocks before it (written at least once a second) are whole.
    const QByteArray bytes = contents(path);
    EXPECT_EQ((bytes.size() - 128) % 6, 0);
    const auto taken = records(bytes, 2);
    EXPECT_TRUE(taken.size() >= 15 && taken.size() <= 25) << taken.size();
    expectReplayed(taken, 2);
    window->layouts().mnuTrazel_Click();
    dialogs.answerOpen(path);
    window->files().mnuOpen_Click();
    EXPECT_EQ(state.SampleCount, static_cast<Long>(taken.size()));
}

TEST_F(Recording, AFailedSaveEndsTheBlockRecordingWithTheSweepsSavedBefore) {
    useChannels({1});
    enterBlockMode("50"); // 50 points of 4 bytes a sweep
    const QString path = QDir(home.path()).filePath("block.bin");
    dialogs.answerSave(path);
    dialogs.answerMessage(MsgAnswer::Ok);
    const FileSizeLimit full(128 + 50 * 4 + 10); // room for one sweep and a little
    window->recorder().store_Click();
    for (int sweep = 0; sweep < 2; ++sweep) {
        window->recorder().stim_Click();
        window->recorder().save_Click();
    }
    EXPECT_EQ(dialogs.questions().back().text,
              "Error encountered while trying to write file, recording stopped.");
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(window->ui.halt->text(), "STOP");
    expectEnabled({window->ui.store, window->ui.ch_list[0]}, true);
    EXPECT_EQ(contents(path).size(), 128 + 50 * 4); // nothing of the second sweep
}

TEST_F(Recording, ClosingTheWindowEndsTheLoopAndCompletesTheFile) {
    useChannels({1});
    const QString path = record("data01.bin", [&](int pass) {
        if (pass == 12) {
            window->close();
        }
        return true;
    });
    EXPECT_FALSE(window->isVisible());
    const auto taken = records(contents(path), 1);
    EXPECT_GE(taken.size(), 10u);
    EXPECT_EQ((contents(path).size() - 128) % 4, 0);

    window->show(); // an open block recording keeps every saved sweep
    enterBlockMode("50");
    const QString block = QDir(home.path()).filePath("block.bin");
    dialogs.answerSave(block);
    window->recorder().store_Click();
    window->recorder().stim_Click();
    window->recorder().save_Click();
    window->recorder().stim_Click(); // made, not saved
    window->close();
    EXPECT_EQ(contents(block).size(), 128 + 50 * 4);
    EXPECT_FALSE(state.Recording);
}

} // namespace
} // namespace trazel::testing
