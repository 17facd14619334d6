// Closing a block of rows of the current trace's results table: mean, SD and n rows over the value
// columns 5, 6 and 7 when it has two data rows or more, then a thin separator row.

#include "core/display_text.h"
#include "core/number_rules.h"
#include "measure/measurements.h"
#include "measure/statistics.h"
#include "ui/flex_grid.h"

#include <vector>

namespace trazel {

namespace {

constexpr int SeparatorHeightTwips = 10;
constexpr int StatisticsRecords = 3;

} // namespace

// The column under whose header a value field stands: amplitude, tone and period in continuous data;
// p-to-p and dist. in block data, which have no sixth value (0: not shown).
int Measurements::statisticsColumn(int field) const {
    if (!s.BlockMode) {
        return field;
    }
    return field == 5 ? 4 : (field == 7 ? 5 : 0);
}

void Measurements::newblk_Click() {
    const int c = s.CurrentTrace;
    if (!s.DataLoaded || s.EntryColumn(c) != 1) {
        return;
    }
    if (s.TableRow(c) > s.BlockStartRow(c) + 2) {
        BlockStatistics();
    } else if (s.TableRow(c) == s.BlockStartRow(c) + 2) {
        ensureTableRows(s.TableRow(c));
        currentGrid().setRowHeight(s.TableRow(c), SeparatorHeightTwips);
        s.TableRow(c) += 1;
        s.BlockStartRow(c) = s.TableRow(c);
    }
}

void Measurements::BlockStatistics() {
    const int c = s.CurrentTrace;
    if (s.TableRow(c) - s.BlockStartRow(c) <= 2) {
        return;
    }
    const int r = s.TableRow(c);
    const int k = s.NextRecord(c);
    if (k + StatisticsRecords - 1 > ResultCapacity) {
        return; // no room for the three statistics records
    }
    const int last = k - 1;
    const int first = k - r + s.BlockStartRow(c) + 1;
    ensureTableRows(r + 3);
    FlexGrid& grid = currentGrid();
    const char* labels[] = {"mean", "SD", "n"};
    for (int i = 0; i < StatisticsRecords; ++i) {
        grid.setTextMatrix(r + i, 0, QString::fromLatin1(labels[i]));
        s.Results(c, k + i).Kind = static_cast<Integer>(3 + i);
        s.Results(c, k + i).Text = labels[i];
    }
    for (int field = 5; field <= 7; ++field) {
        const int column = statisticsColumn(field);
        // The first data row of a block has no period (dist.) and, in block data, no p-to-p either.
        const bool noFirstValue = field == 7 || (field == 5 && s.BlockMode);
        const int from = noFirstValue ? first + 1 : first;
        std::vector<float> values;
        for (int record = from; record <= last; ++record) {
            values.push_back(s.Results(c, record).V(field));
        }
        const SampleStatistics statistics = sampleStatistics(values);
        if (column > 0) {
            grid.setTextMatrix(r, column, displayText(statistics.mean, "###0.00"));
            grid.setTextMatrix(r + 1, column, displayText(statistics.sd, "###0.00"));
            grid.setTextMatrix(r + 2, column, displayText(statistics.count, "###0"));
        }
        s.Results(c, k).V(field) = static_cast<Single>(statistics.mean);
        s.Results(c, k + 1).V(field) = static_cast<Single>(statistics.sd);
        s.Results(c, k + 2).V(field) = static_cast<Single>(statistics.count);
    }
    grid.setRowHeight(r + 3, SeparatorHeightTwips);
    s.TableRow(c) += 4;
    s.BlockStartRow(c) = s.TableRow(c);
    scrollTableTo(s.TableRow(c));
    s.NextRecord(c) += StatisticsRecords;
}

} // namespace trazel
