#pragma once

#include <cstdint>

namespace trazel {

// A colour number: red in the low byte, green in the second byte, blue in the third.
using Colour = std::int32_t;

constexpr Colour rgb(int red, int green, int blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

constexpr int redOf(Colour colour) {
    return colour & 0xFF;
}
constexpr int greenOf(Colour colour) {
    return (colour >> 8) & 0xFF;
}
constexpr int blueOf(Colour colour) {
    return (colour >> 16) & 0xFF;
}

} // namespace trazel
