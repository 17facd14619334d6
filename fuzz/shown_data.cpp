#include "shown_data.h"

#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <iterator>
#include <vector>

namespace trazel::fuzz {

namespace {

const QString ErrorMessage = QStringLiteral("Error encountered while trying to open file, please retry.");

// The extremes of a visit to every value from .. to (cut to the values there are); a NaN counts for
// nothing.
Extremes visitedExtremes(std::span<const float> values, std::int64_t from, std::int64_t to) {
    Extremes e;
    for (std::int64_t i = std::max<std::int64_t>(from, 0);
         i <= std::min<std::int64_t>(to, static_cast<std::int64_t>(values.size()) - 1); ++i) {
        const float v = values[static_cast<std::size_t>(i)];
        e.smallest = v < e.smallest ? v : e.smallest;
        e.largest = v > e.largest ? v : e.largest;
    }
    return e;
}

// The summary's extremes of stretches about block edges, the middle and beyond both ends against a visit.
void requireSummaries(const TraceBuffer& curves) {
    const std::int64_t n = curves.upper();
    const std::array<std::pair<std::int64_t, std::int64_t>, 6> stretches{
        {{0, n}, {1, n - 1}, {n / 3, 2 * n / 3}, {63, n - 64}, {-3, n + 3}, {n / 2, n / 2}}};
    for (int t = 1; t <= TraceCount; ++t) {
        for (const auto& [from, to] : stretches) {
            const Extremes summarized = curves.extremesBetween(t, from, to);
            const Extremes visited = visitedExtremes(curves.trace(t), from, to);
            require(summarized.smallest == visited.smallest && summarized.largest == visited.largest,
                    "the min-max summary gives the extremes of a visit to every point");
        }
    }
}

// The points where the marker-on state changes or a stimulus is marked, by a visit to every word.
void requireMarkerIndex(std::span<const Integer> words, const MarkerIndex& index) {
    std::vector<std::int64_t> changes;
    for (std::size_t x = 0; x < words.size(); ++x) {
        const bool wasOn = x > 0 && words[x - 1] == MarkerOn;
        if ((words[x] == MarkerOn) != wasOn || words[x] == MarkerStimulus) {
            changes.push_back(static_cast<std::int64_t>(x));
        }
    }
    const auto n = static_cast<std::int64_t>(words.size()) - 1;
    require(std::ranges::equal(index.between(0, n), changes), "the marker index holds every change");
    std::vector<std::int64_t> inner;
    std::ranges::copy_if(changes, std::back_inserter(inner),
                         [&](std::int64_t x) { return x >= n / 4 && x <= n / 2; });
    require(std::ranges::equal(index.between(n / 4, n / 2), inner),
            "the marker index holds the changes of a stretch");
}

bool sameBits(std::span<const float> a, std::span<const float> b) {
    return a.size() == b.size() && std::ranges::equal(a, b, [](float x, float y) {
               return std::bit_cast<std::uint32_t>(x) == std::bit_cast<std::uint32_t>(y);
           });
}

void requireArrays(const AppState& s, std::size_t fileLength) {
    require(s.RawData.exists() && s.TraceData.exists() && s.Markers.exists(), "shown data have their arrays");
    const std::int64_t upper = s.RawData.upper();
    require(s.TraceData.upper() == upper && s.Markers.upper() == upper, "the data arrays agree in size");
    const std::int64_t sweeps = s.BlockMode ? std::int64_t{s.SweepLength} * s.CurveCount : 0;
    require(upper == std::max<std::int64_t>(s.SampleCount, sweeps),
            "the arrays hold the points read and the extra last point, or every sweep the count names");
    // Three traces twice over and the markers for a file of fileLength bytes.
    require(upper <= 2 * static_cast<std::int64_t>(fileLength) + 2, "memory in proportion to the file");
    for (int t = 1; t <= TraceCount; ++t) {
        require(sameBits(s.RawData.trace(t), s.TraceData.trace(t)), "the views' copy is the data as read");
        const auto first = t <= s.ChannelCount ? static_cast<std::size_t>(s.SampleCount) : 0;
        require(std::ranges::all_of(s.RawData.trace(t).subspan(first), [](float v) { return v == 0; }),
                "points beyond the records and traces beyond the channels hold 0");
    }
    require(std::ranges::all_of(s.Markers.span().subspan(static_cast<std::size_t>(s.SampleCount)),
                                [](Integer w) { return w == 0; }),
            "markers beyond the records are 0");
    requireSummaries(s.RawData);
    requireSummaries(s.TraceData);
    requireMarkerIndex(s.Markers.span(), s.Markers.summary());
}

// Each trace read starts its peak afresh when its channel is taken over; a trace whose channel word was
// not, keeps the peak it had.
void requirePeaks(const AppState& s) {
    for (int t = 1; t <= s.ChannelCount; ++t) {
        const Extremes e = visitedExtremes(s.RawData.trace(t), 0, s.RawData.upper());
        const float magnitude = e.empty() ? 0 : std::max(std::abs(e.smallest), std::abs(e.largest));
        require(s.TraceChannel(t) > 0 ? s.TracePeak(t) == magnitude : s.TracePeak(t) >= magnitude,
                "the peak is the largest magnitude of the trace");
    }
}

bool isPowerOfTwo(Single value) {
    int exponent = 0;
    return value >= 1 && std::isfinite(value) && std::frexp(value, &exponent) == 0.5;
}

void requireTimeBase(const Harness& h) {
    const AppState& s = h.state;
    require(s.ChannelCount >= 1 && s.ChannelCount <= 3, "one to three channels");
    require(std::isfinite(s.SampleInterval) && s.SampleInterval > 0, "a positive sample interval");
    const bool ms = s.TimeUnit == "ms";
    require((ms || s.TimeUnit == " s") && s.TimeFactor == (ms ? 0.001F : 1.0F), "the unit and its factor");
    require(std::isfinite(s.ScreenLen) && s.ScreenLen > 0, "a positive screen length");
    const double scaleWidth = h.window.ui.disp->ScaleWidth();
    require(std::isfinite(scaleWidth) && scaleWidth > 0, "a usable scale width of the plot");
    if (s.BlockMode) {
        require(s.SweepLength >= 1 && s.CurveCount >= 1 && s.SweepLength <= s.SampleCount,
                "a block file holds at least one whole sweep");
        require(s.CurveCount == roundedQuotient(s.SampleCount, s.SweepLength), "the sweep count, rounded");
        require(s.BlockSweepLength == s.SweepLength && s.FileSweepLength == s.SweepLength &&
                    s.CurrentCurve == 1,
                "the sweep lengths of the file and sweep 1 in view");
        require(s.AverageData.upper() == s.SweepLength - 1 && s.AveragedCount == 0 &&
                    std::ranges::all_of(s.AverageData.trace(1), [](float v) { return v == 0; }),
                "an empty average of one sweep");
        require(ms == (static_cast<double>(s.SampleInterval) * s.SweepLength < 1), "sweeps under 1 s in ms");
        require(h.window.windowTitle().startsWith(QStringLiteral("BLOCK MODE (")), "the block caption");
        return;
    }
    require(s.SweepLength == -1 && s.CurveCount == -1 && !s.AverageData.exists(), "continuous data");
    require(isPowerOfTwo(s.ScreenLen) && s.ContScreenLen == s.ScreenLen && s.FileScreenLen == s.ScreenLen,
            "a continuous file on a power of two");
    const double seconds = static_cast<double>(s.SampleInterval) * s.SampleCount;
    require(ms == (std::nearbyint(seconds) < 2), "recordings under 2 s in ms");
    const double length = std::nearbyint(ms ? seconds * 1000 : seconds);
    require(s.ScreenLen >= length && (s.ScreenLen == 1 || s.ScreenLen / 2 < length),
            "the smallest power of two that holds the recording");
    require(h.window.windowTitle().startsWith(QStringLiteral("CONTINUOUS MODE")), "the continuous caption");
}

} // namespace

std::int64_t roundedQuotient(std::int64_t dividend, std::int64_t divisor) {
    const std::int64_t quotient = dividend / divisor;
    const std::int64_t twiceRest = 2 * (dividend % divisor);
    return quotient + (twiceRest > divisor || (twiceRest == divisor && quotient % 2 == 1) ? 1 : 0);
}

void requireShownData(const Harness& h, std::size_t fileLength) {
    require(h.dialogs.messages.isEmpty(), "a file shown without a message");
    require(!h.window.ui.Scroll->isVisible() && h.window.ui.Scroll->value() == 100,
            "the progress window done");
    require(h.state.SampleCount >= 0, "a point count");
    requireArrays(h.state, fileLength);
    requirePeaks(h.state);
    requireTimeBase(h);
}

void requireNothingLoaded(const Harness& h) {
    const AppState& s = h.state;
    // The readers of other equipment's recordings say why under the message.
    require(h.dialogs.messages.size() == 1 && (h.dialogs.messages[0] == ErrorMessage ||
                                               h.dialogs.messages[0].startsWith(ErrorMessage + "\n\n")),
            "a refused file is reported once");
    require(!h.window.ui.Scroll->isVisible(), "no progress window after a refused file");
    require(!s.DataLoaded && !s.RawData.exists() && !s.TraceData.exists() && !s.Markers.exists() &&
                !s.AverageData.exists() && s.SampleCount == 0,
            "nothing left of a refused file");
}

} // namespace trazel::fuzz
