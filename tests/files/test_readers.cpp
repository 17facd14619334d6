#include "files/bin_format.h"
#include "support/data_files.h"
#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace trazel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Question = ScriptedDialogs::Question;
using Kind = ScriptedDialogs::Kind;

const QString ErrorText = QStringLiteral("Error encountered while trying to open file, please retry.");
const QString ChannelPrompt = QStringLiteral("Number of recorded channels:");
const QString FrequencyPrompt = QStringLiteral("Enter sampling frequency (Hz):");
constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Cyan = rgb(0, 255, 255);
constexpr Colour Grey = rgb(150, 150, 150);

QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A two-channel continuous recording of 4 points at 500 us; traces on inputs 3 and 4.
const std::vector<std::int16_t> SmallSamples = {1, -2, 3, -400, -5, 6, 7, 8};
const std::vector<std::int16_t> SmallMarkers = {0, 100, 200, 0};
Bytes smallContinuousFile() {
    return versionedFile(continuousHeader(2, {0, 3, 4}, 500), SmallSamples, SmallMarkers);
}

// One channel, two sweeps of 100 points at 1 ms: a ramp from -150 and a stimulus at point 5 of each sweep.
Bytes twoSweepBlockFile() {
    binformat::Header header = blockHeader(1, {1, 0, 0}, 100, 1000);
    header.stimDelay = 5;
    header.stimCount = 1;
    header.stimInterval = 0;
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < 200; ++i) {
        samples.push_back(static_cast<std::int16_t>(i % 100 * 3 - 150));
        markers.push_back(static_cast<std::int16_t>(i % 100 == 5 ? 200 : 0));
    }
    return versionedFile(header, samples, markers);
}

class DataFiles : public MainWindowTest {
protected:
    // File > Open with the given file, answering the input boxes in order and, when the open is expected
    // to fail, the error message.
    void open(const std::filesystem::path& file, std::vector<QString> inputs = {}, bool fails = false) {
        dialogs.answerOpen(qs(file));
        for (const QString& input : inputs) {
            dialogs.answerInput(input);
        }
        if (fails) {
            dialogs.answerMessage(MsgAnswer::Ok);
        }
        m_firstQuestion = dialogs.questions().size();
        window->mnuOpen_Click();
        EXPECT_TRUE(dialogs.allAnswered()) << "the program asked fewer questions than scripted";
    }
    void openFailing(const std::filesystem::path& file, std::vector<QString> inputs = {}) {
        open(file, std::move(inputs), true);
    }
    std::filesystem::path write(const std::string& name, const Bytes& bytes) {
        return files.write(name, bytes);
    }

    // The questions of the last open, the open dialog first.
    std::vector<Question> lastQuestions() const {
        const auto& all = dialogs.questions();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_firstQuestion), all.end()};
    }

    void expectErrorReported() const {
        const std::vector<Question> asked = lastQuestions();
        ASSERT_FALSE(asked.empty());
        const Question& last = asked.back();
        EXPECT_EQ(last.kind, Kind::MsgBox);
        EXPECT_EQ(last.text, ErrorText);
        EXPECT_EQ(last.title, QStringLiteral("File input"));
        EXPECT_EQ(last.icon, MsgIcon::Exclamation);
        EXPECT_EQ(last.buttons, MsgButtons::Ok);
        EXPECT_EQ(std::count_if(asked.begin(), asked.end(),
                                [](const Question& q) { return q.kind == Kind::MsgBox; }),
                  1);
    }

    std::size_t countOf(DrawnFigure::Kind kind) const { return figuresOfKind(*window->disp, kind).size(); }

    // The time and amplitude axes and nothing else.
    void expectOnlyEmptyAxes() const {
        EXPECT_EQ(countOf(DrawnFigure::Kind::Line), 12U);
        EXPECT_EQ(countOf(DrawnFigure::Kind::Text), 10U);
        EXPECT_EQ(countOf(DrawnFigure::Kind::Box), 0U);
    }

    void expectNothingLoaded() const {
        EXPECT_FALSE(state.DataLoaded);
        EXPECT_FALSE(state.TraceData.exists());
        EXPECT_FALSE(state.RawData.exists());
        EXPECT_FALSE(state.Markers.exists());
        EXPECT_FALSE(state.AverageData.exists());
        EXPECT_EQ(state.SampleCount, 0);
        EXPECT_EQ(state.InFile, 0);
        EXPECT_FALSE(window->Scroll->isVisible());
        EXPECT_EQ(window->status->text(), QString());
        expectOnlyEmptyAxes();
    }

    void expectRawAndTraceDataEqual() const {
        ASSERT_EQ(state.RawData.upper(), state.TraceData.upper());
        for (int t = 1; t <= TraceCount; ++t) {
            EXPECT_TRUE(std::ranges::equal(state.RawData.trace(t), state.TraceData.trace(t)))
                << "trace " << t;
        }
    }

    // What every successful read leaves: the data arrays, the progress window gone, no file being read.
    void expectLoaded(Long samples) const {
        EXPECT_TRUE(state.DataLoaded);
        EXPECT_EQ(state.SampleCount, samples);
        EXPECT_EQ(state.InFile, 0);
        EXPECT_FALSE(window->Scroll->isVisible());
        EXPECT_EQ(window->Scroll->value(), 100);
        EXPECT_EQ(window->Scroll->caption(), QStringLiteral("Reading data..."));
        EXPECT_EQ(state.Markers.upper(), state.TraceData.upper());
        expectRawAndTraceDataEqual();
    }

    void expectContinuousMenus() const {
        EXPECT_FALSE(window->mnuContinuous->isVisible());
        EXPECT_TRUE(window->mnuBlock->isVisible());
        EXPECT_EQ(window->mnuBlock->text(), QStringLiteral("Block mode"));
        EXPECT_TRUE(window->mnuS->isChecked());
        EXPECT_EQ(window->SA_label->text(), QStringLiteral("single"));
        EXPECT_FALSE(state.BlockMode);
        EXPECT_EQ(state.SweepLength, -1);
        EXPECT_EQ(state.CurveCount, -1);
    }

    void expectBlockMenus() const {
        EXPECT_TRUE(window->mnuContinuous->isVisible());
        EXPECT_EQ(window->mnuBlock->text(), QStringLiteral("Block length"));
        EXPECT_TRUE(window->mnuS->isChecked());
        EXPECT_EQ(window->SA_label->text(), QStringLiteral("single"));
        EXPECT_TRUE(state.BlockMode);
        EXPECT_TRUE(state.FileBlockMode);
    }

    void expectContinuousSpan(Single screenLen, const char* unit) const {
        EXPECT_EQ(state.ScreenLen, screenLen);
        EXPECT_EQ(state.ContScreenLen, screenLen);
        EXPECT_EQ(state.FileScreenLen, screenLen);
        EXPECT_EQ(state.TimeUnit, unit);
        EXPECT_EQ(state.ContTimeUnit, unit);
        const Single factor = std::string_view(unit) == "ms" ? 0.001F : 1.0F;
        EXPECT_FLOAT_EQ(state.TimeFactor, factor);
        EXPECT_FLOAT_EQ(state.ContTimeFactor, factor);
    }

    // The status line of continuous data: the file's date and time of change in the system's long formats.
    void expectDateStatus(const QDateTime& changed) const {
        const QLocale locale = QLocale::system();
        EXPECT_EQ(window->status->text(), locale.toString(changed.date(), QLocale::LongFormat) + "   " +
                                              locale.toString(changed.time(), QLocale::LongFormat));
    }

    TestFiles files;

