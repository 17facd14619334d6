#pragma once

#include "core/app_state.h"
#include "core/doors.h"
#include "display/mode_controls.h"

#include <vector>

class QAction;
class QWidget;

namespace trazel {

class Labels;
class PlotSurface;
class TextBox;
class View;
class Views;

// What the layouts show, hide and unlock: the controls and menus of each layout, the trace selectors and
// scale buttons (locked by a recording), the results tables, the frames that follow the controls in them,
// the two layout menus, the status line and the button that has the focus as the recording layout starts.
struct LayoutControls {
    std::vector<QWidget*> evaluationControls;
    std::vector<QAction*> evaluationMenus;
    std::vector<QWidget*> recordingControls;
    std::vector<QWidget*> viewControls;
    std::vector<QWidget*> resultTables;
    std::vector<QWidget*> panels; // shown only while a control in them is shown
    QAction* mnuMeasure = nullptr;
    QAction* mnuTrazel = nullptr;
    TextBox* status = nullptr;
    QWidget* monitor = nullptr;
};

// The rooms whose state a layout change starts afresh.
struct LayoutNeighbours {
    Views& views;
    Labels& labels;
    ResultsTables& tables;
    RecentFilesMenu& recentFiles;
    RecordingSetup& recording;
    TraceSelection& traces;
};

// The window's two layouts, each from the same fresh starting point: "Mea&sure" for recording (settings
// fields, Monitor, Record, STOP, STIM, Save, MARKER), "&Trazel" for evaluation (open, paging, cursor,
// results table, export). Either starts from the same fresh time base, trace scales and table counters,
// and shows empty axes.
class Layouts {
public:
    Layouts(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
            const LayoutControls& controls, const LayoutNeighbours& neighbours);

    void mnuTrazel_Click();
    void mnuMeasure_Click();

    // Starting values shared by the start-up and the layout commands.
    void resetTimeBase();
    void resetTraceScales();
    void resetViewState();

private:
    // Frames and panels follow the controls in them after a layout change.
    void fitPanelsToControls();

    AppState& s;
    View& m_view;
    PlotSurface& m_disp;
    ModeControls m_modes;
    LayoutControls m_c;
    LayoutNeighbours m_n;
};

} // namespace trazel
