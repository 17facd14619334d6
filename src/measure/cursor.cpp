// The mouse on the plot: the measurement cursor with its readout, the selection of continuous data, and
// Marks off. Cursor and selection are drawn inverted, so drawing a figure again removes it.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/curves.h"
#include "measure/measurements.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <cmath>

namespace trazel {

void Measurements::disp_MouseDown(int Button, int /*Shift*/, double X, double Y) {
    if (!s.DataLoaded) {
        return;
    }
    setTraceScale(s, m_disp, s.CurrentTrace);
    if (s.AutoPeaks) {
        placeLevelBand(Y); // a press of any button places the level band
        return;
    }
    if (Button == LeftButton) {
        if (s.CursorX != -1) {
            invertLine(s.CursorX, s.CursorTop, s.CursorX, s.CursorBottom);
            m_c.Label1->hide();
            s.CursorX = -1;
        }
        // Drawn at the stored position, so that taking the line away again hits the same pixels.
        const Single x = static_cast<Single>(cursorPosition(X));
        m_c.Label1->setText(readoutText(x));
        invertLine(x, s.CursorTop, x, s.CursorBottom);
        placeReadout(x);
        s.CursorX = x;
    } else if (Button == RightButton && !s.BlockMode) {
        moveSelection(static_cast<Single>(cursorPosition(X)));
    }
    m_c.add->setFocus();
}

void Measurements::disp_MouseMove(int Button, int /*Shift*/, double X, double Y) {
    if (Button != LeftButton || !s.DataLoaded) {
        return;
    }
    setTraceScale(s, m_disp, s.CurrentTrace);
    if (s.AutoPeaks) {
        placeLevelBand(Y); // a left drag moves the level band
        return;
    }
    const Single x = static_cast<Single>(cursorPosition(X));
    m_c.Label1->hide();
    m_c.Label1->setText(readoutText(x));
    // A drag that begins without a cursor on the plot (after a redraw) has no line to take away.
    if (s.CursorX != -1) {
        invertLine(s.CursorX, s.CursorTop, s.CursorX, s.CursorBottom);
    }
    invertLine(x, s.CursorTop, x, s.CursorBottom);
    placeReadout(x);
    s.CursorX = x;
    m_c.add->setFocus();
}

void Measurements::mnuMarksoff_Click() {
    setTraceScale(s, m_disp, s.CurrentTrace);
    if (s.LevelY(s.CurrentTrace) != NoLevel) {
        removeLevelBand();
        s.AutoPeaks = false;
    }
    const double top = m_disp.ScaleTop();
    const double bottom = top + m_disp.ScaleHeight();
    if (s.SelStart != -1 && s.SelEnd != -1) {
        invertLine(s.SelStart - s.ViewStart, top, s.SelStart - s.ViewStart, bottom);
        invertBox(s.SelStart - s.ViewStart, top, s.SelEnd - s.ViewStart, bottom);
        s.SelStart = s.SelEnd = -1;
    } else if (s.SelStart != -1) {
        invertLine(s.SelStart - s.ViewStart, top, s.SelStart - s.ViewStart, bottom);
        s.SelStart = -1;
    }
}

double Measurements::cursorPosition(double X) const {
    const double screen = 0.8 * m_disp.ScaleWidth();
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
QString Measurements::readoutText(double x) const {
    const double screen = 0.8 * m_disp.ScaleWidth();
    const double time = s.BlockMode ? s.ScreenLen * x / screen : (s.ViewStart + x) * s.ScreenLen / screen;
    const QString timeText = qtext(formatNumber(time, "##0.00") + s.TimeUnit.str());
    if (m_modes.overplotShown()) {
        return timeText;
    }
    const int c = s.CurrentTrace;
    const bool singleShown = m_modes.singleShown();
    const std::int64_t index = toLong(singleShown ? s.ViewStart + x : x);
    const TraceBuffer& curve = singleShown ? s.TraceData : s.AverageData;
    if (!curve.contains(index)) {
        return timeText;
    }
    const QString valueText = timeText + QStringLiteral(", ") + displayText(curve(c, index), "###0.0#");
    const QString events = singleShown ? eventTextNear(index) : QString();
    return events.isEmpty() ? valueText : valueText + QStringLiteral("   ") + events;
}

// The texts of the file's events at a point, or within two pixels of it: a single point's stimulus is
// hard to hit exactly on a long view.
QString Measurements::eventTextNear(std::int64_t index) const {
    const double pointsPerPixel = m_disp.ScaleWidth() / std::max(1, m_disp.width());
    const auto reach = static_cast<std::int64_t>(std::ceil(2 * pointsPerPixel));
    QStringList texts;
    for (const FileEvent& event : s.Events) {
        if (event.first - reach <= index && index <= event.last + reach) {
            texts << QString::fromStdString(event.text);
        }
    }
    return texts.join(QStringLiteral("; "));
}

// The readout sits beside the cursor, on its right in the left part of the plot and on its left further on.
void Measurements::placeReadout(double x) {
    const double W = m_disp.ScaleWidth();
    const double gap = W / 60;
    m_c.Label1->adjustSize();
    const double widthInPlot = m_c.Label1->width() * W / std::max(1, m_disp.width());
    const bool onTheRight = 0.4 * W > x;
    const double left = onTheRight ? x + gap : x - widthInPlot - gap;
    m_c.Label1->setAlignment((onTheRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    m_c.Label1->move(static_cast<int>(m_disp.toPixels(left, 0).x()), 4);
    m_c.Label1->show();
}

void Measurements::invertLine(double x1, double y1, double x2, double y2) {
    m_disp.setDrawMode(DrawMode::Invert);
    m_disp.Line(x1, y1, x2, y2);
    m_disp.setDrawMode(DrawMode::CopyPen);
}

void Measurements::invertBox(double x1, double y1, double x2, double y2) {
    m_disp.setDrawMode(DrawMode::Invert);
    m_disp.Box(x1, y1, x2, y2);
    m_disp.setDrawMode(DrawMode::CopyPen);
}

// The first right press marks the start with a line over the whole height; each later one moves the end,
// drawn as a rectangle from the start.
void Measurements::moveSelection(double x) {
    const double top = m_disp.ScaleTop();
    const double bottom = top + m_disp.ScaleHeight();
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
