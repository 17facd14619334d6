#include "core/number_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace trazel {

namespace {

// Texts for values that have no digits; shared by the formatting functions.
std::string nonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Inf" : "Inf";
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// An exponent belongs to the number only when at least one digit follows the 'e' and its sign.
std::size_t skipExponent(std::string_view text, std::size_t pos) {
    if (pos >= text.size() || (text[pos] != 'e' && text[pos] != 'E')) {
        return pos;
    }
    std::size_t digitsStart = pos + 1;
    if (digitsStart < text.size() && (text[digitsStart] == '+' || text[digitsStart] == '-')) {
        ++digitsStart;
    }
    const std::size_t digitsEnd = skipDigits(text, digitsStart);
    return digitsEnd > digitsStart ? digitsEnd : pos;
}

struct LeadingNumberText {
    bool negative = false;
    std::string_view unsignedText; // e.g. "12.5e3"; empty when the text starts with no number
};

LeadingNumberText findLeadingNumber(std::string_view text) {
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) {
        return {};
    }
    const bool negative = text[pos] == '-';
    if (text[pos] == '+' || negative) {
        ++pos;
    }
    const std::size_t start = pos;
    std::size_t end = skipDigits(text, start);
    bool hasDigits = end > start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits) {
        return {};
    }
    end = skipExponent(text, end);
    return {negative, text.substr(start, end - start)};
}

// Reads the exponent digits after 'e'; absurdly long exponents are clamped, which keeps the sign of
// the number's order of magnitude right.
long long exponentValue(std::string_view exponentText) {
    const bool negative = exponentText.front() == '-';
    if (negative || exponentText.front() == '+') {
        exponentText.remove_prefix(1);
    }
    long long value = 0;
    const auto result =
        std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = std::numeric_limits<int>::max();
    }
    return negative ? -value : value;
}

// from_chars reports both overflow and underflow as out of range and leaves the value unset, so the
// decimal order of magnitude decides which of the two happened.
bool isAtLeastOne(std::string_view unsignedText) {
    const std::size_t exponentPos = std::min(unsignedText.find_first_of("eE"), unsignedText.size());
    const std::string_view mantissa = unsignedText.substr(0, exponentPos);
    const long long exponent =
        exponentPos < unsignedText.size() ? exponentValue(unsignedText.substr(exponentPos + 1)) : 0;
    const std::size_t firstNonZero = mantissa.find_first_not_of("0.");
    if (firstNonZero == std::string_view::npos) {
        return false;
    }
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto first = static_cast<long long>(firstNonZero);
    // The mantissa lies in [10^(order - 1), 10^order).
    const long long order = first < point ? point - first : point - first + 1;
    return order + exponent > 0;
}

template <typename Whole> Whole toWhole(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = roundHalfEven(value);
    constexpr Whole lowest = std::numeric_limits<Whole>::min();
    constexpr Whole highest = std::numeric_limits<Whole>::max();
    if (rounded <= lowest) {
        return lowest;
    }
    if (rounded >= highest) {
        return highest;
    }
    return static_cast<Whole>(rounded);
}

bool isPlaceholder(char c) {
    return c == '#' || c == '0';
}

std::size_t countPlaceholders(std::string_view pattern) {
    return static_cast<std::size_t>(std::count_if(pattern.begin(), pattern.end(), isPlaceholder));
}

struct NumberPattern {
    std::string_view integerPart;  // pattern text before the decimal point
    std::string_view fractionPart; // pattern text after it
    bool hasPoint = false;
    std::size_t minIntegerDigits = 0;
    std::size_t minDecimals = 0;
    std::size_t maxDecimals = 0;
};

NumberPattern parsePattern(std::string_view pattern) {
    NumberPattern parsed;
    const std::size_t point = pattern.find('.');
    parsed.hasPoint = point != std::string_view::npos;
    parsed.integerPart = pattern.substr(0, point);
    parsed.fractionPart = parsed.hasPoint ? pattern.substr(point + 1) : std::string_view{};

    // Every placeholder from the leftmost '0' on is required, so "0#" always shows two digits.
    const std::size_t firstZero = parsed.integerPart.find('0');
    if (firstZero != std::string_view::npos) {
        parsed.minIntegerDigits = countPlaceholders(parsed.integerPart.substr(firstZero));
    }
    const std::size_t lastZero = parsed.fractionPart.rfind('0');
    if (lastZero != std::string_view::npos) {
        parsed.minDecimals = countPlaceholders(parsed.fractionPart.substr(0, lastZero + 1));
    }
    parsed.maxDecimals = countPlaceholders(parsed.fractionPart);
    return parsed;
}

struct DecimalText {
    std::string integerDigits;  // no leading zeros: empty for values below 1
    std::string fractionDigits; // exactly the requested number of decimals

    bool isZero() const {
        return integerDigits.empty() && fractionDigits.find_first_not_of('0') == std::string::npos;
    }
};

