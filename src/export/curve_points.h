#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trazel {

// The times of the samples in the curve-point copy, in the plot's time unit.
class SampleTimes {
public:
    // One screen of `screenLen` time units shows `screenPoints` samples.
    SampleTimes(double screenLen, double screenPoints);
    // The time of the sample `samples` (from 0) samples after time zero.
    std::string text(std::int64_t samples) const;

private:
    // The step between samples: m_whole + m_numerator / m_denominator time units.
    std::uint64_t m_whole = 0;
    std::uint64_t m_numerator = 0;
    std::uint64_t m_denominator = 1;
    int m_decimals = 0;
};

// A trace of the curve-point copy.
struct PointTrace {
    int number = 0;                 // 1..3: its columns are "ch<number>" and "ch<number>-ave"
    std::span<const float> single;  // the trace's samples by sample number
    std::span<const float> average; // the averaged curve, from the first sample of the stretch on
};

// The samples first .. last (both included) of a view, with the columns it shows.
struct PointStretch {
    std::int64_t first = 0;
    std::int64_t last = -1;
    std::int64_t timeZero = 0; // the sample at time 0
    bool single = false;       // a column of single values per trace
    bool average = false;      // a column of averaged values per trace
    std::vector<PointTrace> traces;
    std::span<const std::int16_t> markers; // the marker word of each sample
};

// The clipboard's text has a tab between cells (in the overplot view also after the last one), a CSV file
// a comma between cells.
enum class PointsFormat { Clipboard, Csv };

// A header line, then per sample its time, the single and averaged values of each trace and its marker
// word, tab-separated. Averaged cells past the end of the average stay empty; the stretch ends where the
// samples or markers do.
std::string curvePointsText(const PointStretch& stretch, const SampleTimes& times,
                            PointsFormat format = PointsFormat::Clipboard);

// The overplot view: a header line with the curve numbers, then per point of a sweep its time and its value
// in each of the curves, every line ending with a tab.
std::string overplotPointsText(std::span<const float> trace, std::int64_t sweepLength,
                               std::int64_t curveCount, const SampleTimes& times,
                               PointsFormat format = PointsFormat::Clipboard);

} // namespace trazel
