#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace trazel {

constexpr std::int16_t MarkerOn = 100;       // marker word of a point taken while the marker is on
constexpr std::int16_t MarkerStimulus = 200; // marker word of a point that carries a stimulus

// The points of a marker array where the marker-on state differs from the point before (point 0 counts
// when it is on) or a stimulus is marked, in ascending order: all that the marker bars and stimulus ticks
// of a view need besides the word at the view's first point, without a visit to every point.
//
// It covers a leading part of the array, which grows with `extend`; the owner of the words tells it with
// `truncate` where they may have changed.
class MarkerIndex {
public:
    // Indexes the points of markers[0, end) not yet covered; `markers` is the whole array.
    void extend(std::span<const std::int16_t> markers, std::int64_t end);
    // Forgets what depends on point `first` or beyond; the memory stays for the next extension.
    void truncate(std::int64_t first);
    // The indexed points from .. to, both ends included.
    std::span<const std::int64_t> between(std::int64_t from, std::int64_t to) const;

private:
    std::vector<std::int64_t> m_points;
    std::int64_t m_covered = 0; // markers[0, m_covered) are indexed
};

} // namespace trazel
