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

// Radix-2 decimation-in-time transform in place, N = 2^bits values in `real` and `imag`, the twiddle factor
// turning by +2 pi / B per step (only magnitudes are used afterwards). `progress` gets the bar position in %
// before the stages that pass each fortieth of N.
void transformInPlace(std::span<double> real, std::span<double> imag, int bits,
                      const std::function<void(int)>& progress = {});

// The power (re^2 + im^2) / 1,000,000 of the lower `bins.size()` bins, smoothed with the weights 0.23,
// 0.54, 0.23 (an end bin lacks the neighbour outside), written into `bins`. Returns the largest smoothed
// value of the bins between the two end bins, 0 when there is none larger.
float smoothedPower(std::span<const double> real, std::span<const double> imag, std::span<float> bins);

// The smoothed power spectrum of one sweep: H = N / 2 bins into `bins`, the peak as smoothedPower gives
// it. The buffers are the transform's room (N values each), passed so that many sweeps share them.
struct SweepSpectrum {
    std::vector<double> ramp;
    std::vector<double> real;
    std::vector<double> imag;
    int bits = 0;

    explicit SweepSpectrum(std::int64_t points);
    std::int64_t bins() const { return static_cast<std::int64_t>(real.size() / 2); }
    float compute(std::span<const float> sweep, std::span<float> bins,
                  const std::function<void(int)>& progress = {});
};

} // namespace trazel
