#pragma once

#include "core/app_state.h"
#include "display/mode_controls.h"

class QLabel;
class QWidget;

namespace trazel {

class CommandButton;
class PlotSurface;
class TextBox;
class View;

// The controls of the curve views besides the mode controls: the paging button that takes the focus, the
// status line, the count of averaged sweeps and STIM, which takes the focus after an accept while sweeps
// are recorded.
struct ViewsControls {
    CommandButton* PgDn = nullptr;
    TextBox* status = nullptr;
    QLabel* ave_count = nullptr;
    QWidget* stim = nullptr;
};

// Which curves are drawn (single, average or both), paging through sweeps or screens, and the running
// average of the sweeps the user accepts.
class Views {
public:
    Views(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
          const ViewsControls& controls);

    void mnuS_A_Click();
    void mnuA_S_Click();
    void mnuS_Click();
    void mnuA_Click();
    void PgDn_Click();
    void PgUp_Click();
    void accept_Click();
    void clear_ave_Click();

    // "current curve: 3/12     averaged: 2" in the status line.
    void writeCurveStatus();
    // Continuous data show single curves only: the average selections and the sweep tools are off.
    void resetDisplayForContinuous();
    // No sweep averaged yet, and the count shown so.
    void clearAveragedCount();

private:
    struct DisplaySelection;
    void selectDisplay(QAction* chosen, const DisplaySelection& selection);
    void leaveOverplot();

    AppState& s;
    View& m_view;
    PlotSurface& m_disp;
    ModeControls m_modes;
    ViewsControls m_c;
};

} // namespace trazel
