#pragma once

#include "core/app_state.h"
#include "core/doors.h"
#include "display/mode_controls.h"

#include <array>

class QLabel;

namespace trazel {

class CommandButton;
class Dialogs;
class FlexGrid;
class PlotSurface;

// The results tables of the three traces, the Add button that the cursor hands the focus to, and the
// cursor's readout over the plot.
struct MeasureControls {
    std::array<FlexGrid*, TraceCount> Grid1{};
    CommandButton* add = nullptr;
    QLabel* Label1 = nullptr;
};

// Measuring on the plot into the results tables. The mouse on the plot places the cursor with its readout
// (left press or drag) and, in continuous data, marks a selection (right presses); Marks off wipes the
// level band and the selection. "Add" enters the cursor position, "Delete" the last line, "Newblk" closes
// the block with its statistics, "CLR" empties the tables. Automatic peaks: over a selection the level
// band is placed with the mouse and Add enters every extreme the search finds.
class Measurements final : public ResultsTables {
public:
    Measurements(AppState& state, Dialogs& dialogs, PlotSurface& disp, const ModeControls& modes,
                 const MeasureControls& controls);

    // Button 1 left, 2 right; X and Y in plot coordinates.
    void disp_MouseDown(int Button, int Shift, double X, double Y);
    void disp_MouseMove(int Button, int Shift, double X, double Y);
    void mnuMarksoff_Click();
    void mnuPeaks_Click();

    void add_Click();
    void AddResultRow();
    void CompleteRow();
    void del_Click();
    void newblk_Click();
    void BlockStatistics();
    void Clear_Click();
    void ResetTable() override;

    // The tables' start-up look: column widths, row heights, font and the header of the current mode.
    void startTables();
    // Shows the table of trace Index + 1 alone, in the evaluation layout.
    void showTableOf(int Index);

private:
    // The cursor position for a press at X: held within the view, the sweep and the data.
    double cursorPosition(double X) const;
    QString readoutText(double x) const;
    QString eventTextNear(std::int64_t index) const;
    void placeReadout(double x);
    void invertLine(double x1, double y1, double x2, double y2);
    void invertBox(double x1, double y1, double x2, double y2);
    void moveSelection(double x);
    void placeLevelBand(double Y);
    void removeLevelBand();
    void invertLevelBand();
    void searchPeaks();

    void headTable(FlexGrid& grid);
    FlexGrid& currentGrid();
    int statisticsColumn(int field) const;
    // Rows up to `row` exist in the grid of the current trace.
    void ensureTableRows(int row);
    void scrollTableTo(int tableRow);
    bool addBlockModeRow();
    void addContinuousModeRow();

    AppState& s;
    Dialogs& m_dialogs;
    PlotSurface& m_disp;
    ModeControls m_modes;
    MeasureControls m_c;
};

} // namespace trazel
