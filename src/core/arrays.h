#pragma once

#include "core/minmax_summary.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trazel {

// A fixed array with the bounds its users count in: A(Lower) .. A(Upper).
template <typename T, int Lower, int Upper> class BoundedArray {
public:
    static constexpr int lower = Lower;
    static constexpr int upper = Upper;

    T& operator()(int i) {
        assert(i >= Lower && i <= Upper);
        return m_items[static_cast<std::size_t>(i - Lower)];
    }
    const T& operator()(int i) const {
        assert(i >= Lower && i <= Upper);
        return m_items[static_cast<std::size_t>(i - Lower)];
    }
    void fill(const T& value) { m_items.fill(value); }

private:
    std::array<T, Upper - Lower + 1> m_items{};
};

// One value per trace, indexed 1..3.
template <typename T> using TraceArray = BoundedArray<T, 1, 3>;

constexpr int TraceCount = 3;

// A dynamic array A(0 To upper): absent until created, created with every element zero. It carries a
// summary of its values (MinMaxSummary, MarkerIndex) that spares its readers a visit to every point: a
// cache derived from the values alone. Every non-const access notes the first point it may change, const
// access notes nothing, and reading the summary first brings it up to date from that point on.
template <typename T, typename Summary> class DynamicArray {
public:
    void create(std::int64_t upper) {
        const std::size_t size = upper >= 0 ? static_cast<std::size_t>(upper + 1) : 0;
        makeRoomFor(size);
        m_items.assign(size, T{});
        forgetSummary();
    }
    void copyFrom(const DynamicArray& other) {
        makeRoomFor(other.m_items.size());
        m_items.assign(other.m_items.begin(), other.m_items.end());
        m_summary = other.m_summary;
        m_firstChanged = other.m_firstChanged;
    }
    // Absent again; the memory stays for an array of about the same size.
    void erase() {
        m_items.clear();
        forgetSummary();
    }
    // Absent again, and the memory goes back.
    void release() {
        std::vector<T>().swap(m_items);
        m_summary = Summary{};
        m_firstChanged = NoChange;
    }
    bool exists() const { return !m_items.empty(); }
    // -1 when absent.
    std::int64_t upper() const { return static_cast<std::int64_t>(m_items.size()) - 1; }
    bool contains(std::int64_t i) const { return i >= 0 && i <= upper(); }

    T& operator()(std::int64_t i) {
        assert(contains(i));
        noteChangeFrom(i);
        return m_items[static_cast<std::size_t>(i)];
    }
    const T& operator()(std::int64_t i) const {
        assert(contains(i));
        return m_items[static_cast<std::size_t>(i)];
    }
    std::span<T> span() { return pointsFrom(0); }
    std::span<const T> span() const { return m_items; }
    // The elements from `first` on, for a writer that changes none before it.
    std::span<T> pointsFrom(std::int64_t first) {
        assert(first >= 0 && first <= upper() + 1);
        noteChangeFrom(first);
        return std::span<T>(m_items).subspan(static_cast<std::size_t>(first));
    }

    // The summary of every element.
    const Summary& summary() const {
        summarizeUpTo(upper() + 1);
        return m_summary;
    }
    // Brings the summary up to date over the elements before `end`: a writer that fills the array front
    // to back keeps it up to date as it goes, while the values are still in the cache.
    void summarizeUpTo(std::int64_t end) const {
        m_summary.truncate(m_firstChanged);
        m_firstChanged = NoChange;
        m_summary.extend(m_items, end);
    }
    // Applies `change` to every element and `follow` to the summary, which must keep the summary true to
    // the changed values: cheaper than summarising them again.
    template <typename Change, typename Follow> void transform(Change change, Follow follow) {
        for (T& item : m_items) {
            change(item);
        }
        follow(m_summary);
    }

private:
    static constexpr std::int64_t NoChange = std::numeric_limits<std::int64_t>::max();

    void noteChangeFrom(std::int64_t i) { m_firstChanged = i < m_firstChanged ? i : m_firstChanged; }
    void forgetSummary() {
        m_summary.truncate(0);
        m_firstChanged = NoChange;
    }

    // Memory that fits the new size closely is used again: a fresh allocation of hundreds of megabytes
    // costs more than reading them. Other memory goes first, so that old and new never coexist.
    void makeRoomFor(std::size_t size) {
        const std::size_t capacity = m_items.capacity();
        if (size > capacity || size < capacity - capacity / 6) {
            release();
        }
    }

    std::vector<T> m_items;
    mutable Summary m_summary;
    // The first element that may have changed since the summary was brought up to date; NoChange if none.
    mutable std::int64_t m_firstChanged = NoChange;
};

using CurveArray = DynamicArray<float, MinMaxSummary>;

// Curve data A(1 To 3, 0 To upper), indexed trace first and point second; each trace's points lie
// next to each other so that a curve is one span, with its minimum-maximum summary.
class TraceBuffer {
public:
    void create(std::int64_t upper) {
        for (auto& trace : m_traces) {
            trace.create(upper);
        }
    }
    void copyFrom(const TraceBuffer& other) {
        for (std::size_t t = 0; t < m_traces.size(); ++t) {
            m_traces[t].copyFrom(other.m_traces[t]);
        }
    }
    void erase() {
        for (auto& trace : m_traces) {
            trace.erase();
        }
    }
    void release() {
        for (auto& trace : m_traces) {
            trace.release();
        }
    }
    bool exists() const { return m_traces[0].exists(); }
    std::int64_t upper() const { return m_traces[0].upper(); }
    bool contains(std::int64_t i) const { return m_traces[0].contains(i); }

    float& operator()(int t, std::int64_t i) { return traceArray(t)(i); }
    float operator()(int t, std::int64_t i) const { return traceArray(t)(i); }
    std::span<float> trace(int t) { return traceArray(t).span(); }
    std::span<const float> trace(int t) const { return traceArray(t).span(); }
    std::span<float> pointsFrom(int t, std::int64_t first) { return traceArray(t).pointsFrom(first); }

    const MinMaxSummary& summary(int t) const { return traceArray(t).summary(); }
    void summarizeUpTo(int t, std::int64_t end) const { traceArray(t).summarizeUpTo(end); }
    // The extremes of points from .. to of trace t, both ends included and cut to the points there are.
    Extremes extremesBetween(int t, std::int64_t from, std::int64_t to) const {
        return summary(t).extremesBetween(trace(t), from, to);
    }
    void negate(int t) {
        traceArray(t).transform([](float& v) { v = -v; }, [](MinMaxSummary& m) { m.negate(); });
    }

private:
    CurveArray& traceArray(int t) {
        assert(t >= 1 && t <= TraceCount);
        return m_traces[static_cast<std::size_t>(t - 1)];
    }
    const CurveArray& traceArray(int t) const {
        assert(t >= 1 && t <= TraceCount);
        return m_traces[static_cast<std::size_t>(t - 1)];
    }

    std::array<CurveArray, TraceCount> m_traces;
};

// A text of fixed length: padded with blanks, or cut, when assigned.
template <std::size_t Length> class FixedText {
public:
    FixedText() : m_text(Length, ' ') {}
    FixedText(std::string_view text) { *this = text; }
    FixedText& operator=(std::string_view text) {
        m_text.assign(text.substr(0, Length));
        m_text.resize(Length, ' ');
        return *this;
    }
    const std::string& str() const { return m_text; }
    operator std::string_view() const { return m_text; }
    bool operator==(std::string_view other) const { return m_text == other; }

private:
    std::string m_text;
};

} // namespace trazel
