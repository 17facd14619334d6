#pragma once

#include "core/app_state.h"

class QAction;
class QLabel;
class QWidget;

namespace trazel {

class PlotSurface;

// The plot as every command redraws it.
class View {
public:
    // What the current view shows: the axes, and the curves once there are any, or the overplot view;
    // while the acquisition loop runs, as the loop needs it.
    virtual void redraw() = 0;
    // DrawAxes: clears the plot and draws the axes in the current trace's scale.
    virtual void drawAxes() = 0;
    // DrawCurves: the curves and marks of the current view.
    virtual void drawCurves() = 0;
    // The selected trace's sweeps one below the other.
    virtual void DrawOverplot() = 0;
    void drawAxesAndCurves() {
        drawAxes();
        drawCurves();
    }
    // Redraws the axes now, or asks the running acquisition loop to start a new screen.
    void redrawAxesOrRequest();

protected:
    explicit View(AppState& state) : s(state) {}
    ~View() = default;
    AppState& s;
};

// What the plot is drawn with: the surface, the cursor readout over it (which a new picture removes), the
// overplot check mark (the overplot view is read back from it) and the window that shows the hourglass.
struct PlotControls {
    PlotSurface* disp = nullptr;
    QLabel* Label1 = nullptr;
    QAction* mnuOverplot = nullptr;
    QWidget* window = nullptr;
};

// The view drawn through the shared routines DrawAxes, DrawCurves and DrawOverplot.
class Plot final : public View {
public:
    Plot(AppState& state, const PlotControls& controls) : View(state), m_c(controls) {}

    void redraw() override;
    void drawAxes() override;
    void drawCurves() override;
    void DrawOverplot() override;

private:
    PlotControls m_c;
};

} // namespace trazel