private:
    std::size_t m_firstQuestion = 0;
};

// ---- Versioned continuous files ------------------------------------------------------------------------

TEST_F(DataFiles, ReadsAContinuousRecordingWithCompactedTraceChannels) {
    const std::filesystem::path file = write("small.bin", smallContinuousFile());
    ASSERT_EQ(std::filesystem::file_size(file), 128U + 4U * 6U) << "6-byte records: two samples and a marker";
    const QDateTime changed(QDate(2024, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(setModificationTime(file, changed));
    open(file);

    expectLoaded(4);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_EQ(state.TraceChannel(1), 3);
    EXPECT_EQ(state.TraceChannel(2), 4);
    EXPECT_EQ(state.TraceChannel(3), 0);
    ASSERT_EQ(state.TraceData.upper(), 4) << "one point more than the records, which stays 0";
    const float trace1[] = {1, 3, -5, 7, 0};
    const float trace2[] = {-2, -400, 6, 8, 0};
    const std::int16_t markers[] = {0, 100, 200, 0, 0};
    for (int i = 0; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(state.RawData(1, i), trace1[i]);
        EXPECT_EQ(state.RawData(2, i), trace2[i]);
        EXPECT_EQ(state.RawData(3, i), 0);
        EXPECT_EQ(state.Markers(i), markers[i]);
    }
    EXPECT_EQ(state.TracePeak(1), 7);
    EXPECT_EQ(state.TracePeak(2), 400);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.0005F);
    EXPECT_FALSE(state.FileBlockMode);
    expectContinuousMenus();
    expectContinuousSpan(2, "ms"); // 4 points of 0.5 ms
    EXPECT_DOUBLE_EQ(window->disp->ScaleWidth(), 4 / 0.8);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    expectDateStatus(changed);
    EXPECT_EQ(state.FileName, file.string());
    EXPECT_EQ(state.FileExt, "BIN");
    EXPECT_EQ(state.CurrentTrace, 1);
    EXPECT_GT(countOf(DrawnFigure::Kind::Line), 12U) << "the curves are drawn";
}

TEST_F(DataFiles, ReadsThreeChannelsInEightByteRecords) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < 50; ++i) {
        samples.insert(samples.end(), {static_cast<std::int16_t>(i), static_cast<std::int16_t>(-2 * i),
                                       static_cast<std::int16_t>(i * i - 1000)});
        markers.push_back(static_cast<std::int16_t>(i == 20 ? 200 : 0));
    }
    const std::filesystem::path file =
        write("three.bin", versionedFile(continuousHeader(3, {2, 4, 1}, 2000), samples, markers));
    ASSERT_EQ(std::filesystem::file_size(file), 128U + 50U * 8U);
    open(file);
    expectLoaded(50);
    EXPECT_EQ(state.ChannelCount, 3);
    EXPECT_EQ(state.TraceChannel(1), 2);
    EXPECT_EQ(state.TraceChannel(2), 4);
    EXPECT_EQ(state.TraceChannel(3), 1);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(state.TraceData(1, i), i);
        EXPECT_EQ(state.TraceData(2, i), -2 * i);
        EXPECT_EQ(state.TraceData(3, i), i * i - 1000);
        EXPECT_EQ(state.Markers(i), i == 20 ? 200 : 0);
    }
    EXPECT_EQ(state.TracePeak(1), 49);
    EXPECT_EQ(state.TracePeak(2), 98);
    EXPECT_EQ(state.TracePeak(3), 1401); // 49 * 49 - 1000
    expectContinuousSpan(128, "ms");     // 50 points of 2 ms = 100 ms
}

TEST_F(DataFiles, CountsAPartialLastRecordToTheNearestHalvesToEven) {
    struct Case {
        const char* name;
        int wholeRecords;
        Bytes tail;
        Long points;
        float lastSample;
    };
    // 4-byte records: one sample and the marker word.
    const Case cases[] = {
        {"a quarter record is dropped", 3, {0x09}, 3, 2},
        {"3.5 records round to 4", 3, {0x09, 0x00}, 4, 9},
        {"2.5 records round to even 2", 2, {0x09, 0x00}, 2, 1},
        {"three quarters of a record count", 2, {0x09, 0x01, 0x05}, 3, 0x0109},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::int16_t> samples;
        for (int i = 0; i < c.wholeRecords; ++i) {
            samples.push_back(static_cast<std::int16_t>(i));
        }
        Bytes bytes = versionedFile(continuousHeader(1, {1, 0, 0}, 1000), samples,
                                    std::vector<std::int16_t>(samples.size(), 100));
        bytes.insert(bytes.end(), c.tail.begin(), c.tail.end());
        open(write("partial.bin", bytes));
        expectLoaded(c.points);
        EXPECT_EQ(state.TraceData(1, c.points - 1), c.lastSample);
        EXPECT_EQ(state.TraceData(1, c.points), 0);
        if (c.points > c.wholeRecords) {
            EXPECT_EQ(state.Markers(c.points - 1), c.tail.size() == 3 ? 5 : 0) << "the marker word is cut";
        }
    }
}

