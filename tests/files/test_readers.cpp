#include "files/bin_format.h"
#include "support/open_file_fixture.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <optional>

namespace trazel::testing {
namespace {

using DataFiles = OpenFileTest;

const QString ChannelPrompt = QStringLiteral("Number of recorded channels:");
const QString FrequencyPrompt = QStringLiteral("Enter sampling frequency (Hz):");

// Prompt, title and default answer of a question.
QStringList inputBox(const ScriptedDialogs::Question& asked) {
    return {asked.text, asked.title, asked.defaultText};
}

// A trace or the markers as a vector, to compare whole.
template <typename Span> auto all(Span values) {
    return std::vector<typename Span::value_type>(values.begin(), values.end());
}

// The status line of continuous data: the file's date and time of change in the system's long formats.
QString dateStatus(const QDateTime& changed) {
    const QLocale locale = QLocale::system();
    return locale.toString(changed.date(), QLocale::LongFormat) + "   " +
           locale.toString(changed.time(), QLocale::LongFormat);
}

TEST_F(DataFiles, ReadsAContinuousRecordingWithCompactedTraceChannels) {
    const std::filesystem::path file = files.write("small.bin", smallContinuousFile());
    ASSERT_EQ(std::filesystem::file_size(file), 128U + 4U * 6U) << "6-byte records: two samples and a marker";
    const QDateTime changed(QDate(2024, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(setModificationTime(file, changed));
    open(file);

    expectLoaded(4);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_EQ((std::array{state.TraceChannel(1), state.TraceChannel(2), state.TraceChannel(3)}),
              (std::array<Integer, 3>{3, 4, 0}));
    // One point more than the records, which stays 0.
    EXPECT_EQ(all(state.RawData.trace(1)), std::vector<float>({1, 3, -5, 7, 0}));
    EXPECT_EQ(all(state.RawData.trace(2)), std::vector<float>({-2, -400, 6, 8, 0}));
    EXPECT_EQ(all(state.RawData.trace(3)), std::vector<float>(5, 0));
    EXPECT_EQ(all(state.Markers.span()), std::vector<Integer>({0, 100, 200, 0, 0}));
    expectContinuousSpan(2, "ms"); // 4 points of 0.5 ms
    EXPECT_DOUBLE_EQ(window->ui.disp->ScaleWidth(), 4 / 0.8);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    EXPECT_EQ(window->ui.status->text(), dateStatus(changed));
    EXPECT_EQ(state.FileName, file.string());
}

TEST_F(DataFiles, CoversEverySweepTheSweepCountNames) {
    struct Case {
        int records;
        Long curves;
        std::int64_t upper;
    };
    // 100 points per sweep: 2.5 sweeps round to 2, 2.6 to 3 (the third sweep padded with zeros).
    for (const Case& c :
         {Case{250, 2, 250}, Case{260, 3, 300}, Case{100, 1, 100}, Case{149, 1, 149}, Case{150, 2, 200}}) {
        SCOPED_TRACE(c.records);
        const auto n = static_cast<std::size_t>(c.records);
        open(files.write("partial_sweeps.bin",
                         versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 100),
                                       std::vector<std::int16_t>(n, 77), std::vector<std::int16_t>(n, 0))));
        expectLoaded(c.records);
        EXPECT_EQ(state.CurveCount, c.curves);
        ASSERT_EQ(state.TraceData.upper(), c.upper);
        for (std::int64_t i = c.records - 1; i <= c.upper; ++i) {
            EXPECT_EQ(state.TraceData(1, i), i < c.records ? 77 : 0) << i;
        }
        EXPECT_EQ(window->ui.status->text(),
                  QStringLiteral("current curve: 1/%1     averaged: 0").arg(c.curves));
    }
}

TEST_F(DataFiles, AsksForTheChannelCountOfAHeaderlessFile) {
    const std::filesystem::path file =
        files.write("old.bin", headerlessFile(5, 2, {10, -20, 30, 40, -50, 60}));
    ASSERT_EQ(std::filesystem::file_size(file), 2U + 3U * 4U);
    open(file, {QStringLiteral(" 2 ")});

    const std::vector<Question> asked = lastQuestions();
    ASSERT_EQ(asked.size(), 2U);
    EXPECT_EQ(inputBox(asked[1]), QStringList({ChannelPrompt, "Channel number", "1"}));
    expectLoaded(3);
    EXPECT_EQ(state.ChannelCount, 2);
    EXPECT_EQ((std::array{state.TraceChannel(1) > 0, state.TraceChannel(2) > 0, state.TraceChannel(3) > 0}),
              (std::array{true, true, false}));
    EXPECT_EQ(all(state.TraceData.trace(1)), std::vector<float>({10, 30, -50, 0}));
    EXPECT_EQ(all(state.TraceData.trace(2)), std::vector<float>({-20, 40, 60, 0}));
    EXPECT_EQ(all(state.Markers.span()), std::vector<Integer>(4, 0)) << "a headerless file has no markers";
    EXPECT_EQ((std::array{state.TracePeak(1), state.TracePeak(2)}), (std::array<Single, 2>{50, 60}));
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.005F);
    expectContinuousMenus();
    expectContinuousSpan(16, "ms"); // 3 points of 5 ms
}

// The frequency question comes once the data are in and the progress window has gone.
TEST_F(DataFiles, ReadsALabtechFileBetweenItsChannelAndFrequencyQuestions) {
    const std::vector<float> values = labtechValues(1000);
    const std::filesystem::path file = files.write("TRACE.PRN", prnFile(values));
    const QDateTime changed(QDate(2023, 11, 28), QTime(9, 41, 0));
    ASSERT_TRUE(setModificationTime(file, changed));
    dialogs.onQuestion = [&](const Question& question) {
        if (question.text == FrequencyPrompt) {
            EXPECT_TRUE(state.RawData.exists() && state.RawData(1, 999) == 100 * values[999]);
            EXPECT_FALSE(window->ui.Scroll->isVisible());
        }
    };
    open(file, {QStringLiteral("1"), QStringLiteral("300")});

    const std::vector<Question> asked = lastQuestions();
    ASSERT_EQ(asked.size(), 3U);
    EXPECT_EQ(inputBox(asked[1]), QStringList({ChannelPrompt, "Channel number", "1"}));
    EXPECT_EQ(inputBox(asked[2]), QStringList({FrequencyPrompt, "Sample rate", "300"}));
    expectLoaded(1000);
    EXPECT_EQ(state.ChannelCount, 1);
    EXPECT_EQ((std::array{state.TraceChannel(1) > 0, state.TraceChannel(2) > 0}), (std::array{true, false}));
    expectContinuousSpan(4, " s"); // 1000 points at 300 Hz last 3.3 s
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(file));
    EXPECT_EQ(window->ui.status->text(), dateStatus(changed));
}

