#include "spectrum/power_spectrum.h"

#include "core/number_rules.h"

#include <array>
#include <cassert>
#include <cmath>

namespace trazel {

namespace {

// The butterfly loops also come in an AVX2 version, chosen when the program starts on a processor that has
// it.
#if defined(__x86_64__)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_CLONES
#endif

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

// The factors of one stage by the recurrence, which needs two sines per stage instead of one per butterfly.
void appendStageTwiddles(std::size_t half, std::vector<double>& wr, std::vector<double>& wi) {
    const double delta = SpectrumPi / static_cast<double>(half); // 2 pi / B
    const double alpha = 2 * std::pow(std::sin(delta / 2), 2);
    const double beta = std::sin(delta);
    double r = 1;
    double i = 0;
    for (std::size_t m = 0; m < half; ++m) {
        wr.push_back(r);
        wi.push_back(i);
        const double t = alpha * r + beta * i;
        i = i - (alpha * i - beta * r);
        r = r - t;
    }
}

// Two stages in one pass over the data, the butterflies as the stages would do them one after the other:
// blocks of 2E by `w` (the factors of half E), then of 4E by `v` (those of half 2E).
VECTOR_CLONES void butterflyPairs(const double* __restrict w, const double* __restrict wImag,
                                  const double* __restrict v, const double* __restrict vImag,
                                  double* __restrict re, double* __restrict im, std::size_t half) {
    // The four quarters of the block never overlap, which the compiler cannot see from the indexes.
#pragma GCC ivdep
    for (std::size_t m = 0; m < half; ++m) {
        const std::size_t m1 = m + half;
        const std::size_t m2 = m + 2 * half;
        const std::size_t m3 = m + 3 * half;
        double tr = w[m] * re[m1] - wImag[m] * im[m1];
        double ti = w[m] * im[m1] + wImag[m] * re[m1];
        const double a1r = re[m] - tr;
        const double a1i = im[m] - ti;
        const double a0r = re[m] + tr;
        const double a0i = im[m] + ti;
        tr = w[m] * re[m3] - wImag[m] * im[m3];
        ti = w[m] * im[m3] + wImag[m] * re[m3];
        const double a3r = re[m2] - tr;
        const double a3i = im[m2] - ti;
        const double a2r = re[m2] + tr;
        const double a2i = im[m2] + ti;

        tr = v[m] * a2r - vImag[m] * a2i;
        ti = v[m] * a2i + vImag[m] * a2r;
        re[m2] = a0r - tr;
        im[m2] = a0i - ti;
        re[m] = a0r + tr;
        im[m] = a0i + ti;
        tr = v[m1] * a3r - vImag[m1] * a3i;
        ti = v[m1] * a3i + vImag[m1] * a3r;
        re[m3] = a1r - tr;
        im[m3] = a1i - ti;
        re[m1] = a1r + tr;
        im[m1] = a1i + ti;
    }
}

// One block of a stage: the lower half of the block with the upper half turned by the factors.
VECTOR_CLONES void butterflies(const double* __restrict wr, const double* __restrict wi,
                               double* __restrict reLow, double* __restrict imLow, double* __restrict reHigh,
                               double* __restrict imHigh, std::size_t half) {
    for (std::size_t m = 0; m < half; ++m) {
        const double tr = wr[m] * reHigh[m] - wi[m] * imHigh[m];
        const double ti = wr[m] * imHigh[m] + wi[m] * reHigh[m];
        reHigh[m] = reLow[m] - tr;
        imHigh[m] = imLow[m] - ti;
        reLow[m] = reLow[m] + tr;
        imLow[m] = imLow[m] + ti;
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

RealTransform::RealTransform(int bits) : m_bits(bits), m_order(std::size_t{1} << bits) {
    for (std::uint32_t i = 0; i < m_order.size(); ++i) {
        m_order[i] = BitReverse(i, bits);
    }
    for (std::size_t half = 1; half < m_order.size(); half *= 2) {
        appendStageTwiddles(half, m_twiddleReal, m_twiddleImag);
    }
}

void RealTransform::run(std::span<const double> input, std::span<double> real, std::span<double> imag,
                        const std::function<void(int)>& progress) const {
    const std::size_t N = size();
    assert(input.size() == N && real.size() == N && imag.size() == N);
    const double progressStep = static_cast<double>(N) / 40;
    double level = progressStep;
    const auto reportBefore = [&](std::size_t B) {
        if (progress && static_cast<double>(B) > level) {
            progress(toInteger(level / static_cast<double>(N) * 100));
            level = std::min(level + progressStep, static_cast<double>(N));
        }
    };
    reportBefore(2);
    reportBefore(4);
    firstTwoStages(input, real.data(), imag.data());
    std::size_t B = 8;
    if (m_bits % 2 == 1 && B <= N) {
        reportBefore(B);
        stage(B / 2, real.data(), imag.data());
        B *= 2;
    }
    for (; B <= N; B *= 4) {
        reportBefore(B);
        reportBefore(2 * B);
        stagePair(B / 2, real.data(), imag.data());
    }
}

// The reorder and the stages of blocks of 2 and 4 in one pass. Their factors are 1 and, for the second
// point of a block of 4, the recurrence's value next to i; multiplying by 1 or 0 changes nothing, so these
// butterflies add and subtract directly, and a real input leaves no imaginary part after the first stage.
void RealTransform::firstTwoStages(std::span<const double> input, double* re, double* im) const {
    const std::size_t N = size();
    if (N < 4) {
        re[0] = input[0];
        im[0] = 0;
        if (N == 2) {
            re[0] = input[0] + input[1];
            re[1] = input[0] - input[1];
            im[1] = 0;
        }
        return;
    }
    const double wr = m_twiddleReal[2];
    const double wi = m_twiddleImag[2];
    for (std::size_t i = 0; i < N; i += 4) {
        const double a0 = input[m_order[i]];
        const double a1 = input[m_order[i + 1]];
        const double a2 = input[m_order[i + 2]];
        const double a3 = input[m_order[i + 3]];
        const double x0 = a0 + a1;
        const double x1 = a0 - a1;
        const double x2 = a2 + a3;
        const double x3 = a2 - a3;
        // The second stage: (x0, x2) with the factor 1, (x1, x3) with (wr, wi), imaginary inputs zero.
        const double tr = wr * x3;
        const double ti = wi * x3;
        re[i] = x0 + x2;
        im[i] = 0;
        re[i + 2] = x0 - x2;
        im[i + 2] = 0;
        re[i + 1] = x1 + tr;
        im[i + 1] = ti;
        re[i + 3] = x1 - tr;
        im[i + 3] = -ti;
    }
}

void RealTransform::stage(std::size_t half, double* re, double* im) const {
    const double* wr = m_twiddleReal.data() + half - 1;
    const double* wi = m_twiddleImag.data() + half - 1;
    for (std::size_t i = 0; i < size(); i += 2 * half) {
        butterflies(wr, wi, re + i, im + i, re + i + half, im + i + half, half);
    }
}

void RealTransform::stagePair(std::size_t half, double* re, double* im) const {
    const double* w = m_twiddleReal.data() + half - 1;
    const double* wImag = m_twiddleImag.data() + half - 1;
    const double* v = m_twiddleReal.data() + 2 * half - 1;
    const double* vImag = m_twiddleImag.data() + 2 * half - 1;
    for (std::size_t i = 0; i < size(); i += 4 * half) {
        butterflyPairs(w, wImag, v, vImag, re + i, im + i, half);
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

SweepSpectrum::SweepSpectrum(std::int64_t points)
    : m_ramp(taperRamp(points)), m_transform(transformSize(points).bits), m_input(m_transform.size()),
      m_real(m_transform.size()), m_imag(m_transform.size()) {}

float SweepSpectrum::compute(std::span<const float> sweep, std::span<float> bins,
                             const std::function<void(int)>& progress) {
    prepareSweep(sweep, m_ramp, m_input);
    m_transform.run(m_input, m_real, m_imag, progress);
    return smoothedPower(m_real, m_imag, bins);
}

} // namespace trazel