TEST_F(DataFiles, ShowsAContinuousRecordingOnThePowerOfTwoThatHoldsIt) {
    struct Case {
        const char* name;
        int records;
        std::int32_t intervalUs;
        Single screenLen;
        const char* unit;
        double scaleWidth;
    };
    const Case cases[] = {
        {"10,000 records at 1 ms", 10000, 1000, 16, " s", 16000 / 0.8},
        {"5,000 records of 100 us", 5000, 100, 512, "ms", 5120 / 0.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(write("span.bin",
                   versionedFile(continuousHeader(1, {1, 0, 0}, c.intervalUs),
                                 std::vector<std::int16_t>(static_cast<std::size_t>(c.records), 3),
                                 std::vector<std::int16_t>(static_cast<std::size_t>(c.records), 0))));
        expectLoaded(c.records);
        expectContinuousSpan(c.screenLen, c.unit);
        EXPECT_NEAR(window->disp->ScaleWidth(), c.scaleWidth, c.scaleWidth * 1e-6);
    }
}

TEST_F(DataFiles, ReadsALongRecordingExactlyAcrossItsReadingSteps) {
    // More records than one read takes, in steps that do not divide the count.
    constexpr int Records = 200'003;
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < Records; ++i) {
        samples.push_back(static_cast<std::int16_t>(i % 30011 - 15000));
        samples.push_back(static_cast<std::int16_t>(-(i % 997)));
        markers.push_back(static_cast<std::int16_t>(i % 65536 == 0 ? 200 : 0));
    }
    open(write("long.bin", versionedFile(continuousHeader(2, {1, 2, 0}, 100), samples, markers)));
    expectLoaded(Records);
    for (int i = 0; i < Records; ++i) {
        ASSERT_EQ(state.TraceData(1, i), i % 30011 - 15000) << i;
        ASSERT_EQ(state.TraceData(2, i), -(i % 997)) << i;
        ASSERT_EQ(state.Markers(i), i % 65536 == 0 ? 200 : 0) << i;
    }
    EXPECT_EQ(state.TraceData(1, Records), 0);
    EXPECT_EQ(state.TracePeak(1), 15010);
    EXPECT_EQ(state.TracePeak(2), 996);
    expectContinuousSpan(32, " s"); // 20 s
}

// ---- Versioned block files ---------------------------------------------------------------------------

TEST_F(DataFiles, ReadsABlockRecordingSweepBySweep) {
    const std::filesystem::path file = write("sweeps.bin", twoSweepBlockFile());
    ASSERT_EQ(std::filesystem::file_size(file), 128U + 800U);
    open(file);

    expectLoaded(200);
    expectBlockMenus();
    EXPECT_EQ(state.ChannelCount, 1);
    EXPECT_EQ(state.TraceChannel(1), 1);
    EXPECT_EQ(state.TraceChannel(2), 0);
    EXPECT_EQ(state.SweepLength, 100);
    EXPECT_EQ(state.CurveCount, 2);
    EXPECT_EQ(state.CurrentCurve, 1);
    EXPECT_EQ(state.StimDelay, 5);
    EXPECT_EQ(state.StimCount, 1);
    EXPECT_EQ(state.StimInterval, 0);
    ASSERT_EQ(state.TraceData.upper(), 200);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(state.TraceData(1, i), i % 100 * 3 - 150);
        EXPECT_EQ(state.Markers(i), i % 100 == 5 ? 200 : 0);
    }
    EXPECT_EQ(state.TraceData(1, 200), 0);
    EXPECT_EQ(state.TracePeak(1), 150);
    ASSERT_EQ(state.AverageData.upper(), 99);
    for (int t = 1; t <= TraceCount; ++t) {
        EXPECT_TRUE(std::ranges::all_of(state.AverageData.trace(t), [](float v) { return v == 0; }));
    }
    EXPECT_EQ(state.AveragedCount, 0);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.001F);
    EXPECT_FLOAT_EQ(state.ScreenLen, 100);
    EXPECT_FLOAT_EQ(state.BlockScreenLen, 100);
    EXPECT_FLOAT_EQ(state.FileScreenLen, 100);
    EXPECT_EQ(state.TimeUnit, "ms");
    EXPECT_EQ(state.BlockTimeUnit, "ms");
    EXPECT_FLOAT_EQ(state.TimeFactor, 0.001F);
    EXPECT_EQ(state.BlockSweepLength, 100);
    EXPECT_EQ(state.FileSweepLength, 100);
    EXPECT_DOUBLE_EQ(window->disp->ScaleWidth(), 100 / 0.8);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("BLOCK MODE (100.ms)"));
    EXPECT_EQ(window->status->text(), QStringLiteral("current curve: 1/2     averaged: 0"));
}

TEST_F(DataFiles, ShowsSweepsOfASecondOrMoreInSeconds) {
    open(write("long.bin",
               versionedFile(blockHeader(1, {1, 0, 0}, 2000, 1000), std::vector<std::int16_t>(2000, -9),
                             std::vector<std::int16_t>(2000, 0))));
    expectLoaded(2000);
    EXPECT_EQ(state.CurveCount, 1);
    EXPECT_FLOAT_EQ(state.ScreenLen, 2);
    EXPECT_EQ(state.TimeUnit, " s");
    EXPECT_FLOAT_EQ(state.TimeFactor, 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("BLOCK MODE (2. s)"));
    EXPECT_EQ(window->status->text(), QStringLiteral("current curve: 1/1     averaged: 0"));
    EXPECT_EQ(state.TracePeak(1), 9);
}