// The exact decimal expansion of a finite, non-negative double. It has as many decimals as the value has
// binary fraction digits: at most 53 - exponent, and never more than the 1074 of the smallest subnormal.
std::string exactDecimal(double magnitude) {
    int exponent = 0;
    std::frexp(magnitude, &exponent);
    const int precision = std::clamp(std::numeric_limits<double>::digits - exponent, 0, 1074);
    std::string text(static_cast<std::size_t>(std::numeric_limits<double>::max_exponent10 + 2 + precision),
                     '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), magnitude, std::chars_format::fixed, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
}

// Adds one unit in the last place of a digit string, growing it when the carry runs off the front.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Rounds half away from zero at the given number of decimals, working on the exact decimal digits so
// that values such as 1.005 (really 1.00499...) are not pushed up by binary noise.
DecimalText roundToDecimals(double magnitude, std::size_t decimals) {
    const std::string exact = exactDecimal(magnitude);
    const std::size_t point = std::min(exact.find('.'), exact.size());
    const std::string_view exactFraction =
        point < exact.size() ? std::string_view(exact).substr(point + 1) : std::string_view{};

    std::string digits = exact.substr(0, point);
    digits += exactFraction.substr(0, decimals);
    digits.append(decimals - std::min(decimals, exactFraction.size()), '0');
    if (decimals < exactFraction.size() && exactFraction[decimals] >= '5') {
        incrementDigits(digits);
    }

    const std::size_t integerLength = digits.size() - decimals;
    const std::size_t firstSignificant = std::min(digits.find_first_not_of('0'), integerLength);
    return {digits.substr(firstSignificant, integerLength - firstSignificant), digits.substr(integerLength)};
}

// Fills the integer placeholders from the right, one digit each, with every digit beyond them going into
// the leftmost one; literals keep their place. Without placeholders the digits stand before the point.
std::string renderIntegerPart(std::string_view pattern, const std::string& digits) {
    std::size_t placeholdersLeft = countPlaceholders(pattern);
    if (placeholdersLeft == 0) {
        return std::string(pattern) + digits;
    }
    std::string reversed;
    std::size_t digitsLeft = digits.size();
    for (auto it = pattern.rbegin(); it != pattern.rend(); ++it) {
        if (!isPlaceholder(*it)) {
            reversed += *it;
            continue;
        }
        --placeholdersLeft;
        const std::size_t take = placeholdersLeft == 0 ? digitsLeft : std::min<std::size_t>(digitsLeft, 1);
        for (std::size_t i = 0; i < take; ++i) {
            reversed += digits[--digitsLeft];
        }
    }
    return {reversed.rbegin(), reversed.rend()};
}

// Fills the decimal placeholders from the left; those past the shown digits stay empty.
std::string renderFractionPart(std::string_view pattern, std::string_view digits) {
    std::string text;
    std::size_t next = 0;
    for (const char c : pattern) {
        if (!isPlaceholder(c)) {
            text += c;
        } else if (next < digits.size()) {
            text += digits[next++];
        }
    }
    return text;
}

} // namespace

double leadingNumber(std::string_view text) {
    const LeadingNumberText number = findLeadingNumber(text);
    if (number.unsignedText.empty()) {
        return 0.0;
    }
    // from_chars, unlike strtod, ignores the process locale (Qt applications adopt the user's).
    const std::string_view digits = number.unsignedText;
    double magnitude = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude = isAtLeastOne(digits) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return number.negative ? -magnitude : magnitude;
}

std::optional<double> numericValue(std::string_view text) {
    const LeadingNumberText number = findLeadingNumber(text);
    if (number.unsignedText.empty()) {
        return std::nullopt;
    }
    const auto end =
        static_cast<std::size_t>(number.unsignedText.data() + number.unsignedText.size() - text.data());
    if (text.find_first_not_of(" \t", end) != std::string_view::npos) {
        return std::nullopt;
    }
    return leadingNumber(text);
}

double roundHalfEven(double value) {
    const double awayFromZero = std::round(value);
    if (std::abs(awayFromZero - value) != 0.5) {
        return awayFromZero;
    }
    // value / 2 ends in .25 or .75, so rounding it is never a tie.
    return 2.0 * std::round(value / 2.0);
}

std::int32_t toLong(double value) {
    return toWhole<std::int32_t>(value);
}

std::int16_t toInteger(double value) {
    return toWhole<std::int16_t>(value);
}

std::string formatNumber(double value, std::string_view pattern) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    const NumberPattern layout = parsePattern(pattern);
    const DecimalText decimal = roundToDecimals(std::abs(value), layout.maxDecimals);

    std::string integerDigits = decimal.integerDigits;
    if (integerDigits.size() < layout.minIntegerDigits) {
        integerDigits.insert(0, layout.minIntegerDigits - integerDigits.size(), '0');
    }
    std::string_view fractionDigits = decimal.fractionDigits;
    const std::size_t lastShown = fractionDigits.find_last_not_of('0');
    const std::size_t significantDecimals = lastShown == std::string_view::npos ? 0 : lastShown + 1;
    fractionDigits = fractionDigits.substr(0, std::max(significantDecimals, layout.minDecimals));

    // A value that rounds to zero shows no sign, even when it was negative.
    std::string text = std::signbit(value) && !decimal.isZero() ? "-" : "";
    text += renderIntegerPart(layout.integerPart, integerDigits);
    if (layout.hasPoint) {
        text += '.';
        text += renderFractionPart(layout.fractionPart, fractionDigits);
    }
    return text;
}

std::string plainText(float value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    if (value == 0.0f) {
        return "0"; // also for -0, which Basic shows unsigned
    }
    // The general format with 7 significant digits already drops trailing zeros and the trailing point and
    // switches to exponent notation below 1E-04 and from 1E+07 on, as Basic does; Basic writes 'E'.
    constexpr int significantDigits = 7;
    std::array<char, 32> buffer{}; // on the stack: the curve-point copy writes millions of values
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, significantDigits);
    std::string text(buffer.data(), result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace trazel
