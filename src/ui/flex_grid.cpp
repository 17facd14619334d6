#include "ui/flex_grid.h"

#include "ui/qt_colour.h"
#include "ui/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace trazel {

namespace {

constexpr int DefaultRowHeightTwips = 255;
constexpr int DefaultColWidthTwips = 960;
const QColor FixedCellColour(0xE4, 0xE7, 0xEB);

Qt::Alignment toQtAlignment(CellAlignment alignment) {
    const int code = static_cast<int>(alignment);
    const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[code / 3] | vertical[code % 3];
}

} // namespace

FlexGrid::FlexGrid(int rows, int cols, QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(rows, cols, this)), m_frozen(nullptr),
      m_backColor(rgb(255, 255, 255)),
      m_alignment(static_cast<std::size_t>(cols), CellAlignment::LeftCenter) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setMinimumSectionSize(1);
    m_table->horizontalHeader()->setMinimumSectionSize(1);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setWordWrap(false);
    for (int col = 0; col < cols; ++col) {
        setColWidth(col, DefaultColWidthTwips);
    }
    for (int row = 0; row < rows; ++row) {
        setRowHeight(row, DefaultRowHeightTwips);
    }
    styleAllCells();
    createFrozenRows();
}

void FlexGrid::createFrozenRows() {
    m_frozen = new QTableView(m_table);
    m_frozen->setModel(m_table->model());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->horizontalHeader()->hide();
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setMinimumSectionSize(1);
    m_frozen->verticalHeader()->setMinimumSectionSize(1);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setSelectionMode(QAbstractItemView::NoSelection);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->setWordWrap(false);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int size) { m_frozen->setColumnWidth(col, size); });
    connect(m_table->verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        m_frozen->setRowHeight(row, size);
        placeFrozenRows();
    });
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, m_frozen->horizontalScrollBar(),
            &QScrollBar::setValue);
    m_table->installEventFilter(this);
    placeFrozenRows();
}

void FlexGrid::placeFrozenRows() {
    if (!m_frozen) {
        return;
    }
    int height = 0;
    for (int row = 0; row < std::min(m_fixedRows, Rows()); ++row) {
        height += m_table->rowHeight(row);
    }
    for (int col = 0; col < Cols(); ++col) {
        m_frozen->setColumnWidth(col, m_table->columnWidth(col));
    }
    for (int row = 0; row < std::min(m_fixedRows, Rows()); ++row) {
        m_frozen->setRowHeight(row, m_table->rowHeight(row));
    }
    const QRect viewport = m_table->viewport()->geometry();
    m_frozen->setGeometry(viewport.x(), viewport.y(), viewport.width(), height);
    m_frozen->setVisible(height > 0);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::Resize) {
        placeFrozenRows();
    }
    return QWidget::eventFilter(watched, event);
}

int FlexGrid::Rows() const {
    return m_table->rowCount();
}

void FlexGrid::setRows(int rows) {
    const int before = Rows();
    m_table->setRowCount(std::max(0, rows));
    for (int row = before; row < Rows(); ++row) {
        setRowHeight(row, DefaultRowHeightTwips);
        for (int col = 0; col < Cols(); ++col) {
            styleCell(row, col);
        }
    }
}

int FlexGrid::Cols() const {
    return m_table->columnCount();
}

void FlexGrid::setCols(int cols) {
    const int before = Cols();
    m_table->setColumnCount(std::max(0, cols));
    m_alignment.resize(static_cast<std::size_t>(Cols()), CellAlignment::LeftCenter);
    for (int col = before; col < Cols(); ++col) {
        setColWidth(col, DefaultColWidthTwips);
    }
    styleAllCells();
}

void FlexGrid::setFixedRows(int rows) {
    const int before = m_fixedRows;
    m_fixedRows = std::clamp(rows, 0, Rows());
    styleCells(std::min(before, m_fixedRows), std::max(before, m_fixedRows), 0, Cols());
    placeFrozenRows();
}

void FlexGrid::setFixedCols(int cols) {
    const int before = m_fixedCols;
    m_fixedCols = std::clamp(cols, 0, Cols());
    styleCells(0, Rows(), std::min(before, m_fixedCols), std::max(before, m_fixedCols));
}

int FlexGrid::ColWidth(int col) const {
    return static_cast<int>(std::lround(pixelsToTwips(m_table->columnWidth(col), dpiX())));
}

void FlexGrid::setColWidth(int col, int twips) {
    m_table->setColumnWidth(col, twipsToPixels(twips, dpiX()));
}

