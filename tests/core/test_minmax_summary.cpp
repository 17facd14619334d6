#include "core/minmax_summary.h"
#include "support/visited_extremes.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace trazel::testing {
namespace {

struct Curve {
    unsigned seed;
    std::int64_t points;
    double nanShare;
};

class Summaries : public ::testing::TestWithParam<Curve> {};

// Built chunk by chunk as the readers build it, then negated as Invert negates it: every stretch, aligned or
// not, inside the curve or reaching past its ends, has the extremes of a visit to every point.
TEST_P(Summaries, GiveTheExtremesOfAVisitToEveryPointForAnyStretch) {
    const Curve& curve = GetParam();
    std::mt19937 random(curve.seed);
    std::uniform_real_distribution<float> uniform(0, 1);
    std::vector<float> values(static_cast<std::size_t>(curve.points));
    for (float& v : values) {
        const float u = uniform(random);
        v = u < curve.nanShare ? NAN : (u > 0.999F ? INFINITY : std::round(2000 * u - 1000));
    }
    MinMaxSummary summary;
    for (std::int64_t end = 0; end < curve.points;
         end += std::uniform_int_distribution<std::int64_t>(1, 5000)(random)) {
        summary.extend(values, end);
    }
    summary.extend(values, curve.points);
    std::uniform_int_distribution<std::int64_t> point(-70, curve.points + 70);
    std::uniform_int_distribution<std::int64_t> length(-1, 3000);
    const auto expectVisitedExtremes = [&] {
        for (int i = 0; i < 2000; ++i) {
            const std::int64_t from = point(random);
            const std::int64_t to = from + length(random);
            const Extremes e = summary.extremesBetween(values, from, to);
            ASSERT_EQ(std::pair(e.smallest, e.largest), visitedExtremes(values, from, to))
                << from << " .. " << to;
        }
    };
    expectVisitedExtremes();
    std::ranges::transform(values, values.begin(), std::negate<>());
    summary.negate();
    expectVisitedExtremes();
}

INSTANTIATE_TEST_SUITE_P(RandomCurves, Summaries,
                         ::testing::Values(Curve{1, 0, 0}, Curve{2, 1, 0}, Curve{3, 64, 0},
                                           Curve{4, 1000, 0.3}, Curve{5, 100'000, 0.01}, Curve{6, 5000, 1},
                                           Curve{7, 70'001, 0}));

} // namespace
} // namespace trazel::testing
