#include "files/edf_file.h"
#include "files/import_file.h"
#include "support/data_files.h"

#include <QElapsedTimer>
#include <array>
#include <bit>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <sstream>

namespace trazel::testing {
namespace {

using namespace std::chrono_literals;

const std::filesystem::path Root = std::filesystem::path(TRAZEL_EXAMPLES).parent_path();

std::optional<ImportedFile> importRecording(const std::filesystem::path& file, std::string& error,
                                            ImportControl control = {}) {
    if (control.program.empty()) {
        control.program = TRAZEL_IMPORT_PROGRAM;
    }
    return ImportedFile::open(file, control, error);
}

std::vector<float> samplesOf(ImportedFile& file, int signal) {
    std::vector<float> values(static_cast<std::size_t>(file.signalList().at(signal).samples));
    std::string error;
    EXPECT_TRUE(file.readPhysical(signal, values, error)) << error;
    return values;
}

// Compares with the values of independent readers (tests/files/import_reference.py wrote
// import_reference.txt): MNE-Python for BrainVision, a decoder of its own for WFDB.
TEST(ImportedFile, ReadsTheRecordingsAsIndependentReadersDo) {
    if (!std::filesystem::exists(Recordings)) {
        GTEST_SKIP() << "the recordings are not at " << Recordings;
    }
    std::ifstream reference(Root / "tests/files/import_reference.txt");
    std::optional<ImportedFile> file;
    std::vector<SignalEvent> events;
    std::string line, error, name, word;
    std::int64_t samples = 0;
    std::size_t event = 0;
    int lines = 0;
    while (std::getline(reference, line)) {
        std::istringstream in(line);
        in >> word;
        if (word == "file") {
            std::size_t count = 0;
            in >> name >> word >> count >> word >> samples;
            file = importRecording(Recordings / name, error);
            ASSERT_TRUE(file) << name << ": " << error;
            EXPECT_EQ(file->signalList().size(), count);
            events = file->events(error);
            event = 0;
        } else if (word == "signal") {
            int index = 0;
            double rate = 0, first = 0, middle = 0, last = 0, mean = 0;
            std::string unit, label;
            in >> index >> rate >> unit >> first >> middle >> last >> mean >> std::ws;
            std::getline(in, label);
            const SignalInfo& info = file->signalList().at(index);
            EXPECT_EQ(info.label, label);
            // The header's own units ("µS"); MNE writes u for µ and n/a for units it does not know.
            if (unit != "n/a") {
                EXPECT_EQ(QString::fromStdString(info.unit).replace(u'µ', u'u').toStdString(), unit) << label;
            }
            EXPECT_EQ(info.rate, rate) << label;
            ASSERT_EQ(info.samples, samples) << label;
            const std::vector<float> values = samplesOf(*file, index);
            const std::pair<std::int64_t, double> points[] = {
                {0, first}, {samples / 2, middle}, {samples - 1, last}};
            for (const auto& [at, expected] : points) {
                EXPECT_NEAR(values[at], expected, 1e-6 * std::abs(expected) + 1e-6) << label << " at " << at;
            }
            EXPECT_NEAR(std::accumulate(values.begin(), values.end(), 0.0) / samples, mean, 1e-6) << label;
        } else if (word == "event") {
            double onset = 0, duration = 0;
            std::string description;
            in >> onset >> duration >> std::ws;
            std::getline(in, description);
            ASSERT_LT(event, events.size());
            const SignalEvent& got = events[event++];
            EXPECT_NEAR(got.onset, onset, 1e-9) << description;
            EXPECT_NEAR(got.duration, duration > 0 ? duration : -1, 1e-9) << description;
            // MNE's "type/description"; a marker without description has BioSig's name for its type.
            const std::string text = description.substr(description.find('/') + 1);
            EXPECT_TRUE(text.empty() ? !got.text.empty() : got.text == text)
                << got.text << " for " << description;
        }
        ++lines;
    }
    EXPECT_EQ(lines, 55);
    EXPECT_EQ(event, events.size());
}

// The bytes of a WFDB annotation file: each annotation a 16-bit word of its code (upper 6 bits) and its
// distance from the one before in samples (lower 10 bits); code 59 (SKIP) takes a 32-bit distance, high
// half first; code 63 (AUX) is followed by its text.
Bytes wfdbAnnotations() {
    const auto word = [](int code, int interval) { return std::uint16_t(code << 10 | interval); };
    const std::uint16_t words[] = {word(28, 0),
                                   word(63, 2),
                                   'N' << 8 | '(', // rhythm "(N" at sample 0
                                   word(1, 1),     // N at sample 1
                                   word(59, 0),
                                   1,
                                   5,          // skip 65541 samples
                                   word(5, 3), // V at sample 65545
                                   0};
    Bytes bytes;
    for (const std::uint16_t w : words) {
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return bytes;
}

TEST(ImportedFile, GivesWfdbAnnotationsAsTheirSymbolsAtTheirSample) {
    // The shared recordings have no annotations for v102s: the record gets some of its own.
    if (!std::filesystem::exists(Recordings)) {
        GTEST_SKIP() << "the recordings are not at " << Recordings;
    }
    TestFiles files;
    for (const char* name : {"v102s.hea", "v102s.dat"}) {
        std::filesystem::copy_file(Recordings / "wfdb" / name, files.path(name));
    }
    files.write("v102s.atr", wfdbAnnotations());
    std::string error;
    std::optional<ImportedFile> file = importRecording(files.path("v102s.hea"), error);
    ASSERT_TRUE(file) << error;
    const std::vector<SignalEvent> expected{{0, -1, "+"}, {1 / 250.0, -1, "N"}, {65545 / 250.0, -1, "V"}};
    EXPECT_EQ(file->events(error), expected);
}

TEST(ImportedFile, KeepsEachSignalsRateAndEverySampleUpToTheDigitalLimits) {
    // An EDF+ file of two rates written by EDFlib: BioSig repeats the slower signal's samples.
    std::vector<float> fast, slow;
    for (int i = 0; i < 2000; ++i) {
        fast.push_back(static_cast<float>(i % 5 == 0 ? -32768 : i % 5 == 1 ? 32767 : i * 29 % 60000 - 30000));
    }
    for (int i = 0; i < 500; ++i) {
        slow.push_back(static_cast<float>(i % 2 == 0 ? 32767 - i : i - 32768));
    }
    const std::vector<EdfOutSignal> outSignals{{"Fast", "mV", 1000, fast, true, 0, 0, -32768, 32767},
                                               {"Slow", "uV", 250, slow, true, 0, 0, -32768, 32767}};
    TestFiles files;
    std::string error;
    ASSERT_TRUE(writeEdf(files.path("rates.edf"), false, outSignals, {{0.5, 0.25, "Stimulus"}}, error))
        << error;
    std::optional<ImportedFile> file = importRecording(files.path("rates.edf"), error);
    ASSERT_TRUE(file) << error;
    ASSERT_EQ(file->signalList().size(), 2U);
    for (int i = 0; i < 2; ++i) {
        const SignalInfo& info = file->signalList()[i];
        EXPECT_EQ(info.label, outSignals[i].label);
        EXPECT_EQ(info.unit, outSignals[i].unit);
        EXPECT_EQ(info.rate, outSignals[i].rate);
        EXPECT_EQ(info.physicalMin, -32768);
        EXPECT_EQ(info.physicalMax, 32767);
        EXPECT_EQ(info.digitalMin, -32768);
        EXPECT_EQ(info.digitalMax, 32767);
        EXPECT_EQ(samplesOf(*file, i),
                  std::vector<float>(outSignals[i].values.begin(), outSignals[i].values.end()));
    }
    const std::vector<SignalEvent> events = file->events(error);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), (SignalEvent{0.5, 0.25, "Stimulus"}));
}

TEST(ImportedFile, GivesTheReasonAndNoDataWhenTheProcessFailsOrIsStopped) {
    TestFiles files;
    const auto text = [](std::string_view text) { return Bytes(text.begin(), text.end()); };
    files.write("v.hea", text("# a comment first\nv 1 250\nv.dat 212\n"));
    files.write("lost.hea", text("l 1 250\nl.dat 212\n"));
    files.write("LOST.HEA", text("l 1 250\nl.dat 212\n"));
    files.write("noise.dat", Bytes(1000, 0x5A));
    const struct {
        const char* hook; // the test process's failure, or "" for none
        std::filesystem::path file;
        std::chrono::milliseconds limit;
        bool cancel;
        std::string reason;
    } cases[] = {
        {"crash", files.path("noise.dat"), 60s, false, "the import process crashed (signal 6)"},
        {"hang", files.path("noise.dat"), 300ms, false, "the import process did not finish within 0.3 s"},
        {"hang", files.path("noise.dat"), 60s, true, "cancelled"},
        {"", files.path("noise.dat"), 60s, false, "BioSig cannot read the file: "},
        // BioSig would hang on these two.
        {"", files.path("v.hea"), 60s, false, "BioSig cannot read a WFDB header that starts with a comment"},
        {"", files.path("lost.hea"), 60s, false, "the WFDB data file l.dat is missing"},
        {"", files.path("LOST.HEA"), 60s, false, "the WFDB data file l.dat is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        qputenv("TRAZEL_IMPORT_TEST", c.hook); // for the processes the test starts
        int polls = 0;
        const ImportControl control{c.limit, [&] { return c.cancel && ++polls == 3; },
                                    TRAZEL_IMPORT_TEST_PROGRAM};
        QElapsedTimer clock;
        clock.start();
        std::string error;
        EXPECT_FALSE(ImportedFile::open(c.file, control, error));
        EXPECT_TRUE(error.starts_with(c.reason)) << error;
        EXPECT_LT(clock.elapsed(), 10000);
    }
    qunsetenv("TRAZEL_IMPORT_TEST");
    std::string error;
    EXPECT_FALSE(ImportedFile::open(files.path("noise.dat"), {60s, {}, files.path("nonexistent")}, error));
    EXPECT_TRUE(
        error.starts_with("the import process " + files.path("nonexistent").string() + " does not start"))
        << error;
}

// A reply of the import process, built part by part.
struct Reply {
    QByteArray bytes;

    template <typename Number> Reply& number(Number value) {
        const auto raw = std::bit_cast<std::array<char, sizeof(Number)>>(value);
        bytes.append(raw.data(), sizeof(Number));
        return *this;
    }
    Reply& text(const std::string& text) {
        number(static_cast<std::uint32_t>(text.size()));
        bytes.append(text.data(), static_cast<qsizetype>(text.size()));
        return *this;
    }
    // A signal's description with the given rate and sample count.
    Reply& signal(const std::string& label, double rate, std::uint64_t samples) {
        text(label).text("mV").number(rate).number(samples);
        for (const double limit : {-5.0, 5.0, -2048.0, 2047.0}) {
            number(limit);
        }
        return *this;
    }
};

// Two signals of 3 and 1 samples, then two events, the second with Latin-1 text.
Reply wellFormedReply() {
    Reply reply;
    reply.text("TRAZEL-IMPORT 1").number(std::uint32_t(2)).signal("A", 100, 3).signal("B", 50, 1);
    for (const float value : {1.5f, -2.0f, 3.25f, 7.0f}) {
        reply.number(value);
    }
    reply.number(std::uint32_t(2))
        .number(0.5)
        .number(-1.0)
        .text("late")
        .number(0.25)
        .number(0.1)
        .text("\xB5V");
    return reply;
}

TEST(ImportedFile, TakesAWellFormedReplyAndRefusesEveryMalformedOne) {
    std::string error;
    std::optional<ImportedFile> file = ImportedFile::fromReply(wellFormedReply().bytes, error);
    ASSERT_TRUE(file) << error;
    ASSERT_EQ(file->signalList().size(), 2U);
    EXPECT_EQ(file->signalList()[1].rate, 50);
    EXPECT_EQ(samplesOf(*file, 0), (std::vector<float>{1.5f, -2.0f, 3.25f}));
    EXPECT_EQ(samplesOf(*file, 1), (std::vector<float>{7.0f}));
    std::vector<float> tooShort(2);
    EXPECT_FALSE(file->readPhysical(0, tooShort, error));
    EXPECT_FALSE(file->readPhysical(2, tooShort, error));
    EXPECT_EQ(file->events(error), (std::vector<SignalEvent>{{0.25, 0.1, "\u00B5V"}, {0.5, -1, "late"}}));

    const QByteArray whole = wellFormedReply().bytes;
    for (qsizetype size = 0; size < whole.size(); ++size) {
        EXPECT_FALSE(ImportedFile::fromReply(whole.first(size), error)) << "cut to " << size << " bytes";
    }
    const std::uint64_t huge = std::uint64_t(1) << 62;
    const struct {
        const char* what;
        Reply reply;
    } malformed[] = {
        {"another beginning",
         Reply().text("TRAZEL-IMPORT 2").number(std::uint32_t(0)).number(std::uint32_t(0))},
        {"a huge signal count", Reply().text("TRAZEL-IMPORT 1").number(std::uint32_t(0xFFFFFFFF))},
        {"a huge sample count",
         Reply().text("TRAZEL-IMPORT 1").number(std::uint32_t(1)).signal("A", 1, huge)},
        {"a huge text",
         Reply().text("TRAZEL-IMPORT 1").number(std::uint32_t(1)).number(std::uint32_t(0xFFFFFFF0))},
        {"no rate", Reply().text("TRAZEL-IMPORT 1").number(std::uint32_t(1)).signal("A", NAN, 0)},
        {"a huge event count",
         Reply().text("TRAZEL-IMPORT 1").number(std::uint32_t(0)).number(std::uint32_t(1e9))},
        {"bytes at the end", Reply{whole}.number(std::uint8_t(0))},
    };
    for (const auto& m : malformed) {
        EXPECT_FALSE(ImportedFile::fromReply(m.reply.bytes, error)) << m.what;
        EXPECT_TRUE(error.starts_with("the import process's reply is malformed")) << m.what << ": " << error;
    }
}

} // namespace
} // namespace trazel::testing
