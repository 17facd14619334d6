#include "files/edf_file.h"
#include "support/data_files.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace trazel::testing {
namespace {

const std::filesystem::path Root = std::filesystem::path(TRAZEL_EXAMPLES).parent_path();

std::vector<float> samplesOf(EdfReader& reader, int signal) {
    std::vector<float> values(static_cast<std::size_t>(reader.signalList().at(signal).samples));
    std::string error;
    EXPECT_TRUE(reader.readPhysical(signal, values, error)) << error;
    return values;
}

// Every change of a signal's value to one other than 0, as the reader reports trigger codes.
std::vector<SignalEvent> changes(const std::vector<float>& values, double rate) {
    std::vector<SignalEvent> events;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] != 0 && values[i] != (i > 0 ? values[i - 1] : 0)) {
            events.push_back(
                {static_cast<double>(i) / rate, -1, "Trigger " + std::to_string(int(values[i]))});
        }
    }
    return events;
}

// Compares with the values MNE-Python read (tests/files/edf_reference.py wrote edf_reference.txt).
TEST(EdfReader, ReadsTheRecordingsAsMneDoes) {
    const std::filesystem::path recordings = Root / "../shared/data/recordings";
    if (!std::filesystem::exists(recordings)) {
        GTEST_SKIP() << "the recordings are not at " << recordings;
    }
    std::ifstream reference(Root / "tests/files/edf_reference.txt");
    std::optional<EdfReader> reader;
    std::string line, error, name, word;
    std::int64_t samples = 0;
    int lines = 0;
    while (std::getline(reference, line)) {
        if (line.starts_with("events")) {
            std::ranges::replace(line, ':', ' '); // sample:code
        }
        std::istringstream in(line);
        in >> word;
        if (word == "file") {
            std::size_t count = 0;
            in >> name >> word >> count >> word >> samples;
            reader = EdfReader::open(recordings / name, error);
            ASSERT_TRUE(reader) << name << ": " << error;
            EXPECT_EQ(reader->signalList().size(), count);
            EXPECT_EQ(reader->isBdf(), name.ends_with(".bdf"));
            EXPECT_FALSE(reader->isPlus());
        } else if (word == "signal") {
            int index = 0;
            double rate = 0, first = 0, middle = 0, last = 0;
            std::string unit, label;
            in >> index >> rate >> unit >> first >> middle >> last >> std::ws;
            std::getline(in, label);
            const SignalInfo& info = reader->signalList().at(index);
            EXPECT_EQ(info.label, label);
            EXPECT_EQ(info.unit, unit);
            EXPECT_EQ(info.rate, rate) << label;
            ASSERT_EQ(info.samples, samples) << label;
            const std::vector<float> values = samplesOf(*reader, index);
            const std::pair<std::int64_t, double> points[] = {
                {0, first}, {samples / 2, middle}, {samples - 1, last}};
            for (const auto& [at, expected] : points) {
                // A float holds 24 bits; the text 10 digits.
                EXPECT_NEAR(values[at], expected, 1e-7 * std::abs(expected) + 1e-4) << label << " at " << at;
            }
        } else if (word == "events") {
            int index = 0;
            in >> index;
            const SignalInfo& info = reader->signalList().at(index);
            std::vector<SignalEvent> expected;
            for (std::int64_t sample = 0; in >> sample >> word;) {
                expected.push_back({static_cast<double>(sample) / info.rate, -1, "Trigger " + word});
            }
            // The BDF's Status signal and the EDF's "DIG DTRIG" are trigger signals.
            EXPECT_EQ(info.trigger ? reader->events(error) : changes(samplesOf(*reader, index), info.rate),
                      expected)
                << info.label;
        }
        ++lines;
    }
    EXPECT_EQ(lines, 36);
}

struct Written {
    std::vector<std::vector<float>> values;
    std::vector<EdfOutSignal> outSignals;
};

// Signals of the given rates and values, their labels S1, S2 and so on, physical = digital.
Written signalsOf(std::vector<double> rates, std::vector<std::vector<float>> values, bool digital, int low,
                  int high) {
    Written w{std::move(values), {}};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        w.outSignals.push_back({"S" + std::to_string(i + 1), i == 0 ? "" : "uV", rates[i], w.values[i],
                                digital, digital ? 0.0 : low, digital ? 0.0 : high, low, high});
    }
    return w;
}

