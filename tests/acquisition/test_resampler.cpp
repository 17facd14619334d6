#include "acquisition/resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace trazel::testing {
namespace {

constexpr double Amplitude = 20000;
const double Minus50dB = std::pow(10.0, -50.0 / 20);

// A phasor turned frame by frame: far quicker than std::sin for the minutes of input the slow rates need.
std::vector<std::int16_t> sine(double hz, double rate, std::size_t frames, double amplitude = Amplitude) {
    const std::complex<double> turn = std::polar(1.0, 2 * std::numbers::pi * hz / rate);
    std::complex<double> phasor = amplitude;
    std::vector<std::int16_t> values(frames);
    for (std::int16_t& v : values) {
        v = static_cast<std::int16_t>(std::lround(phasor.imag()));
        phasor *= turn;
    }
    return values;
}

std::vector<std::int16_t> resampled(double in, double out, std::span<const std::int16_t> input,
                                    int channels = 1) {
    Resampler resampler(in, out, channels);
    std::vector<std::int16_t> output;
    resampler.push(input, output);
    return output;
}

// The least-squares sine of `hz` with a constant through `count` values, every `stride`-th from `first` on,
// `rate` a second: its amplitude and the largest deviation from it. Over whole periods sin, cos and 1 are
// orthogonal, so the fit is three sums.
std::pair<double, double> fitSine(std::span<const std::int16_t> values, std::size_t first, std::size_t count,
                                  std::size_t stride, double rate, double hz) {
    const auto y = [&](std::size_t i) { return static_cast<double>(values[first + i * stride]); };
    const auto w = [&](std::size_t i) {
        return 2 * std::numbers::pi * hz * static_cast<double>(first / stride + i) / rate;
    };
    double a = 0, b = 0, c = 0;
    for (std::size_t i = 0; i < count; ++i) {
        a += 2 * y(i) * std::sin(w(i)) / static_cast<double>(count);
        b += 2 * y(i) * std::cos(w(i)) / static_cast<double>(count);
        c += y(i) / static_cast<double>(count);
    }
    double worst = 0;
    for (std::size_t i = 0; i < count; ++i) {
        worst = std::max(worst, std::abs(y(i) - a * std::sin(w(i)) - b * std::cos(w(i)) - c));
    }
    return {std::hypot(a, b), worst};
}

// Output frames until a sine's start has rung out: some 150 for the low-pass, more near the input rate.
std::size_t settledAfter(double out) {
    return static_cast<std::size_t>(150 + 0.01 * out);
}

TEST(Resampler, PassesEqualRatesThroughBitForBit) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::vector<std::int16_t> input(2 * 1001);
    std::ranges::generate(input, [&] { return static_cast<std::int16_t>(full(random)); });
    Resampler resampler(44100, 44100, 2);
    std::vector<std::int16_t> output;
    resampler.push(std::span(input).first(2 * 17), output);
    resampler.push(std::span(input).subspan(2 * 17), output);
    EXPECT_EQ(output, input);
    EXPECT_EQ(resampler.delaySeconds(), 0);
}

class ResamplerFidelity : public ::testing::TestWithParam<std::tuple<double, double>> {};

// 60 output frames hold whole periods of each sine in the passband. The stopband holds 60 dB from 0.5 x the
// output rate up; 50 dB are the promise from 0.6 x up.
TEST_P(ResamplerFidelity, PassesTheBandWithinAThousandthAndStopsWhatWouldAlias) {
    const auto [in, out] = GetParam();
    const std::size_t settled = settledAfter(out);
    const auto frames = static_cast<std::size_t>(std::ceil((settled + 60) * in / out));
    for (const double fraction : {0.05, 0.2, 0.4, 0.52, 0.6}) {
        const std::vector<std::int16_t> output = resampled(in, out, sine(fraction * out, in, frames));
        ASSERT_NEAR(static_cast<double>(output.size()), static_cast<double>(frames) / in * out, 1);
        if (fraction > 0.5) {
            const auto peak =
                std::ranges::max(std::span(output).subspan(settled), {}, [](int v) { return std::abs(v); });
            EXPECT_LE(std::abs(peak), (fraction < 0.6 ? Minus50dB / std::sqrt(10) : Minus50dB) * Amplitude)
                << in << " -> " << out << " at " << fraction;
            continue;
        }
        const auto [amplitude, worst] = fitSine(output, settled, 60, 1, out, fraction * out);
        EXPECT_NEAR(amplitude / Amplitude, 1, 1e-3) << in << " -> " << out << " at " << fraction;
        EXPECT_LE(worst, Minus50dB * Amplitude) << in << " -> " << out << " at " << fraction;
    }
}

