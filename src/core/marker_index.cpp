#include "core/marker_index.h"

#include <algorithm>

namespace trazel {

namespace {

constexpr std::size_t Stretch = 64;

// Whether every word after the first repeats the one before it and none carries a stimulus, so that
// nothing in the stretch is indexed; a check of fixed length, which the compiler turns into vector code.
bool unchanging(std::span<const std::int16_t, Stretch + 1> words) {
    int changes = 0;
    for (std::size_t i = 1; i <= Stretch; ++i) {
        changes |= static_cast<int>(words[i] != words[i - 1]) | static_cast<int>(words[i] == MarkerStimulus);
    }
    return changes == 0;
}

} // namespace

void MarkerIndex::extend(std::span<const std::int16_t> markers, std::int64_t end) {
    end = std::min(end, static_cast<std::int64_t>(markers.size()));
    std::int64_t x = m_covered;
    while (x < end) {
        // Most words repeat the one before and carry no stimulus: whole stretches of them are passed over.
        if (x > 0 && x + static_cast<std::int64_t>(Stretch) <= end &&
            unchanging(markers.subspan(static_cast<std::size_t>(x - 1)).first<Stretch + 1>())) {
            x += static_cast<std::int64_t>(Stretch);
            continue;
        }
        const std::int16_t word = markers[static_cast<std::size_t>(x)];
        const bool wasOn = x > 0 && markers[static_cast<std::size_t>(x - 1)] == MarkerOn;
        if ((word == MarkerOn) != wasOn || word == MarkerStimulus) {
            m_points.push_back(x);
        }
        ++x;
    }
    m_covered = std::max(m_covered, end);
}

void MarkerIndex::truncate(std::int64_t first) {
    if (first >= m_covered) {
        return;
    }
    m_covered = first;
    m_points.erase(std::ranges::lower_bound(m_points, first), m_points.end());
}

std::span<const std::int64_t> MarkerIndex::between(std::int64_t from, std::int64_t to) const {
    const auto begin = std::ranges::lower_bound(m_points, from);
    const auto end = std::upper_bound(begin, m_points.end(), to);
    return {begin, end};
}

} // namespace trazel
