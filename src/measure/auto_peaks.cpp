// Automatic peaks: over a selection of continuous data the user drops a level band across the curve, and
// one press of Add enters the trough and the peak of every wave that crosses the band into the table.

#include "core/number_rules.h"
#include "display/curves.h"
#include "measure/measurements.h"
#include "measure/peak_search.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <utility>

namespace trazel {

void Measurements::mnuPeaks_Click() {
    if (m_modes.overplotShown() || s.SelStart == -1 || s.SelEnd == -1) {
        return;
    }
    if (!s.AutoPeaks) {
        s.AutoPeaks = true;
        return;
    }
    removeLevelBand();
    s.AutoPeaks = false;
}

// The band's lower line at Y, held within 0.4 of the plot height of zero; the trace's scale is set.
void Measurements::placeLevelBand(double Y) {
    const double limit = 0.4 * std::abs(m_disp.ScaleHeight());
    removeLevelBand();
    s.LevelY(s.CurrentTrace) = static_cast<Single>(std::clamp(Y, -limit, limit));
    invertLevelBand();
}

void Measurements::removeLevelBand() {
    if (s.LevelY(s.CurrentTrace) != NoLevel) {
        setTraceScale(s, m_disp, s.CurrentTrace);
        invertLevelBand();
        s.LevelY(s.CurrentTrace) = NoLevel;
    }
}

// Both lines, drawn inverted, so drawing them again takes them away.
void Measurements::invertLevelBand() {
    const double lower = s.LevelY(s.CurrentTrace);
    const double upper = lower + std::abs(m_disp.ScaleHeight()) / s.LevelBandDivisor;
    for (const double y : {lower, upper}) {
        invertLine(s.SelStart - s.ViewStart, y, s.SelEnd - s.ViewStart, y);
    }
}

void Measurements::searchPeaks() {
    const int c = s.CurrentTrace;
    if (s.LevelY(c) == NoLevel || s.SelStart == -1 || s.SelEnd == -1) {
        return; // no band, or no range to search
    }
    setTraceScale(s, m_disp, s.CurrentTrace);
    if (s.CursorX != -1) {
        invertLine(s.CursorX, s.CursorTop, s.CursorX, s.CursorBottom);
        m_c.Label1->hide();
        s.CursorX = -1;
    }
    const Single lo = s.LevelY(c);
    const auto hi = static_cast<Single>(std::abs(m_disp.ScaleHeight()) / s.LevelBandDivisor + lo);
    // A record takes two entries, a trough and a peak: the search stops where the trace's table is full.
    const auto entriesLeft = 2 * static_cast<std::size_t>(std::max(0, ResultCapacity + 1 - s.NextRecord(c)));
    const PeakSearch found = findPeaks(std::as_const(s.TraceData).trace(c), s.TraceOffset(c),
                                       toLong(std::min(s.SelStart, s.SelEnd)),
                                       toLong(std::max(s.SelStart, s.SelEnd)), lo, hi, entriesLeft);
    for (const std::int64_t point : found.extremes) {
        if (s.NextRecord(c) > ResultCapacity) {
            break; // the trace's table is full
        }
        s.CursorX = static_cast<Single>(static_cast<double>(point) - s.ViewStart);
        AddResultRow();
    }
    s.CursorX = -1;
    if (found.ended) {
        removeLevelBand();
        s.AutoPeaks = false;
    }
}

} // namespace trazel
