#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace trazel {

// The smallest and the largest of some values. A NaN value counts for nothing: every comparison with it
// is false, so it never replaces the infinite start values nor a value taken before it.
struct Extremes {
    float smallest = std::numeric_limits<float>::infinity();
    float largest = -std::numeric_limits<float>::infinity();

    // No value counted (none there, or only NaN).
    bool empty() const { return smallest > largest; }
    void take(float v) {
        smallest = v < smallest ? v : smallest;
        largest = largest < v ? v : largest;
    }
    void take(const Extremes& other) {
        smallest = other.smallest < smallest ? other.smallest : smallest;
        largest = largest < other.largest ? other.largest : largest;
    }
};

Extremes extremesOf(std::span<const float> values);

// A minimum-maximum summary of one curve in levels: level k holds the extremes of each whole block of
// 64 x 2^k points. The extremes of any stretch then cost a few blocks per level instead of a visit to
// every point, and the levels together take a sixteenth of the curve's memory.
//
// It covers the whole blocks of a leading part of the curve, which grows with `extend`; the owner of
// the values tells it with `truncate` where they may have changed.
class MinMaxSummary {
public:
    static constexpr int BlockShift = 6; // 64 points to a block of the lowest level

    // Summarises the whole blocks of values[0, end) not yet covered; `values` is the whole curve.
    void extend(std::span<const float> values, std::int64_t end);
    // Forgets every block that reaches point `first` or beyond; the memory stays for the next extension.
    void truncate(std::int64_t first);
    // The summary of the curve with every value negated.
    void negate();
    // The extremes of values[from .. to], both ends included and cut to the values there are: the raw
    // values of the part of an unaligned end that no whole block covers, and between them the largest
    // aligned blocks the levels hold. Exactly the extremes of a visit to every value.
    Extremes extremesBetween(std::span<const float> values, std::int64_t from, std::int64_t to) const;
    std::size_t bytes() const;

private:
    std::vector<std::vector<Extremes>> m_levels;
};

} // namespace trazel
