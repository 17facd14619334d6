#pragma once

#include "core/app_state.h"

class QWidget;

namespace trazel {

class PlotSurface;

// Draws the curves of the current view after DrawAxes: for every recorded trace (only the current one
// while overplot is checked) the averaged curve, then the single curve, each in its trace's scale and
// held within the trace's band; point by point while a pixel column holds at most MaxPointsPerPixel
// points, otherwise one bar from the smallest to the largest value per column. Then the marker-on bars
// and stimulus ticks above the time axis, unless a spectrum is shown. Draws nothing without data or the
// recording layout. `window` shows the hourglass meanwhile.
void DrawCurves(AppState& s, PlotSurface& disp, QWidget& window, bool overplotChecked);

// The last point of the view on a plot of scale width W: one screen from ViewStart, cut at the end of the
// data and, in block data, at the end of the sweep.
Long lastViewPoint(const AppState& s, double W);

// The vertical scale of trace c (1..3): every trace fills the same band of the plot whatever its range.
void setTraceScale(const AppState& s, PlotSurface& disp, int c);

// The marks just above the time axis, in the current vertical scale: a marker-on bar from x1 to x2 and a
// stimulus tick at x.
void drawMarkerBar(PlotSurface& disp, double x1, double x2);
void drawStimulusTick(PlotSurface& disp, double x);

} // namespace trazel
