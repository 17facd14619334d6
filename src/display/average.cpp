#include "display/average.h"

#include "core/number_rules.h"

#include <utility>

namespace trazel {

void acceptIntoAverage(AppState& s) {
    std::int64_t n = s.AverageData.upper();
    if (s.ViewStart + n > s.TraceData.upper()) {
        n = toLong(s.TraceData.upper() - s.ViewStart);
    }
    const auto first = static_cast<std::int64_t>(toLong(s.ViewStart));
    const float count = s.AveragedCount;
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) <= 0 || n < 0) {
            continue;
        }
        const auto sweep = std::as_const(s.TraceData).trace(t).subspan(static_cast<std::size_t>(first));
        auto average = s.AverageData.trace(t);
        for (std::int64_t i = 0; i <= n; ++i) {
            const auto at = static_cast<std::size_t>(i);
            average[at] = (count * average[at] + sweep[at]) / (count + 1);
        }
    }
    s.AveragedCount += 1;
}

} // namespace trazel
