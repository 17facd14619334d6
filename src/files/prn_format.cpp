#include "files/prn_format.h"

#include "core/number_rules.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace trazel::prnformat {

namespace {

float loadFloat(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) |
                               (static_cast<std::uint32_t>(p[3]) << 24);
    return std::bit_cast<float>(bits);
}

} // namespace

std::int64_t pointCount(std::uint64_t fileLength, int channels) {
    return static_cast<std::int64_t>(roundHalfEven(static_cast<double>(fileLength) / (4.0 * channels)));
}

void decodePoints(std::span<const std::uint8_t> bytes, int channels, std::int64_t count,
                  const PointTarget& target) {
    const auto values = static_cast<std::int64_t>(bytes.size() / 4);
    for (std::int64_t i = 0; i < count; ++i) {
        for (int c = 0; c < channels; ++c) {
            const std::int64_t index = i * channels + c;
            const float value = index < values ? loadFloat(bytes.data() + 4 * index) : 0.0F;
            target.samples[static_cast<std::size_t>(c)][i] = ValueScale * value;
            if (target.peaks) {
                float& peak = (*target.peaks)[static_cast<std::size_t>(c)];
                peak = std::abs(value) > peak ? std::abs(value) : peak;
            }
        }
    }
}

void appendPoint(std::vector<std::uint8_t>& out, std::span<const float> values) {
    for (float value : values) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF));
        }
    }
}

} // namespace trazel::prnformat
