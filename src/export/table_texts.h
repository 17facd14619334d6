#pragma once

#include "core/app_state.h"

#include <span>
#include <string>
#include <string_view>

namespace trazel {

// The whole-table copy for a word processor puts two tabs between value columns, for a spreadsheet one.
enum class TableLayout { Word, Excel };

// The statistics rows (mean, SD, n with ampl., tone and period) of a results table, each block after an
// empty line, its label and the heading; a block-mode label adds no heading. Every line ends with CR LF.
// `records` in table order.
std::string blockMeansText(std::span<const ResultRecord> records);

// Every row of a results table: each block after a line holding one blank, its label and the heading of
// its layout, then its data rows and statistics rows with the values under their columns, numbers with
// two decimals. An empty table gives an empty text.
std::string wholeTableText(std::span<const ResultRecord> records, TableLayout layout);

// A text as one CSV cell, quoted where it has to be.
std::string csvCell(std::string_view text);

// The table as a CSV file for a spreadsheet: a header row "block,row" and the value columns of its layout
// (`blockLayout` for a table without records), then a line per data or statistics row with the label of
// its block, its own label and its values, two decimals, statistics only under their columns. Commas
// between cells, CR LF between lines.
std::string tableCsv(std::span<const ResultRecord> records, bool blockLayout);

} // namespace trazel
