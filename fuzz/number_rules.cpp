// The typed-number rule and the format patterns. Input: eight bytes of a double (the first four also
// read as a float), a display pattern up to the first newline, then a typed text.

#include "core/number_rules.h"

#include "targets.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h> // newlocale, for strtod_l
#include <string>

namespace trazel::fuzz {

namespace {

// Decimal numbers read by the C library in the "C" locale: another way to them than the program's.
double cNumber(const std::string& text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text.c_str(), nullptr, c);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitsFrom(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
    }
    return end;
}

// Where the leading number of a typed text begins and ends (begin == end: none): blanks, a sign, digits
// with at most one point among or before them, and an exponent only with digits.
std::pair<std::size_t, std::size_t> leadingNumberAt(std::string_view text) {
    const std::size_t begin = std::min(text.find_first_not_of(" \t"), text.size());
    std::size_t at = begin < text.size() && (text[begin] == '+' || text[begin] == '-') ? begin + 1 : begin;
    const std::size_t whole = digitsFrom(text, at);
    std::size_t end = whole;
    if (end < text.size() && text[end] == '.') {
        end = digitsFrom(text, end + 1);
    }
    if (end - at - (end > whole ? 1 : 0) == 0) {
        return {begin, begin};
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        at = end + 1 < text.size() && (text[end + 1] == '+' || text[end + 1] == '-') ? end + 2 : end + 1;
        end = digitsFrom(text, at) > at ? digitsFrom(text, at) : end;
    }
    return {begin, end};
}

void checkTypedNumber(std::string_view text) {
    const double value = leadingNumber(text);
    require(!std::isnan(value), "a typed number is finite or infinite, never NaN");
    const auto [begin, end] = leadingNumberAt(text);
    const double expected = begin == end ? 0.0 : cNumber(std::string(text.substr(begin, end - begin)));
    require(value == expected, "the leading number as the C library reads it");
    const std::optional<double> whole = numericValue(text);
    const bool onlyNumber = begin < end && text.find_first_not_of(" \t", end) == std::string_view::npos;
    require(whole.has_value() == onlyNumber, "an answer is a number when nothing but blanks is around it");
    require(!whole || *whole == value, "the answer's number is its leading number");
}

void checkRounding(double value) {
    const double rounded = roundHalfEven(value);
    require(std::isnan(value) ? std::isnan(rounded) : rounded == std::nearbyint(value), "halves to even");
    const double clamped = std::isnan(value) ? 0 : std::clamp(rounded, -32768.0, 32767.0);
    require(toInteger(value) == clamped, "a whole Integer, clamped");
}

// A display pattern reduced to its placeholders and its decimal point.
struct Skeleton {
    std::string pattern;
    std::size_t minWhole = 0;    // placeholders from the leftmost '0' before the point on
    std::size_t minDecimals = 0; // placeholders after the point up to its rightmost '0'
    std::size_t maxDecimals = 0;
    bool point = false;
};

Skeleton skeletonOf(std::string_view pattern) {
    Skeleton s;
    bool zeroSeen = false;
    std::size_t decimals = 0;
    for (const char c : pattern) {
        if (c == '.' && !s.point) {
            s.point = true;
            s.pattern += c;
        } else if (c == '0' || c == '#') {
            s.pattern += c;
            zeroSeen = zeroSeen || (c == '0' && !s.point);
            if (s.point) {
                ++decimals;
                s.minDecimals = c == '0' ? decimals : s.minDecimals;
            } else if (zeroSeen) {
                ++s.minWhole;
            }
        }
    }
    s.maxDecimals = decimals;
    return s;
}

// The digits the pattern fills, sign and point of a value formatted with a pattern of placeholders only.
void checkSkeleton(double value, const Skeleton& skeleton) {
    const std::string text = formatNumber(value, skeleton.pattern);
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view number = std::string_view(text).substr(negative ? 1 : 0);
    const std::size_t point = std::min(number.find('.'), number.size());
    const std::string_view whole = number.substr(0, point);
    const std::string_view decimals = number.substr(std::min(point + 1, number.size()));
    require((point < number.size()) == skeleton.point, "a point exactly when the pattern has one");
    require(std::ranges::all_of(whole, isDigit) && std::ranges::all_of(decimals, isDigit), "digits only");
    require(decimals.size() >= skeleton.minDecimals && decimals.size() <= skeleton.maxDecimals &&
                (decimals.size() == skeleton.minDecimals || decimals.back() != '0'),
            "the required decimals, and optional ones only when not zero");
    require(whole.size() >= skeleton.minWhole && (whole.size() <= skeleton.minWhole || whole.front() != '0'),
            "the required whole digits, and no other leading zero");
    const double magnitude = whole.empty() && decimals.empty() ? 0 : cNumber("0" + std::string(number));
    require(negative == (std::signbit(value) && magnitude != 0), "a sign on values that do not round to 0");
    const double step = std::pow(10.0, -static_cast<double>(skeleton.maxDecimals));
    require(std::abs(magnitude - std::abs(value)) <= 0.5 * step * (1 + 1e-12) + std::abs(value) * 1e-15 +
                                                         std::numeric_limits<double>::denorm_min(),
            "the value rounded to the pattern's decimals");
}

void checkFormat(double value, std::string_view pattern) {
    const std::string text = formatNumber(value, pattern);
    if (!std::isfinite(value)) {
        require(text == (std::isnan(value) ? "NaN"
                         : value < 0       ? "-Inf"
                                           : "Inf"),
                "NaN and infinities by name");
        return;
    }
    // Literals keep their place: they stand in the text in their order.
    const std::size_t point = pattern.find('.');
    std::string_view rest = text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '#' && pattern[i] != '0' && i != point) {
            const std::size_t at = rest.find(pattern[i]);
            require(at != std::string_view::npos, "every literal of the pattern in the text");
            rest.remove_prefix(at + 1);
        }
    }
    checkSkeleton(value, skeletonOf(pattern));
}

