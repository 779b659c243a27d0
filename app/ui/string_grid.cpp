#include "string_grid.h"

#include <algorithm>

#include <set>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QUndoCommand>
#include <QUndoStack>

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

namespace {

// One step of the grid's undo stack: the grid's texts before and after it.
class GridChange : public QUndoCommand {
public:
    GridChange(StringGrid* grid, const QString& what, QVector<QStringList> before, QVector<QStringList> after)
        : QUndoCommand(what), grid_(grid), before_(std::move(before)), after_(std::move(after)) {}
    void undo() override { grid_->restore(before_); }
    void redo() override {
        if (done_) grid_->restore(after_);  // the first redo is the change itself, already made
        done_ = true;
    }

private:
    StringGrid* grid_;
    QVector<QStringList> before_;
    QVector<QStringList> after_;
    bool done_ = false;
};

} // namespace

QVector<QStringList> StringGrid::texts() const {
    QVector<QStringList> rows;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < columnCount(); ++c) row << cell(r, c);
        rows.append(row);
    }
    return rows;
}

void StringGrid::restore(const QVector<QStringList>& rows) {
    const int before = rowCount();
    setRowTotal(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columnCount() && c < rows[r].size(); ++c) setCell(r, c, rows[r][c]);
    if (rowCount() != before) emit dataRowsChanged(rowCount() - 1);
}

template <class Change>
void StringGrid::recorded(const QString& what, Change change) {
    QVector<QStringList> before = texts();
    change();
    QVector<QStringList> after = texts();
    if (undo_ && after != before) undo_->push(new GridChange(this, what, std::move(before), std::move(after)));
}

// Lets the grid see the keys of its cell editors first.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) editor->installEventFilter(grid_);
        return editor;
    }

private:
    StringGrid* grid_;
};

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (blockEditing_ && event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = QApplication::clipboard()->text();
        if (key->matches(QKeySequence::Paste) && (text.contains(QLatin1Char('\t')) || text.trimmed().contains(QLatin1Char('\n')))) {
            QWidget* editor = static_cast<QWidget*>(watched);
            closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            recorded(QStringLiteral("Paste"), [&] { pasteBlock(text); });
            setFocus();
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void StringGrid::commitData(QWidget* editor) {
    recorded(QStringLiteral("Edit"), [&] { QTableWidget::commitData(editor); });
}

void StringGrid::setBlockEditing(bool on) {
    blockEditing_ = on;
    if (on && !undo_) {
        undo_ = new QUndoStack(this);
        setItemDelegate(new GridDelegate(this));
    }
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    if (blockEditing_ && state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Paste)) {
            const QString text = QApplication::clipboard()->text();
            recorded(QStringLiteral("Paste"), [&] { pasteBlock(text); });
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete) {
            recorded(QStringLiteral("Delete rows"), [&] { removeSelectedRows(); });
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Undo)) {
            undo_->undo();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Redo)) {
            undo_->redo();
            event->accept();
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

void StringGrid::pasteBlock(const QString& text) {
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    if (lines.isEmpty()) return;
    const int top = std::max(1, currentRow());
    const int left = std::max(1, currentColumn());
    const int last = top + static_cast<int>(lines.size()) - 1;
    const bool grows = last >= rowCount();
    if (grows) setRowTotal(last + 1);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList parts = lines[i].split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        for (int c = 0; c < parts.size() && left + c < columnCount(); ++c) setCell(top + i, left + c, parts[c]);
    }
    if (grows) {
        numberRows();
        emit dataRowsChanged(rowCount() - 1);
    }
}

void StringGrid::removeSelectedRows() {
    std::set<int> rows;
    for (const QModelIndex& index : selectedIndexes())
        if (index.row() >= 1) rows.insert(index.row());
    if (rows.empty() && currentRow() >= 1) rows.insert(currentRow());
    if (rows.empty()) return;
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) removeRow(*r);
    numberRows();
    emit dataRowsChanged(rowCount() - 1);
}

void StringGrid::numberRows() {
    for (int r = 1; r < rowCount(); ++r) setCell(r, 0, QString::number(r));
}

void StringGrid::setColumnWidths(std::initializer_list<int> widths) {
    int c = 0;
    for (int w : widths) setColumnWidth(c++, w);
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex start = currentIndex();
    const int rows = rowCount(), columns = columnCount();
    if (rows < 2 || columns < 2) return start;
    if (action == MoveNext || action == MovePrevious) {
        // Tab and Backtab run through the editable cells row by row, from the
        // last cell round to the first and back.
        int r = start.isValid() ? std::max(start.row(), 1) : 1;
        int c = start.isValid() ? std::max(start.column(), 1) : 0;
        if (action == MoveNext) {
            if (++c >= columns) c = 1, r = r + 1 < rows ? r + 1 : 1;
        } else {
            if (--c < 1) c = columns - 1, r = r - 1 >= 1 ? r - 1 : rows - 1;
        }
        return model()->index(r, c);
    }
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && !fixedCell(next.row(), next.column())) return next;
    // The other keys stay where they are rather than enter a fixed cell.
    return start.isValid() && !fixedCell(start.row(), start.column()) ? start : model()->index(1, 1);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    dragRow_ = dragColumn_ = -1;
    const QModelIndex at = indexAt(event->position().toPoint());
    if (linesMovable_ && event->button() == Qt::LeftButton && at.isValid()) {
        if (at.column() == 0 && at.row() > 0) dragRow_ = at.row();
        else if (at.row() == 0 && at.column() > 0) dragColumn_ = at.column();
    }
    QTableWidget::mousePressEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid()) {
        if (dragRow_ > 0 && at.row() > 0) moveRow(dragRow_, at.row());
        else if (dragColumn_ > 0 && at.column() > 0) moveColumn(dragColumn_, at.column());
    }
    dragRow_ = dragColumn_ = -1;
    QTableWidget::mouseReleaseEvent(event);
}

void StringGrid::moveRow(int from, int to) {
    if (from == to || from < 1 || to < 1 || from >= rowCount() || to >= rowCount()) return;
    QList<QTableWidgetItem*> moved;
    for (int c = 0; c < columnCount(); ++c) moved.append(takeItem(from, c));
    const int step = to > from ? 1 : -1;
    for (int r = from; r != to; r += step)
        for (int c = 0; c < columnCount(); ++c) setItem(r, c, takeItem(r + step, c));
    for (int c = 0; c < columnCount(); ++c) setItem(to, c, moved[c]);
}

void StringGrid::moveColumn(int from, int to) {
    if (from == to || from < 1 || to < 1 || from >= columnCount() || to >= columnCount()) return;
    QList<QTableWidgetItem*> moved;
    for (int r = 0; r < rowCount(); ++r) moved.append(takeItem(r, from));
    const int step = to > from ? 1 : -1;
    for (int c = from; c != to; c += step)
        for (int r = 0; r < rowCount(); ++r) setItem(r, c, takeItem(r, c + step));
    for (int r = 0; r < rowCount(); ++r) setItem(r, to, moved[r]);
}

void StringGrid::setRowHeights(int height) {
    rowHeight_ = height;
    for (int r = 0; r < rowCount(); ++r) setRowHeight(r, height);
}

} // namespace wf::ui
