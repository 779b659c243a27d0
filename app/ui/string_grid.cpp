#include "string_grid.h"

#include <QHeaderView>

namespace wf::ui {

StringGrid::StringGrid(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent) {
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setRowTotal(rows);
}

namespace {

bool fixedCell(int row, int column) { return row == 0 || column == 0; }

} // namespace

void StringGrid::setRowTotal(int rows) {
    const int before = rowCount();
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        if (r >= before || r == 0) setRowHeight(r, rowHeight_);
        for (int c = 0; c < columnCount(); ++c) {
            if (!fixedCell(r, c) || item(r, c)) continue;
            auto* it = new QTableWidgetItem;
            it->setFlags(Qt::ItemIsEnabled);
            it->setBackground(palette().button());
            setItem(r, c, it);
        }
    }
}

QString StringGrid::cell(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        if (fixedCell(row, column)) {
            it->setFlags(Qt::ItemIsEnabled);
            it->setBackground(palette().button());
        }
        setItem(row, column, it);
    }
    it->setText(text);
}

void StringGrid::numberRows() {
    for (int r = 1; r < rowCount(); ++r) setCell(r, 0, QString::number(r));
}

void StringGrid::setColumnWidths(std::initializer_list<int> widths) {
    int c = 0;
    for (int w : widths) setColumnWidth(c++, w);
}

void StringGrid::setRowHeights(int height) {
    rowHeight_ = height;
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, height);
}

} // namespace wf::ui