void checkPlainText(float value) {
    const std::string text = plainText(value);
    if (!std::isfinite(value) || value == 0) {
        require(text == (std::isnan(value) ? "NaN"
                         : value == 0      ? "0"
                         : value < 0       ? "-Inf"
                                           : "Inf"),
                "zero, NaN and infinities by name");
        return;
    }
    const std::size_t exponent = text.find('E');
    const std::string_view mantissa = std::string_view(text).substr(0, exponent);
    std::string digits;
    std::ranges::copy_if(mantissa, std::back_inserter(digits), isDigit);
    const std::size_t significant = digits.size() - std::min(digits.find_first_not_of('0'), digits.size());
    require(significant <= 7, "at most 7 significant digits");
    require(text.find('e') == std::string::npos && mantissa.back() != '.' &&
                (mantissa.find('.') == std::string_view::npos || mantissa.back() != '0'),
            "no trailing zeros or point, and a capital E");
    const double read = cNumber(text);
    require(std::abs(read - value) <= std::abs(static_cast<double>(value)) * 5e-7, "7 significant digits");
    require((exponent != std::string::npos) == (std::abs(read) < 1e-4 || std::abs(read) >= 1e7),
            "exponent notation below 1E-04 and from 1E+07 on");
}

} // namespace

void fuzzNumberRules(Input input) {
    std::array<std::uint8_t, 8> bits{};
    std::copy_n(input.begin(), std::min(input.size(), bits.size()), bits.begin());
    const auto value = std::bit_cast<double>(bits);
    const auto single = std::bit_cast<float>(std::array{bits[0], bits[1], bits[2], bits[3]});
    const auto [pattern, typed] = firstLine(input.subspan(std::min(input.size(), bits.size())));

    checkFormat(value, pattern);
    checkPlainText(single);
    checkRounding(value);
    const std::string text(typed.begin(), typed.end());
    checkTypedNumber(text);
    checkRounding(leadingNumber(text));
}

} // namespace trazel::fuzz
