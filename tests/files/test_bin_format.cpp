#include "files/bin_format.h"
#include "files/bin_writer.h"
#include "files/file_view.h"
#include "files/prn_format.h"
#include "support/data_files.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace trazel::testing {
namespace {

Bytes slice(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(BinHeader, PutsEveryFieldAtItsOffsetInLittleEndianOrder) {
    binformat::Header header = recordedHeader(2, {1, 2, 0}, 1000, 500);
    header.stimDelay = 10;
    header.stimCount = 3;
    header.stimInterval = 250;

    const auto bytes = binformat::encodeHeader(header);
    ASSERT_EQ(bytes.size(), 128U);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 12), "Version 1.00");
    // Channels, trace channels, block flag, points per sweep, stimulus delay, count and interval, sample
    // interval.
    EXPECT_EQ(slice(bytes, 12, 24),
              Bytes({0x02, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xF4, 0x01,
                     0x00, 0x00, 0x0A, 0x00, 0x03, 0x00, 0xFA, 0x00, 0xE8, 0x03, 0x00, 0x00}));
    EXPECT_EQ(slice(bytes, 36, 92), Bytes(92, 0)) << "the rest of the header is reserved and zero";
    EXPECT_EQ(binformat::decodeHeader(bytes), header);

    // Extreme and negative values in every field survive the round trip.
    header = {-2,     {-1, 32767, -32768},
              1,      std::numeric_limits<std::int32_t>::max(),
              -32768, 32767,
              -1,     std::numeric_limits<std::int32_t>::min()};
    EXPECT_EQ(binformat::decodeHeader(binformat::encodeHeader(header)), header);
}

TEST(BinHeader, RecognisesOnlyTheExactVersionText) {
    for (std::string_view text : {"Version 1.00", "Version 1.00 and more", "Version 1.0", "Version 1.01",
                                  "version 1.00", " Version 1.00", ""}) {
        EXPECT_EQ(binformat::isVersioned(Bytes(text.begin(), text.end())), text.starts_with("Version 1.00"))
            << text;
    }
}

TEST(BinRecords, CountTheRecordsRoundingAPartialRecordToTheNearestHalvesToEven) {
    struct Case {
        const char* name;
        binformat::RecordLayout layout;
        std::uint64_t length;
        std::optional<std::int64_t> records;
    };
    const binformat::RecordLayout one = binformat::versionedLayout(1); // 4-byte records
    const binformat::RecordLayout two = binformat::versionedLayout(2); // 6-byte records
    const binformat::RecordLayout bare1 = binformat::headerlessLayout(1);
    const Case cases[] = {
        {"three quarters of a record count", one, 131, 1},
        {"two and a half records round to even 2", one, 138, 2},
        {"101.5 records round to even 102", two, 128 + 609, 102},
        {"shorter than the header", one, 127, std::nullopt},
        {"headerless 3.5 records round to 4", bare1, 9, 4},
        {"negative channels", binformat::headerlessLayout(-1), 1000, std::nullopt},
        {"beyond four gigabytes", one, 128 + 4ULL * 3'000'000'000ULL, 3'000'000'000LL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(binformat::recordCount(c.length, c.layout), c.records);
    }
}

TEST(BinRecords, ReadTheMissingWordsOfATruncatedLastRecordAsZero) {
    const binformat::RecordLayout layout = binformat::versionedLayout(2);
    Bytes full;
    binformat::appendRecord(full, layout, std::array<std::int16_t, 2>{10, -20}, 100);
    binformat::appendRecord(full, layout, std::array<std::int16_t, 2>{30, -40}, 200);
    binformat::appendRecord(full, layout, std::array<std::int16_t, 2>{-50, 60}, 100);

    struct Cut {
        std::size_t bytes;
        std::vector<float> trace1, trace2;
        std::vector<std::int16_t> markers;
        std::array<float, 3> peaks;
    };
    const Cut cuts[] = {
        {17, {10, 30, -50}, {-20, -40, 60}, {100, 200, 100}, {50, 60, 0}}, // the marker's low byte only
        {14, {10, 30, -50}, {-20, -40, 0}, {100, 200, 0}, {50, 40, 0}},    // second sample missing
        {13, {10, 30, 0xCE}, {-20, -40, 0}, {100, 200, 0}, {206, 40, 0}},  // low byte of the first only
        {0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.bytes);
        std::array<std::vector<float>, 3> samples{std::vector<float>(3, -1), std::vector<float>(3, -1)};
        std::vector<std::int16_t> markers(3, -1);
        std::array<float, 3> peaks{};
        binformat::decodeRecords(
            std::span(full).first(cut.bytes), layout, 3,
            {{samples[0].data(), samples[1].data(), samples[2].data()}, markers.data(), &peaks});
        EXPECT_EQ(samples[0], cut.trace1);
        EXPECT_EQ(samples[1], cut.trace2);
        EXPECT_EQ(markers, cut.markers);
        EXPECT_EQ(peaks, cut.peaks);
    }
}

TEST(BinFileWriter, WritesTheHeaderThenTheRecordsOfEveryAppend) {
    const binformat::Header header = recordedHeader(3, {1, 2, 3}, 250);
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < 3000; ++i) {
        samples.insert(samples.end(), {static_cast<std::int16_t>(i * 7 - 10000),
                                       static_cast<std::int16_t>(i % 2 == 0 ? -32768 : 32767),
                                       static_cast<std::int16_t>((i * 37) % 2001 - 1000)});
        markers.push_back(static_cast<std::int16_t>(i % 500 == 0 ? 200 : (i >= 1000 && i < 1700 ? 100 : 0)));
    }
    TestFiles files;
    const std::filesystem::path file = files.path("written.bin");
    std::optional<BinFileWriter> writer = BinFileWriter::create(file, header);
    ASSERT_TRUE(writer);
    // Appends of different sizes, as a recording grows.
    for (auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 1}, {1, 1234}, {1234, 3000}}) {
        ASSERT_TRUE(writer->append(std::span(samples).subspan(from * 3, (to - from) * 3),
                                   std::span(markers).subspan(from, to - from)));
        EXPECT_EQ(std::filesystem::file_size(file), 128 + 8 * to) << "each append is in the file at once";
    }
    EXPECT_FALSE(writer->append(std::span(samples).first(2), std::span(markers).first(1)))
        << "a record needs a sample per channel";
    ASSERT_TRUE(writer->close());
    EXPECT_EQ(readBytes(file), versionedFile(header, samples, markers));
}