// The interval and the span on the power of two that holds it must stay Singles: the failure cases have
// the frequencies beyond.
TEST_F(DataFiles, TakesFrequenciesFarFromTheUsualWhileTheTimeBaseHoldsThem) {
    struct Case {
        QString frequency;
        Single interval;
        Single screenLen;
        const char* unit;
    };
    const Case cases[] = {
        {"1000", 0.001F, 16, "ms"},
        {" 2.5 ", 0.4F, 4, " s"},
        {"1e30", 1e-30F, 1, "ms"},
        {"1e-30", 1e30F, std::ldexp(1.0F, 103), " s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency.toStdString());
        open(files.write("far.prn", prnFile(labtechValues(10))), {"1", c.frequency});
        expectLoaded(10);
        EXPECT_FLOAT_EQ(state.SampleInterval, c.interval);
        expectContinuousSpan(c.screenLen, c.unit);
        EXPECT_TRUE(std::isfinite(window->ui.disp->ScaleWidth()));
    }
}

struct FailureCase {
    const char* name;
    std::string fileName;
    std::optional<Bytes> bytes;  // nothing: no such file
    std::vector<QString> inputs; // the channel count, then the frequency
};

// A recorded file with the given header fields and `records` records of one sample (or more, for a
// larger channel count) and a marker word, all bytes 0x11.
Bytes recorded(std::int16_t channels, std::int32_t intervalUs, std::int16_t blockFlag = 0,
               std::int32_t pointsPerSweep = 0, int records = 200) {
    binformat::Header header = recordedHeader(channels, {1, 0, 0}, intervalUs);
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
    const Bytes justTheVersion = {'V', 'e', 'r', 's', 'i', 'o', 'n', ' ', '1', '.', '0', '0'};
    const Bytes shortHeader(good.begin(), good.begin() + 127);
    return {
        {"a .bin file that does not exist", "missing.bin", std::nullopt, {}},
        {"a .prn file that does not exist", "missing.prn", std::nullopt, {}},
        {"an unknown extension", "trace.txt", good, {}},
        {"a name with two dots", "a.b.bin", good, {}},
        {"a name without extension", "trace", good, {}},
        {"no channels", "c0.bin", recorded(0, 1000), {}},
        {"four channels", "c4.bin", recorded(4, 1000), {}},
        {"a negative channel count", "cm.bin", recorded(-1, 1000), {}},
        {"the largest channel count", "cx.bin", recorded(32767, 1000), {}},
        {"a zero sample interval", "i0.bin", recorded(1, 0), {}},
        {"a negative sample interval", "im.bin", recorded(1, -1000), {}},
        {"the most negative sample interval", "in.bin", recorded(1, MinLong), {}},
        {"a block file without points per sweep", "b0.bin", recorded(1, 1000, -1, 0), {}},
        {"a block file with negative points per sweep", "bm.bin", recorded(1, 1000, -1, -5), {}},
        {"a sweep longer than the file", "bl.bin", recorded(1, 1000, -1, 201), {}},
        {"the longest sweep", "bx.bin", recorded(1, 1000, -1, MaxLong), {}},
        {"a block file without records", "be.bin", recorded(1, 1000, -1, 1, 0), {}},
        {"a positive block flag without records", "bf.bin", recorded(1, 1000, 1, 1, 0), {}},
        {"just the version text", "v.bin", justTheVersion, {}},
        {"a header cut short", "h.bin", shortHeader, {}},
        {"an empty file", "empty.bin", Bytes{}, {}},
        {"a one-byte file", "one.bin", Bytes{0x05}, {}},
        {"a headerless file with interval 0", "hi0.bin", headerlessFile(0, 1, {1, 2}), {"1"}},
        {"a negative headerless interval", "him.bin", headerlessFile(-3, 1, {1, 2}), {"1"}},
        {"four headerless channels", "h4.bin", headerless, {"4"}},
        {"no headerless channels", "h0.bin", headerless, {"0"}},
        {"negative headerless channels", "hm.bin", headerless, {"-1"}},
        {"a cancelled channel question", "hc.bin", headerless, {""}},
        {"a channel answer that is no number", "hn.bin", headerless, {"abc"}},
        {"a channel answer with trailing text", "ht.bin", headerless, {"2x"}},
        {"a channel answer beyond any word", "hb.bin", headerless, {"99999"}},
        {"three Labtech channels", "p3.prn", prn, {"3"}},
        {"no Labtech channels", "p0.prn", prn, {"0"}},
        {"negative Labtech channels", "pm.prn", prn, {"-2"}},
        {"a cancelled Labtech channel question", "pc.prn", prn, {""}},
        {"a Labtech channel answer that is no number", "pn.prn", prn, {"abc"}},
        {"a frequency of 0", "f0.prn", prn, {"1", "0"}},
        {"a negative frequency", "fm.prn", prn, {"1", "-5"}},
        {"a cancelled frequency question", "fc.prn", prn, {"2", ""}},
        {"a frequency that is no number", "fn.prn", prn, {"2", "abc"}},
        {"an interval beyond any Single", "fs.prn", prn, {"1", "1e-50"}},
        {"a span beyond any Single", "fo.prn", prn, {"1", "1e-38"}},
        {"a subnormal interval", "fl.prn", prn, {"2", "1e44"}},
    };
}

// Whatever was shown before, a file that cannot be shown is reported after the questions it needs and
// leaves nothing loaded.
TEST_F(DataFiles, ReportsEveryBadFileAndLeavesNothingLoaded) {
    struct Before {
        const char* fileName;
        Bytes bytes;
        std::vector<QString> inputs;
    };
    const Before befores[] = {{"good.bin", smallContinuousFile(), {}},
                              {"block.bin", readBytes(Examples / "block.bin"), {}},
                              {"good.prn", prnFile(labtechValues(600)), {"2", "300"}}};
    const std::vector<FailureCase> cases = failureCases();
    for (const Before& before : befores) {
        for (const FailureCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " after " + before.fileName);
            open(files.write(before.fileName, before.bytes), before.inputs);
            ASSERT_TRUE(state.DataLoaded);
            openFailing(c.bytes ? files.write(c.fileName, *c.bytes) : files.path(c.fileName), c.inputs);
            expectErrorReported();
            const std::vector<Question> asked = lastQuestions();
            ASSERT_EQ(asked.size(), c.inputs.size() + 2);
            for (std::size_t i = 0; i < c.inputs.size(); ++i) {
                EXPECT_EQ(asked[i + 1].text, i == 0 ? ChannelPrompt : FrequencyPrompt);
            }
            expectNothingLoaded();
        }
    }
}

