#pragma once

#include "core/minmax_summary.h"
#include "core/zeroed_memory.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

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

// The elements of a dynamic array, zeroed when made, with their summary; arrays that hold the same values
// share one block, and so one summary.
template <typename T, typename Summary> class ElementBlock {
    static_assert(std::is_trivially_copyable_v<T>, "the block is zeroed and copied as bytes");

public:
    static constexpr std::int64_t NoChange = std::numeric_limits<std::int64_t>::max();

    explicit ElementBlock(std::size_t capacity)
        : m_items(static_cast<T*>(allocateZeroed(capacity * sizeof(T)))), m_capacity(capacity) {}
    ElementBlock(const ElementBlock&) = delete;
    ElementBlock& operator=(const ElementBlock&) = delete;
    ~ElementBlock() { freeZeroed(m_items, m_capacity * sizeof(T)); }

    T* items() const { return m_items; }
    std::size_t capacity() const { return m_capacity; }

    Summary summary;
    // The first element that may have changed since the summary was brought up to date; NoChange if none.
    std::int64_t firstChanged = NoChange;

private:
    T* m_items;
    std::size_t m_capacity;
};

// A dynamic array A(0 To upper): absent until created, created with every element zero. It carries a
// summary of its values (MinMaxSummary, MarkerIndex) that spares its readers a visit to every point: a
// cache derived from the values alone. Every non-const access notes the first point it may change, const
// access notes nothing, and reading the summary first brings it up to date from that point on.
//
// A copy shares the elements and the summary of the array it copies until one of the two is written to:
// only then are they copied (the views' copy of the data costs no memory until a command transforms a
// trace). Writers take a fresh non-const span after every copy made of their array.
template <typename T, typename Summary> class DynamicArray {
    using Block = ElementBlock<T, Summary>;

public:
    void create(std::int64_t upper) {
        const std::size_t size = upper >= 0 ? static_cast<std::size_t>(upper + 1) : 0;
        if (fitsClosely(size)) {
            std::fill_n(m_block->items(), size, T{});
            forgetSummary();
        } else {
            m_block.reset(); // the old memory goes first, so that old and new never coexist
            m_block = size > 0 ? std::make_shared<Block>(size) : nullptr;
        }
        m_size = size;
    }
    // Shares the other array's elements and summary.
    void copyFrom(const DynamicArray& other) {
        m_block = other.m_block;
        m_size = other.m_size;
    }
    bool sharesWith(const DynamicArray& other) const { return m_block && m_block == other.m_block; }
    // Absent again; the memory stays for an array of about the same size unless another array shares it.
    void erase() {
        if (shared()) {
            m_block.reset();
        }
        m_size = 0;
        forgetSummary();
    }
    // Absent again, and the memory goes back.
    void release() {
        m_block.reset();
        m_size = 0;
    }
    bool exists() const { return m_size > 0; }
    // -1 when absent.
    std::int64_t upper() const { return static_cast<std::int64_t>(m_size) - 1; }
    bool contains(std::int64_t i) const { return i >= 0 && i <= upper(); }

    T& operator()(std::int64_t i) {
        assert(contains(i));
        T* items = writableItems();
        noteChangeFrom(i);
        return items[i];
    }
    const T& operator()(std::int64_t i) const {
        assert(contains(i));
        return m_block->items()[i];
    }
    std::span<T> span() { return pointsFrom(0); }
    std::span<const T> span() const {
        return m_size > 0 ? std::span<const T>(m_block->items(), m_size) : std::span<const T>();
    }
    // The elements from `first` on, for a writer that changes none before it.
    std::span<T> pointsFrom(std::int64_t first) {
        assert(first >= 0 && first <= upper() + 1);
        if (m_size == 0) {
            return {};
        }
        T* items = writableItems();
        noteChangeFrom(first);
        return std::span<T>(items, m_size).subspan(static_cast<std::size_t>(first));
    }

    // The summary of every element.
    const Summary& summary() const {
        static const Summary none;
        if (!m_block) {
            return none;
        }
        summarizeUpTo(upper() + 1);
        return m_block->summary;
    }
    // Brings the summary up to date over the elements before `end`: a writer that fills the array front
    // to back keeps it up to date as it goes, while the values are still in the cache.
    void summarizeUpTo(std::int64_t end) const {
        if (m_block) {
            m_block->summary.truncate(m_block->firstChanged);
            m_block->firstChanged = Block::NoChange;
            m_block->summary.extend(span(), end);
        }
    }
    // Applies `change` to every element and `follow` to the summary, which must keep the summary true to
    // the changed values: cheaper than summarising them again.
    template <typename Change, typename Follow> void transform(Change change, Follow follow) {
        if (m_size > 0) {
            writableItems();
        }
        transformShared(change, follow);
    }
    // The same change for this array and `other`: done once on elements the two share with nobody else.
    template <typename Change, typename Follow>
    void transformTogether(DynamicArray& other, Change change, Follow follow) {
        if (sharesWith(other) && m_block.use_count() == 2) {
            transformShared(change, follow);
        } else {
            transform(change, follow);
            other.transform(change, follow);
        }
    }

private:
    // The change, once for every array that shares the elements.
    template <typename Change, typename Follow> void transformShared(Change change, Follow follow) {
        if (m_size == 0) {
            return;
        }
        for (T& item : std::span<T>(m_block->items(), m_size)) {
            change(item);
        }
        follow(m_block->summary);
    }
    void noteChangeFrom(std::int64_t i) {
        m_block->firstChanged = i < m_block->firstChanged ? i : m_block->firstChanged;
    }
    void forgetSummary() {
        if (m_block) {
            m_block->summary.truncate(0);
            m_block->firstChanged = Block::NoChange;
        }
    }
    bool shared() const { return m_block.use_count() > 1; }

    // Memory of its own that fits the new size closely is used again: fresh memory costs more than
    // clearing it.
    bool fitsClosely(std::size_t size) const {
        if (!m_block || shared()) {
            return false;
        }
        const std::size_t capacity = m_block->capacity();
        return size <= capacity && size >= capacity - capacity / 6;
    }

    // The elements to write: copied first, with their summary, while another array shares them.
    T* writableItems() {
        if (shared()) {
            auto own = std::make_shared<Block>(m_size);
            std::copy_n(m_block->items(), m_size, own->items());
            own->summary = m_block->summary;
            own->firstChanged = m_block->firstChanged;
            m_block = std::move(own);
        }
        return m_block->items();
    }

    std::shared_ptr<Block> m_block;
    std::size_t m_size = 0;
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
    bool sharesTrace(int t, const TraceBuffer& other) const {
        return traceArray(t).sharesWith(other.traceArray(t));
    }
    void negate(int t) {
        traceArray(t).transform([](float& v) { v = -v; }, [](MinMaxSummary& m) { m.negate(); });
    }
    // Negates trace t here and in `other`, once where the two share it.
    void negateTogether(int t, TraceBuffer& other) {
        traceArray(t).transformTogether(
            other.traceArray(t), [](float& v) { v = -v; }, [](MinMaxSummary& m) { m.negate(); });
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