INSTANTIATE_TEST_SUITE_P(SoundCardRates, ResamplerFidelity,
                         ::testing::Combine(::testing::Values(48000.0, 44100.0),
                                            ::testing::Values(10.0, 100.0, 1000.0, 33333.33, 20000.0)));

// A full-scale square wave on the left overshoots: it must pin at the ends of the range, never wrap round,
// and leave the sine on the right alone.
TEST(Resampler, KeepsTwoChannelsApartSaturatesAndIgnoresHowTheInputIsCut) {
    for (const auto& [in, out] : {std::pair{44100.0, 33333.33}, {48000.0, 1000.0}, {8000.0, 44100.0}}) {
        const double hz = out / 20; // 100 output frames hold 5 periods
        const std::vector<std::int16_t> right = sine(hz, in, 30000);
        std::vector<std::int16_t> input;
        for (std::size_t k = 0; k < right.size(); ++k) {
            input.insert(input.end(),
                         {static_cast<std::int16_t>((k / 400) % 2 == 0 ? 32767 : -32768), right[k]});
        }
        const std::vector<std::int16_t> whole = resampled(in, out, input, 2);
        Resampler resampler(in, out, 2);
        std::vector<std::int16_t> pieces;
        for (std::size_t at = 0, piece = 0; at < input.size(); ++piece) {
            const std::size_t size =
                std::min(2 * std::array<std::size_t, 5>{0, 1, 7, 2, 513}[piece % 5], input.size() - at);
            resampler.push(std::span(input).subspan(at, size), pieces);
            at += size;
        }
        EXPECT_EQ(pieces, whole) << in << " -> " << out;
        std::size_t wraps = 0;
        for (std::size_t n = 2; n < whole.size(); n += 2) {
            wraps += std::abs(whole[n] - whole[n - 2]) > 50000 ? 1 : 0;
        }
        EXPECT_EQ(wraps, 0U) << in << " -> " << out;
        EXPECT_EQ(std::ranges::minmax(whole).max, 32767);
        EXPECT_EQ(std::ranges::minmax(whole).min, -32768);
        const auto [amplitude, worst] = fitSine(whole, 2 * settledAfter(out) + 1, 100, 2, out, hz);
        EXPECT_NEAR(amplitude / Amplitude, 1, 1e-3) << in << " -> " << out;
        EXPECT_LE(worst, Minus50dB * Amplitude) << in << " -> " << out;
    }
}

// A linear system passes a ramp as a ramp, scaled by its gain at 0 Hz and shifted by its group delay there:
// the line fitted through the output gives the shift whatever the gain.
TEST(Resampler, DelaysASlowRampByTheStatedDelay) {
    for (const auto& [in, out] :
         {std::pair{48000.0, 100.0}, {48000.0, 1000.0}, {44100.0, 33333.33}, {8000.0, 44100.0}}) {
        const auto frames = static_cast<std::size_t>(std::ceil((settledAfter(out) + 100) * in / out));
        const double slope = 50000 / (static_cast<double>(frames) / in); // per second, from -25000
        std::vector<std::int16_t> input(frames);
        for (std::size_t k = 0; k < frames; ++k) {
            input[k] = static_cast<std::int16_t>(std::lround(-25000 + slope * static_cast<double>(k) / in));
        }
        const std::vector<std::int16_t> output = resampled(in, out, input);
        const auto n = static_cast<double>(output.size() - settledAfter(out));
        double t = 0, y = 0, tt = 0, ty = 0;
        for (std::size_t k = settledAfter(out); k < output.size(); ++k) {
            const double time = static_cast<double>(k) / out;
            t += time;
            y += output[k];
            tt += time * time;
            ty += time * output[k];
        }
        const double gainSlope = (n * ty - t * y) / (n * tt - t * t);
        const double delay = Resampler(in, out, 1).delaySeconds();
        EXPECT_NEAR(-25000 / slope - (y - gainSlope * t) / n / gainSlope, delay, 1e-3 * delay)
            << in << " -> " << out;
    }
}

} // namespace
} // namespace trazel::testing
