#pragma once

#include "core/app_state.h"

class QLabel;

namespace trazel {

class PlotSurface;

// Prepares the plot for a new picture: scales every trace from its peak, sets the plot coordinates for
// the current trace, stores the axis geometry, clears the plot, draws the time axis and the current
// trace's amplitude axis, and removes every measurement mark (cursor, readout, selection, level band).
// The plot's scale width must already hold one screen of points divided by 0.8.
void DrawAxes(AppState& s, PlotSurface& disp, QLabel& Label1);

// The scale width that puts one continuous screen (ScreenLen in TimeUnit) on 80 % of the plot.
Single continuousScaleWidth(const AppState& s);

// The plot's width in pixels into PlotWidthPx, keeping its scale width.
void measurePlotWidth(AppState& s, PlotSurface& disp);

} // namespace trazel