int FlexGrid::RowHeight(int row) const {
    return static_cast<int>(std::lround(pixelsToTwips(m_table->rowHeight(row), dpiY())));
}

void FlexGrid::setRowHeight(int row, int twips) {
    m_table->setRowHeight(row, twipsToPixels(twips, dpiY()));
}

CellAlignment FlexGrid::ColAlignment(int col) const {
    return m_alignment.at(static_cast<std::size_t>(col));
}

void FlexGrid::setColAlignment(int col, CellAlignment alignment) {
    m_alignment.at(static_cast<std::size_t>(col)) = alignment;
    for (int row = 0; row < Rows(); ++row) {
        styleCell(row, col);
    }
}

QString FlexGrid::TextMatrix(int row, int col) const {
    const QTableWidgetItem* item = m_table->item(row, col);
    return item ? item->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (QTableWidgetItem* item = cell(row, col)) {
        item->setText(text);
    }
}

void FlexGrid::AddItem(const QString& text, int index) {
    const int row = (index < 0 || index > Rows()) ? Rows() : index;
    m_table->insertRow(row);
    setRowHeight(row, DefaultRowHeightTwips);
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (int col = 0; col < Cols(); ++col) {
        styleCell(row, col);
        if (col < parts.size()) {
            cell(row, col)->setText(parts[col]);
        }
    }
    if (row < m_fixedRows) {
        styleCells(row, m_fixedRows + 1, 0, Cols()); // a row pushed out of the fixed rows
    }
}

void FlexGrid::RemoveItem(int index) {
    if (index >= 0 && index < Rows()) {
        m_table->removeRow(index);
    }
}

// The fixed rows cover the top of the table, so the first row visible under them is the scroll position
// plus their count.
int FlexGrid::TopRow() const {
    return m_table->verticalScrollBar()->value() + m_fixedRows;
}

void FlexGrid::setTopRow(int row) {
    m_table->doItemsLayout(); // the scroll range follows rows added since the last paint
    m_table->verticalScrollBar()->setValue(std::max(0, row - m_fixedRows));
}

void FlexGrid::Clear() {
    for (int row = 0; row < Rows(); ++row) {
        for (int col = 0; col < Cols(); ++col) {
            if (QTableWidgetItem* item = m_table->item(row, col)) {
                item->setText(QString());
            }
        }
    }
}

void FlexGrid::Refresh() {
    m_table->viewport()->update();
}

void FlexGrid::setFontName(const QString& name) {
    QFont font = m_table->font();
    font.setFamily(name);
    m_table->setFont(font);
}

void FlexGrid::setFontSize(double points) {
    QFont font = m_table->font();
    font.setPointSizeF(points);
    m_table->setFont(font);
}

void FlexGrid::setFontBold(bool bold) {
    QFont font = m_table->font();
    font.setBold(bold);
    m_table->setFont(font);
}

void FlexGrid::setBackColor(Colour colour) {
    m_backColor = colour;
    styleAllCells();
}

QTableWidgetItem* FlexGrid::cell(int row, int col) {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols()) {
        return nullptr;
    }
    if (!m_table->item(row, col)) {
        styleCell(row, col);
    }
    return m_table->item(row, col);
}

void FlexGrid::styleCell(int row, int col) {
    QTableWidgetItem* item = m_table->item(row, col);
    if (!item) {
        m_table->setItem(row, col, item = new QTableWidgetItem);
    }
    const bool fixed = isFixed(row, col);
    item->setBackground(fixed ? FixedCellColour : toQColor(m_backColor));
    item->setTextAlignment(fixed && row < m_fixedRows ? Qt::AlignLeft | Qt::AlignVCenter
                                                      : toQtAlignment(ColAlignment(col)));
    item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

void FlexGrid::styleAllCells() {
    styleCells(0, Rows(), 0, Cols());
}

// Restyles rows rowFrom .. rowTo - 1 and columns colFrom .. colTo - 1: the cells whose kind changed.
void FlexGrid::styleCells(int rowFrom, int rowTo, int colFrom, int colTo) {
    for (int row = rowFrom; row < std::min(rowTo, Rows()); ++row) {
        for (int col = colFrom; col < std::min(colTo, Cols()); ++col) {
            styleCell(row, col);
        }
    }
}

bool FlexGrid::isFixed(int row, int col) const {
    return row < m_fixedRows || col < m_fixedCols;
}

double FlexGrid::dpiX() const {
    return logicalDpiX();
}

double FlexGrid::dpiY() const {
    return logicalDpiY();
}

} // namespace trazel