TEST_F(DataFiles, CoversEverySweepTheSweepCountNames) {
    struct Case {
        int records;
        Long curves;
        std::int64_t upper;
    };
    // 100 points per sweep: 2.5 sweeps round to 2, 2.6 to 3 (the third sweep padded with zeros).
    const Case cases[] = {{250, 2, 250}, {260, 3, 300}, {100, 1, 100}, {149, 1, 149}, {150, 2, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        const auto n = static_cast<std::size_t>(c.records);
        open(write("partial_sweeps.bin",
                   versionedFile(blockHeader(1, {1, 0, 0}, 100, 1000), std::vector<std::int16_t>(n, 77),
                                 std::vector<std::int16_t>(n, 0))));
        expectLoaded(c.records);
        EXPECT_EQ(state.CurveCount, c.curves);
        ASSERT_EQ(state.TraceData.upper(), c.upper);
        EXPECT_EQ(state.TraceData(1, c.records - 1), 77);
        for (std::int64_t i = c.records; i <= c.upper; ++i) {
            EXPECT_EQ(state.TraceData(1, i), 0) << i;
        }
        EXPECT_EQ(state.AverageData.upper(), 99);
        EXPECT_EQ(window->status->text(),
                  QStringLiteral("current curve: 1/%1     averaged: 0").arg(c.curves));
    }
}

// ---- Headerless files ----------------------------------------------------------------------------------

TEST_F(DataFiles, AsksForTheChannelCountOfAHeaderlessFile) {
    const std::filesystem::path file = write("old.bin", headerlessFile(5, 2, {10, -20, 30, 40, -50, 60}));
    ASSERT_EQ(std::filesystem::file_size(file), 2U + 3U * 4U);
    open(file, {QStringLiteral("2")});

    const std::vector<Question> asked = lastQuestions();
    ASSERT_EQ(asked.size(), 2U);
    EXPECT_EQ(asked[1].kind, Kind::InputBox);
    EXPECT_EQ(asked[1].text, ChannelPrompt);
    EXPECT_EQ(asked[1].title, QStringLiteral("Channel number"));
    EXPECT_EQ(asked[1].defaultText, QStringLiteral("1"));

    expectLoaded(3);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_GT(state.TraceChannel(1), 0);
    EXPECT_GT(state.TraceChannel(2), 0);
    EXPECT_EQ(state.TraceChannel(3), 0);
    const float trace1[] = {10, 30, -50, 0};
    const float trace2[] = {-20, 40, 60, 0};
    for (int i = 0; i <= 3; ++i) {
        EXPECT_EQ(state.TraceData(1, i), trace1[i]);
        EXPECT_EQ(state.TraceData(2, i), trace2[i]);
        EXPECT_EQ(state.Markers(i), 0) << "a headerless file has no markers";
    }
    EXPECT_EQ(state.TracePeak(1), 50);
    EXPECT_EQ(state.TracePeak(2), 60);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.005F);
    expectContinuousMenus();
    expectContinuousSpan(16, "ms"); // 3 points of 5 ms
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
}

TEST_F(DataFiles, CountsHeaderlessRecordsHalvesToEven) {
    struct Case {
        int bytesAfterPrefix;
        Long points;
    };
    // One channel: 2-byte records.
    for (const Case& c : {Case{6, 3}, Case{7, 4}, Case{5, 2}, Case{8, 4}}) {
        SCOPED_TRACE(c.bytesAfterPrefix);
        Bytes bytes = {0x01, 0x00};
        for (int i = 0; i < c.bytesAfterPrefix; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(i % 2 == 0 ? 1 + i / 2 : 0));
        }
        open(write("count.bin", bytes), {QStringLiteral("1")});
        expectLoaded(c.points);
        EXPECT_EQ(state.TraceData(1, c.points - 1), c.points);
        EXPECT_FLOAT_EQ(state.SampleInterval, 0.001F);
    }
}

TEST_F(DataFiles, TakesAWholeNumberChannelAnswerWithBlanksAround) {
    open(write("old.bin", headerlessFile(2, 3, {1, 2, 3, 4, 5, 6})), {QStringLiteral(" 3 ")});
    expectLoaded(2);
    EXPECT_EQ(state.ChannelCount, 3);
    EXPECT_EQ(state.TraceData(3, 1), 6);
}

// ---- Labtech files -------------------------------------------------------------------------------------

std::vector<float> labtechValues(int count) {
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(i % 9 - 4) * 0.5F + (i % 2 == 0 ? 0.25F : 0));
    }
    return values;
}

