// The sample values of the view as clipboard text for a spreadsheet.

#include "export/curve_points.h"

#include "core/number_rules.h"
#include "export/clipboard_text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trazel {

namespace {

// The settings behind the step are Singles, good to about one part in ten million: a fraction within one
// part in a million of the step is taken for the step itself.
constexpr double StepTolerance = 1E-6;
constexpr int StepDigits = 7; // significant digits of the step that the times show
constexpr int MostDecimals = 18;
constexpr int MostFractionLevels = 32;
// Keeps the products of the time arithmetic within 64 bits.
constexpr std::uint64_t LargestDenominator = std::uint64_t{1} << 32;

struct Fraction {
    std::uint64_t numerator = 0;
    std::uint64_t denominator = 1;
};

// A range that holds no fraction of a denominator up to LargestDenominator within the levels searched.
constexpr Fraction NoShortFraction{LargestDenominator + 1, LargestDenominator + 1};

// The fraction with the smallest denominator in [lo, hi] (0 < lo <= hi): the smallest whole number there,
// or else the whole part a of lo plus one over the simplest fraction in [1 / (hi - a), 1 / (lo - a)].
Fraction simplestBetween(double lo, double hi, int levels) {
    if (levels == 0 || lo > static_cast<double>(LargestDenominator)) {
        return NoShortFraction;
    }
    const double whole = std::ceil(lo);
    if (whole <= hi) {
        return {static_cast<std::uint64_t>(whole), 1};
    }
    const double a = std::floor(lo);
    const Fraction inner = simplestBetween(1 / (hi - a), 1 / (lo - a), levels - 1);
    if (inner.numerator > LargestDenominator) {
        return NoShortFraction;
    }
    return {static_cast<std::uint64_t>(a) * inner.numerator + inner.denominator, inner.numerator};
}

Fraction stepFraction(double step) {
    if (!(step > 0 && step < static_cast<double>(LargestDenominator))) {
        return {};
    }
    const Fraction simplest =
        simplestBetween(step * (1 - StepTolerance), step * (1 + StepTolerance), MostFractionLevels);
    if (simplest.denominator <= LargestDenominator) {
        return simplest;
    }
    const auto units = static_cast<double>(LargestDenominator); // the step in 2^-32 units
    return {static_cast<std::uint64_t>(std::llround(step * units)), LargestDenominator};
}

// The decimals that show `step` to StepDigits significant digits.
int decimalsFor(double step) {
    if (!(step > 0)) {
        return 0;
    }
    return std::clamp(StepDigits - 1 - static_cast<int>(std::floor(std::log10(step))), 0, MostDecimals);
}

char separatorOf(PointsFormat format) {
    return format == PointsFormat::Csv ? ',' : '\t';
}

std::int64_t sizeOf(std::span<const float> values) {
    return static_cast<std::int64_t>(values.size());
}

} // namespace

// The step between samples, screen length over screen points, comes from single-precision values, and a
// long recording multiplies their noise into the digits shown (sample 10,000,000 at 10 kHz would read
// 999.9999 s). So the step is taken as the simplest fraction within one part in a million of it (1/10000 s
// at 10 kHz, 1/300 s at 300 Hz, 3/100 ms for 30 us), each time is sample x fraction worked out exactly,
// and written with the decimals that show the step to 7 significant digits, rounded half up, without
// trailing zeros: 0.001, 0.002 … at 1 kHz in seconds, 1000.0001 for sample 10,000,001 at 10 kHz,
// 0.003333333, 0.006666667 and 1 at 300 Hz.
SampleTimes::SampleTimes(double screenLen, double screenPoints) {
    const double step = screenLen / screenPoints;
    const Fraction fraction = stepFraction(step);
    m_whole = fraction.numerator / fraction.denominator;
    m_numerator = fraction.numerator % fraction.denominator;
    m_denominator = fraction.denominator;
    m_decimals = decimalsFor(step);
}

