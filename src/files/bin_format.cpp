#include "files/bin_format.h"

#include "core/number_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trazel::binformat {

namespace {

std::int16_t loadInt16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

std::int32_t loadInt32(const std::uint8_t* p) {
    const std::uint32_t value = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                (static_cast<std::uint32_t>(p[2]) << 16) |
                                (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(value);
}

void storeInt16(std::uint8_t* p, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    p[0] = static_cast<std::uint8_t>(bits & 0xFF);
    p[1] = static_cast<std::uint8_t>(bits >> 8);
}

void storeInt32(std::uint8_t* p, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
    }
}

// Header field offsets.
constexpr std::size_t ChannelCountAt = 12;
constexpr std::size_t TraceChannelsAt = 14;
constexpr std::size_t BlockFlagAt = 20;
constexpr std::size_t PointsPerSweepAt = 22;
constexpr std::size_t StimDelayAt = 26;
constexpr std::size_t StimCountAt = 28;
constexpr std::size_t StimIntervalAt = 30;
constexpr std::size_t SampleIntervalAt = 32;

void raisePeak(std::array<float, MaxChannels>* peaks, int c, float value) {
    if (peaks) {
        float& peak = (*peaks)[static_cast<std::size_t>(c)];
        peak = std::max(peak, std::abs(value));
    }
}

// Decodes the records for points first .. end - 1 from p, which holds exactly those records.
void decodeWholeRecords(const std::uint8_t* p, const RecordLayout& layout, std::int64_t first,
                        std::int64_t end, const RecordTarget& target) {
    const std::size_t size = layout.recordSize();
    for (std::int64_t i = first; i < end; ++i, p += size) {
        for (int c = 0; c < layout.channels; ++c) {
            const float value = loadInt16(p + 2 * c);
            target.samples[static_cast<std::size_t>(c)][i] = value;
            raisePeak(target.peaks, c, value);
        }
        if (layout.hasMarker) {
            target.markers[i] = loadInt16(p + 2 * layout.channels);
        }
    }
}

} // namespace

RecordLayout versionedLayout(int channels) {
    return {channels, true, HeaderSize};
}

RecordLayout headerlessLayout(int channels) {
    return {channels, false, HeaderlessPrefixSize};
}

bool isVersioned(std::span<const std::uint8_t> firstBytes) {
    return firstBytes.size() >= VersionMarker.size() &&
           std::memcmp(firstBytes.data(), VersionMarker.data(), VersionMarker.size()) == 0;
}

std::array<std::uint8_t, HeaderSize> encodeHeader(const Header& header) {
    std::array<std::uint8_t, HeaderSize> bytes{};
    std::memcpy(bytes.data(), VersionMarker.data(), VersionMarker.size());
    storeInt16(&bytes[ChannelCountAt], header.channelCount);
    for (std::size_t i = 0; i < header.traceChannels.size(); ++i) {
        storeInt16(&bytes[TraceChannelsAt + 2 * i], header.traceChannels[i]);
    }
    storeInt16(&bytes[BlockFlagAt], header.blockFlag);
    storeInt32(&bytes[PointsPerSweepAt], header.pointsPerSweep);
    storeInt16(&bytes[StimDelayAt], header.stimDelay);
    storeInt16(&bytes[StimCountAt], header.stimCount);
    storeInt16(&bytes[StimIntervalAt], header.stimInterval);
    storeInt32(&bytes[SampleIntervalAt], header.sampleIntervalUs);
    return bytes;
}

Header decodeHeader(std::span<const std::uint8_t, HeaderSize> bytes) {
    Header header;
    header.channelCount = loadInt16(&bytes[ChannelCountAt]);
    for (std::size_t i = 0; i < header.traceChannels.size(); ++i) {
        header.traceChannels[i] = loadInt16(&bytes[TraceChannelsAt + 2 * i]);
    }
    header.blockFlag = loadInt16(&bytes[BlockFlagAt]);
    header.pointsPerSweep = loadInt32(&bytes[PointsPerSweepAt]);
    header.stimDelay = loadInt16(&bytes[StimDelayAt]);
    header.stimCount = loadInt16(&bytes[StimCountAt]);
    header.stimInterval = loadInt16(&bytes[StimIntervalAt]);
    header.sampleIntervalUs = loadInt32(&bytes[SampleIntervalAt]);
    return header;
}

std::array<std::uint8_t, HeaderlessPrefixSize> encodeHeaderlessPrefix(std::int16_t sampleIntervalMs) {
    std::array<std::uint8_t, HeaderlessPrefixSize> bytes{};
    storeInt16(bytes.data(), sampleIntervalMs);
    return bytes;
}

std::int16_t decodeHeaderlessInterval(std::span<const std::uint8_t, HeaderlessPrefixSize> bytes) {
    return loadInt16(bytes.data());
}

std::optional<std::int64_t> recordCount(std::uint64_t fileLength, const RecordLayout& layout) {
    if (fileLength < layout.dataOffset || layout.channels < 1) {
        return std::nullopt;
    }
    const double records =
        static_cast<double>(fileLength - layout.dataOffset) / static_cast<double>(layout.recordSize());
    return static_cast<std::int64_t>(roundHalfEven(records));
}

void decodeRecords(std::span<const std::uint8_t> bytes, const RecordLayout& layout, std::int64_t count,
                   const RecordTarget& target) {
    const std::size_t size = layout.recordSize();
    const auto complete = static_cast<std::int64_t>(
        std::min<std::uint64_t>(bytes.size() / size, static_cast<std::uint64_t>(count)));
    decodeWholeRecords(bytes.data(), layout, 0, complete, target);
    if (complete < count) {
        // Records cut short by the end of the file: the words that are there, then zeros.
        std::vector<std::uint8_t> padded(static_cast<std::size_t>(count - complete) * size, 0);
        const std::size_t consumed = static_cast<std::size_t>(complete) * size;
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(consumed), bytes.end(), padded.begin());
        decodeWholeRecords(padded.data(), layout, complete, count, target);
    }
}

void appendRecord(std::vector<std::uint8_t>& out, const RecordLayout& layout,
                  std::span<const std::int16_t> samples, std::int16_t marker) {
    const std::size_t at = out.size();
    out.resize(at + layout.recordSize());
    for (int c = 0; c < layout.channels; ++c) {
        const std::int16_t value =
            static_cast<std::size_t>(c) < samples.size() ? samples[static_cast<std::size_t>(c)] : 0;
        storeInt16(&out[at + 2 * static_cast<std::size_t>(c)], value);
    }
    if (layout.hasMarker) {
        storeInt16(&out[at + 2 * static_cast<std::size_t>(layout.channels)], marker);
    }
}

} // namespace trazel::binformat
