#pragma once

#include "core/app_state.h"
#include "display/mode_controls.h"

class QWidget;

namespace trazel {

class PlotSurface;
class ProgressWindow;
class View;

// Display > PSD: replaces the sweeps of a block file by their smoothed power spectra on a frequency axis;
// Raw curves brings the sweeps back.
class SpectrumCommand {
public:
    // `window` shows the hourglass while the spectra are computed, `Scroll` their progress.
    SpectrumCommand(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
                    ProgressWindow& Scroll, QWidget& window);

    void mnuPSD_Click();
    // Fills SpectrumData from `data`, sweep by sweep.
    void ComputeSpectrum(const TraceBuffer& data);

private:
    AppState& s;
    View& m_view;
    PlotSurface& m_disp;
    ModeControls m_modes;
    ProgressWindow& m_scroll;
    QWidget& m_window;
};

} // namespace trazel
