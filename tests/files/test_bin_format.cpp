#include "files/bin_format.h"
#include "files/bin_writer.h"
#include "files/file_view.h"
#include "files/prn_format.h"
#include "support/data_files.h"
#include "support/main_window_fixture.h"

#include <cstring>
#include <limits>
#include <string>

namespace trazel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes slice(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// ---- Header ----------------------------------------------------------------------------------------

TEST(BinHeader, PutsEveryFieldAtItsOffsetInLittleEndianOrder) {
    binformat::Header header;
    header.channelCount = 2;
    header.traceChannels = {1, 2, 0};
    header.blockFlag = -1;
    header.pointsPerSweep = 500;
    header.stimDelay = 10;
    header.stimCount = 3;
    header.stimInterval = 250;
    header.sampleIntervalUs = 1000;

    const auto bytes = binformat::encodeHeader(header);
    ASSERT_EQ(bytes.size(), 128U);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 12), "Version 1.00");
    EXPECT_EQ(slice(bytes, 12, 2), Bytes({0x02, 0x00}));
    EXPECT_EQ(slice(bytes, 14, 6), Bytes({0x01, 0x00, 0x02, 0x00, 0x00, 0x00}));
    EXPECT_EQ(slice(bytes, 20, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(slice(bytes, 22, 4), Bytes({0xF4, 0x01, 0x00, 0x00}));
    EXPECT_EQ(slice(bytes, 26, 2), Bytes({0x0A, 0x00}));
    EXPECT_EQ(slice(bytes, 28, 2), Bytes({0x03, 0x00}));
    EXPECT_EQ(slice(bytes, 30, 2), Bytes({0xFA, 0x00}));
    EXPECT_EQ(slice(bytes, 32, 4), Bytes({0xE8, 0x03, 0x00, 0x00}));
    EXPECT_EQ(slice(bytes, 36, 92), Bytes(92, 0)) << "the rest of the header is reserved and zero";

    EXPECT_EQ(binformat::decodeHeader(bytes), header);
}

TEST(BinHeader, KeepsExtremeAndNegativeValuesThroughARoundTrip) {
    binformat::Header header;
    header.channelCount = -2;
    header.traceChannels = {-1, 32767, -32768};
    header.blockFlag = 1;
    header.pointsPerSweep = std::numeric_limits<std::int32_t>::max();
    header.stimDelay = -32768;
    header.stimCount = 32767;
    header.stimInterval = -1;
    header.sampleIntervalUs = std::numeric_limits<std::int32_t>::min();

    const auto bytes = binformat::encodeHeader(header);
    EXPECT_EQ(slice(bytes, 12, 2), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(slice(bytes, 14, 6), Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80}));
    EXPECT_EQ(slice(bytes, 20, 2), Bytes({0x01, 0x00}));
    EXPECT_EQ(slice(bytes, 22, 4), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(slice(bytes, 26, 2), Bytes({0x00, 0x80}));
    EXPECT_EQ(slice(bytes, 30, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(slice(bytes, 32, 4), Bytes({0x00, 0x00, 0x00, 0x80}));
    EXPECT_EQ(binformat::decodeHeader(bytes), header);
}

TEST(BinHeader, DecodesAHeaderWrittenByHand) {
    std::array<std::uint8_t, 128> bytes{};
    std::memcpy(bytes.data(), "Version 1.00", 12);
    bytes[12] = 3;    // channels
    bytes[14] = 4;    // trace 1 on input 4
    bytes[16] = 0;    // trace 2 off
    bytes[18] = 2;    // trace 3 on input 2
    bytes[22] = 0x10; // 10000 points per sweep = 0x2710
    bytes[23] = 0x27; //
    bytes[32] = 0xA0; // 100000 us = 0x186A0
    bytes[33] = 0x86; //
    bytes[34] = 0x01; //
    const binformat::Header header = binformat::decodeHeader(bytes);
    EXPECT_EQ(header.channelCount, 3);
    EXPECT_EQ(header.traceChannels, (std::array<std::int16_t, 3>{4, 0, 2}));
    EXPECT_EQ(header.blockFlag, 0);
    EXPECT_EQ(header.pointsPerSweep, 10000);
    EXPECT_EQ(header.stimDelay, 0);
    EXPECT_EQ(header.sampleIntervalUs, 100000);
}

TEST(BinHeader, RecognisesOnlyTheExactVersionText) {
    const auto bytesOf = [](std::string_view text) { return Bytes(text.begin(), text.end()); };
    EXPECT_TRUE(binformat::isVersioned(bytesOf("Version 1.00")));
    EXPECT_TRUE(binformat::isVersioned(bytesOf("Version 1.00 and more")));
    EXPECT_FALSE(binformat::isVersioned(bytesOf("Version 1.0")));
    EXPECT_FALSE(binformat::isVersioned(bytesOf("Version 1.01")));
    EXPECT_FALSE(binformat::isVersioned(bytesOf("version 1.00")));
    EXPECT_FALSE(binformat::isVersioned(bytesOf(" Version 1.00")));
    EXPECT_FALSE(binformat::isVersioned(Bytes{}));
}

TEST(BinHeader, WritesTheHeaderlessIntervalAsOneWord) {
    EXPECT_EQ(binformat::encodeHeaderlessPrefix(5), (std::array<std::uint8_t, 2>{0x05, 0x00}));
    EXPECT_EQ(binformat::encodeHeaderlessPrefix(300), (std::array<std::uint8_t, 2>{0x2C, 0x01}));
    EXPECT_EQ(binformat::encodeHeaderlessPrefix(-1), (std::array<std::uint8_t, 2>{0xFF, 0xFF}));
    for (std::int16_t ms : {0, 1, 300, -300, 32767, -32768}) {
        EXPECT_EQ(binformat::decodeHeaderlessInterval(binformat::encodeHeaderlessPrefix(ms)), ms);
    }
}

// ---- Records ---------------------------------------------------------------------------------------

TEST(BinRecords, HaveAWordPerChannelAndAMarkerWordWhenVersioned) {
    const binformat::RecordLayout versioned = binformat::versionedLayout(2);
    EXPECT_EQ(versioned.recordSize(), 6U);
    EXPECT_TRUE(versioned.hasMarker);
    EXPECT_EQ(versioned.dataOffset, 128U);
    EXPECT_EQ(binformat::versionedLayout(1).recordSize(), 4U);
    EXPECT_EQ(binformat::versionedLayout(3).recordSize(), 8U);

    const binformat::RecordLayout headerless = binformat::headerlessLayout(2);
    EXPECT_EQ(headerless.recordSize(), 4U);
    EXPECT_FALSE(headerless.hasMarker);
    EXPECT_EQ(headerless.dataOffset, 2U);
    EXPECT_EQ(binformat::headerlessLayout(1).recordSize(), 2U);
}

struct CountCase {
    const char* name;
    binformat::RecordLayout layout;
    std::uint64_t length;
    std::optional<std::int64_t> records;
};

TEST(BinRecords, CountTheRecordsRoundingAPartialRecordToTheNearestHalvesToEven) {
    const binformat::RecordLayout one = binformat::versionedLayout(1);   // 4-byte records
    const binformat::RecordLayout two = binformat::versionedLayout(2);   // 6-byte records
    const binformat::RecordLayout three = binformat::versionedLayout(3); // 8-byte records
    const binformat::RecordLayout bare1 = binformat::headerlessLayout(1);
    const binformat::RecordLayout bare2 = binformat::headerlessLayout(2);
    const CountCase cases[] = {
        {"header only", one, 128, 0},
        {"a quarter record does not count", one, 129, 0},
        {"half a record after none rounds to even 0", one, 130, 0},
        {"three quarters of a record count", one, 131, 1},
        {"one record", one, 132, 1},
        {"one and a half records round to even 2", one, 134, 2},
        {"two and a half records round to even 2", one, 138, 2},
        {"two and three quarter records count 3", one, 139, 3},
        {"100 six-byte records", two, 128 + 600, 100},
        {"a third of a record more does not count", two, 128 + 602, 100},
        {"two thirds of a record more count", two, 128 + 604, 101},
        {"100.5 records round to even 100", two, 128 + 603, 100},
        {"101.5 records round to even 102", two, 128 + 609, 102},
        {"eight-byte records", three, 128 + 80, 10},
        {"shorter than the header", one, 127, std::nullopt},
        {"empty", one, 0, std::nullopt},
        {"headerless prefix only", bare1, 2, 0},
        {"headerless 3 records", bare1, 8, 3},
        {"headerless 3.5 records round to 4", bare1, 9, 4},
        {"headerless 2.5 records round to 2", bare1, 7, 2},
        {"headerless two channels", bare2, 2 + 4 * 250, 250},
        {"headerless shorter than the prefix", bare1, 1, std::nullopt},
        {"no channels", binformat::versionedLayout(0), 1000, std::nullopt},
        {"negative channels", binformat::headerlessLayout(-1), 1000, std::nullopt},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(binformat::recordCount(c.length, c.layout), c.records);
    }
}

TEST(BinRecords, CountFilesBeyondFourGigabytes) {
    const std::uint64_t length = 128 + 4ULL * 3'000'000'000ULL;
    EXPECT_EQ(binformat::recordCount(length, binformat::versionedLayout(1)), 3'000'000'000LL);
}

struct DecodedRecords {
    std::array<std::vector<float>, 3> samples;
    std::vector<std::int16_t> markers;
    std::array<float, 3> peaks{};

    explicit DecodedRecords(std::size_t count, float fill = -999, std::int16_t markerFill = -7)
        : markers(count, markerFill) {
        for (auto& trace : samples) {
            trace.assign(count, fill);
        }
    }
    binformat::RecordTarget target() {
        return {{samples[0].data(), samples[1].data(), samples[2].data()}, markers.data(), &peaks};
    }
};

TEST(BinRecords, DecodeSamplesMarkersAndPeaks) {
    const binformat::RecordLayout layout = binformat::versionedLayout(2);
    Bytes bytes;
    binformat::appendRecord(bytes, layout, std::array<std::int16_t, 2>{10, -20}, 100);
    binformat::appendRecord(bytes, layout, std::array<std::int16_t, 2>{-32768, 40}, 200);
    binformat::appendRecord(bytes, layout, std::array<std::int16_t, 2>{32767, -41}, 0);
    DecodedRecords out(3);
    binformat::decodeRecords(bytes, layout, 3, out.target());
    EXPECT_EQ(out.samples[0], std::vector<float>({10, -32768, 32767}));
    EXPECT_EQ(out.samples[1], std::vector<float>({-20, 40, -41}));
    EXPECT_EQ(out.samples[2], std::vector<float>({-999, -999, -999})) << "trace 3 was not recorded";
    EXPECT_EQ(out.markers, std::vector<std::int16_t>({100, 200, 0}));
    EXPECT_EQ(out.peaks, (std::array<float, 3>{32768, 41, 0}));
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
        {16, {10, 30, -50}, {-20, -40, 60}, {100, 200, 0}, {50, 60, 0}},   // marker word missing
        {14, {10, 30, -50}, {-20, -40, 0}, {100, 200, 0}, {50, 40, 0}},    // second sample missing
        {13, {10, 30, 0xCE}, {-20, -40, 0}, {100, 200, 0}, {206, 40, 0}},  // low byte of the first only
        {12, {10, 30, 0}, {-20, -40, 0}, {100, 200, 0}, {30, 40, 0}},      // whole record missing
        {0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.bytes);
        DecodedRecords out(3);
        binformat::decodeRecords(std::span(full).first(cut.bytes), layout, 3, out.target());
        EXPECT_EQ(out.samples[0], cut.trace1);
        EXPECT_EQ(out.samples[1], cut.trace2);
        EXPECT_EQ(out.markers, cut.markers);
        EXPECT_EQ(out.peaks, cut.peaks);
    }
}

TEST(BinRecords, DecodeOnlyTheRecordsAskedForAndRaiseExistingPeaks) {
    const binformat::RecordLayout layout = binformat::versionedLayout(1);
    Bytes bytes;
    for (std::int16_t v : {5, -6, 7, -800}) {
        binformat::appendRecord(bytes, layout, std::array<std::int16_t, 1>{v}, 0);
    }
    DecodedRecords out(4);
    out.peaks = {6.5F, 3, 0};
    binformat::decodeRecords(bytes, layout, 2, out.target());
    EXPECT_EQ(out.samples[0], std::vector<float>({5, -6, -999, -999}));
    EXPECT_EQ(out.markers, std::vector<std::int16_t>({0, 0, -7, -7}));
    EXPECT_EQ(out.peaks, (std::array<float, 3>{6.5F, 3, 0})) << "a larger peak stays";
}

TEST(BinRecords, LeaveTheMarkersAloneInTheHeaderlessLayout) {
    const binformat::RecordLayout layout = binformat::headerlessLayout(3);
    Bytes bytes;
    binformat::appendRecord(bytes, layout, std::array<std::int16_t, 3>{1, 2, 3}, 200);
    binformat::appendRecord(bytes, layout, std::array<std::int16_t, 3>{-4, -5, -6}, 200);
    ASSERT_EQ(bytes.size(), 12U) << "no marker word is written";
    DecodedRecords out(2);
    binformat::decodeRecords(bytes, layout, 2, out.target());
    EXPECT_EQ(out.samples[0], std::vector<float>({1, -4}));
    EXPECT_EQ(out.samples[1], std::vector<float>({2, -5}));
    EXPECT_EQ(out.samples[2], std::vector<float>({3, -6}));
    EXPECT_EQ(out.markers, std::vector<std::int16_t>({-7, -7}));
    EXPECT_EQ(out.peaks, (std::array<float, 3>{4, 5, 6}));

    binformat::RecordTarget noMarkers = out.target();
    noMarkers.markers = nullptr;
    noMarkers.peaks = nullptr;
    binformat::decodeRecords(bytes, layout, 2, noMarkers); // neither is touched
}

TEST(BinRecords, AppendTheSamplesThenTheMarkerWord) {
    Bytes bytes = {0xAA};
    binformat::appendRecord(bytes, binformat::versionedLayout(2), std::array<std::int16_t, 2>{1, -2}, 200);
    EXPECT_EQ(bytes, Bytes({0xAA, 0x01, 0x00, 0xFE, 0xFF, 0xC8, 0x00}));

    bytes.clear();
    binformat::appendRecord(bytes, binformat::versionedLayout(3), std::array<std::int16_t, 1>{7}, 100);
    EXPECT_EQ(bytes, Bytes({0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00})) << "missing samples are 0";

    bytes.clear();
    binformat::appendRecord(bytes, binformat::headerlessLayout(2),
                            std::array<std::int16_t, 2>{0x1234, -32768}, 200);
    EXPECT_EQ(bytes, Bytes({0x34, 0x12, 0x00, 0x80}));
}

// ---- Labtech files -----------------------------------------------------------------------------------

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

TEST(PrnFormat, KeepsOneHundredTimesTheFileValueAndThePeakInFileUnits) {
    const Bytes one = prnFile({1.5F, -2.25F, 0.5F});
    std::array<std::vector<float>, 2> samples{std::vector<float>(3, -1), std::vector<float>(3, -1)};
    std::array<float, 2> peaks{};
    prnformat::decodePoints(one, 1, 3, {{samples[0].data(), samples[1].data()}, &peaks});
    EXPECT_EQ(samples[0], std::vector<float>({150, -225, 50}));
    EXPECT_EQ(samples[1], std::vector<float>(3, -1));
    EXPECT_EQ(peaks, (std::array<float, 2>{2.25F, 0}));

    const Bytes two = prnFile({1.5F, -0.5F, -2.25F, 0.75F});
    samples = {std::vector<float>(2), std::vector<float>(2)};
    peaks = {};
    prnformat::decodePoints(two, 2, 2, {{samples[0].data(), samples[1].data()}, &peaks});
    EXPECT_EQ(samples[0], std::vector<float>({150, -225}));
    EXPECT_EQ(samples[1], std::vector<float>({-50, 75}));
    EXPECT_EQ(peaks, (std::array<float, 2>{2.25F, 0.75F}));
}

TEST(PrnFormat, ReadsValuesMissingAtTheEndAsZero) {
    Bytes bytes = prnFile({1, 2, 3});
    bytes.push_back(0x40); // a stray byte: not a whole value
    bytes.push_back(0x40);
    std::array<std::vector<float>, 2> samples{std::vector<float>(2, -1), std::vector<float>(2, -1)};
    std::array<float, 2> peaks{};
    prnformat::decodePoints(bytes, 2, 2, {{samples[0].data(), samples[1].data()}, &peaks});
    EXPECT_EQ(samples[0], std::vector<float>({100, 300}));
    EXPECT_EQ(samples[1], std::vector<float>({200, 0}));
    EXPECT_EQ(peaks, (std::array<float, 2>{3, 2}));
}

TEST(PrnFormat, AppendsLittleEndianFloats) {
    Bytes bytes;
    prnformat::appendPoint(bytes, std::array<float, 2>{1.5F, -2.0F});
    EXPECT_EQ(bytes, Bytes({0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0}));
}

// ---- How a file is shown -----------------------------------------------------------------------------

struct SpanCase {
    const char* name;
    Single interval;
    Long count;
    Single screenLen;
    const char* unit;
};

TEST(FileView, ShowsAContinuousFileOnThePowerOfTwoThatHoldsIt) {
    const SpanCase cases[] = {
        {"10,000 records at 1 ms", 0.001F, 10000, 16, " s"},
        {"5,000 records of 100 us", 0.0001F, 5000, 512, "ms"},
        {"3000 points at 300 Hz", 1.0F / 300, 3000, 16, " s"},
        {"150 points at 300 Hz", 1.0F / 300, 150, 512, "ms"},
        {"three minutes at 10 Hz", 0.1F, 1800, 256, " s"},
        {"1.5 s rounds to 2 s", 0.5F, 3, 2, " s"},
        {"2.5 s rounds to even 2 s", 0.5F, 5, 2, " s"},
        {"3 s", 1, 3, 4, " s"},
        {"exactly 4 s", 1, 4, 4, " s"},
        {"5 s", 1, 5, 8, " s"},
        {"0.5 s rounds to 0 s and counts in ms", 0.5F, 1, 512, "ms"},
        {"1 s", 0.25F, 4, 1024, "ms"},
        {"1 ms", 0.001F, 1, 1, "ms"},
        {"no points", 0.001F, 0, 1, "ms"},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TimeSpan span = continuousSpan(c.interval, c.count);
        EXPECT_EQ(span.screenLen, c.screenLen);
        EXPECT_STREQ(span.unit, c.unit);
        EXPECT_FLOAT_EQ(span.timeFactor, std::string_view(c.unit) == "ms" ? 0.001F : 1.0F);
    }
}

TEST(FileView, ShowsOneSweepPerScreen) {
    const SpanCase cases[] = {
        {"100 points at 1 ms", 0.001F, 100, 100, "ms"},      {"500 points at 1 ms", 0.001F, 500, 500, "ms"},
        {"2000 points at 1 ms", 0.001F, 2000, 2, " s"},      {"exactly one second", 0.5F, 2, 1, " s"},
        {"three quarters of a second", 0.25F, 3, 750, "ms"}, {"ten seconds", 0.1F, 100, 10, " s"},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TimeSpan span = blockSpan(c.interval, c.count);
        EXPECT_FLOAT_EQ(span.screenLen, c.screenLen);
        EXPECT_STREQ(span.unit, c.unit);
        EXPECT_FLOAT_EQ(span.timeFactor, std::string_view(c.unit) == "ms" ? 0.001F : 1.0F);
    }
}

TEST(FileView, CaptionsBlockModeWithTheSweepLength) {
    EXPECT_EQ(blockModeCaption(100, "ms"), "BLOCK MODE (100.ms)");
    EXPECT_EQ(blockModeCaption(2, " s"), "BLOCK MODE (2. s)");
    EXPECT_EQ(blockModeCaption(500, "ms"), "BLOCK MODE (500.ms)");
    EXPECT_EQ(blockModeCaption(12.25F, "ms"), "BLOCK MODE (12.3ms)");
    EXPECT_EQ(blockModeCaption(0.5F, "ms"), "BLOCK MODE (.5ms)");
    EXPECT_EQ(blockModeCaption(blockSpan(0.001F, 100).screenLen, "ms"), "BLOCK MODE (100.ms)");
    EXPECT_EQ(blockModeCaption(blockSpan(0.001F, 2000).screenLen, " s"), "BLOCK MODE (2. s)");
}

TEST(FileView, SplitsTheNameAtEitherSlashAndTheExtensionAtTheFirstDot) {
    struct Case {
        const char* path;
        const char* bare;
        const char* extension;
    };
    const Case cases[] = {
        {"c:\\nb_data\\data01.bin", "data01.bin", "bin"},
        {"/x/y/a.b.bin", "a.b.bin", "b.bin"},
        {"noext", "noext", "noext"},
        {"/home/lab/TRACE.PRN", "TRACE.PRN", "PRN"},
        {"/data/run.v2/file", "file", "file"},
        {"/data/mixed\\x.Bin", "x.Bin", "Bin"},
        {"c:\\runs/old\\y.prn", "y.prn", "prn"},
        {"file.", "file.", ""},
        {".bin", ".bin", "bin"},
        {"folder/", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(bareFileName(c.path), c.bare);
        EXPECT_EQ(fileExtension(c.path), c.extension);
    }
}

// ---- Written files read back ---------------------------------------------------------------------------

class WrittenFiles : public MainWindowTest {
protected:
    void open(const std::filesystem::path& file, std::initializer_list<QString> inputs = {}) {
        dialogs.answerOpen(QString::fromStdString(file.string()));
        for (const QString& input : inputs) {
            dialogs.answerInput(input);
        }
        window->mnuOpen_Click();
    }
    // Every sample of every recorded trace and every marker as written.
    void expectReadBack(int channels, const std::vector<std::int16_t>& samples,
                        const std::vector<std::int16_t>& markers) {
        const auto points = static_cast<Long>(markers.size());
        ASSERT_TRUE(state.DataLoaded);
        ASSERT_EQ(state.SampleCount, points);
        ASSERT_GE(state.TraceData.upper(), points);
        for (Long i = 0; i < points; ++i) {
            for (int c = 0; c < channels; ++c) {
                const float written = samples[static_cast<std::size_t>(i * channels + c)];
                ASSERT_EQ(state.RawData(c + 1, i), written) << "trace " << c + 1 << ", point " << i;
                ASSERT_EQ(state.TraceData(c + 1, i), written) << "trace " << c + 1 << ", point " << i;
            }
            ASSERT_EQ(state.Markers(i), markers[static_cast<std::size_t>(i)]) << "point " << i;
        }
    }
    TestFiles files;
};

TEST_F(WrittenFiles, AContinuousRecordingReadsBackAsWritten) {
    const binformat::Header header = continuousHeader(3, {1, 2, 3}, 250);
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < 3000; ++i) {
        samples.push_back(static_cast<std::int16_t>(i * 7 - 10000));
        samples.push_back(static_cast<std::int16_t>(i % 2 == 0 ? -32768 : 32767));
        samples.push_back(static_cast<std::int16_t>((i * 37) % 2001 - 1000));
        markers.push_back(static_cast<std::int16_t>(i % 500 == 0 ? 200 : (i >= 1000 && i < 1700 ? 100 : 0)));
    }
    const std::filesystem::path file = files.path("written.bin");
    std::optional<BinFileWriter> writer = BinFileWriter::create(file, header);
    ASSERT_TRUE(writer);
    // Written in three appends of different sizes, as a recording grows.
    const auto part = [&](std::size_t from, std::size_t to) {
        return std::pair(std::span(samples).subspan(from * 3, (to - from) * 3),
                         std::span(markers).subspan(from, to - from));
    };
    for (auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 1}, {1, 1234}, {1234, 3000}}) {
        const auto [someSamples, someMarkers] = part(from, to);
        ASSERT_TRUE(writer->append(someSamples, someMarkers));
    }
    EXPECT_FALSE(writer->append(std::span(samples).first(2), std::span(markers).first(1)))
        << "a record needs a sample per channel";
    ASSERT_TRUE(writer->close());
    ASSERT_EQ(std::filesystem::file_size(file), 128U + 3000U * 8U);

    open(file);
    expectReadBack(3, samples, markers);
    EXPECT_FALSE(state.BlockMode);
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.00025F);
    EXPECT_EQ(state.TracePeak(2), 32768);
}

