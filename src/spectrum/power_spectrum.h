#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace trazel {

// The angle constant of the taper and the twiddle factors. It is not quite pi; the spectra of stored
// evaluations were computed with it.
constexpr double SpectrumPi = 3.1415926535359;
constexpr double PowerDivisor = 1'000'000;

// The smallest power of two N >= points, with N = 2^bits (N = 1, bits = 0 for fewer than 2 points).
struct TransformSize {
    std::int64_t n;
    int bits;
};
TransformSize transformSize(std::int64_t points);

// The lowest `bits` bits of index in reverse order; 0 when bits is 0.
std::uint32_t BitReverse(std::uint32_t index, int bits);

// The rising half of the raised-cosine taper of a sweep of `points`: w(k) = (1 - cos(k pi / L)) / 2 for
// k = 0 .. L - 1 with L = points / 10 rounded down; empty when L is 0.
std::vector<double> taperRamp(std::int64_t points);

// Fills `real` (N values) with the sweep less its least-squares line, tapered at both ends by `ramp`, placed
// from (N - n) / 2 (halves to even) with zeros around it. The sweep needs at least 2 points.
void prepareSweep(std::span<const float> sweep, std::span<const double> ramp, std::span<double> real);

// The radix-2 decimation-in-time transform of N = 2^bits real values, the twiddle factor turning by
// +2 pi / B per step (only magnitudes are used afterwards). Planned once for the many sweeps of one length:
// the order of the input and every stage's twiddle factors, worked out by the two-sine recurrence.
class RealTransform {
public:
    explicit RealTransform(int bits);
    std::size_t size() const { return m_order.size(); }
    // `input`, `real` and `imag` hold N values each. `progress` gets the bar position in % before the
    // stages that pass each fortieth of N.
    void run(std::span<const double> input, std::span<double> real, std::span<double> imag,
             const std::function<void(int)>& progress = {}) const;

private:
    void firstTwoStages(std::span<const double> input, double* re, double* im) const;
    void stage(std::size_t half, double* re, double* im) const;
    // The stages of blocks of 2 x half and 4 x half in one pass.
    void stagePair(std::size_t half, double* re, double* im) const;

    int m_bits;
    std::vector<std::uint32_t> m_order; // the input index that lands at each position: bit-reversed
    std::vector<double> m_twiddleReal;  // the stage of blocks of 2E holds its E factors from E - 1 on
    std::vector<double> m_twiddleImag;
};

// The power (re^2 + im^2) / 1,000,000 of the lower `bins.size()` bins, smoothed with the weights 0.23,
// 0.54, 0.23 (an end bin lacks the neighbour outside), written into `bins`. Returns the largest smoothed
// value of the bins between the two end bins, 0 when there is none larger.
float smoothedPower(std::span<const double> real, std::span<const double> imag, std::span<float> bins);

// The smoothed power spectrum of sweeps of one length: H = N / 2 bins into `bins`, the peak as
// smoothedPower gives it. It keeps the taper, the transform and its buffers for the next sweep.
class SweepSpectrum {
public:
    explicit SweepSpectrum(std::int64_t points);
    std::int64_t transformLength() const { return static_cast<std::int64_t>(m_input.size()); }
    std::int64_t bins() const { return transformLength() / 2; }
    float compute(std::span<const float> sweep, std::span<float> bins,
                  const std::function<void(int)>& progress = {});

private:
    std::vector<double> m_ramp;
    RealTransform m_transform;
    std::vector<double> m_input;
    std::vector<double> m_real;
    std::vector<double> m_imag;
};

} // namespace trazel
