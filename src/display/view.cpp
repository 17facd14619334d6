// The plot's shared routines as the commands call them: a redraw of whatever the view shows, and the
// overplot view of all sweeps.

#include "display/view.h"

#include "display/axes.h"
#include "display/curves.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QElapsedTimer>

namespace trazel {

namespace {

constexpr qint64 OverplotRefreshMs = 50; // the sweeps appear one after another, not one repaint each

} // namespace

void View::redrawAxesOrRequest() {
    if (s.Acquiring) {
        s.RedrawRequested = true;
    } else {
        drawAxes();
    }
}

void Plot::redraw() {
    if (s.Acquiring) {
        // A recording keeps its pen on the new axes; monitoring starts a new screen at its next point.
        if (s.Recording) {
            drawAxes();
        } else {
            s.RedrawRequested = true;
        }
        return;
    }
    if (m_c.mnuOverplot->isChecked()) {
        DrawOverplot();
        return;
    }
    drawAxes();
    if (s.DataLoaded || s.BlockMode) {
        drawCurves();
    }
}

void Plot::drawAxes() {
    DrawAxes(s, *m_c.disp, *m_c.Label1);
}

void Plot::drawCurves() {
    DrawCurves(s, *m_c.disp, *m_c.window, m_c.mnuOverplot->isChecked());
}

// The selected trace's sweeps one below the other: the first FirstDisplacement % of the plotting height
// below its top, each further one FurtherDisplacement % lower.
void Plot::DrawOverplot() {
    const HourglassPointer busy(*m_c.window);
    const int t = s.CurrentTrace;
    s.TraceOffset(t) = 0;
    s.ViewStart = 0;
    drawAxes();
    PlotSurface& disp = *m_c.disp;
    const double H = disp.ScaleHeight();
    const double step = s.FurtherDisplacement(t) * 0.8 * H / 100;
    s.TraceOffset(t) = static_cast<Single>((s.FirstDisplacement(t) / 100 - 0.5) * 0.8 * H);
    QElapsedTimer sinceRefresh;
    sinceRefresh.start();
    for (std::int64_t k = 1; k <= s.CurveCount; ++k) {
        drawCurves();
        if (sinceRefresh.elapsed() >= OverplotRefreshMs) {
            disp.Refresh();
            sinceRefresh.restart();
        }
        s.TraceOffset(t) = static_cast<Single>(s.TraceOffset(t) + step);
        s.ViewStart = static_cast<Single>(static_cast<double>(k) * s.SweepLength);
    }
    s.ViewStart = 0; // back at the start of the first curve
}

} // namespace trazel
