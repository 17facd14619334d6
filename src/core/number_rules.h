#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trazel {

// The number a typed field holds: leading blanks (spaces, tabs) are skipped and the longest leading
// decimal number is taken (optional sign, digits, optional '.' and digits, and an exponent e/E[+-]digits
// only when digits follow); 0 when there is none. "12abc" -> 12, "  -3.5x" -> -3.5, "abc" -> 0, "1e" -> 1.
// Numbers too large for a double give +-infinity, too small ones 0. The decimal point is always '.',
// whatever the process locale says.
double leadingNumber(std::string_view text);

// The number an answer holds when the whole answer is one number (blanks around it allowed): " 2.5 " -> 2.5;
// nothing for an empty answer or one with anything else in it ("", "abc", "2abc").
std::optional<double> numericValue(std::string_view text);

// Nearest whole number with halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Whole-number conversions with halves to even, clamped to the type's range; NaN gives 0.
std::int32_t toLong(double value);
std::int16_t toInteger(double value);

// Formats a number with a single-section display pattern: '#' is an optional digit, '0' a required one,
// the first '.' is the decimal point and any other character is a literal kept in place. Rounds half away
// from zero on the exact value of the double. NaN and infinities give "NaN", "Inf" and "-Inf".
std::string formatNumber(double value, std::string_view pattern);

// The plain decimal text of a single-precision value: 7 significant digits without trailing zeros or
// trailing point, switching to "1E+07" / "1.5E-05" notation below 1E-04 and from 1E+07 on.
std::string plainText(float value);

} // namespace trazel
