#pragma once

#include "core/colour.h"

#include <QString>
#include <QWidget>
#include <vector>

class QTableView;
class QTableWidget;
class QTableWidgetItem;

namespace trazel {

// Cell alignments, numbered as the grid's callers know them.
enum class CellAlignment {
    LeftTop = 0,
    LeftCenter = 1,
    LeftBottom = 2,
    CenterTop = 3,
    CenterCenter = 4,
    CenterBottom = 5,
    RightTop = 6,
    RightCenter = 7,
    RightBottom = 8
};

// A results grid: rows and columns of text cells, the first FixedRows rows and FixedCols columns
// drawn as headers. Widths and heights are in twips.
class FlexGrid : public QWidget {
    Q_OBJECT

public:
    explicit FlexGrid(int rows, int cols, QWidget* parent = nullptr);

    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int rows);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);

    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);
    CellAlignment ColAlignment(int col) const;
    void setColAlignment(int col, CellAlignment alignment);

    // The current cell, which Text reads and writes.
    int Row() const { return m_row; }
    void setRow(int row) { m_row = row; }
    int Col() const { return m_col; }
    void setCol(int col) { m_col = col; }
    QString Text() const { return TextMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Inserts a row whose cells are the tab-separated parts of the text; index -1 appends it.
    void AddItem(const QString& text, int index = -1);
    void RemoveItem(int index);

    int TopRow() const;
    void setTopRow(int row);

    // Empties every cell; the rows and columns stay.
    void Clear();
    void Refresh();

    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool bold);

    Colour BackColor() const { return m_backColor; }
    void setBackColor(Colour colour);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidgetItem* cell(int row, int col);
    // Keeps the fixed rows in view: a second view of the same cells lies over the top of the table.
    void createFrozenRows();
    void placeFrozenRows();
    void styleCell(int row, int col);
    void styleAllCells();
    void styleCells(int rowFrom, int rowTo, int colFrom, int colTo);
    bool isFixed(int row, int col) const;
    double dpiX() const;
    double dpiY() const;

    QTableWidget* m_table;
    QTableView* m_frozen;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    Colour m_backColor;
    std::vector<CellAlignment> m_alignment;
};

} // namespace trazel