TEST_F(DataFiles, ReadsALabtechFileOfOneOrTwoChannels) {
    const std::vector<float> values = labtechValues(1000);
    const std::filesystem::path file = write("TRACE.PRN", prnFile(values));
    ASSERT_EQ(std::filesystem::file_size(file), 4000U);
    struct Case {
        int channels;
        Long points;
        Single screenLen;
    };
    // 1000 points at 300 Hz last 3.3 s (4 s on screen); 500 points 1.7 s, which rounds to 2 s.
    for (const Case& c : {Case{1, 1000, 4}, Case{2, 500, 2}}) {
        SCOPED_TRACE(c.channels);
        const QDateTime changed(QDate(2023, 11, 28), QTime(9, 41, 0));
        ASSERT_TRUE(setModificationTime(file, changed));
        open(file, {QString::number(c.channels), QStringLiteral("300")});

        const std::vector<Question> asked = lastQuestions();
        ASSERT_EQ(asked.size(), 3U);
        EXPECT_EQ(asked[1].kind, Kind::InputBox);
        EXPECT_EQ(asked[1].text, ChannelPrompt);
        EXPECT_EQ(asked[1].title, QStringLiteral("Channel number"));
        EXPECT_EQ(asked[1].defaultText, QStringLiteral("1"));
        EXPECT_EQ(asked[2].kind, Kind::InputBox);
        EXPECT_EQ(asked[2].text, FrequencyPrompt);
        EXPECT_EQ(asked[2].title, QStringLiteral("Sample rate"));
        EXPECT_EQ(asked[2].defaultText, QStringLiteral("300"));

        expectLoaded(c.points);
        EXPECT_EQ(state.ChannelCount, c.channels);
        std::array<float, 2> peaks{};
        for (Long i = 0; i < c.points; ++i) {
            for (int ch = 0; ch < c.channels; ++ch) {
                const float value = values[static_cast<std::size_t>(i * c.channels + ch)];
                ASSERT_EQ(state.TraceData(ch + 1, i), 100 * value) << "point " << i << ", channel " << ch + 1;
                peaks[static_cast<std::size_t>(ch)] =
                    std::max(peaks[static_cast<std::size_t>(ch)], std::abs(value));
            }
            ASSERT_EQ(state.Markers(i), 0);
        }
        for (int ch = 0; ch < c.channels; ++ch) {
            EXPECT_EQ(state.TracePeak(ch + 1), 100 * peaks[static_cast<std::size_t>(ch)]);
            EXPECT_GT(state.TraceChannel(ch + 1), 0);
        }
        for (int t = c.channels + 1; t <= TraceCount; ++t) {
            EXPECT_EQ(state.TraceChannel(t), 0);
        }
        EXPECT_FLOAT_EQ(state.SampleInterval, 1.0F / 300);
        EXPECT_FALSE(state.FileBlockMode);
        expectContinuousMenus();
        expectContinuousSpan(c.screenLen, " s");
        EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(file));
        EXPECT_EQ(state.FileExt, "PRN");
        expectDateStatus(changed);
    }
}

TEST_F(DataFiles, ShowsLabtechFilesOnThePowerOfTwoThatHoldsThem) {
    struct Case {
        int points;
        QString frequency;
        Single interval;
        Single screenLen;
        const char* unit;
    };
    const Case cases[] = {
        {3000, "300", 1.0F / 300, 16, " s"},
        {150, "300", 1.0F / 300, 512, "ms"},
        {150, "1000", 0.001F, 256, "ms"},
        {10, "2.5", 0.4F, 4, " s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        open(write("span.prn", prnFile(labtechValues(c.points))), {"1", c.frequency});
        expectLoaded(c.points);
        EXPECT_FLOAT_EQ(state.SampleInterval, c.interval);
        expectContinuousSpan(c.screenLen, c.unit);
    }
}

TEST_F(DataFiles, TakesFrequenciesFarFromTheUsualWhileTheTimeBaseHoldsThem) {
    struct Case {
        QString frequency;
        Single interval;
    };
    for (const Case& c : {Case{"1e30", 1e-30F}, Case{"1e-30", 1e30F}, Case{" 2.5 ", 0.4F}}) {
        SCOPED_TRACE(c.frequency.toStdString());
        open(write("far.prn", prnFile(labtechValues(10))), {"1", c.frequency});
        expectLoaded(10);
        EXPECT_FLOAT_EQ(state.SampleInterval, c.interval);
        EXPECT_TRUE(std::isfinite(state.ScreenLen) && state.ScreenLen >= 1) << state.ScreenLen;
        EXPECT_TRUE(std::isfinite(window->disp->ScaleWidth()));
    }
}

TEST(LabtechReading, ReadsTheFileBeforeAskingForItsFrequency) {
    // The frequency question comes once the data are in and the progress window has gone.
    class Observer : public ScriptedDialogs {
    public:
        const AppState* state = nullptr;
        const Trazel* window = nullptr;
        bool dataThere = false;
        bool progressHidden = false;
        QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
            if (prompt == FrequencyPrompt) {
                dataThere = state->RawData.exists() && state->RawData(1, 1) == 200;
                progressHidden = !window->Scroll->isVisible();
            }
            return ScriptedDialogs::InputBox(prompt, title, defaultText);
        }
    };
    TestFiles files;
    AppState appState;
    Observer observer;
    Trazel mainWindow(appState, observer);
    mainWindow.show();
    observer.state = &appState;
    observer.window = &mainWindow;
    observer.answerOpen(qs(files.write("early.prn", prnFile({1, 2, 3}))));
    observer.answerInput("1");
    observer.answerInput("300");
    mainWindow.mnuOpen_Click();
    EXPECT_TRUE(observer.dataThere);
    EXPECT_TRUE(observer.progressHidden);
    EXPECT_TRUE(appState.DataLoaded);
}

// ---- Failures ------------------------------------------------------------------------------------------

struct FailureCase {
    const char* name;
    std::string fileName;
    std::optional<Bytes> bytes; // nothing: no such file
    std::vector<QString> inputs;
    std::vector<QString> prompts; // the input boxes the user sees before the message
};

// A recorded file with the given header fields and `records` records of one sample (or more, for a
// larger channel count) and a marker word, all bytes 0x11.
Bytes recorded(std::int16_t channels, std::int32_t intervalUs, std::int16_t blockFlag = 0,
               std::int32_t pointsPerSweep = 0, int records = 200) {
    binformat::Header header = continuousHeader(channels, {1, 0, 0}, intervalUs);
    header.blockFlag = blockFlag;
    header.pointsPerSweep = pointsPerSweep;
    const int words = std::clamp<int>(channels, 1, 3) + 1;
    const auto headerBytes = binformat::encodeHeader(header);
    Bytes bytes(headerBytes.begin(), headerBytes.end());
    bytes.resize(bytes.size() + static_cast<std::size_t>(records * 2 * words), 0x11);
    return bytes;
}

