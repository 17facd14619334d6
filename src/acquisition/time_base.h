#pragma once

#include "core/app_state.h"
#include "files/file_view.h"

#include <optional>
#include <string>

namespace trazel {

// Points per sweep beyond which the view's Single point positions no longer hold every whole point.
constexpr Long MaxSweepLength = 1 << 24;

// Points of one screen (or sweep) of TimeFactor x ScreenLen seconds at the sample interval, to the
// nearest whole number; nothing when that is fewer than one point or more than MaxSweepLength.
std::optional<Long> screenPointCount(Single timeFactor, Single screenLen, Single sampleInterval);

// The time base of a sweep typed in milliseconds: up to 1000 ms the screen is in "ms", beyond in " s".
struct SweepSpan {
    TimeSpan time;
    Long sweepLength = 0; // points
};

// The sweep of `ms` milliseconds at the sample interval; nothing when it holds no valid sweep.
std::optional<SweepSpan> sweepSpan(double ms, Single sampleInterval);

// The screen length as its field shows it: whole within 0.1 of a whole number ("####"), otherwise with one
// decimal ("####.#"): 12.04 -> "12", 12.5 -> "12.5".
std::string screenLengthText(Single screenLen);

} // namespace trazel