TEST(PrnFormat, CountsPointsOfFourBytesPerChannelHalvesToEven) {
    struct Case {
        std::uint64_t length;
        int channels;
        std::int64_t points;
    };
    const Case cases[] = {{4000, 1, 1000}, {4000, 2, 500}, {4002, 1, 1000}, {4006, 1, 1002},
                          {4003, 1, 1001}, {0, 1, 0},      {2, 1, 0},       {6, 1, 2},
                          {4, 2, 0},       {12, 2, 2},     {20, 2, 2},      {24000, 2, 3000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes, " + std::to_string(c.channels) + " channel(s)");
        EXPECT_EQ(prnformat::pointCount(c.length, c.channels), c.points);
    }
}

// The readers' tests check whole values; a value cut short at the end of the file reads as 0.
TEST(PrnFormat, ReadsAValueCutShortAtTheEndAsZero) {
    Bytes bytes = prnFile({1, 2, 3});
    bytes.insert(bytes.end(), {0x40, 0x40});
    std::array<std::vector<float>, 2> samples{std::vector<float>(2, -1), std::vector<float>(2, -1)};
    std::array<float, 2> peaks{};
    prnformat::decodePoints(bytes, 2, 2, {{samples[0].data(), samples[1].data()}, &peaks});
    EXPECT_EQ(samples[0], std::vector<float>({100, 300}));
    EXPECT_EQ(samples[1], std::vector<float>({200, 0}));
    EXPECT_EQ(peaks, (std::array<float, 2>{3, 2}));
}

struct SpanCase {
    const char* name;
    Single interval;
    Long count;
    Single screenLen;
    const char* unit;
};

void expectSpan(const TimeSpan& span, const SpanCase& c) {
    EXPECT_FLOAT_EQ(span.screenLen, c.screenLen);
    EXPECT_STREQ(span.unit, c.unit);
    EXPECT_FLOAT_EQ(span.timeFactor, std::string_view(c.unit) == "ms" ? 0.001F : 1.0F);
}

TEST(FileView, ShowsAContinuousFileOnThePowerOfTwoThatHoldsIt) {
    const SpanCase cases[] = {
        {"2.5 s rounds to even 2 s", 0.5F, 5, 2, " s"},
        {"1.5 s rounds to 2 s", 0.5F, 3, 2, " s"},
        {"1 s counts in ms", 0.25F, 4, 1024, "ms"},
        {"0.5 s rounds to 0 s and counts in ms", 0.5F, 1, 512, "ms"},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        expectSpan(continuousSpan(c.interval, c.count), c);
    }
}

TEST(FileView, ShowsOneSweepPerScreenCaptionedWithItsLength) {
    const SpanCase cases[] = {{"2000 points at 1 ms", 0.001F, 2000, 2, " s"},
                              {"exactly one second", 0.5F, 2, 1, " s"},
                              {"three quarters of a second", 0.25F, 3, 750, "ms"},
                              {"ten seconds", 0.1F, 100, 10, " s"}};
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        expectSpan(blockSpan(c.interval, c.count), c);
    }
    EXPECT_EQ(blockModeCaption(100, "ms"), "BLOCK MODE (100.ms)");
    EXPECT_EQ(blockModeCaption(2, " s"), "BLOCK MODE (2. s)");
    EXPECT_EQ(blockModeCaption(12.25F, "ms"), "BLOCK MODE (12.3ms)");
    EXPECT_EQ(blockModeCaption(0.5F, "ms"), "BLOCK MODE (.5ms)");
}

} // namespace
} // namespace trazel::testing
