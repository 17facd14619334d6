#include "spectrum/power_spectrum.h"

#include "core/number_rules.h"

#include <array>
#include <cassert>
#include <cmath>

namespace trazel {

namespace {

constexpr double TaperFraction = 10; // the taper covers a tenth of the sweep at each end
constexpr double EdgeWeight = 0.23;
constexpr double CentreWeight = 0.54;

constexpr std::array<std::uint8_t, 256> reversedBytes() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = 0;
        for (unsigned b = 0; b < 8; ++b) {
            r = (r << 1) | ((i >> b) & 1U);
        }
        table[i] = static_cast<std::uint8_t>(r);
    }
    return table;
}

constexpr auto ReversedBytes = reversedBytes();

std::uint32_t reverse32(std::uint32_t v) {
    return (std::uint32_t{ReversedBytes[v & 0xFF]} << 24) |
           (std::uint32_t{ReversedBytes[(v >> 8) & 0xFF]} << 16) |
           (std::uint32_t{ReversedBytes[(v >> 16) & 0xFF]} << 8) | ReversedBytes[v >> 24];
}

void reorderBitReversed(std::span<double> real, std::span<double> imag, int bits) {
    const auto n = static_cast<std::uint32_t>(real.size());
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t r = BitReverse(i, bits);
        if (i < r) {
            std::swap(real[i], real[r]);
            std::swap(imag[i], imag[r]);
        }
    }
}

// The twiddle factors of one stage by the recurrence, which needs two sines per stage instead of one
// per butterfly; every block of the stage uses the same sequence.
void stageTwiddles(std::int64_t blockSize, std::vector<double>& wr, std::vector<double>& wi) {
    const double delta = 2 * SpectrumPi / static_cast<double>(blockSize);
    const double alpha = 2 * std::pow(std::sin(delta / 2), 2);
    const double beta = std::sin(delta);
    const auto half = static_cast<std::size_t>(blockSize / 2);
    wr.resize(half);
    wi.resize(half);
    double r = 1;
    double i = 0;
    for (std::size_t m = 0; m < half; ++m) {
        wr[m] = r;
        wi[m] = i;
        const double t = alpha * r + beta * i;
        i = i - (alpha * i - beta * r);
        r = r - t;
    }
}

void butterflies(double* re, double* im, const double* wr, const double* wi, std::size_t half) {
    double* reHigh = re + half;
    double* imHigh = im + half;
    for (std::size_t m = 0; m < half; ++m) {
        const double tr = wr[m] * reHigh[m] - wi[m] * imHigh[m];
        const double ti = wr[m] * imHigh[m] + wi[m] * reHigh[m];
        reHigh[m] = re[m] - tr;
        imHigh[m] = im[m] - ti;
        re[m] = re[m] + tr;
        im[m] = im[m] + ti;
    }
}

} // namespace

TransformSize transformSize(std::int64_t points) {
    TransformSize size{1, 0};
    while (size.n < points) {
        size.n *= 2;
        ++size.bits;
    }
    return size;
}

std::uint32_t BitReverse(std::uint32_t index, int bits) {
    assert(bits >= 0 && bits <= 32);
    return bits == 0 ? 0 : reverse32(index) >> (32 - bits);
}

std::vector<double> taperRamp(std::int64_t points) {
    const auto L = static_cast<std::int64_t>(std::floor(static_cast<double>(points) / TaperFraction));
    std::vector<double> ramp(static_cast<std::size_t>(std::max<std::int64_t>(L, 0)));
    const float step = static_cast<float>(SpectrumPi / static_cast<double>(L)); // held as a Single
    for (std::size_t k = 0; k < ramp.size(); ++k) {
        ramp[k] = (1 - std::cos(static_cast<double>(k) * step)) * 0.5;
    }
    return ramp;
}

void prepareSweep(std::span<const float> sweep, std::span<const double> ramp, std::span<double> real) {
    const auto n = static_cast<double>(sweep.size());
    assert(sweep.size() >= 2 && real.size() >= sweep.size());
    // The sums are exact in double for any sweep the file can hold; single-precision sums would leave a
    // remnant of the trend in long sweeps.
    const double Sx = n * (n - 1) / 2;
    const double Sxx = (n - 1) * n * (2 * n - 1) / 6;
    double Sy = 0;
    double Sxy = 0;
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        Sy += sweep[i];
        Sxy += static_cast<double>(sweep[i]) * static_cast<double>(i);
    }
    const double b = (Sxy - Sx * Sy / n) / (Sxx - Sx * Sx / n);
    const double a = (Sy - Sx * b) / n;

    std::fill(real.begin(), real.end(), 0.0);
    const auto offset = static_cast<std::size_t>(roundHalfEven((static_cast<double>(real.size()) - n) / 2));
    const std::size_t L = ramp.size();
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        double taper = 1;
        if (i < L) {
            taper = ramp[i];
        } else if (i >= sweep.size() - L) {
            taper = ramp[sweep.size() - 1 - i];
        }
        real[offset + i] = (sweep[i] - a - b * static_cast<double>(i)) * taper;
    }
}

void transformInPlace(std::span<double> real, std::span<double> imag, int bits,
                      const std::function<void(int)>& progress) {
    const auto N = static_cast<std::int64_t>(real.size());
    assert(N == std::int64_t{1} << bits && imag.size() == real.size());
    reorderBitReversed(real, imag, bits);
    const double progressStep = static_cast<double>(N) / 40;
    double level = progressStep;
    std::vector<double> wr;
    std::vector<double> wi;
    for (std::int64_t B = 2; B <= N; B *= 2) {
        if (progress && static_cast<double>(B) > level) {
            progress(toInteger(level / static_cast<double>(N) * 100));
            level = std::min(level + progressStep, static_cast<double>(N));
        }
        stageTwiddles(B, wr, wi);
        const auto half = static_cast<std::size_t>(B / 2);
        for (std::int64_t i = 0; i < N; i += B) {
            butterflies(&real[static_cast<std::size_t>(i)], &imag[static_cast<std::size_t>(i)], wr.data(),
                        wi.data(), half);
        }
    }
}

float smoothedPower(std::span<const double> real, std::span<const double> imag, std::span<float> bins) {
    const std::size_t H = bins.size();
    assert(real.size() >= H && imag.size() >= H);
    auto power = [&](std::size_t k) { return (real[k] * real[k] + imag[k] * imag[k]) / PowerDivisor; };
    float peak = 0;
    double previous = 0;
    double current = H > 0 ? power(0) : 0;
    for (std::size_t k = 0; k < H; ++k) {
        const double next = k + 1 < H ? power(k + 1) : 0;
        const double smoothed = EdgeWeight * previous + CentreWeight * current + EdgeWeight * next;
        bins[k] = static_cast<float>(smoothed);
        if (k > 0 && k + 1 < H) {
            peak = std::max(peak, bins[k]);
        }
        previous = current;
        current = next;
    }
    return peak;
}

SweepSpectrum::SweepSpectrum(std::int64_t points) : ramp(taperRamp(points)) {
    const TransformSize size = transformSize(points);
    real.resize(static_cast<std::size_t>(size.n));
    imag.resize(static_cast<std::size_t>(size.n));
    bits = size.bits;
}

float SweepSpectrum::compute(std::span<const float> sweep, std::span<float> bins,
                             const std::function<void(int)>& progress) {
    prepareSweep(sweep, ramp, real);
    std::fill(imag.begin(), imag.end(), 0.0);
    transformInPlace(real, imag, bits, progress);
    return smoothedPower(real, imag, bins);
}

} // namespace trazel
