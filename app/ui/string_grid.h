// An editable text grid with a fixed header row and a fixed numbering column,
// as the data editor and the discharge table use it. Row 0 and column 0 are
// ordinary cells that cannot be edited; row r of the data is grid row r.
#pragma once

#include <QTableWidget>
#include <QVector>

class QUndoStack;

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

    // Rows and columns may be dragged to reorder them: a row by its cell of the
    // numbering column, a column by its header cell. Off by default.
    void setLinesMovable(bool movable) { linesMovable_ = movable; }
    // A row (column) of the data moves to another place, the lines between
    // shift by one; every cell of it moves, its number (header) included.
    void moveRow(int from, int to);
    void moveColumn(int from, int to);

    // The data editor's block editing (off by default): Ctrl+V pastes a block
    // of tab-separated lines from the current cell on, adding rows as needed;
    // Delete removes the rows of the selected cells. Both renumber the rows
    // and report the new number of data rows.
    void setBlockEditing(bool on);
    void pasteBlock(const QString& text);
    void removeSelectedRows();
    // With block editing, every typed edit, block paste and row deletion can
    // be undone and redone (Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z).
    QUndoStack* undoStack() const { return undo_; }
    // Every cell's text, row by row; restore() puts such a picture back.
    QVector<QStringList> texts() const;
    void restore(const QVector<QStringList>& texts);

signals:
    void dataRowsChanged(int rows);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void commitData(QWidget* editor) override;
    // Ctrl+V in a cell's editor with a block on the clipboard (tabs or
    // several lines) pastes the block from that cell, not into it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The keys never stop on the fixed header row or numbering column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int rowHeight_ = 20;
    bool linesMovable_ = false;
    bool blockEditing_ = false;
    QUndoStack* undo_ = nullptr;
    // Records the change that `change` makes as one step of the undo stack.
    template <class Change>
    void recorded(const QString& what, Change change);
    int dragRow_ = -1;     // row being dragged by its numbering cell
    int dragColumn_ = -1;  // column being dragged by its header cell
};

} // namespace wf::ui
