#include "acquisition/resampler.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <numbers>

namespace trazel {

namespace {

// Order 16 with this ripple holds the stopband, which starts at 1.25 x the passband edge, over 63 dB down.
constexpr int FilterOrder = 16;
constexpr double RippleSquared = 0.002; // epsilon^2: the passband swings by 0.1 %
constexpr double PassbandEdge = 0.4;    // of the output rate

// The interpolator: 16 taps, the kernel tabled at 256 phases per input frame with straight lines between
// them. With the Kaiser window's beta at 8 it is within -74 dB of the true value for frequencies up to
// 0.33 x the input rate, which is 0.4 x an output rate of 0.83 x the input rate.
constexpr std::size_t Taps = 16;
constexpr std::size_t Phases = 256;
constexpr double KaiserBeta = 8;
constexpr double InterpolatorDelay = Taps / 2; // input frames: the kernel's centre

// Row j weighs the last Taps filtered values, oldest first, for the instant InterpolatorDelay - j / Phases
// frames before the newest one; there are Phases + 1 rows so that every phase has a row on either side.
std::vector<double> phaseTable() {
    std::vector<double> table((Phases + 1) * Taps);
    const double halfLength = InterpolatorDelay;
    for (std::size_t j = 0; j <= Phases; ++j) {
        const double phase = static_cast<double>(j) / Phases;
        double* row = &table[j * Taps];
        double sum = 0;
        for (std::size_t m = 0; m < Taps; ++m) {
            // how far the wanted instant lies after the value's own
            const double d = phase + (halfLength - 1) - static_cast<double>(m);
            const double x = d / halfLength;
            const double window = std::abs(x) < 1
                                      ? std::cyl_bessel_i(0.0, KaiserBeta * std::sqrt(1 - x * x)) /
                                            std::cyl_bessel_i(0.0, KaiserBeta)
                                      : 0.0;
            const double sinc = d == 0 ? 1 : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            row[m] = sinc * window;
            sum += row[m];
        }
        // Every phase passes a constant unchanged; otherwise a steady level would wobble with the phase.
        for (std::size_t m = 0; m < Taps; ++m) {
            row[m] /= sum;
        }
    }
    return table;
}

const std::vector<double>& phases() {
    static const std::vector<double> table = phaseTable();
    return table;
}

} // namespace

Resampler::Resampler(double inputRate, double outputRate, int channels)
    : m_passThrough(inputRate == outputRate), m_channels(static_cast<std::size_t>(channels)),
      m_step(inputRate / outputRate), m_gain(1), m_delaySeconds(0) {
    assert(inputRate > 0 && outputRate > 0 && channels >= 1);
    if (m_passThrough) {
        return;
    }
    double delayFrames = InterpolatorDelay;
    if (outputRate < inputRate) {
        // The analog prototype's poles for a passband edge at 1 rad/s, one of each conjugate pair, carried
        // over by the bilinear transform prewarped to put the edge at PassbandEdge x outputRate. Double
        // precision holds the response well below 10 points/s, though at 4 Hz from 48 kHz the poles lie
        // so close to 1 that 1 + a1 + a2 is down to 2e-8.
        const double k = std::tan(std::numbers::pi * PassbandEdge * outputRate / inputRate);
        const double v = std::asinh(1 / std::sqrt(RippleSquared)) / FilterOrder;
        for (int i = 0; i < FilterOrder / 2; ++i) {
            const double theta = std::numbers::pi * (2 * i + 1) / (2 * FilterOrder);
            const double re = -std::sinh(v) * std::sin(theta);
            const double im = std::cosh(v) * std::cos(theta);
            const double size = re * re + im * im;
            const double a0 = 1 - 2 * re * k + size * k * k;
            m_sections.push_back(
                {size * k * k / a0, 2 * (size * k * k - 1) / a0, (1 + 2 * re * k + size * k * k) / a0});
            delayFrames += -re / (size * k);
        }
        // The sections have unit gain at 0 Hz, so the passband swings between 1 and sqrt(1 + eps^2).
        m_gain = std::pow(1 + RippleSquared, -0.25);
    }
    m_delaySeconds = delayFrames / inputRate;
    m_state.assign(2 * m_sections.size() * m_channels, 0.0);
    m_history.assign(2 * Taps * m_channels, 0.0);
}

void Resampler::settle(std::span<const std::int16_t> frame) {
    for (std::size_t c = 0; c < m_channels; ++c) {
        const double u = frame[c];
        double* state = m_state.data() + 2 * m_sections.size() * c;
        for (const Section& s : m_sections) {
            state[0] = (1 - s.g) * u;
            state[1] = (s.g - s.a2) * u;
            state += 2;
        }
        std::fill_n(&m_history[2 * Taps * c], 2 * Taps, u);
    }
}

void Resampler::push(std::span<const std::int16_t> input, std::vector<std::int16_t>& output) {
    assert(input.size() % m_channels == 0);
    if (m_passThrough) {
        output.insert(output.end(), input.begin(), input.end());
        return;
    }
    for (std::size_t at = 0; at + m_channels <= input.size(); at += m_channels) {
        const std::span<const std::int16_t> frame = input.subspan(at, m_channels);
        if (m_framesIn == 0) {
            settle(frame);
        }
        for (std::size_t c = 0; c < m_channels; ++c) {
            double y = frame[c];
            double* state = m_state.data() + 2 * m_sections.size() * c;
            for (const Section& s : m_sections) {
                const double x = s.g * y;
                y = x + state[0];
                state[0] = 2 * x - s.a1 * y + state[1];
                state[1] = x - s.a2 * y;
                state += 2;
            }
            m_history[2 * Taps * c + m_slot] = y;
            m_history[2 * Taps * c + m_slot + Taps] = y;
        }
        m_slot = (m_slot + 1) % Taps;
        // Computed afresh from the count, not summed step by step, so that no error builds up over hours.
        const auto next = static_cast<double>(m_framesIn + 1);
        for (double instant = static_cast<double>(m_framesOut) * m_step; instant < next;
             instant = static_cast<double>(m_framesOut) * m_step) {
            emitFrame(instant, output);
            ++m_framesOut;
        }
        ++m_framesIn;
    }
}

// The newest filtered value belongs to input frame m_framesIn, the output instant lies within one frame
// after it, and the value is taken InterpolatorDelay frames earlier.
void Resampler::emitFrame(double position, std::vector<std::int16_t>& output) const {
    const double phase =
        std::clamp((position - static_cast<double>(m_framesIn)) * Phases, 0.0, static_cast<double>(Phases));
    const std::size_t row = std::min(static_cast<std::size_t>(phase), Phases - 1);
    const double between = phase - static_cast<double>(row);
    const double* lower = &phases()[row * Taps];
    const double* upper = lower + Taps;
    std::array<double, Taps> weights;
    for (std::size_t m = 0; m < Taps; ++m) {
        weights[m] = lower[m] + between * (upper[m] - lower[m]);
    }
    for (std::size_t c = 0; c < m_channels; ++c) {
        const double* values = &m_history[2 * Taps * c + m_slot];
        double sum = 0;
        for (std::size_t m = 0; m < Taps; ++m) {
            sum += weights[m] * values[m];
        }
        output.push_back(static_cast<std::int16_t>(std::clamp(std::round(m_gain * sum), -32768.0, 32767.0)));
    }
}

} // namespace trazel
