#include "core/display_text.h"
#include "core/number_rules.h"
#include "measure/measurements.h"
#include "measure/table_layout.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/flex_grid.h"

#include <QAction>
#include <cmath>

namespace trazel {

Measurements::Measurements(AppState& state, Dialogs& dialogs, PlotSurface& disp, const ModeControls& modes,
                           const MeasureControls& controls)
    : s(state), m_dialogs(dialogs), m_disp(disp), m_modes(modes), m_c(controls) {}

void Measurements::startTables() {
    for (int k = 0; k < TraceCount; ++k) {
        FlexGrid& grid = *m_c.Grid1[static_cast<std::size_t>(k)];
        grid.setColWidth(0, LabelColumnWidthTwips);
        for (int row = 0; row < grid.Rows(); ++row) {
            grid.setRowHeight(row, TableRowHeightTwips);
        }
        grid.setFontName(QStringLiteral("Times New Roman"));
        grid.setFontSize(11);
        grid.setFontBold(true);
        headTable(grid);
        const int t = k + 1;
        s.TableRow(t) = s.BlockStartRow(t) = s.NextRecord(t) = s.EntryColumn(t) = 1;
    }
}

void Measurements::showTableOf(int Index) {
    if (s.MeasureLayout) {
        return;
    }
    for (int k = 0; k < TraceCount; ++k) {
        m_c.Grid1[static_cast<std::size_t>(k)]->setVisible(k == Index);
    }
}

void Measurements::Clear_Click() {
    ResetTable();
    moveFocusTo(*m_c.add);
}

void Measurements::ResetTable() {
    s.Results.clear();
    for (FlexGrid* grid : m_c.Grid1) {
        headTable(*grid);
    }
    for (int t = 1; t <= TraceCount; ++t) {
        s.TableRow(t) = s.BlockStartRow(t) = s.NextRecord(t) = s.EntryColumn(t) = 1;
    }
}

// Empties the table and puts the header of the current mode above a few empty rows to be written into.
void Measurements::headTable(FlexGrid& grid) {
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    grid.setRows(std::min(grid.Rows(), EmptyTableRows));
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

namespace trazel {

namespace {

constexpr int ScrollMargin = 3; // the newest row stays this many rows below the top

// The sample of trace c at point p, 0 where the data end.
float sampleAt(const AppState& s, int c, std::int64_t p) {
    return s.TraceData.contains(p) ? s.TraceData(c, p) : 0.0F;
}

// Mean of the n samples from the view start (the pre-stimulus part of the sweep); the first sample's value
// when n is 0.
Single baselineOf(const AppState& s, int c, std::int64_t n) {
    if (n < 1) {
        return sampleAt(s, c, toLong(s.ViewStart));
    }
    double sum = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        sum += sampleAt(s, c, toLong(static_cast<double>(i) + s.ViewStart));
    }
    return static_cast<Single>(sum / static_cast<double>(n));
}

} // namespace

void Measurements::add_Click() {
    if (m_modes.overplotShown() || (s.CursorX == -1 && !s.AutoPeaks)) {
        return;
    }
    if (s.NextRecord(s.CurrentTrace) > ResultCapacity) {
        return; // the table of this trace is full
    }
    if (s.AutoPeaks) {
        searchPeaks(); // enters a row for every extreme it finds
    } else {
        AddResultRow();
    }
}

void Measurements::AddResultRow() {
    const int c = s.CurrentTrace;
    const bool opensBlock = s.TableRow(c) == s.BlockStartRow(c) && s.EntryColumn(c) == 1;
    // An entry that opens a block needs a record for the label row besides its own; refused as a whole
    // when the trace's records would run out.
    if (s.NextRecord(c) + (opensBlock ? 1 : 0) > ResultCapacity) {
        return;
    }
    ensureTableRows(s.TableRow(c) + 1);
    if (s.BlockMode) {
        if (addBlockModeRow()) {
            scrollTableTo(s.TableRow(c));
        }
    } else {
        addContinuousModeRow();
    }
}

// One row per press: the time from the sweep start and from the stimulus, the amplitude against the
// pre-stimulus baseline and, from the second row of a block on, the differences to the row before.
// False when a question was cancelled.
bool Measurements::addBlockModeRow() {
    const int c = s.CurrentTrace;
    FlexGrid& grid = currentGrid();
    grid.setRow(s.TableRow(c));
    if (s.TableRow(c) == s.BlockStartRow(c)) {
        if (s.StimDelay == 0) {
            const QString answer = m_dialogs.InputBox(QStringLiteral("Enter stimulus delay (ms):"),
                                                      QStringLiteral("Stimulus delay"), {});
            if (answer.isEmpty()) {
                return false;
            }
            s.StimDelay = toInteger(leadingNumber(answer.toStdString()));
        }
        const std::int64_t n = s.StimDelay >= 1 ? toLong(s.StimDelay / 1000.0 / s.SampleInterval)
                                                : static_cast<std::int64_t>(s.SweepLength);
        s.Baseline = baselineOf(s, c, n);
        const QString label = m_dialogs.InputBox(QStringLiteral("Enter short label for block: "),
                                                 QStringLiteral("Block label"), {});
        if (label.isEmpty()) {
            return false;
        }
        const std::string delay = formatNumber(s.StimDelay, "#### ms");
        const std::string baseline = formatNumber(s.Baseline, "####0.0#");
        grid.setTextMatrix(s.TableRow(c), 0, label);
        grid.setTextMatrix(s.TableRow(c), 1, qtext("dly: " + delay));
        grid.setTextMatrix(s.TableRow(c), 2, qtext("zero: " + baseline));
        ResultRecord& labelRecord = s.Results(c, s.NextRecord(c));
        labelRecord.Kind = 6;
        labelRecord.Text = label.toStdString() + "     dly: " + delay + "      baseline: " + baseline;
        s.NextRecord(c) += 1;
        s.TableRow(c) += 1;
        grid.setRow(s.TableRow(c));
    }
    const int row = s.TableRow(c);
    const int k = s.NextRecord(c);
    const std::string number = formatNumber(row - s.BlockStartRow(c), "###");
    ResultRecord& record = s.Results(c, k);
    record.Kind = 7;
    record.Text = number;
    record.V(1) = s.CursorX * s.SampleInterval * 1000;
    record.V(2) = sampleAt(s, c, toLong(s.CursorX + s.ViewStart)) - s.Baseline;
    record.V(3) = record.V(1) - s.StimDelay;
    grid.setTextMatrix(row, 0, qtext(number));
    for (int col = 1; col <= 3; ++col) {
        grid.setTextMatrix(row, col, displayText(record.V(col), "###0.0#"));
    }
    if (row > s.BlockStartRow(c) + 1) {
        const ResultRecord& previous = s.Results(c, k - 1);
        record.V(5) = record.V(2) - previous.V(2);
        record.V(7) = record.V(1) - previous.V(1);
        grid.setTextMatrix(row, 4, displayText(record.V(5), "###0.0#"));
        grid.setTextMatrix(row, 5, displayText(record.V(7), "###0.0#"));
    }
    s.NextRecord(c) += 1;
    s.TableRow(c) += 1;
    s.EntryColumn(c) = 1;
    return true;
}

// Two presses per row: the first point (time in the recording and level), then the second, after which
// the row gets its amplitude, tone and period.
void Measurements::addContinuousModeRow() {
    const int c = s.CurrentTrace;
    FlexGrid& grid = currentGrid();
    const Single x = (s.CursorX + s.ViewStart) * s.SampleInterval;
    const Single y = sampleAt(s, c, toLong(s.CursorX + s.ViewStart));
    if (s.EntryColumn(c) == 1) {
        if (s.TableRow(c) == s.BlockStartRow(c)) {
            const QString label = m_dialogs.InputBox(QStringLiteral("Enter short label for block: "),
                                                     QStringLiteral("block label"), {});
            grid.setTextMatrix(s.TableRow(c), 0, label);
            ResultRecord& labelRecord = s.Results(c, s.NextRecord(c));
            labelRecord.Kind = 1;
            labelRecord.Text = label.toStdString();
            s.NextRecord(c) += 1;
            s.TableRow(c) += 1;
        }
        const std::string number = formatNumber(s.TableRow(c) - s.BlockStartRow(c), "###");
        grid.setTextMatrix(s.TableRow(c), 0, qtext(number));
        ResultRecord& record = s.Results(c, s.NextRecord(c));
        record.Kind = 2;
        record.Text = number;
        record.V(1) = x;
        record.V(2) = y;
    } else if (s.EntryColumn(c) == 3) {
        ResultRecord& record = s.Results(c, s.NextRecord(c));
        record.V(3) = x;
        record.V(4) = y;
    }
    grid.setRow(s.TableRow(c));
    grid.setTextMatrix(s.TableRow(c), s.EntryColumn(c), displayText(x, "###0.00"));
    grid.setTextMatrix(s.TableRow(c), s.EntryColumn(c) + 1, displayText(y, "###0.00"));
    s.EntryColumn(c) += 2;
    scrollTableTo(s.TableRow(c));
    if (s.EntryColumn(c) == 5) {
        CompleteRow();
    }
}

void Measurements::CompleteRow() {
    const int c = s.CurrentTrace;
    FlexGrid& grid = currentGrid();
    const int row = s.TableRow(c);
    const int k = s.NextRecord(c);
    ResultRecord& record = s.Results(c, k);
    record.V(5) = std::abs(record.V(4) - record.V(2));
    record.V(6) = (record.V(4) + record.V(2)) / 2;
    grid.setTextMatrix(row, 5, displayText(record.V(5), "###0.00"));
    grid.setTextMatrix(row, 6, displayText(record.V(6), "###0.00"));
    if (row > s.BlockStartRow(c) + 1) {
        record.V(7) = record.V(1) - s.Results(c, k - 1).V(1);
        grid.setTextMatrix(row, 7, displayText(record.V(7), "###0.00"));
    }
    s.NextRecord(c) += 1;
    s.TableRow(c) += 1;
    s.EntryColumn(c) = 1;
}

void Measurements::del_Click() {
    const int c = s.CurrentTrace;
    if (!s.DataLoaded || (s.TableRow(c) == s.BlockStartRow(c) && s.EntryColumn(c) == 1)) {
        return;
    }
    if (m_dialogs.MsgBox(QStringLiteral("Do you want to clear last line?"), MsgButtons::YesNo,
                         MsgIcon::Question, QStringLiteral("Confirm delete")) != MsgAnswer::Yes) {
        return;
    }
    if (s.EntryColumn(c) == 1) {
        s.TableRow(c) -= 1;
        s.NextRecord(c) -= 1;
    }
    FlexGrid& grid = currentGrid();
    // An empty row at the end keeps the number of rows the table offers.
    grid.RemoveItem(s.TableRow(c));
    grid.AddItem(QString());
    grid.Refresh();
    s.EntryColumn(c) = 1;
}

FlexGrid& Measurements::currentGrid() {
    return *m_c.Grid1[static_cast<std::size_t>(s.CurrentTrace - 1)];
}

void Measurements::ensureTableRows(int row) {
    FlexGrid& grid = currentGrid();
    if (grid.Rows() <= row) {
        grid.setRows(row + 1);
    }
}

void Measurements::scrollTableTo(int tableRow) {
    currentGrid().setTopRow(std::max(1, tableRow - ScrollMargin));
}

} // namespace trazel
