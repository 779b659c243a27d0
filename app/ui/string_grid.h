// An editable text grid with a fixed header row and a fixed numbering column,
// as the data editor and the discharge table use it. Row 0 and column 0 are
// ordinary cells that cannot be edited; row r of the data is grid row r.
#pragma once

#include <QTableWidget>

namespace wf::ui {

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(int rows, int columns, QWidget* parent = nullptr);

    // Sets the number of grid rows (header row included); existing texts stay.
    void setRowTotal(int rows);
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Writes the row numbers 1 .. rowCount()-1 into column 0.
    void numberRows();
    void setColumnWidths(std::initializer_list<int> widths);
    void setRowHeights(int height);

private:
    int rowHeight_ = 20;
};

} // namespace wf::ui
