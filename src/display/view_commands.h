#pragma once

#include "core/app_state.h"
#include "display/mode_controls.h"

#include <optional>
#include <string>

namespace trazel {

class CommandButton;
class Dialogs;
class PlotSurface;
class ResultsTables;
class View;

// The buttons that scale and shift the selected trace; they wear its colour.
struct ViewButtons {
    CommandButton* mul = nullptr;
    CommandButton* div = nullptr;
    CommandButton* pshift = nullptr;
    CommandButton* nshift = nullptr;
};

// The view of the evaluated data: Expand and Compress halve and double the time span, Zoom selection
// shows the selected stretch; "*2" and "/2" change the selected trace's gain, the arrows shift it by
// scale steps; Invert flips its sign; Raw curves undoes all of it; Overplot lays the sweeps one below
// the other.
class ViewCommands {
public:
    ViewCommands(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, const ModeControls& modes,
                 const ViewButtons& buttons, ResultsTables& tables);

    void mnuExpand_Click();
    void mnuCompress_Click();
    void mnuZoom_sel_Click();
    void mul_Click();
    void div_Click();
    void pshift_Click();
    void nshift_Click();
    void mnuInvert_Click();
    void mnuRaw_Click();
    void mnuOverplot_Click();
    // Paints the view buttons in the colour of trace t (1..3).
    void ColourViewButtons(int t);

private:
    // Shows a time span of `screenLen` in `unit` on a plot of `scaleWidth`, when that holds some points
    // (at least `fewestPoints`) and at most 2^31; false leaves the view as it was.
    bool showTimeSpan(Single screenLen, const std::string& unit, double scaleWidth, double fewestPoints = 0);
    double millisecondsScaleWidth(Single screenLen) const;
    void setStandardScaleWidth();
    void shiftCurrentTrace(int steps);
    std::optional<double> askDisplacement(const QString& curves, const QString& title, Single current);

    AppState& s;
    Dialogs& m_dialogs;
    View& m_view;
    PlotSurface& m_disp;
    ModeControls m_modes;
    ViewButtons m_buttons;
    ResultsTables& m_tables;
};

} // namespace trazel
