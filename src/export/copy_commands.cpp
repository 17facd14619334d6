// The Copy menu: the plot as a picture, the results table of the current trace as text in three layouts,
// and the sample values of the view.

#include "core/number_rules.h"
#include "display/curves.h"
#include "display/text_labels.h"
#include "display/view.h"
#include "export/curve_points.h"
#include "export/exports.h"
#include "export/table_texts.h"
#include "ui/clipboard.h"
#include "ui/controls.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <utility>

namespace trazel {

namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Black = rgb(0, 0, 0);

void putText(const std::string& text) {
    clipboard::clear();
    clipboard::setText(QString::fromStdString(text));
}

} // namespace

Exports::Exports(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, const Labels& labels,
                 QWidget& window)
    : s(state), m_dialogs(dialogs), m_view(view), m_disp(disp), m_labels(labels), m_window(window) {}

void Exports::mnuCopyitem_Click(int Index) {
    const int c = s.CurrentTrace;
    const auto records = s.Results.records(c, s.NextRecord(c) - 1);
    switch (Index) {
    case 1:
        copyPicture();
        break;
    case 2:
        putText(blockMeansText(records));
        break;
    case 3:
        putText(wholeTableText(records, TableLayout::Word));
        break;
    case 4:
        putText(wholeTableText(records, TableLayout::Excel));
        break;
    case 5:
        CopyCurvePoints();
        break;
    default:
        break;
    }
}

// The view redrawn black on white with the text labels burnt in, then redrawn in its own colours.
void Exports::copyPicture() {
    clipboard::clear();
    const Colour background = m_disp.BackColor();
    const Colour pen = m_disp.ForeColor();
    const TraceArray<Colour> singlePens = s.SingleColour;
    const TraceArray<Colour> averagePens = s.AverageColour;
    const TraceArray<Colour> tracePens = s.TraceColour;
    m_disp.setBackColor(White);
    m_disp.setForeColor(Black);
    for (TraceArray<Colour>* pens : {&s.SingleColour, &s.AverageColour, &s.TraceColour}) {
        pens->fill(Black);
    }
    m_view.redraw();
    printTextLabels();
    clipboard::setPicture(m_disp.Image());
    m_disp.setBackColor(background);
    m_disp.setForeColor(pen);
    s.SingleColour = singlePens;
    s.AverageColour = averagePens;
    s.TraceColour = tracePens;
    m_view.redraw();
}

// The labels lie over the plot as text boxes; the picture gets their texts where they stand.
void Exports::printTextLabels() {
    for (const TextBox* label : m_labels.boxes()) {
        if (label->isVisibleTo(&m_disp)) {
            m_disp.setCurrentX(m_disp.userX(label->x()));
            m_disp.setCurrentY(m_disp.userY(label->y()));
            m_disp.Print(label->text());
        }
    }
}

void Exports::CopyCurvePoints() {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    setMousePointer(m_window, MousePointer::Hourglass);
    putText(curvePointsOfView(PointsFormat::Clipboard));
    setMousePointer(m_window, MousePointer::Default);
}

// The samples in view, or every sweep of the selected trace in the overplot view.
std::string Exports::curvePointsOfView(PointsFormat format) const {
    const SampleTimes times(s.ScreenLen, 0.8 * m_disp.ScaleWidth());
    if (s.Overplot) {
        return overplotPointsText(std::as_const(s.TraceData).trace(s.CurrentTrace), s.SweepLength,
                                  s.CurveCount, times, format);
    }
    return curvePointsText(viewStretch(), times, format);
}

// The samples in view; block data are timed from the start of the sweep, continuous data from the start of
// the recording.
PointStretch Exports::viewStretch() const {
    // Read through a const view: a write access would copy shared samples and forget the marker index.
    const AppState& read = s;
    PointStretch stretch;
    stretch.first = toLong(s.ViewStart);
    stretch.last = lastViewPoint(s, m_disp.ScaleWidth());
    stretch.timeZero = s.BlockMode ? stretch.first : 0;
    stretch.single = s.ShowSingle;
    stretch.average = s.ShowAverage;
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            stretch.traces.push_back({t, read.TraceData.trace(t), read.AverageData.trace(t)});
        }
    }
    stretch.markers = read.Markers.span();
    return stretch;
}

} // namespace trazel