std::vector<FailureCase> failureCases() {
    const Bytes good = smallContinuousFile();
    const Bytes prn = prnFile(labtechValues(40));
    const Bytes headerless = headerlessFile(1, 1, {1, 2, 3, 4});
    constexpr std::int32_t MinLong = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t MaxLong = std::numeric_limits<std::int32_t>::max();
    const QString channels = ChannelPrompt;
    const QString frequency = FrequencyPrompt;
    Bytes justTheVersion = {'V', 'e', 'r', 's', 'i', 'o', 'n', ' ', '1', '.', '0', '0'};
    Bytes shortHeader = good;
    shortHeader.resize(127);
    return {
        {"a .bin file that does not exist", "missing.bin", std::nullopt, {}, {}},
        {"a .prn file that does not exist", "missing.prn", std::nullopt, {}, {}},
        {"an unknown extension", "trace.txt", good, {}, {}},
        {"a name with two dots", "a.b.bin", good, {}, {}},
        {"a name without extension", "trace", good, {}, {}},
        {"no channels", "c0.bin", recorded(0, 1000), {}, {}},
        {"four channels", "c4.bin", recorded(4, 1000), {}, {}},
        {"a negative channel count", "cm.bin", recorded(-1, 1000), {}, {}},
        {"the largest channel count", "cx.bin", recorded(32767, 1000), {}, {}},
        {"a zero sample interval", "i0.bin", recorded(1, 0), {}, {}},
        {"a negative sample interval", "im.bin", recorded(1, -1000), {}, {}},
        {"the most negative sample interval", "in.bin", recorded(1, MinLong), {}, {}},
        {"a block file without points per sweep", "b0.bin", recorded(1, 1000, -1, 0), {}, {}},
        {"a block file with negative points per sweep", "bm.bin", recorded(1, 1000, -1, -5), {}, {}},
        {"a sweep longer than the file", "bl.bin", recorded(1, 1000, -1, 201), {}, {}},
        {"the longest sweep", "bx.bin", recorded(1, 1000, -1, MaxLong), {}, {}},
        {"a block file without records", "be.bin", recorded(1, 1000, -1, 1, 0), {}, {}},
        {"a positive block flag without records", "bf.bin", recorded(1, 1000, 1, 1, 0), {}, {}},
        {"just the version text", "v.bin", justTheVersion, {}, {}},
        {"a header cut short", "h.bin", shortHeader, {}, {}},
        {"an empty file", "empty.bin", Bytes{}, {}, {}},
        {"a one-byte file", "one.bin", Bytes{0x05}, {}, {}},
        {"a headerless file with interval 0", "hi0.bin", headerlessFile(0, 1, {1, 2}), {"1"}, {channels}},
        {"a negative headerless interval", "him.bin", headerlessFile(-3, 1, {1, 2}), {"1"}, {channels}},
        {"four headerless channels", "h4.bin", headerless, {"4"}, {channels}},
        {"no headerless channels", "h0.bin", headerless, {"0"}, {channels}},
        {"negative headerless channels", "hm.bin", headerless, {"-1"}, {channels}},
        {"a cancelled channel question", "hc.bin", headerless, {""}, {channels}},
        {"a channel answer that is no number", "hn.bin", headerless, {"abc"}, {channels}},
        {"a channel answer with trailing text", "ht.bin", headerless, {"2x"}, {channels}},
        {"a channel answer beyond any word", "hb.bin", headerless, {"99999"}, {channels}},
        {"three Labtech channels", "p3.prn", prn, {"3"}, {channels}},
        {"no Labtech channels", "p0.prn", prn, {"0"}, {channels}},
        {"negative Labtech channels", "pm.prn", prn, {"-2"}, {channels}},
        {"a cancelled Labtech channel question", "pc.prn", prn, {""}, {channels}},
        {"a Labtech channel answer that is no number", "pn.prn", prn, {"abc"}, {channels}},
        {"a frequency of 0", "f0.prn", prn, {"1", "0"}, {channels, frequency}},
        {"a negative frequency", "fm.prn", prn, {"1", "-5"}, {channels, frequency}},
        {"a cancelled frequency question", "fc.prn", prn, {"2", ""}, {channels, frequency}},
        {"a frequency that is no number", "fn.prn", prn, {"2", "abc"}, {channels, frequency}},
        {"an interval beyond any Single", "fs.prn", prn, {"1", "1e-50"}, {channels, frequency}},
        {"a span beyond any Single", "fo.prn", prn, {"1", "1e-38"}, {channels, frequency}},
        {"a subnormal interval", "fl.prn", prn, {"2", "1e44"}, {channels, frequency}},
    };
}

class ReaderFailures : public DataFiles {
protected:
    void openFailure(const FailureCase& c) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = c.bytes ? write(c.fileName, *c.bytes) : files.path(c.fileName);
        openFailing(file, c.inputs);
        expectErrorReported();
        const std::vector<Question> asked = lastQuestions();
        ASSERT_EQ(asked.size(), c.prompts.size() + 2);
        for (std::size_t i = 0; i < c.prompts.size(); ++i) {
            EXPECT_EQ(asked[i + 1].kind, Kind::InputBox);
            EXPECT_EQ(asked[i + 1].text, c.prompts[i]);
        }
        expectNothingLoaded();
    }
};

TEST_F(ReaderFailures, LeaveNothingLoadedAfterAContinuousFile) {
    for (const FailureCase& c : failureCases()) {
        open(write("good.bin", smallContinuousFile()));
        ASSERT_TRUE(state.DataLoaded) << c.name;
        openFailure(c);
    }
}

TEST_F(ReaderFailures, LeaveNothingLoadedAfterABlockFile) {
    for (const FailureCase& c : failureCases()) {
        open(write("good.bin", twoSweepBlockFile()));
        ASSERT_TRUE(state.AverageData.exists()) << c.name;
        openFailure(c);
    }
}

TEST_F(ReaderFailures, LeaveNothingLoadedAfterALabtechFile) {
    for (const FailureCase& c : failureCases()) {
        open(write("good.prn", prnFile(labtechValues(600))), {"2", "300"});
        ASSERT_TRUE(state.DataLoaded) << c.name;
        openFailure(c);
    }
}

