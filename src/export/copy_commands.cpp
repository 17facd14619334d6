// The Copy menu: the plot as a picture, the results table of the current trace as text in three layouts,
// and the sample values of the view.

#include "core/number_rules.h"
#include "display/curves.h"
#include "export/curve_points.h"
#include "export/table_texts.h"
#include "ui/clipboard.h"
#include "ui/controls.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

namespace trazel {

namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Black = rgb(0, 0, 0);

void putText(const std::string& text) {
    clipboard::clear();
    clipboard::setText(QString::fromStdString(text));
}

} // namespace

void Trazel::mnuCopyitem_Click(int Index) {
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
void Trazel::copyPicture() {
    clipboard::clear();
    const Colour background = disp->BackColor();
    const Colour pen = disp->ForeColor();
    const TraceArray<Colour> singlePens = s.SingleColour;
    const TraceArray<Colour> averagePens = s.AverageColour;
    const TraceArray<Colour> tracePens = s.TraceColour;
    disp->setBackColor(White);
    disp->setForeColor(Black);
    for (TraceArray<Colour>* pens : {&s.SingleColour, &s.AverageColour, &s.TraceColour}) {
        pens->fill(Black);
    }
    redrawView();
    printTextLabels();
    clipboard::setPicture(disp->Image());
    disp->setBackColor(background);
    disp->setForeColor(pen);
    s.SingleColour = singlePens;
    s.AverageColour = averagePens;
    s.TraceColour = tracePens;
    redrawView();
}

// The labels lie over the plot as text boxes; the picture gets their texts where they stand.
void Trazel::printTextLabels() {
    for (const TextBox* label : Text1) {
        if (label->isVisibleTo(disp)) {
            disp->setCurrentX(disp->userX(label->x()));
            disp->setCurrentY(disp->userY(label->y()));
            disp->Print(label->text());
        }
    }
}

void Trazel::CopyCurvePoints() {
    if (!s.MeasureLayout && !s.DataLoaded) {
        return;
    }
    setMousePointer(*this, MousePointer::Hourglass);
    putText(curvePointsOfView(PointsFormat::Clipboard));
    setMousePointer(*this, MousePointer::Default);
}

// The samples in view, or every sweep of the selected trace in the overplot view.
std::string Trazel::curvePointsOfView(PointsFormat format) const {
    const SampleTimes times(s.ScreenLen, 0.8 * disp->ScaleWidth());
    if (s.Overplot) {
        return overplotPointsText(s.TraceData.trace(s.CurrentTrace), s.SweepLength, s.CurveCount, times,
                                  format);
    }
    return curvePointsText(viewStretch(), times, format);
}

// The samples in view; block data are timed from the start of the sweep, continuous data from the start of
// the recording.
PointStretch Trazel::viewStretch() const {
    PointStretch stretch;
    stretch.first = toLong(s.ViewStart);
    stretch.last = lastViewPoint(s, disp->ScaleWidth());
    stretch.timeZero = s.BlockMode ? stretch.first : 0;
    stretch.single = s.ShowSingle;
    stretch.average = s.ShowAverage;
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            stretch.traces.push_back({t, s.TraceData.trace(t), s.AverageData.trace(t)});
        }
    }
    stretch.markers = s.Markers.span();
    return stretch;
}

} // namespace trazel