// The caption names the file once a file was shown before; a failed open leaves none shown. Nothing of a
// block file's mode outlives it, whichever reader reads the next file and whatever failed in between.
TEST_F(DataFiles, NamesTheFileInTheCaptionAndForgetsTheBlockModeOfTheFileBefore) {
    ASSERT_TRUE(std::filesystem::create_directory(files.path("folder.bin")));
    openFailing(files.path("folder.bin")); // as the first open
    expectErrorReported();
    expectNothingLoaded();
    const std::filesystem::path first = files.write("first.bin", smallContinuousFile());
    const std::filesystem::path second = files.write("second.bin", smallContinuousFile());
    const std::filesystem::path block = Examples / "block.bin";
    const std::filesystem::path labtech = files.write("fourth.prn", prnFile(labtechValues(30)));
    open(first);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    open(second);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE       ") + qs(second));
    open(block);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("BLOCK MODE (500.ms)       ") + qs(block));
    open(first);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE       ") + qs(first));
    expectContinuousMenus();

    open(block);
    open(labtech, {"1", "300"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE    ") + qs(labtech));
    expectContinuousMenus();

    open(block);
    openFailing(files.path("missing.bin"));
    open(first);
    expectLoaded(4);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CONTINUOUS MODE"));
    expectContinuousMenus();
    EXPECT_GT(countOf(DrawnFigure::Kind::Line), 12U);
}

// Every sample, marker and peak as the bytes of the file hold them; the block file last, to look at.
TEST_F(DataFiles, OpensTheExampleFilesAsTheyAreWritten) {
    struct Example {
        const char* name;
        std::vector<QString> inputs;
        Long points;
        int channels;
        Single interval;
        Single screenLen;
        const char* unit;
        const char* title;
    };
    const Example examples[] = {
        {"continuous.bin", {}, 1800, 2, 0.1F, 256, " s", "CONTINUOUS MODE"},
        {"labtech.prn", {"2", "300"}, 3000, 2, 1.0F / 300, 16, " s", "CONTINUOUS MODE    "},
        {"block.bin", {}, 10000, 1, 0.001F, 500, "ms", "BLOCK MODE (500.ms)"},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.name);
        const Bytes bytes = readBytes(Examples / e.name);
        const bool prn = e.inputs.size() == 2;
        const std::size_t recordSize = prn ? 4U * e.channels : 2U * e.channels + 2;
        ASSERT_EQ(bytes.size(), (prn ? 0 : 128) + recordSize * e.points);
        open(Examples / e.name, e.inputs);
        expectLoaded(e.points);
        EXPECT_EQ(state.ChannelCount, e.channels);
        std::array<float, 2> peaks{};
        for (Long i = 0; i < e.points; ++i) {
            const std::size_t at = (prn ? 0 : 128) + recordSize * static_cast<std::size_t>(i);
            for (int c = 0; c < e.channels; ++c) {
                const std::size_t word = at + (prn ? 4U : 2U) * c;
                const float sample = prn ? 100 * floatAt(bytes, word) : int16At(bytes, word);
                ASSERT_EQ(state.TraceData(c + 1, i), sample) << "point " << i << ", channel " << c + 1;
                peaks[static_cast<std::size_t>(c)] =
                    std::max(peaks[static_cast<std::size_t>(c)], std::abs(sample));
            }
            ASSERT_EQ(state.Markers(i), prn ? 0 : int16At(bytes, at + 2U * e.channels)) << i;
        }
        for (int c = 0; c < e.channels; ++c) {
            EXPECT_EQ(state.TracePeak(c + 1), peaks[static_cast<std::size_t>(c)]);
        }
        EXPECT_FLOAT_EQ(state.SampleInterval, e.interval);
        EXPECT_FLOAT_EQ(state.ScreenLen, e.screenLen);
        EXPECT_EQ(state.TimeUnit, e.unit);
        EXPECT_TRUE(window->windowTitle().startsWith(e.title)) << window->windowTitle().toStdString();
        EXPECT_GT(countOf(DrawnFigure::Kind::Line), 100U) << "the curves are drawn";
        if (!state.BlockMode) {
            expectContinuousMenus();
        }
    }

    // The block file: sweeps of 500 points with a stimulus at point 10.
    EXPECT_TRUE(window->ui.mnuContinuous->isVisible());
    EXPECT_EQ(window->ui.mnuBlock->text(), QStringLiteral("Block length"));
    EXPECT_TRUE(state.BlockMode && state.FileBlockMode);
    EXPECT_EQ((std::array{state.SweepLength, state.CurveCount, state.CurrentCurve}),
              (std::array<Long, 3>{500, 20, 1}));
    EXPECT_EQ((std::array{state.StimDelay, state.StimCount, state.StimInterval}),
              (std::array<Integer, 3>{10, 1, 0}));
    EXPECT_EQ(state.TraceData(1, 10000), 0);
    EXPECT_EQ(state.AverageData.upper(), 499);
    // The time base of block mode and of the file, kept for switching between the modes.
    EXPECT_FLOAT_EQ(state.BlockScreenLen, 500);
    EXPECT_FLOAT_EQ(state.FileScreenLen, 500);
    EXPECT_EQ(state.BlockTimeUnit, "ms");
    EXPECT_EQ((std::array{state.BlockSweepLength, state.FileSweepLength}), (std::array<Long, 2>{500, 500}));
    EXPECT_DOUBLE_EQ(window->ui.disp->ScaleWidth(), 500 / 0.8);
    EXPECT_EQ(window->ui.status->text(), QStringLiteral("current curve: 1/20     averaged: 0"));
}

} // namespace
} // namespace trazel::testing
