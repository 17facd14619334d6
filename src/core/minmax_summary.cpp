#include "core/minmax_summary.h"

#include <algorithm>
#include <array>

namespace trazel {

namespace {

constexpr std::int64_t BlockSize = std::int64_t{1} << MinMaxSummary::BlockShift;

std::span<const float> between(std::span<const float> values, std::int64_t begin, std::int64_t end) {
    return values.subspan(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

} // namespace

Extremes extremesOf(std::span<const float> values) {
    // Four running extremes side by side, which the compiler keeps in one vector register each. Taking the
    // values in another order gives the same numbers: only a -0 and a +0, which compare and draw alike,
    // may swap.
    constexpr std::size_t Lanes = 4;
    std::array<float, Lanes> smallest;
    std::array<float, Lanes> largest;
    smallest.fill(Extremes{}.smallest);
    largest.fill(Extremes{}.largest);
    std::size_t i = 0;
    for (; i + Lanes <= values.size(); i += Lanes) {
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            const float v = values[i + lane];
            smallest[lane] = v < smallest[lane] ? v : smallest[lane];
            largest[lane] = largest[lane] < v ? v : largest[lane];
        }
    }
    Extremes e;
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        e.take(Extremes{smallest[lane], largest[lane]});
    }
    for (; i < values.size(); ++i) {
        e.take(values[i]);
    }
    return e;
}

void MinMaxSummary::extend(std::span<const float> values, std::int64_t end) {
    const auto whole = std::min(end, static_cast<std::int64_t>(values.size())) >> BlockShift;
    if (m_levels.empty()) {
        m_levels.emplace_back();
    }
    std::vector<Extremes>& lowest = m_levels.front();
    lowest.reserve(values.size() >> BlockShift);
    for (auto b = static_cast<std::int64_t>(lowest.size()); b < whole; ++b) {
        lowest.push_back(extremesOf(between(values, b * BlockSize, (b + 1) * BlockSize)));
    }
    for (std::size_t level = 1; m_levels[level - 1].size() >= 2; ++level) {
        if (level == m_levels.size()) {
            m_levels.emplace_back();
        }
        const std::vector<Extremes>& below = m_levels[level - 1];
        std::vector<Extremes>& blocks = m_levels[level];
        blocks.reserve(values.size() >> (BlockShift + level));
        for (std::size_t b = blocks.size(); b < below.size() / 2; ++b) {
            Extremes pair = below[2 * b];
            pair.take(below[2 * b + 1]);
            blocks.push_back(pair);
        }
    }
}

void MinMaxSummary::truncate(std::int64_t first) {
    for (std::size_t level = 0; level < m_levels.size(); ++level) {
        const auto kept = static_cast<std::size_t>(first >> (BlockShift + level));
        m_levels[level].resize(std::min(m_levels[level].size(), kept));
    }
}

void MinMaxSummary::negate() {
    for (std::vector<Extremes>& blocks : m_levels) {
        for (Extremes& e : blocks) {
            e = {-e.largest, -e.smallest};
        }
    }
}

Extremes MinMaxSummary::extremesBetween(std::span<const float> values, std::int64_t from,
                                        std::int64_t to) const {
    const std::int64_t begin = std::max<std::int64_t>(from, 0);
    const std::int64_t end = std::min(to + 1, static_cast<std::int64_t>(values.size()));
    if (begin >= end) {
        return {};
    }
    const auto covered = static_cast<std::int64_t>(m_levels.empty() ? 0 : m_levels.front().size());
    // Whole blocks of the lowest level: first .. last - 1.
    std::int64_t first = (begin + BlockSize - 1) >> BlockShift;
    std::int64_t last = std::min(end >> BlockShift, covered);
    if (first >= last) {
        return extremesOf(between(values, begin, end));
    }
    Extremes e = extremesOf(between(values, begin, first * BlockSize));
    e.take(extremesOf(between(values, last * BlockSize, end)));
    // Each level takes the odd block at either end, which the level above cannot; what is left is whole
    // blocks of the level above.
    for (std::size_t level = 0; first < last; ++level, first >>= 1, last >>= 1) {
        const std::vector<Extremes>& blocks = m_levels[level];
        if (first % 2 == 1) {
            e.take(blocks[static_cast<std::size_t>(first++)]);
        }
        if (last % 2 == 1) {
            e.take(blocks[static_cast<std::size_t>(--last)]);
        }
    }
    return e;
}

std::size_t MinMaxSummary::bytes() const {
    std::size_t total = 0;
    for (const std::vector<Extremes>& blocks : m_levels) {
        total += blocks.capacity() * sizeof(Extremes);
    }
    return total;
}

} // namespace trazel