std::string SampleTimes::text(std::int64_t samples) const {
    // sample x numerator / denominator without overflow: the remainders stay below 2^32.
    const auto i = static_cast<std::uint64_t>(samples);
    const std::uint64_t part = (i % m_denominator) * m_numerator;
    std::uint64_t whole = i * m_whole + i / m_denominator * m_numerator + part / m_denominator;
    std::uint64_t rest = part % m_denominator;
    // The decimals by long division, nine at a time (10^9 x a remainder stays within 64 bits).
    std::array<char, MostDecimals> digits{};
    for (int written = 0; written < m_decimals;) {
        const int count = std::min(9, m_decimals - written);
        std::uint64_t scale = 1;
        for (int d = 0; d < count; ++d) {
            scale *= 10;
        }
        rest *= scale;
        std::uint64_t chunk = rest / m_denominator;
        rest %= m_denominator;
        for (int d = written + count - 1; d >= written; --d) {
            digits[static_cast<std::size_t>(d)] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
        written += count;
    }
    if (2 * rest >= m_denominator) { // half up
        int d = m_decimals - 1;
        for (; d >= 0 && digits[static_cast<std::size_t>(d)] == '9'; --d) {
            digits[static_cast<std::size_t>(d)] = '0';
        }
        if (d >= 0) {
            ++digits[static_cast<std::size_t>(d)];
        } else {
            ++whole;
        }
    }
    auto shown = static_cast<std::size_t>(m_decimals);
    while (shown > 0 && digits[shown - 1] == '0') {
        --shown;
    }
    std::string text = std::to_string(whole);
    if (shown > 0) {
        text += '.';
        text.append(digits.data(), shown);
    }
    return text;
}

std::string curvePointsText(const PointStretch& stretch, const SampleTimes& times, PointsFormat format) {
    const char separator = separatorOf(format);
    std::int64_t last = std::min(stretch.last, static_cast<std::int64_t>(stretch.markers.size()) - 1);
    std::size_t columns = 0;
    for (const PointTrace& trace : stretch.traces) {
        if (stretch.single) {
            last = std::min(last, sizeOf(trace.single) - 1);
        }
        columns += (stretch.single ? 1 : 0) + (stretch.average ? 1 : 0);
    }
    ClipboardText text;
    text.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, last - stretch.first + 2)) *
                 (16 + 14 * columns));
    std::string& header = text.line();
    header += "time";
    header += separator;
    for (const PointTrace& trace : stretch.traces) {
        const std::string name = "ch" + std::to_string(trace.number);
        if (stretch.single) {
            header += name + separator;
        }
        if (stretch.average) {
            header += name + "-ave" + separator;
        }
    }
    header += "marker";
    for (std::int64_t i = stretch.first; i <= last; ++i) {
        std::string& line = text.line();
        line += times.text(i - stretch.timeZero);
        line += separator;
        for (const PointTrace& trace : stretch.traces) {
            if (stretch.single) {
                line += plainText(trace.single[static_cast<std::size_t>(i)]);
                line += separator;
            }
            // The average is aligned to the start of the view, as it is drawn.
            if (const std::int64_t k = i - stretch.first; stretch.average && k < sizeOf(trace.average)) {
                line += plainText(trace.average[static_cast<std::size_t>(k)]);
            }
            if (stretch.average) {
                line += separator;
            }
        }
        line += std::to_string(stretch.markers[static_cast<std::size_t>(i)]);
    }
    return std::move(text).take();
}

std::string overplotPointsText(std::span<const float> trace, std::int64_t sweepLength,
                               std::int64_t curveCount, const SampleTimes& times, PointsFormat format) {
    const char separator = separatorOf(format);
    const auto endLine = [format](std::string& line) {
        if (format == PointsFormat::Csv) {
            line.pop_back(); // no empty column after the last curve
        }
    };
    ClipboardText text;
    text.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, sweepLength + 1)) *
                 (16 + 14 * static_cast<std::size_t>(std::max<std::int64_t>(0, curveCount))));
    std::string& header = text.line();
    header += "time";
    header += separator;
    for (std::int64_t k = 1; k <= curveCount; ++k) {
        header += std::to_string(k);
        header += separator;
    }
    endLine(header);
    for (std::int64_t i = 0; i < sweepLength; ++i) {
        std::string& line = text.line();
        line += times.text(i);
        line += separator;
        for (std::int64_t k = 0; k < curveCount; ++k) {
            if (const std::int64_t at = k * sweepLength + i; at < sizeOf(trace)) {
                line += plainText(trace[static_cast<std::size_t>(at)]);
            }
            line += separator;
        }
        endLine(line);
    }
    return std::move(text).take();
}

} // namespace trazel
