#pragma once

#include "core/app_state.h"

namespace trazel {

// The bright colour of trace t (1..3): white, yellow, cyan.
constexpr Colour brightColour(int t) {
    constexpr Colour colours[] = {rgb(255, 255, 255), rgb(255, 255, 0), rgb(0, 255, 255)};
    return colours[t - 1];
}

// The pen of averaged curves drawn under single ones.
constexpr Colour AverageGrey = rgb(150, 150, 150);

// Single curves in the trace colours, averages in grey.
inline void resetCurvePens(AppState& s) {
    for (int t = 1; t <= TraceCount; ++t) {
        s.SingleColour(t) = brightColour(t);
        s.AverageColour(t) = AverageGrey;
    }
}

} // namespace trazel
