#include "files/abf_file.h"
#include "support/data_files.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>

namespace trazel::testing {
namespace {

const std::filesystem::path Root = std::filesystem::path(TRAZEL_EXAMPLES).parent_path();
// One recording saved by pCLAMP 11 as ABF 2 and as ABF 1.
const std::string Abf1 = "abf/pclamp11_4ch_abf1.abf";
const std::string Abf2 = "abf/pclamp11_4ch.abf";

#define SKIP_WITHOUT_RECORDINGS()                                                                            \
    if (!std::filesystem::exists(Recordings / "abf")) {                                                      \
        GTEST_SKIP() << "the recordings are not at " << Recordings;                                          \
    }

std::vector<float> samplesOf(AbfReader& reader, int signal) {
    std::vector<float> values(static_cast<std::size_t>(reader.signalList().at(signal).samples));
    std::string error;
    EXPECT_TRUE(reader.readPhysical(signal, values, error)) << error;
    return values;
}

std::string withoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}

std::vector<SignalEvent> eventsNamed(AbfReader& reader, bool stimulus) {
    std::string error;
    std::vector<SignalEvent> events = reader.events(error);
    EXPECT_EQ(error, "");
    std::erase_if(events, [&](const SignalEvent& e) { return (e.text == "Stimulus") != stimulus; });
    return events;
}

template <typename T> void put(Bytes& bytes, std::size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Compares with the values Neo read (tests/files/abf_reference.py wrote abf_reference.txt).
TEST(AbfReader, ReadsTheRecordingsAsNeoDoes) {
    SKIP_WITHOUT_RECORDINGS();
    std::ifstream reference(Root / "tests/files/abf_reference.txt");
    std::optional<AbfReader> reader;
    std::string line, error, name, word;
    std::int64_t samples = 0, sweeps = 0, length = 0, episodes = 0;
    double rate = 0;
    int lines = 0;
    while (std::getline(reference, line)) {
        std::istringstream in(line);
        in >> word;
        if (word == "file") {
            std::size_t channels = 0;
            int mode = 0;
            in >> name >> word >> channels >> word >> rate >> word >> samples >> word >> sweeps >> word >>
                length >> word >> mode >> word >> episodes;
            reader = AbfReader::open(Recordings / name, error);
            ASSERT_TRUE(reader) << name << ": " << error;
            ASSERT_EQ(reader->signalList().size(), channels);
            ASSERT_EQ(mode, 5) << "episodic stimulation";
            // Neo makes one sweep of a file without a sweep table; the header's episodes are the sweeps.
            EXPECT_EQ(reader->sweepLength() * episodes, samples) << name;
            EXPECT_TRUE(sweeps == 1 || reader->sweepLength() == length) << name;
        } else if (word == "channel") {
            int index = 0;
            std::string unit, label;
            in >> index >> unit;
            const SignalInfo& info = reader->signalList().at(index);
            EXPECT_EQ(info.unit, unit);
            EXPECT_EQ(info.rate, rate);
            ASSERT_EQ(info.samples, samples);
            const std::vector<float> values = samplesOf(*reader, index);
            for (std::string token; in >> token;) {
                const std::size_t colon = token.find(':');
                if (colon == std::string::npos) {
                    label = token;
                    continue;
                }
                const auto at = static_cast<std::size_t>(std::stoll(token.substr(0, colon)));
                const double expected = std::stod(token.substr(colon + 1));
                // Neo scales in single precision; the text holds 10 digits.
                EXPECT_NEAR(values.at(at), expected, 1e-6 * std::abs(expected) + 1e-9)
                    << name << " at " << at;
            }
            EXPECT_EQ(withoutSpaces(info.label), label) << "Neo takes the spaces out";
        } else if (word == "tags") {
            std::vector<double> onsets;
            for (double onset = 0; in >> onset;) {
                onsets.push_back(onset);
            }
            EXPECT_EQ(eventsNamed(*reader, false).size(), onsets.size()) << name;
        } else if (word == "stimulus") {
            std::vector<std::int64_t> expected, points;
            for (std::int64_t point = 0; in >> point;) {
                expected.push_back(point);
            }
            for (const SignalEvent& event : eventsNamed(*reader, true)) {
                points.push_back(std::llround(event.onset * rate));
            }
            EXPECT_EQ(points, expected) << name;
        } else {
            continue;
        }
        ++lines;
    }
    EXPECT_EQ(lines, 20);
}

TEST(AbfReader, ReadsTheSameRecordingSavedAsAbf1AndAbf2) {
    SKIP_WITHOUT_RECORDINGS();
    std::string error;
    std::optional<AbfReader> abf1 = AbfReader::open(Recordings / Abf1, error);
    ASSERT_TRUE(abf1) << error;
    std::optional<AbfReader> abf2 = AbfReader::open(Recordings / Abf2, error);
    ASSERT_TRUE(abf2) << error;
    EXPECT_EQ(abf1->sweepLength(), 4000);
    EXPECT_EQ(abf2->sweepLength(), 4000);
    ASSERT_EQ(abf1->signalList().size(), 4U);
    ASSERT_EQ(abf2->signalList().size(), 4U);
    for (int i = 0; i < 4; ++i) {
        const SignalInfo &one = abf1->signalList()[i], &two = abf2->signalList()[i];
        EXPECT_EQ(one.label, "IN " + std::to_string(i));
        EXPECT_EQ(one.label, two.label);
        EXPECT_EQ(one.unit, "pA");
        EXPECT_EQ(one.unit, two.unit);
        EXPECT_EQ(one.rate, 20000);
        EXPECT_EQ(one.rate, two.rate);
        EXPECT_EQ(one.samples, 40000);
        EXPECT_EQ(one.samples, two.samples);
        EXPECT_EQ(std::tie(one.physicalMin, one.physicalMax, one.digitalMin, one.digitalMax),
                  std::make_tuple(-10.0, 10.0 * 32767 / 32768, -32768, 32767));
        EXPECT_EQ(std::tie(one.physicalMin, one.physicalMax, one.digitalMin, one.digitalMax),
                  std::tie(two.physicalMin, two.physicalMax, two.digitalMin, two.digitalMax));
        const std::vector<float> a = samplesOf(*abf1, i), b = samplesOf(*abf2, i);
        const double step = 10.0 / 32768;
        for (std::size_t k = 0; k < a.size(); ++k) {
            // The ABF 1 copy has half of the digital values one step higher.
            ASSERT_NEAR(a[k], b[k], step * 1.001) << "signal " << i << " at " << k;
        }
    }
    std::vector<SignalEvent> expected;
    for (int k = 0; k < 10; ++k) {
        expected.push_back({(k * 4000 + 62) / 20000.0, -1, "Stimulus"}); // after 4000 / 64 points of holding
    }
    EXPECT_EQ(eventsNamed(*abf1, true), expected);
    EXPECT_EQ(eventsNamed(*abf2, true), expected);
}

// The two files with a block of two tags added: a comment 10 ms into the third sweep, and one without a
// comment after the end of the last sweep. The files' clock counts 3.125 us; a sweep starts every 200 ms.
TEST(AbfReader, PlacesTagsOnTheSweepsLaidEndToEnd) {
    SKIP_WITHOUT_RECORDINGS();
    TestFiles files;
    for (const bool two : {false, true}) {
        SCOPED_TRACE(two ? Abf2 : Abf1);
        Bytes bytes = readBytes(Recordings / (two ? Abf2 : Abf1));
        const std::size_t block = (bytes.size() + 511) / 512;
        bytes.resize(block * 512 + 2 * 64);
        put<std::int32_t>(bytes, block * 512, 128000 + 3200);
        std::memcpy(bytes.data() + block * 512 + 4, "10 \xb5M drug", 10);
        put<std::int32_t>(bytes, block * 512 + 64, 700000);
        const auto withTags = [&](std::int64_t count) {
            if (two) {
                put<std::uint32_t>(bytes, 252, static_cast<std::uint32_t>(block));
                put<std::uint32_t>(bytes, 256, 64);
                put<std::int64_t>(bytes, 260, count);
            } else {
                put<std::int32_t>(bytes, 44, static_cast<std::int32_t>(block));
                put<std::int32_t>(bytes, 48, static_cast<std::int32_t>(count));
            }
            std::string error;
            std::optional<AbfReader> reader = AbfReader::open(files.write("tagged", bytes), error);
            EXPECT_TRUE(reader) << error;
            return reader;
        };
        std::optional<AbfReader> reader = withTags(2);
        ASSERT_TRUE(reader);
        const std::vector<SignalEvent> tags = eventsNamed(*reader, false);
        ASSERT_EQ(tags.size(), 2U);
        EXPECT_NEAR(tags[0].onset, 0.41, 1e-12);
        EXPECT_EQ(tags[0].text, "10 \u00b5M drug");
        EXPECT_EQ(tags[1], (SignalEvent{2.0, -1, "Tag"}));

        reader = withTags(3);
        ASSERT_TRUE(reader) << "the data read without the tags";
        std::string error;
        EXPECT_TRUE(reader->events(error).empty());
        EXPECT_EQ(error, "the tag table lies beyond the end of the file");
    }
}

TEST(AbfReader, ReadsFloatSamplesAsTheyAre) {
    SKIP_WITHOUT_RECORDINGS();
    // The ABF 1 file's header for one sweep of two points of float samples.
    Bytes bytes = readBytes(Recordings / Abf1);
    bytes.resize(12 * 512);
    put<std::int16_t>(bytes, 100, 1);
    put<std::int32_t>(bytes, 10, 8);
    put<std::int32_t>(bytes, 138, 8);
    put<std::int32_t>(bytes, 96, 0); // no sweep table
    std::vector<float> values{1.5F, -2.25F, 1e30F, 0, 3, 4, -1e-30F, 6};
    const auto withValues = [&] {
        Bytes file = bytes;
        file.insert(file.end(), reinterpret_cast<const std::uint8_t*>(values.data()),
                    reinterpret_cast<const std::uint8_t*>(values.data() + values.size()));
        return file;
    };
    TestFiles files;
    std::string error;
    std::optional<AbfReader> reader = AbfReader::open(files.write("floats", withValues()), error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->sweepLength(), 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(samplesOf(*reader, i), (std::vector<float>{values[i], values[i + 4]}));
    }
    std::vector<float> one(1);
    EXPECT_FALSE(reader->readPhysical(0, one, error));
    EXPECT_EQ(error, "room for 1 values, not the 2 of the signal");

    values[6] = std::numeric_limits<float>::quiet_NaN();
    reader = AbfReader::open(files.write("nan", withValues()), error);
    ASSERT_TRUE(reader) << error;
    std::vector<float> two(2);
    EXPECT_FALSE(reader->readPhysical(2, two, error));
    EXPECT_EQ(error, "sample 2 of signal 3 is not a finite number");
}

TEST(AbfReader, GivesTheReasonForEveryFileItCannotUse) {
    SKIP_WITHOUT_RECORDINGS();
    struct Case {
        std::string file;
        std::function<void(Bytes&)> change;
        std::string reason;
    };
    const std::string fewer = "the file holds fewer samples than its header says (";
    const std::string modeOne = "ABF operation mode 1 (variable-length events) is not supported";
    const Case cases[] = {
        {Abf1, [](Bytes& b) { b[3] = 'X'; }, "the file is not an Axon ABF file"},
        {Abf1, [](Bytes& b) { b.clear(); }, "the file is not an Axon ABF file"},
        {Abf1, [](Bytes& b) { b.resize(3000); }, "the file ends within its header"},
        {Abf2, [](Bytes& b) { b.resize(300); }, "the file ends within its header"},
        {Abf1, [](Bytes& b) { b.resize(200000); }, fewer + "160000)"},
        {Abf2, [](Bytes& b) { b.resize(200000); }, fewer + "160000)"},
        {Abf1, [](Bytes& b) { put<std::int32_t>(b, 10, 0x7FFFFFFF); }, fewer + "2147483647)"},
        {Abf2, [](Bytes& b) { put<std::int64_t>(b, 244, std::int64_t{1} << 62); },
         fewer + "4611686018427387904)"},
        {Abf1, [](Bytes& b) { put<std::int16_t>(b, 120, 0); }, "the header gives 0 channels, not 1 to 16"},
        {Abf2, [](Bytes& b) { put<std::int64_t>(b, 100, 0); }, "the header gives 0 channels, not 1 to 16"},
        {Abf1, [](Bytes& b) { put<std::int16_t>(b, 410, 16); }, "the channel sampling sequence is damaged"},
        {Abf1, [](Bytes& b) { put<std::int32_t>(b, 40, 1000); }, "the data start beyond the end of the file"},
        {Abf2, [](Bytes& b) { put<std::uint32_t>(b, 236, 1000); },
         "the data start beyond the end of the file"},
        {Abf2, [](Bytes& b) { put<std::uint32_t>(b, 92, 1000); },
         "the ADC table lies beyond the end of the file"},
        {Abf2, [](Bytes& b) { put<std::int64_t>(b, 116, 1 << 20); },
         "the header's output tables are damaged"},
        {Abf1, [](Bytes& b) { put<float>(b, 122, 0); },
         "the sample interval (0 us) is not a positive number"},
        {Abf2, [](Bytes& b) { put<float>(b, 514, -50); },
         "the sample interval (-50 us) is not a positive number"},
        {Abf1, [](Bytes& b) { put<float>(b, 926, 0); }, "the gains of channel 2 give no finite values"},
        {Abf2, [](Bytes& b) { put<std::int32_t>(b, 630, 0); },
         "the gains of channel 1 give no finite values"},
        {Abf1, [](Bytes& b) { put<std::int16_t>(b, 8, 1); }, modeOne},
        {Abf2, [](Bytes& b) { put<std::int16_t>(b, 512, 1); }, modeOne},
        {Abf2, [](Bytes& b) { put<std::int16_t>(b, 512, 9); }, "ABF operation mode 9 is not supported"},
        {Abf1, [](Bytes& b) { put<std::int16_t>(b, 100, 2); }, "ABF data format 2 is not supported"},
        {Abf1, [](Bytes& b) { put<float>(b, 4, 2.5F); }, "ABF version 2.5 is not supported"},
        {Abf2, [](Bytes& b) { b[7] = 3; }, "ABF version 3.9 is not supported"},
        {Abf2, [](Bytes& b) { put<std::int32_t>(b, 534, 16001); },
         "the data hold 160000 samples, not whole sweeps of 16001 for 4 channels"},
        {Abf1, [](Bytes& b) { put<std::int32_t>(b, 637 * 512 + 2 * 8 + 4, 15000); },
         "sweep 3 holds 15000 samples, not 16000: sweeps of different lengths are not supported"},
    };
    TestFiles files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Bytes bytes = readBytes(Recordings / c.file);
        c.change(bytes);
        std::string error;
        EXPECT_FALSE(AbfReader::open(files.write("bad.abf", bytes), error));
        EXPECT_EQ(error, c.reason);
    }
    std::string error;
    EXPECT_FALSE(AbfReader::open(files.path("missing.abf"), error));
    EXPECT_EQ(error, "the file cannot be opened");
}

} // namespace
} // namespace trazel::testing
