#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Labtech data files (.prn): nothing but little-endian 32-bit floats, one per sample, the channels of a
// point one after the other (channel 1 first). Samples are kept as 100 times the value in the file.
namespace trazel::prnformat {

inline constexpr float ValueScale = 100;

// Points in a file of the given length: length / (4 x channels), halves to even.
std::int64_t pointCount(std::uint64_t fileLength, int channels);

// Where decoded points go: channel c (0-based) of point i lands in samples[c][i] as 100 x the value;
// peaks[c] rises to the largest magnitude of the values as they stand in the file.
struct PointTarget {
    std::array<float*, 2> samples{};
    std::array<float, 2>* peaks = nullptr;
};

// Decodes `count` points of `channels` values from bytes; values missing at the end read as 0.
void decodePoints(std::span<const std::uint8_t> bytes, int channels, std::int64_t count,
                  const PointTarget& target);

// Appends one point: the file values of its channels, channel 1 first.
void appendPoint(std::vector<std::uint8_t>& out, std::span<const float> values);

} // namespace trazel::prnformat