TEST_F(ReaderFailures, LeaveNothingLoadedAsTheFirstOpen) {
    openFailure(failureCases().front());
}

TEST_F(ReaderFailures, ReportAFolderNamedLikeADataFile) {
    ASSERT_TRUE(std::filesystem::create_directory(files.path("folder.bin")));
    openFailing(files.path("folder.bin"));
    expectErrorReported();
    expectNothingLoaded();
}

TEST_F(ReaderFailures, AreFollowedByAFileThatOpensAsTheFirst) {
    open(write("one.bin", smallContinuousFile()));
    openFailing(files.path("missing.bin"));
    const std::filesystem::path next = write("next.bin", smallContinuousFile());
    open(next);
    expectLoaded(4);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE")) << "no file was loaded before it";
    EXPECT_GT(countOf(DrawnFigure::Kind::Line), 12U);
}

// ---- Captions of consecutive files ---------------------------------------------------------------------

TEST_F(DataFiles, NamesTheFileInTheCaptionOnceAFileWasLoadedBefore) {
    const std::filesystem::path first = write("first.bin", smallContinuousFile());
    const std::filesystem::path second = write("second.bin", smallContinuousFile());
    const std::filesystem::path block = write("third.bin", twoSweepBlockFile());
    const std::filesystem::path labtech = write("fourth.prn", prnFile(labtechValues(30)));
    open(first);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    open(second);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE       ") + qs(second));
    open(block);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("BLOCK MODE (100.ms)       ") + qs(block));
    open(first);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE       ") + qs(first));
    EXPECT_FALSE(window->mnuContinuous->isVisible()) << "back from block mode";
    EXPECT_EQ(state.SweepLength, -1);
    EXPECT_FALSE(state.AverageData.exists());
    open(labtech, {"1", "300"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(labtech));
}

TEST_F(DataFiles, NamesALabtechFileInTheCaptionEvenAsTheFirst) {
    const std::filesystem::path labtech = write("first.prn", prnFile(labtechValues(30)));
    open(labtech, {"1", "300"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(labtech));
}

TEST_F(DataFiles, ForgetsTheBlockModeOfTheFileBefore) {
    open(write("block.bin", twoSweepBlockFile()));
    ASSERT_TRUE(state.FileBlockMode);
    open(write("next.prn", prnFile(labtechValues(30))), {"1", "300"});
    EXPECT_FALSE(state.BlockMode);
    EXPECT_FALSE(state.FileBlockMode);
    EXPECT_FALSE(state.AverageData.exists());
    expectContinuousMenus();
    open(write("block.bin", twoSweepBlockFile()));
    open(write("next.bin", smallContinuousFile()));
    EXPECT_FALSE(state.BlockMode);
    EXPECT_FALSE(state.FileBlockMode);
    expectContinuousMenus();
}

// ---- The open command ----------------------------------------------------------------------------------

TEST_F(DataFiles, AsksForARecordedOrLabtechFile) {
    open(write("any.bin", smallContinuousFile()));
    const std::vector<Question> asked = lastQuestions();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked[0].kind, Kind::Open);
    EXPECT_EQ(asked[0].request.title, QStringLiteral("Open data file"));
    EXPECT_EQ(asked[0].request.filter,
              QStringLiteral("Trazel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn"));
    EXPECT_EQ(asked[0].request.filterIndex, 1);
}

TEST_F(DataFiles, ACancelledOpenChangesNothing) {
    const std::filesystem::path file = write("kept.bin", smallContinuousFile());
    open(file);
    const QString title = window->windowTitle();
    const QString status = window->status->text();
    const std::vector<DrawnFigure> drawn = window->disp->drawingLog();
    const std::vector<float> trace1(state.TraceData.trace(1).begin(), state.TraceData.trace(1).end());
    const std::string fileName = state.FileName;

    open(std::filesystem::path());
    EXPECT_EQ(lastQuestions().size(), 1U) << "only the open dialog";
    EXPECT_TRUE(state.DataLoaded);
    EXPECT_EQ(state.SampleCount, 4);
    EXPECT_TRUE(std::ranges::equal(state.TraceData.trace(1), trace1));
    expectRawAndTraceDataEqual();
    EXPECT_EQ(state.FileName, fileName);
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(window->status->text(), status);
    EXPECT_EQ(window->disp->drawingLog().size(), drawn.size());
}

TEST_F(DataFiles, ACancelledFirstOpenKeepsTheEmptyAxes) {
    const QString title = window->windowTitle();
    open(std::filesystem::path());
    EXPECT_FALSE(state.DataLoaded);
    EXPECT_FALSE(state.TraceData.exists());
    EXPECT_EQ(window->windowTitle(), title);
    expectOnlyEmptyAxes();
}

TEST_F(DataFiles, MatchesTheExtensionInAnyCaseAfterTheLastFolder) {
    ASSERT_TRUE(std::filesystem::create_directory(files.path("run.v2")));
    const std::filesystem::path paths[] = {
        write("X.Bin", smallContinuousFile()), write("Y.BIN", smallContinuousFile()),
        write("run.v2/data.bin", smallContinuousFile()),
        write("a.b\\c.bin", smallContinuousFile()), // the name splits at the backslash
    };
    for (const std::filesystem::path& file : paths) {
        SCOPED_TRACE(file.string());
        open(file);
        expectLoaded(4);
        EXPECT_EQ(state.FileExt, "BIN");
    }
    open(write("trace.Prn", prnFile(labtechValues(20))), {"1", "300"});
    expectLoaded(20);
    EXPECT_EQ(state.FileExt, "PRN");
}

