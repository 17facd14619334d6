#include "acquisition/time_base.h"

#include "core/number_rules.h"

#include <cmath>

namespace trazel {

std::optional<Long> screenPointCount(Single timeFactor, Single screenLen, Single sampleInterval) {
    const double points = roundHalfEven(static_cast<double>(timeFactor) * screenLen / sampleInterval);
    // NaN (a zero interval over a zero span) fails both comparisons.
    if (!(points >= 1 && points <= MaxSweepLength)) {
        return std::nullopt;
    }
    return static_cast<Long>(points);
}

std::optional<SweepSpan> sweepSpan(double ms, Single sampleInterval) {
    const TimeSpan time = ms <= 1000 ? TimeSpan{static_cast<Single>(ms), 0.001F, "ms"}
                                     : TimeSpan{static_cast<Single>(ms / 1000), 1, " s"};
    const std::optional<Long> points = screenPointCount(time.timeFactor, time.screenLen, sampleInterval);
    if (!points) {
        return std::nullopt;
    }
    return SweepSpan{time, *points};
}

std::string screenLengthText(Single screenLen) {
    const bool nearlyWhole = std::abs(screenLen - roundHalfEven(screenLen)) < 0.1;
    return formatNumber(screenLen, nearlyWhole ? "####" : "####.#");
}

} // namespace trazel
