#include "acquisition/simulated_source.h"

#include "core/number_rules.h"

#include <cmath>

namespace trazel {

namespace {

constexpr double TwoPi = 6.28318530717958;

} // namespace

double SimulatedSource::nextRandom() {
    return static_cast<double>(m_random()) / 4294967296.0;
}

Single SimulatedSource::SimulatedSample(bool reset) {
    if (reset) {
        m_phase = 0;
        return 0;
    }
    const double r1 = nextRandom();
    const std::int32_t k = toLong(m_phase * TwoPi / 100) % 100;
    const double s = std::sin(r1 * 10 + k);
    const double r2 = nextRandom();
    m_phase += 1;
    return static_cast<Single>((r2 - 0.5) * 50 + s * 50);
}

void SimulatedSource::MakeSweep(TraceBuffer& raw) {
    for (std::int64_t j = 0; j <= raw.upper(); ++j) {
        for (int t = 1; t <= TraceCount; ++t) {
            raw(t, j) = static_cast<Single>((nextRandom() - 0.5) * 50);
        }
    }
}

} // namespace trazel
