#pragma once

#include <cmath>

namespace trazel {

// Sizes of controls are given in twips: 1440 to the inch of the screen's logical resolution.
constexpr double TwipsPerInch = 1440.0;

inline int twipsToPixels(double twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / TwipsPerInch));
}

inline double pixelsToTwips(double pixels, double dotsPerInch) {
    return pixels * TwipsPerInch / dotsPerInch;
}

} // namespace trazel
