#pragma once

#include "core/app_state.h"

#include <random>

namespace trazel {

// The built-in stand-in for acquisition hardware: small noisy values around zero in the raw unit of the
// recorded samples. One uniform generator with a fixed start serves both routines, so every run of the
// program that does the same things gets the same data.
class SimulatedSource {
public:
    // One value per call, within -75..75. A reset call restarts the phase and returns 0 without drawing a
    // random number. One phase serves all traces: three active traces advance it by three per point.
    Single SimulatedSample(bool reset);

    // Fills every trace of `raw` (created beforehand with one sweep of points) with noise within -25..25,
    // point by point, traces 1, 2, 3 within a point.
    void MakeSweep(TraceBuffer& raw);

    Single phase() const { return m_phase; }

private:
    double nextRandom(); // uniform on [0, 1)

    std::mt19937 m_random; // default seed: the same sequence every run
    Single m_phase = 0;    // SimPhase
};

} // namespace trazel