TEST_F(DataFiles, SelectsTraceOneWithItsStartColours) {
    window->ch_select[2]->setValue(true);
    state.SingleColour(2) = rgb(1, 2, 3);
    state.AverageColour(3) = rgb(4, 5, 6);
    open(write("colours.bin", smallContinuousFile()));
    EXPECT_EQ(state.CurrentTrace, 1);
    EXPECT_TRUE(window->ch_select[0]->Value());
    EXPECT_EQ(state.SingleColour(1), White);
    EXPECT_EQ(state.SingleColour(2), Yellow);
    EXPECT_EQ(state.SingleColour(3), Cyan);
    for (int t = 1; t <= TraceCount; ++t) {
        EXPECT_EQ(state.AverageColour(t), Grey);
    }
}

TEST_F(DataFiles, LeavesOverplotForSingleCurves) {
    open(write("block.bin", twoSweepBlockFile()));
    window->mnuOverplot->setChecked(true);
    window->mnuS->setChecked(false);
    open(write("block.bin", twoSweepBlockFile()));
    EXPECT_FALSE(window->mnuOverplot->isChecked());
    EXPECT_TRUE(window->mnuS->isChecked());
    EXPECT_EQ(window->SA_label->text(), QStringLiteral("single"));
    EXPECT_FALSE(state.Overplot);

    window->mnuOverplot->setChecked(true);
    window->mnuS->setChecked(false);
    openFailing(files.path("missing.bin"));
    EXPECT_FALSE(window->mnuOverplot->isChecked());
    EXPECT_TRUE(window->mnuS->isChecked());
    EXPECT_EQ(window->SA_label->text(), QStringLiteral(" sngl")) << "no reader got to show the file";
}

// ---- The example files ---------------------------------------------------------------------------------

const std::filesystem::path Examples = TRAZEL_EXAMPLES;

TEST_F(DataFiles, OpensTheExampleContinuousRecording) {
    const std::filesystem::path file = Examples / "continuous.bin";
    const Bytes bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 128U + 1800U * 6U);
    open(file);

    expectLoaded(1800);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_EQ(state.TraceChannel(1), 1);
    EXPECT_EQ(state.TraceChannel(2), 2);
    EXPECT_EQ(state.TraceChannel(3), 0);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.1F);
    std::array<float, 2> peaks{};
    std::vector<int> stimuli;
    for (int i = 0; i < 1800; ++i) {
        const std::size_t at = 128 + 6 * static_cast<std::size_t>(i);
        ASSERT_EQ(state.TraceData(1, i), int16At(bytes, at)) << i;
        ASSERT_EQ(state.TraceData(2, i), int16At(bytes, at + 2)) << i;
        ASSERT_EQ(state.Markers(i), int16At(bytes, at + 4)) << i;
        peaks[0] = std::max<float>(peaks[0], std::abs(int16At(bytes, at)));
        peaks[1] = std::max<float>(peaks[1], std::abs(int16At(bytes, at + 2)));
        if (state.Markers(i) == 200) {
            stimuli.push_back(i);
        } else {
            // The drug marker is on from 60 s to 120 s.
            ASSERT_EQ(state.Markers(i), i >= 600 && i < 1200 ? 100 : 0) << i;
        }
    }
    EXPECT_EQ(stimuli, std::vector<int>({300, 900, 1500}));
    EXPECT_EQ(state.TracePeak(1), peaks[0]);
    EXPECT_EQ(state.TracePeak(2), peaks[1]);
    expectContinuousMenus();
    expectContinuousSpan(256, " s"); // three minutes
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    EXPECT_GT(window->disp->drawingLog().size(), 1000U);
    EXPECT_FALSE(figuresOfKind(*window->disp, DrawnFigure::Kind::Box).empty()) << "the drug marker bar";
}

TEST_F(DataFiles, OpensTheExampleBlockRecording) {
    const std::filesystem::path file = Examples / "block.bin";
    const Bytes bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 128U + 10000U * 4U);
    open(file);

    expectLoaded(10000);
    expectBlockMenus();
    EXPECT_EQ(state.SweepLength, 500);
    EXPECT_EQ(state.CurveCount, 20);
    EXPECT_EQ(state.StimDelay, 10);
    EXPECT_EQ(state.StimCount, 1);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.001F);
    float peak = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::size_t at = 128 + 4 * static_cast<std::size_t>(i);
        ASSERT_EQ(state.TraceData(1, i), int16At(bytes, at)) << i;
        ASSERT_EQ(state.Markers(i), i % 500 == 10 ? 200 : 0) << i;
        peak = std::max<float>(peak, std::abs(int16At(bytes, at)));
    }
    EXPECT_EQ(state.TracePeak(1), peak);
    EXPECT_EQ(state.AverageData.upper(), 499);
    EXPECT_FLOAT_EQ(state.ScreenLen, 500);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("BLOCK MODE (500.ms)"));
    EXPECT_EQ(window->status->text(), QStringLiteral("current curve: 1/20     averaged: 0"));
    EXPECT_GT(countOf(DrawnFigure::Kind::Line), 12U);
}

TEST_F(DataFiles, OpensTheExampleLabtechFile) {
    const std::filesystem::path file = Examples / "labtech.prn";
    const Bytes bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 24000U);
    open(file, {"2", "300"});

    expectLoaded(3000);
    EXPECT_EQ(state.ChannelCount, 2);
    std::array<float, 2> peaks{};
    for (int i = 0; i < 3000; ++i) {
        for (std::size_t c = 0; c < 2; ++c) {
            const float value = floatAt(bytes, 8 * static_cast<std::size_t>(i) + 4 * c);
            ASSERT_EQ(state.TraceData(static_cast<int>(c) + 1, i), 100 * value) << i;
            peaks[c] = std::max(peaks[c], std::abs(value));
        }
    }
    EXPECT_EQ(state.TracePeak(1), 100 * peaks[0]);
    EXPECT_EQ(state.TracePeak(2), 100 * peaks[1]);
    EXPECT_FLOAT_EQ(state.SampleInterval, 1.0F / 300);
    expectContinuousSpan(16, " s"); // ten seconds
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(file));
    EXPECT_GT(window->disp->drawingLog().size(), 100U);
}

} // namespace
} // namespace trazel::testing
