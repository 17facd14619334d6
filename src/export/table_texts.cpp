// The results tables as clipboard text: the block means, and the whole table laid out for a word
// processor or a spreadsheet.

#include "export/table_texts.h"

#include "core/number_rules.h"
#include "export/clipboard_text.h"

#include <string_view>
#include <vector>

namespace trazel {

namespace {

// Kinds of results records.
constexpr Integer ContinuousLabel = 1;
constexpr Integer ContinuousRow = 2;
constexpr Integer MeanRow = 3;
constexpr Integer CountRow = 5;
constexpr Integer BlockLabel = 6;
constexpr Integer BlockRow = 7;

// A value column of a table: its heading and the record field it shows.
struct Column {
    std::string_view heading;
    int field;
};

constexpr Column ContinuousColumns[] = {{"X1", 1},    {"Y1", 2},   {"X2", 3},    {"Y2", 4},
                                        {"ampl.", 5}, {"tone", 6}, {"period", 7}};
constexpr Column BlockColumns[] = {{"t", 1}, {"A", 2}, {"t-dly", 3}, {"p-to-p", 5}, {"dist.", 7}};
// Statistics rows hold mean, SD and n of the fields from V5 on.
constexpr int FirstStatisticsField = 5;

bool isStatistics(Integer kind) {
    return kind >= MeanRow && kind <= CountRow;
}

std::span<const Column> columnsOf(Integer kind) {
    if (kind == BlockLabel || kind == BlockRow) {
        return BlockColumns;
    }
    return ContinuousColumns;
}

// The values of a record under the columns, numbers with two decimals; a statistics row has values only
// under the columns of the statistics fields, the others stay empty.
std::vector<std::string> valueCells(std::span<const Column> columns, const ResultRecord& record) {
    std::vector<std::string> cells(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!isStatistics(record.Kind) || columns[c].field >= FirstStatisticsField) {
            cells[c] = formatNumber(record.V(columns[c].field), "###0.00");
        }
    }
    return cells;
}

// Writes the cells of a line after its label: value column c (from 1) stands after lead + (c - 1) x gap
// tabs, so a value left out leaves its column empty.
class CellWriter {
public:
    CellWriter(std::string& line, int lead, int gap) : m_line(line), m_lead(lead), m_gap(gap) {}

    void put(int column, std::string_view text) {
        const int tabs = m_lead + (column - 1) * m_gap;
        m_line.append(static_cast<std::size_t>(tabs - m_tabs), '\t');
        m_tabs = tabs;
        m_line += text;
    }
    void putHeadings(std::span<const Column> columns) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            put(static_cast<int>(c) + 1, columns[c].heading);
        }
    }
    void putValues(std::span<const Column> columns, const ResultRecord& record) {
        const std::vector<std::string> cells = valueCells(columns, record);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (!cells[c].empty()) {
                put(static_cast<int>(c) + 1, cells[c]);
            }
        }
    }

private:
    std::string& m_line;
    int m_lead;
    int m_gap;
    int m_tabs = 0;
};

} // namespace

std::string blockMeansText(std::span<const ResultRecord> records) {
    // Two tabs before and between the three columns.
    const auto columns = std::span(ContinuousColumns).last(3);
    ClipboardText text;
    for (const ResultRecord& record : records) {
        if (record.Kind == ContinuousLabel) {
            text.addLine("");
            text.addLine(record.Text);
            CellWriter(text.line(), 2, 2).putHeadings(columns);
        } else if (isStatistics(record.Kind)) {
            CellWriter(text.line() += record.Text, 2, 2).putValues(columns, record);
        }
    }
    return std::move(text).takeEndingEveryLine();
}

std::string wholeTableText(std::span<const ResultRecord> records, TableLayout layout) {
    const int gap = layout == TableLayout::Word ? 2 : 1;
    ClipboardText text;
    // Statistics rows take the columns of the block they close, as the table shows them.
    std::span<const Column> columns = ContinuousColumns;
    for (const ResultRecord& record : records) {
        if (record.Kind == ContinuousLabel || record.Kind == BlockLabel) {
            columns = columnsOf(record.Kind);
            text.addLine(" ");
            text.addLine(record.Text);
            CellWriter(text.line(), 1, gap).putHeadings(columns);
        } else if (record.Kind == ContinuousRow || record.Kind == BlockRow || isStatistics(record.Kind)) {
            if (!isStatistics(record.Kind)) {
                columns = columnsOf(record.Kind);
            }
            CellWriter(text.line() += record.Text, 1, gap).putValues(columns, record);
        }
    }
    return std::move(text).take();
}

// A cell as a CSV file holds it: quoted, with its quotes doubled, when it holds a comma, a quote, a line
// break or blanks at an end that a spreadsheet would otherwise drop.
std::string csvCell(std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted) {
        return std::string(text);
    }
    std::string cell = "\"";
    for (char c : text) {
        cell += c;
        if (c == '"') {
            cell += '"';
        }
    }
    return cell + '"';
}

std::string tableCsv(std::span<const ResultRecord> records, bool blockLayout) {
    std::span<const Column> columns = blockLayout ? std::span<const Column>(BlockColumns) : ContinuousColumns;
    for (const ResultRecord& record : records) {
        if (record.Kind != 0 && !isStatistics(record.Kind)) {
            columns = columnsOf(record.Kind);
            break;
        }
    }
    ClipboardText text;
    const auto headerRow = [&] {
        std::string& line = text.line();
        line += "block,row";
        for (const Column& column : columns) {
            line += ',';
            line += csvCell(column.heading);
        }
    };
    headerRow();
    std::string block;
    for (const ResultRecord& record : records) {
        if (record.Kind == ContinuousLabel || record.Kind == BlockLabel) {
            block = record.Text;
            // A block of the other layout gets the heading of its own columns.
            if (const auto own = columnsOf(record.Kind); own.data() != columns.data()) {
                columns = own;
                headerRow();
            }
        } else if (record.Kind == ContinuousRow || record.Kind == BlockRow || isStatistics(record.Kind)) {
            std::string& line = text.line();
            line += csvCell(block) + ',' + csvCell(record.Text);
            for (const std::string& cell : valueCells(columns, record)) {
                line += ',' + cell;
            }
        }
    }
    return std::move(text).take();
}

} // namespace trazel
