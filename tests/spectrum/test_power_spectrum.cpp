#include "spectrum/power_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>

namespace trazel {
namespace {

struct SizeCase {
    std::int64_t points;
    std::int64_t n;
    int bits;
    std::size_t offset; // where the sweep starts in the buffer
    std::size_t taper;  // ramp points at each end
};

class SpectrumSizes : public ::testing::TestWithParam<SizeCase> {};

// A spike in the middle leaves the trend line under the whole sweep, so every placed point but the two
// that the taper zeroes at the ends is non-zero.
TEST_P(SpectrumSizes, PlaceTheTaperedSweepInTheMiddleOfAPowerOfTwo) {
    const SizeCase& c = GetParam();
    const TransformSize size = transformSize(c.points);
    EXPECT_EQ(std::pair(size.n, size.bits), std::pair(c.n, c.bits));
    const std::vector<double> ramp = taperRamp(c.points);
    EXPECT_EQ(ramp.size(), c.taper);

    std::vector<float> sweep(static_cast<std::size_t>(c.points), 0.0F);
    sweep[sweep.size() / 2] = 1000;
    std::vector<double> buffer(static_cast<std::size_t>(size.n), 99.0);
    prepareSweep(sweep, ramp, buffer);
    const auto first = std::ranges::find_if(buffer, [](double v) { return v != 0; }) - buffer.begin();
    const auto last = buffer.rend() -
                      std::ranges::find_if(buffer.rbegin(), buffer.rend(), [](double v) { return v != 0; }) -
                      1;
    const std::size_t zeroedEnds = c.taper > 0 ? 1 : 0;
    EXPECT_EQ(first, static_cast<std::ptrdiff_t>(c.offset + zeroedEnds));
    EXPECT_EQ(last, static_cast<std::ptrdiff_t>(c.offset + sweep.size() - 1 - zeroedEnds));
}

INSTANTIATE_TEST_SUITE_P(Sweeps, SpectrumSizes,
                         ::testing::Values(SizeCase{1000, 1024, 10, 12, 100}, SizeCase{512, 512, 9, 0, 51},
                                           SizeCase{999, 1024, 10, 12, 99}, SizeCase{9, 16, 4, 4, 0},
                                           SizeCase{70000, 131072, 17, 30536, 7000}));

TEST(BitReverse, ReversesTheLowBitsAndIgnoresTheRest) {
    struct Case {
        std::uint32_t index;
        int bits;
        std::uint32_t reversed;
    };
    for (const Case& c : {Case{0b0011, 4, 0b1100}, Case{1, 10, 512}, Case{5, 0, 0}, Case{0xFFFF, 3, 7},
                          Case{0b110, 3, 0b011}, Case{1, 16, 32768}, Case{3, 24, 0xC00000}}) {
        EXPECT_EQ(BitReverse(c.index, c.bits), c.reversed) << c.index << " in " << c.bits << " bits";
    }
}

TEST(SweepSpectrum, OfAConstantOrAStraightLineIsZero) {
    SweepSpectrum spectrum(1000);
    std::vector<float> bins(512, -1.0F);
    using Line = float (*)(int);
    for (Line value :
         {+[](int) { return 250.0F; }, +[](int i) { return 3.5F * static_cast<float>(i) - 700; }}) {
        std::vector<float> sweep(1000);
        std::ranges::generate(sweep, [&, i = 0]() mutable { return value(i++); });
        EXPECT_EQ(spectrum.compute(sweep, bins), 0.0F);
        EXPECT_TRUE(std::ranges::all_of(bins, [](float b) { return b >= 0 && b < 1e-15F; }));
    }
}

// The smoothed power worked out independently: a direct DFT of the prepared buffer in long double.
std::vector<double> directSmoothedPower(const std::vector<double>& buffer, std::size_t bins) {
    const auto N = static_cast<long double>(buffer.size());
    std::vector<double> power(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        std::complex<long double> sum = 0;
        for (std::size_t j = 0; j < buffer.size(); ++j) {
            const long double angle =
                2 * std::numbers::pi_v<long double> * static_cast<long double>(j * k) / N;
            sum += static_cast<long double>(buffer[j]) * std::polar(1.0L, angle);
        }
        power[k] = static_cast<double>(std::norm(sum) / 1e6L);
    }
    std::vector<double> smoothed(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        smoothed[k] =
            0.54 * power[k] + (k > 0 ? 0.23 * power[k - 1] : 0) + (k + 1 < bins ? 0.23 * power[k + 1] : 0);
    }
    return smoothed;
}

TEST(SweepSpectrum, PutsASineInItsBinWithTheSmoothingWeightsOnItsNeighbours) {
    for (const std::int64_t points : {512, 1000}) {
        SweepSpectrum spectrum(points);
        const auto N = static_cast<double>(spectrum.transformLength());
        constexpr int Bin = 40;
        std::vector<float> sweep(static_cast<std::size_t>(points));
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            sweep[i] =
                static_cast<float>(1000 * std::sin(2 * std::numbers::pi * Bin * static_cast<double>(i) / N));
        }
        std::vector<float> bins(static_cast<std::size_t>(spectrum.bins()));
        const float peak = spectrum.compute(sweep, bins);

        std::vector<double> prepared(static_cast<std::size_t>(spectrum.transformLength()));
        prepareSweep(sweep, taperRamp(points), prepared);
        const std::vector<double> expected = directSmoothedPower(prepared, bins.size());
        for (std::size_t k = 0; k < bins.size(); ++k) {
            EXPECT_NEAR(bins[k], expected[k], 1e-6 * expected[Bin] + 1e-9) << points << " points, bin " << k;
        }
        EXPECT_EQ(std::ranges::max_element(bins) - bins.begin(), Bin);
        EXPECT_EQ(peak, bins[Bin]);
        // Almost all the power lies in the bin itself; smoothing hands 0.23 / 0.54 of it to each neighbour.
        for (const std::size_t k : {Bin - 1, Bin + 1}) {
            EXPECT_NEAR(bins[k] / bins[Bin], 0.23 / 0.54, 0.02) << points << " points, bin " << k;
        }
    }
}

} // namespace
} // namespace trazel
