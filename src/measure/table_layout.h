#pragma once

namespace trazel {

// Header rows of the results tables, tab-separated, column 0 first. The blanks are part of the texts:
// they line the headers up over the numbers.
inline constexpr const char* ContinuousTableHeader =
    " \t     x1\t     y1\t     x2\t     y2\t  ampl.\t   tone\t period";
inline constexpr const char* BlockTableHeader = " \t        t\t        A\t    t-dly\t   p-to-p\t    dist.";

inline constexpr int TableColumnCount = 8;
// Empty rows a table offers below its header after a reset; it grows as rows are entered.
inline constexpr int EmptyTableRows = 2;
inline constexpr int LabelColumnWidthTwips = 1132;
inline constexpr int TableRowHeightTwips = 255;
inline constexpr int ContinuousColumnWidthTwips = 850;
inline constexpr int BlockColumnWidthTwips = 1190;

} // namespace trazel
