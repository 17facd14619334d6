#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The byte layout of the recorded data files (.bin), read and written here only.
//
// Versioned layout: a 128-byte header that begins with "Version 1.00", then one record per point: one
// 16-bit sample for each recorded trace, in trace order, and a 16-bit marker word (0, 100 marker on,
// 200 stimulus). Headerless (older) layout: a 16-bit sample interval in ms, then records of samples only.
// Every number is little-endian; the data run to the end of the file.
namespace trazel::binformat {

inline constexpr std::string_view VersionMarker = "Version 1.00";
inline constexpr std::size_t HeaderSize = 128;
inline constexpr std::size_t HeaderlessPrefixSize = 2;
inline constexpr int MaxChannels = 3;

struct Header {
    std::int16_t channelCount = 1;
    std::array<std::int16_t, MaxChannels> traceChannels{}; // input channel per trace; <= 0: not recorded
    std::int16_t blockFlag = 0;                            // 0 continuous; the writer stores -1 for block
    std::int32_t pointsPerSweep = 0;
    std::int16_t stimDelay = 0; // ms
    std::int16_t stimCount = 0;
    std::int16_t stimInterval = 0;     // ms
    std::int32_t sampleIntervalUs = 0; // microseconds between records

    bool operator==(const Header&) const = default;
};

// How the records of a file are laid out.
struct RecordLayout {
    int channels = 1;
    bool hasMarker = true;
    std::size_t dataOffset = HeaderSize;

    std::size_t recordSize() const { return 2 * static_cast<std::size_t>(channels + (hasMarker ? 1 : 0)); }
};

RecordLayout versionedLayout(int channels);
RecordLayout headerlessLayout(int channels);

bool isVersioned(std::span<const std::uint8_t> firstBytes);
std::array<std::uint8_t, HeaderSize> encodeHeader(const Header& header);
Header decodeHeader(std::span<const std::uint8_t, HeaderSize> bytes);
std::array<std::uint8_t, HeaderlessPrefixSize> encodeHeaderlessPrefix(std::int16_t sampleIntervalMs);
std::int16_t decodeHeaderlessInterval(std::span<const std::uint8_t, HeaderlessPrefixSize> bytes);

// Records in a file of the given length: the data bytes over the record size, rounded to the nearest
// whole number with halves to even (so a trailing partial record of more than half a record counts, and
// one of exactly half when that makes the count even).
// Nothing when the file is shorter than its header.
std::optional<std::int64_t> recordCount(std::uint64_t fileLength, const RecordLayout& layout);

// Where decoded records go: trace c (0-based) of point i lands in samples[c][i]; markers[i] takes the
// marker word (left alone when the layout has none); peaks[c] rises to the largest magnitude seen.
struct RecordTarget {
    std::array<float*, MaxChannels> samples{};
    std::int16_t* markers = nullptr;
    std::array<float, MaxChannels>* peaks = nullptr;
};

// Decodes `count` records from bytes; words missing at the end of the bytes read as 0.
void decodeRecords(std::span<const std::uint8_t> bytes, const RecordLayout& layout, std::int64_t count,
                   const RecordTarget& target);

// Appends one record: a sample per channel of the layout, then the marker word when it has one.
void appendRecord(std::vector<std::uint8_t>& out, const RecordLayout& layout,
                  std::span<const std::int16_t> samples, std::int16_t marker);

} // namespace trazel::binformat
