#include "core/number_rules.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <span>
#include <string>

namespace trazel {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double quietNaN = std::numeric_limits<double>::quiet_NaN();

void expectLeadingNumbers(std::initializer_list<std::pair<std::string_view, double>> cases) {
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE("text \"" + std::string(text) + '"');
        EXPECT_EQ(leadingNumber(text), value);
    }
}

// Expected values are what a correctly rounded decimal-to-double conversion of the number's text gives.
TEST(LeadingNumber, TakesTheLongestLeadingDecimalNumberWithInfinityForOverflowAndZeroForUnderflow) {
    expectLeadingNumbers({{"12abc", 12},     {"  -3.5x", -3.5},  {"abc", 0},     {"", 0},
                          {".5", 0.5},       {"+7", 7},          {"5.", 5},      {"0.1", 0.1},
                          {"1e3", 1000},     {"1.5e-3", 0.0015}, {"1e+2x", 100}, {"1e", 1},
                          {"1e-x", 1},       {"-", 0},           {".", 0},       {".e3", 0},
                          {"--5", 0},        {"1,5", 1},         {"1.2.3", 1.2}, {"0x10", 0},
                          {"1e-310", 1e-310}});
    // Overflow gives infinity, underflow 0.
    expectLeadingNumbers({{"1e400", infinity},
                          {"1e99999999999999999999999", infinity},
                          {"1e-400", 0},
                          {"0.0000000001e+315", 1e305}});
    EXPECT_EQ(leadingNumber("1" + std::string(400, '0')), infinity);
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1"), 0);
}

// Halves to even, then clamped to the Long or Integer range.
struct WholeCase {
    double value;
    double rounded;
    std::int32_t asLong;
    std::int16_t asInteger;
};

TEST(WholeNumbers, RoundHalvesToEvenAndSaturate) {
    constexpr std::int32_t highest = 2147483647;
    constexpr std::int32_t lowest = -2147483647 - 1;
    const WholeCase cases[] = {{2.5, 2, 2, 2},
                               {3.5, 4, 4, 4},
                               {-0.5, -0.0, 0, 0},
                               {0.49999999999999994, 0, 0, 0},
                               {32767.5, 32768, 32768, 32767},
                               {2147483647.5, 2147483648, highest, 32767},
                               {-2147483647.5, -2147483648, lowest, -32768},
                               {3e9, 3e9, highest, 32767},
                               {infinity, infinity, highest, 32767},
                               {-infinity, -infinity, lowest, -32768}};
    for (const WholeCase& c : cases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        EXPECT_EQ(roundHalfEven(c.value), c.rounded);
        EXPECT_EQ(toLong(c.value), c.asLong);
        EXPECT_EQ(toInteger(c.value), c.asInteger);
    }
    EXPECT_TRUE(std::isnan(roundHalfEven(quietNaN)));
    EXPECT_EQ(toLong(quietNaN), 0);
    EXPECT_EQ(toInteger(quietNaN), 0);
}

struct FormatCase {
    double value;
    const char* pattern;
    const char* text;
};

TEST(FormatNumber, FillsThePatternRoundingHalfAwayFromZero) {
    // The patterns of the program.
    const FormatCase patterns[] = {
        {100, "#####.#", "100."},   {1.25, "##0.0#", "1.25"},      {0, " ###0", " 0"},
        {5, "#### ms", "5 ms"},     {1.4142135, "##0.00", "1.41"}, {12.34567, "####0.0#", "12.35"},
        {123456, "#####", "123456"}};
    // Zero and optional integer digits.
    const FormatCase zeros[] = {
        {0, "###", ""}, {0.04, "#####.#", "."}, {0.5, "####.#", ".5"}, {0, "#### ms", " ms"}};
    // Half away from zero on the exact value: 2.675 is 2.67499999999999982...
    const FormatCase halves[] = {{-0.125, "0.00", "-0.13"}, {2.5, "###0", "3"},
                                 {0.5, "###", "1"},         {2.675, "0.00", "2.67"},
                                 {0.025, "0.00", "0.03"},   {12.05, "####.#", "12.1"}};
    // Carries through nines only from the tie up.
    const FormatCase nines[] = {
        {9.995, "0.00", "9.99"}, {99.95, "##0.0", "100.0"}, {0.999, "#####.#", "1."}, {99.5, "0#", "100"}};
    // The minus sign leads and vanishes for zero.
    const FormatCase minus[] = {{-5, " ###0", "- 5"},
                                {-1, "0#", "-01"},
                                {-0.4, "###0", "0"},
                                {-0.05, "0.0", "-0.1"},
                                {-4.9e-324, "0.0", "0.0"}};
    // Literals keep their place.
    const FormatCase literals[] = {{1.25, "0.0 s", "1.3 s"}, {5, "0#:00", "00:05"}, {0.5, ".00", ".50"}};
    using Group = std::span<const FormatCase>;
    for (const Group group : std::initializer_list<Group>{patterns, zeros, halves, nines, minus, literals}) {
        for (const FormatCase& c : group) {
            SCOPED_TRACE(std::string("value ") + std::to_string(c.value) + " pattern \"" + c.pattern + '"');
            EXPECT_EQ(formatNumber(c.value, c.pattern), c.text);
        }
    }
}

TEST(FormatNumber, ShowsEveryDigitOfLargeAndTinyValuesAndWordsForTheNonFinite) {
    EXPECT_EQ(formatNumber(1e23, "0"), "99999999999999991611392");
    EXPECT_EQ(formatNumber(0.1, "0.####################"), "0.10000000000000000555");
    EXPECT_EQ(formatNumber(static_cast<double>(1.005f), "0.00"), "1.00") << "1.00499999523...";
    EXPECT_EQ(formatNumber(quietNaN, "##0.00"), "NaN");
    EXPECT_EQ(formatNumber(infinity, "##0.00"), "Inf");
    EXPECT_EQ(formatNumber(-infinity, " ###0"), "-Inf");

    const std::string largest = formatNumber(-std::numeric_limits<double>::max(), "##0.0#");
    EXPECT_EQ(largest.substr(0, 20) + "..." + largest.substr(largest.size() - 6),
              "-1797693134862315708...8368.0");
    EXPECT_EQ(largest.size(), 1U + 309U + 2U);
}

struct PlainCase {
    float value;
    const char* text;
};

// Expected texts are the float's exact value rounded to 7 significant digits.
TEST(PlainText, SevenSignificantDigitsWithoutTrailingZerosOrWithAnExponentBelow1EMinus4AndFrom1E7) {
    constexpr float maxFloat = std::numeric_limits<float>::max();
    const PlainCase cases[] = {{0.0f, "0"},
                               {-0.0f, "0"},
                               {1e7f, "1E+07"},
                               {99999992.0f, "9.999999E+07"},
                               {maxFloat, "3.402823E+38"},
                               {std::numeric_limits<float>::denorm_min(), "1.401298E-45"}};
    for (const PlainCase& c : cases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        EXPECT_EQ(plainText(c.value), c.text);
    }
    EXPECT_EQ(plainText(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(plainText(std::numeric_limits<float>::infinity()), "Inf");
    EXPECT_EQ(plainText(-std::numeric_limits<float>::infinity()), "-Inf");
}

} // namespace
} // namespace trazel
