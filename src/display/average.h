#pragma once

#include "core/app_state.h"

namespace trazel {

// Adds the sweep that starts at ViewStart to the running average of every trace that is on (as far as the
// data reach) and counts it: each average point becomes the plain mean of the accepted sweeps.
void acceptIntoAverage(AppState& s);

} // namespace trazel
