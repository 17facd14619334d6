#include "core/main_window.h"
#include "measure/table_layout.h"
#include "ui/flex_grid.h"

namespace trazel {

void Trazel::ResetTable() {
    s.Results.clear();
    for (FlexGrid* grid : Grid1) {
        headTable(*grid);
    }
    for (int t = 1; t <= TraceCount; ++t) {
        s.TableRow(t) = s.BlockStartRow(t) = s.NextRecord(t) = s.EntryColumn(t) = 1;
    }
}

// Empties the table and puts the header of the current mode above the emptied rows, which stay to be
// written into.
void Trazel::headTable(FlexGrid& grid) {
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    grid.Clear();
    const int width = s.BlockMode ? BlockColumnWidthTwips : ContinuousColumnWidthTwips;
    for (int col = 1; col < grid.Cols(); ++col) {
        grid.setColAlignment(col, CellAlignment::LeftCenter);
        grid.setColWidth(col, width);
    }
    grid.setRow(0);
    grid.AddItem(QString::fromLatin1(s.BlockMode ? BlockTableHeader : ContinuousTableHeader), 0);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.Refresh();
}

} // namespace trazel
