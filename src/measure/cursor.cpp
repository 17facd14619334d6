// The mouse on the plot: the measurement cursor with its readout, and the selection of continuous data.
// Cursor and selection are drawn inverted, so drawing a figure again removes it.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/curves.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <QAction>
#include <QLabel>
#include <algorithm>

namespace trazel {

void Trazel::disp_MouseDown(int Button, int /*Shift*/, double X, double Y) {
    if (!s.DataLoaded) {
        return;
    }
    setCurrentTraceScale();
    if (s.AutoPeaks) {
        placeLevelBand(Y); // a press of any button places the level band
        return;
    }
    if (Button == LeftButton) {
        if (s.CursorX != -1) {
            invertLine(s.CursorX, s.CursorTop, s.CursorX, s.CursorBottom);
            Label1->hide();
            s.CursorX = -1;
        }
        // Drawn at the stored position, so that taking the line away again hits the same pixels.
        const Single x = static_cast<Single>(cursorPosition(X));
        Label1->setText(readoutText(x));
        invertLine(x, s.CursorTop, x, s.CursorBottom);
        placeReadout(x);
        s.CursorX = x;
    } else if (Button == RightButton && !s.BlockMode) {
        moveSelection(static_cast<Single>(cursorPosition(X)));
    }
    add->setFocus();
}

void Trazel::disp_MouseMove(int Button, int /*Shift*/, double X, double Y) {
    if (Button != LeftButton || !s.DataLoaded) {
        return;
    }
    setCurrentTraceScale();
    if (s.AutoPeaks) {
        placeLevelBand(Y); // a left drag moves the level band
        return;
    }
    const Single x = static_cast<Single>(cursorPosition(X));
    Label1->hide();
    Label1->setText(readoutText(x));
    // A drag that begins without a cursor on the plot (after a redraw) has no line to take away.
    if (s.CursorX != -1) {
        invertLine(s.CursorX, s.CursorTop, s.CursorX, s.CursorBottom);
    }
    invertLine(x, s.CursorTop, x, s.CursorBottom);
    placeReadout(x);
    s.CursorX = x;
    add->setFocus();
}

void Trazel::setCurrentTraceScale() {
    setTraceScale(s, *disp, s.CurrentTrace);
}

double Trazel::cursorPosition(double X) const {
    const double screen = 0.8 * disp->ScaleWidth();
    double x = std::clamp(X, 0.0, std::max(0.0, screen));
    if (s.BlockMode) {
        x = std::min<double>(x, s.SweepLength);
    } else if (s.ViewStart + x > s.SampleCount) {
        x = s.SampleCount - s.ViewStart;
    }
    return x;
}

// The time of the position (from the sweep start in block data, from the recording start otherwise) and,
// unless the overplot view is on, the value of the shown curve nearest to it.
QString Trazel::readoutText(double x) const {
    const double screen = 0.8 * disp->ScaleWidth();
    const double time = s.BlockMode ? s.ScreenLen * x / screen : (s.ViewStart + x) * s.ScreenLen / screen;
    const QString timeText = qtext(formatNumber(time, "##0.00") + s.TimeUnit.str());
    if (mnuOverplot->isChecked()) {
        return timeText;
    }
    const int c = s.CurrentTrace;
    const bool singleShown = mnuS_A->isChecked() || mnuS->isChecked();
    const std::int64_t index = toLong(singleShown ? s.ViewStart + x : x);
    const TraceBuffer& curve = singleShown ? s.TraceData : s.AverageData;
    if (!curve.contains(index)) {
        return timeText;
    }
    return timeText + QStringLiteral(", ") + displayText(curve(c, index), "###0.0#");
}

// The readout sits beside the cursor, on its right in the left part of the plot and on its left further on.
void Trazel::placeReadout(double x) {
    const double W = disp->ScaleWidth();
    const double gap = W / 60;
    Label1->adjustSize();
    const double widthInPlot = Label1->width() * W / std::max(1, disp->width());
    const bool onTheRight = 0.4 * W > x;
    const double left = onTheRight ? x + gap : x - widthInPlot - gap;
    Label1->setAlignment((onTheRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    Label1->move(static_cast<int>(disp->toPixels(left, 0).x()), 4);
    Label1->show();
}

void Trazel::invertLine(double x1, double y1, double x2, double y2) {
    disp->setDrawMode(DrawMode::Invert);
    disp->Line(x1, y1, x2, y2);
    disp->setDrawMode(DrawMode::CopyPen);
}

void Trazel::invertBox(double x1, double y1, double x2, double y2) {
    disp->setDrawMode(DrawMode::Invert);
    disp->Box(x1, y1, x2, y2);
    disp->setDrawMode(DrawMode::CopyPen);
}

// The first right press marks the start with a line over the whole height; each later one moves the end,
// drawn as a rectangle from the start.
void Trazel::moveSelection(double x) {
    const double top = disp->ScaleTop();
    const double bottom = top + disp->ScaleHeight();
    if (s.SelStart == -1) {
        invertLine(x, top, x, bottom);
        s.SelStart = static_cast<Single>(s.ViewStart + x);
        return;
    }
    if (s.SelEnd != -1) {
        invertBox(s.SelStart - s.ViewStart, top, s.SelEnd - s.ViewStart, bottom);
    }
    invertBox(s.SelStart - s.ViewStart, top, x, bottom);
    s.SelEnd = static_cast<Single>(s.ViewStart + x);
}

} // namespace trazel