TEST_F(WrittenFiles, ABlockRecordingReadsBackAsWritten) {
    binformat::Header header = blockHeader(2, {2, 1, 0}, 250, 2000);
    header.stimDelay = 20;
    header.stimCount = 2;
    header.stimInterval = 100;
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < 1000; ++i) {
        samples.push_back(static_cast<std::int16_t>(i % 250 * 10 - 1200));
        samples.push_back(static_cast<std::int16_t>(-(i / 250) * 100 - 1));
        markers.push_back(static_cast<std::int16_t>(i % 250 == 10 || i % 250 == 60 ? 200 : 0));
    }
    const std::filesystem::path file = files.path("block.bin");
    std::optional<BinFileWriter> writer = BinFileWriter::create(file, header);
    ASSERT_TRUE(writer);
    for (std::size_t sweep = 0; sweep < 4; ++sweep) {
        ASSERT_TRUE(writer->append(std::span(samples).subspan(sweep * 500, 500),
                                   std::span(markers).subspan(sweep * 250, 250)));
    }
    ASSERT_TRUE(writer->close());

    open(file);
    expectReadBack(2, samples, markers);
    EXPECT_TRUE(state.BlockMode);
    EXPECT_EQ(state.SweepLength, 250);
    EXPECT_EQ(state.CurveCount, 4);
    EXPECT_EQ(state.StimDelay, 20);
    EXPECT_EQ(state.StimCount, 2);
    EXPECT_EQ(state.StimInterval, 100);
    EXPECT_EQ(state.TraceChannel(1), 2);
    EXPECT_EQ(state.TraceChannel(2), 1);
}

TEST_F(WrittenFiles, AHeaderlessRecordingReadsBackAsWritten) {
    std::vector<std::int16_t> samples;
    const auto prefix = binformat::encodeHeaderlessPrefix(4);
    Bytes bytes(prefix.begin(), prefix.end());
    const binformat::RecordLayout layout = binformat::headerlessLayout(2);
    for (int i = 0; i < 700; ++i) {
        const std::array<std::int16_t, 2> record{static_cast<std::int16_t>(i * 3 - 1000),
                                                 static_cast<std::int16_t>(500 - i)};
        samples.insert(samples.end(), record.begin(), record.end());
        binformat::appendRecord(bytes, layout, record, 200); // the layout has no marker word
    }
    ASSERT_EQ(bytes.size(), 2U + 700U * 4U);
    open(files.write("old.bin", bytes), {QStringLiteral("2")});
    expectReadBack(2, samples, std::vector<std::int16_t>(700, 0));
    EXPECT_FLOAT_EQ(state.SampleInterval, 0.004F);
    EXPECT_EQ(state.ChannelCount, 2);
}

} // namespace
} // namespace trazel::testing
