#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace trazel {

// Turns the sound card's interleaved 16-bit frames into frames at the point rate. Input frame k stands for
// k / inputRate seconds, output frame n for n / outputRate, both counted from the first frame pushed.
//
// Output frame n is made from input frames at or before its instant only, so it leaves with the input frame
// that reaches its instant: a point never waits for later sound, at any rate. Below the input rate a causal
// low-pass (a Chebyshev type I cascade at the input rate) passes 0 .. 0.4 x outputRate within +-0.05 % and
// holds 0.5 x outputRate and up at least 60 dB down; above it nothing but the interpolator filters. A
// windowed-sinc interpolator, delayed by half its length, takes the value at each output instant. Equal
// rates pass the input through untouched.
class Resampler {
public:
    // Rates in frames per second, both > 0; channels >= 1.
    Resampler(double inputRate, double outputRate, int channels);

    // `input` holds whole frames (channels values each). Appends every output frame that is now complete to
    // `output`, rounded to the nearest integer and saturated to the 16-bit range. However the input is cut
    // into pushes, the output is the same; t seconds of input make t x outputRate frames, rounded up.
    void push(std::span<const std::int16_t> input, std::vector<std::int16_t>& output);

    // How far the filters delay slow signals (the group delay at 0 Hz), in seconds; 0 for equal rates.
    double delaySeconds() const { return m_delaySeconds; }

private:
    // One section of the low-pass, numerator g (1 + 2 z^-1 + z^-2): unit gain at 0 Hz.
    struct Section {
        double g;
        double a1;
        double a2;
    };

    // The filters' state as if the first frame's values had always been there: a recording that starts
    // away from zero must not open with the low-pass's step response.
    void settle(std::span<const std::int16_t> frame);
    void emitFrame(double position, std::vector<std::int16_t>& output) const;

    bool m_passThrough;
    std::size_t m_channels;
    double m_step; // input frames per output frame
    double m_gain; // centres the passband ripple on 1
    double m_delaySeconds;
    std::vector<Section> m_sections;
    std::vector<double> m_state;   // per channel two per section
    std::vector<double> m_history; // per channel the latest filtered values twice over, so any run is whole
    std::size_t m_slot = 0;        // where the next filtered value goes in each channel's history
    std::int64_t m_framesIn = 0;
    std::int64_t m_framesOut = 0;
};

} // namespace trazel
