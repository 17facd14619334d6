#include "files/file_view.h"

#include "core/number_rules.h"

namespace trazel {

namespace {

double smallestPowerOfTwoNotBelow(double value) {
    double power = 1;
    while (power < value) {
        power *= 2;
    }
    return power;
}

} // namespace

TimeSpan continuousSpan(Single sampleInterval, Long sampleCount) {
    const double seconds = static_cast<double>(sampleInterval) * sampleCount;
    if (roundHalfEven(seconds) < 2) {
        const double ms = roundHalfEven(seconds * 1000);
        return {static_cast<Single>(smallestPowerOfTwoNotBelow(ms)), 0.001F, "ms"};
    }
    return {static_cast<Single>(smallestPowerOfTwoNotBelow(roundHalfEven(seconds))), 1, " s"};
}

TimeSpan blockSpan(Single sampleInterval, Long sweepLength) {
    const double seconds = static_cast<double>(sampleInterval) * sweepLength;
    if (seconds < 1) {
        return {static_cast<Single>(seconds * 1000), 0.001F, "ms"};
    }
    return {static_cast<Single>(seconds), 1, " s"};
}

std::string blockModeCaption(Single screenLen, std::string_view unit) {
    return "BLOCK MODE (" + formatNumber(screenLen, "#####.#") + std::string(unit) + ")";
}

std::string bareFileName(std::string_view path) {
    const std::size_t lastSeparator = path.find_last_of("\\/");
    return std::string(lastSeparator == std::string_view::npos ? path : path.substr(lastSeparator + 1));
}

std::string fileExtension(std::string_view path) {
    const std::string bare = bareFileName(path);
    const std::size_t dot = bare.find('.');
    return dot == std::string::npos ? bare : bare.substr(dot + 1);
}

} // namespace trazel