std::optional<EdfReader> writeAndOpen(const std::filesystem::path& file, bool bdf, const Written& w,
                                      const std::vector<SignalEvent>& events) {
    std::string error;
    EXPECT_TRUE(writeEdf(file, bdf, w.outSignals, events, error)) << error;
    std::optional<EdfReader> reader = EdfReader::open(file, error);
    EXPECT_TRUE(reader) << error;
    return reader;
}

TEST(EdfFile, WritesEverySampleAndMarkerAndReadsThemBack) {
    TestFiles files;
    const std::vector<SignalEvent> markers{
        {0.1, -1, "Marker"}, {1.2345678, 0.5, "Stimulus 2"}, {2.4999, -1, "Marker"}};
    for (const bool bdf : {false, true}) {
        SCOPED_TRACE(bdf ? "BDF+, physical values" : "EDF+, digital values");
        const int low = bdf ? -8388608 : -32768, high = -low - 1;
        std::vector<std::vector<float>> values(3);
        for (int i = 0; i < 2500; ++i) {
            values[0].push_back(static_cast<float>(i % 3 == 0 ? low : i % 3 == 1 ? high : i - 1250));
            values[1].push_back(static_cast<float>(low + (i * 7919) % (high - low)));
            if (i < 625) {
                values[2].push_back(static_cast<float>(i * 13 - 4000));
            }
        }
        const Written w = signalsOf({1000, 1000, 250}, values, !bdf, low, high);
        std::optional<EdfReader> reader = writeAndOpen(files.path("round"), bdf, w, markers);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->isBdf(), bdf);
        EXPECT_TRUE(reader->isPlus());
        EXPECT_EQ(reader->recordDuration(), 1);
        ASSERT_EQ(reader->signalList().size(), 3U);
        for (int i = 0; i < 3; ++i) {
            const SignalInfo& info = reader->signalList()[i];
            EXPECT_EQ(info.label, w.outSignals[i].label);
            EXPECT_EQ(info.unit, w.outSignals[i].unit);
            EXPECT_EQ(info.rate, w.outSignals[i].rate);
            EXPECT_EQ(samplesOf(*reader, i), values[i]) << "the last record's padding is not data";
        }
        std::string error;
        EXPECT_EQ(reader->events(error), markers);
    }
}

TEST(EdfFile, KeepsAHundredAnnotationsAndLongTextsInAShortFile) {
    TestFiles files;
    std::vector<SignalEvent> events;
    for (int i = 0; i < 100; ++i) {
        events.push_back({i * 50000 / 1e7, -1, "Marker " + std::to_string(i)});
    }
    const std::string sixty = "Perfusion with 10 uM carbachol, 2 ml/min, bath at 32 deg C.";
    const std::string longest =
        "\u00b5" + std::string(EdfMaxTextBytes - 2, 'x'); // a two-byte character first
    events.push_back({0.25, 1.5, sixty});
    events.push_back({0.5, 0, longest});
    const Written w = signalsOf({100}, {std::vector<float>(50, 1)}, true, -32768, 32767);
    std::optional<EdfReader> reader = writeAndOpen(files.path("annotated"), false, w, events);
    ASSERT_TRUE(reader);
    std::ranges::stable_sort(events, {}, &SignalEvent::onset);
    std::string error;
    EXPECT_EQ(reader->events(error), events);

    events.push_back({0.5, -1, longest + "x"});
    EXPECT_FALSE(writeEdf(files.path("too long"), false, w.outSignals, events, error));
    EXPECT_EQ(error, "the text \"" + longest + "x\" is longer than 77 bytes");
}

TEST(EdfFile, ScalesFloatsToTheirRangeWithinHalfADigitalStep) {
    TestFiles files;
    std::vector<float> values;
    for (int i = 0; i < 3000; ++i) {
        values.push_back(static_cast<float>(0.0037 + 0.002 * std::sin(i * 0.01) + 1e-5 * ((i * 37) % 11)));
    }
    for (const bool bdf : {false, true}) {
        SCOPED_TRACE(bdf ? "BDF+" : "EDF+");
        Written w = signalsOf({500}, {values}, false, bdf ? -8388608 : -32768, bdf ? 8388607 : 32767);
        w.outSignals[0].physicalMin = w.outSignals[0].physicalMax = 0; // from the values' minimum and maximum
        std::optional<EdfReader> reader = writeAndOpen(files.path("scaled"), bdf, w, {});
        ASSERT_TRUE(reader);
        const SignalInfo& info = reader->signalList()[0];
        EXPECT_LE(info.physicalMin, *std::ranges::min_element(values));
        EXPECT_GE(info.physicalMax, *std::ranges::max_element(values));
        const double step = (info.physicalMax - info.physicalMin) / (info.digitalMax - info.digitalMin);
        const std::vector<float> read = samplesOf(*reader, 0);
        ASSERT_EQ(read.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            // Half a step, and the rounding of the float the reader gives.
            ASSERT_NEAR(read[i], values[i], step / 2 + std::abs(values[i]) * 0x1p-24) << i;
        }
    }
}

TEST(EdfFile, ChoosesTheRecordNearestOneSecondThatHoldsWholeSamples) {
    struct Case {
        std::vector<double> rates;
        std::vector<std::size_t> counts;
        double record; // s; 0: none
    };
    const Case cases[] = {{{1000, 250}, {2000, 100}, 1},
                          {{333.3}, {1000}, 10},
                          {{0.5}, {7}, 2},
                          {{1e6 / 300, 1000}, {3334, 1000}, 0.999},
                          {{1000, 999.999}, {10, 10}, 0}};
    TestFiles files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rates[0]);
        std::vector<std::vector<float>> values;
        for (const std::size_t count : c.counts) {
            values.emplace_back(count, 7);
        }
        const Written w = signalsOf(c.rates, values, true, -32768, 32767);
        std::string error;
        ASSERT_EQ(writeEdf(files.path("rates"), false, w.outSignals, {}, error), c.record > 0) << error;
        if (c.record == 0) {
            EXPECT_EQ(error,
                      "no data record from 1 ms to 60 s holds a whole number of samples of every signal");
            continue;
        }
        const std::optional<EdfReader> reader = EdfReader::open(files.path("rates"), error);
        ASSERT_TRUE(reader) << error;
        EXPECT_DOUBLE_EQ(reader->recordDuration(), c.record);
        for (std::size_t i = 0; i < c.rates.size(); ++i) {
            EXPECT_NEAR(reader->signalList()[i].rate, c.rates[i], 1e-9 * c.rates[i]);
            EXPECT_EQ(reader->signalList()[i].samples, static_cast<std::int64_t>(c.counts[i]));
        }
    }
}

TEST(EdfFile, GivesTheReasonForEveryFileItCannotUse) {
    TestFiles files;
    const Written w = signalsOf({100}, {std::vector<float>(100, 1)}, true, -32768, 32767);
    std::string error;
    ASSERT_TRUE(writeEdf(files.path("good.edf"), false, w.outSignals, {{0.5, -1, "Marker"}}, error)) << error;
    const Bytes good = readBytes(files.path("good.edf"));
    Bytes longer = good;
    longer.push_back(0);
    const auto changed = [&](std::size_t at, std::string_view text) {
        Bytes bytes = good;
        std::ranges::copy(text, bytes.begin() + static_cast<std::ptrdiff_t>(at));
        return bytes;
    };
    const std::size_t tal =
        std::string_view(reinterpret_cast<const char*>(good.data()), good.size()).find("+0.5");
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"a text file", changed(0, "X"), "the file is not EDF(+) or BDF(+)"},
        {"digital maximum abc", changed(256 + 2 * 128, "abc     "), "the file's header is damaged"},
        {"the last byte missing", Bytes(good.begin(), good.end() - 1),
         "the file is shorter than its header says"},
        {"a byte more", longer, "the file is longer than its header says"},
        {"an onset without digits", changed(tal, "+\x14\x15"), "the file's annotations are damaged"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(EdfReader::open(files.write(c.name, c.bytes), error)) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
    EXPECT_FALSE(EdfReader::open(files.path("missing"), error));
    EXPECT_EQ(error, "the file cannot be opened");
    EXPECT_FALSE(writeEdf(files.path("no/folder.edf"), false, w.outSignals, {}, error));
    EXPECT_EQ(error, "the file cannot be created");
    EXPECT_FALSE(writeEdf(files.path("empty.edf"), false,
                          signalsOf({100}, {std::vector<float>()}, true, 0, 1).outSignals, {}, error));
    EXPECT_EQ(error, "there are no samples to write");
}

} // namespace
} // namespace trazel::testing
