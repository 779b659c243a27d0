#include "data_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

#include "document/fields.h"
#include "message_boxes.h"
#include "number_text.h"
#include "project_folder.h"
#include "string_grid.h"

namespace wf::ui {

namespace {

StringGrid* newGrid(QWidget* parent) {
    auto* g = new StringGrid(2, 3, parent);
    g->setLinesMovable(true);
    g->setColumnWidths({64, 87, 90});
    g->resizeColumnToContents(2);
    g->setRowHeights(20);
    g->setMinimumSize(64 + 87 + 90 + 22, 12 * 20);
    g->setCell(0, 1, QStringLiteral("Time"));
    g->setCell(0, 2, QStringLiteral("Drawdown/MASL"));
    g->setBlockEditing(true);
    return g;
}

// The points as the editor shows them: numbers in fixed form, other texts as typed.
void fillGrid(StringGrid* g, const std::vector<std::string>& times, const std::vector<std::string>& values,
              int count) {
    g->setRowTotal(count + 1);
    for (int i = 1; i <= count; ++i) {
        g->setCell(i, 0, QString::number(i));
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const QString t = k < times.size() ? QString::fromStdString(times[k]) : QString();
        const QString v = k < values.size() ? QString::fromStdString(values[k]) : QString();
        double x = 0.0;
        g->setCell(i, 1, parseReal(t, x) ? formatF6(x) : t);
        g->setCell(i, 2, parseReal(v, x) ? formatF6(x) : v);
    }
}

// The grid follows a typed number of points.
void followCount(QWidget* owner, QLineEdit* count, StringGrid* g) {
    const QString text = count->text();
    int n = 0;
    if (!parseInteger(text, n)) {
        if (!text.isEmpty()) showPlain(owner, QStringLiteral("Please enter a valid integer"));
        return;
    }
    // The grid grows only within what a test data file can hold; OK refuses more.
    if (n <= 0 || n > wf::doc::kMaxTestDataPoints) return;
    g->setRowTotal(n + 1);
    g->numberRows();
}

} // namespace

TFData::TFData(wf::doc::ProjectDocument& document, QWidget* parent) : QDialog(parent), doc_(document) {
    setObjectName(QStringLiteral("FData"));
    setWindowTitle(QStringLiteral("Edit data"));

    edName_ = new QLineEdit(this);
    edName_->setObjectName(QStringLiteral("edName"));
    edNoPoints_ = new QLineEdit(QStringLiteral("0"), this);
    edNoPoints_->setObjectName(QStringLiteral("edNoPoints"));
    edName_->setToolTip(QStringLiteral("Name of the observation borehole (at most 50 characters)"));
    edNoPoints_->setToolTip(QStringLiteral("Number of readings in the table"));
    sgDrawDown_ = new StringGrid(2, 3, this);
    sgDrawDown_->setObjectName(QStringLiteral("sgDrawDown"));
    sgDrawDown_->setLinesMovable(true);  // rows and columns are dragged by their fixed cells
    sgDrawDown_->setColumnWidths({64, 87, 90});
    sgDrawDown_->resizeColumnToContents(2);
    sgDrawDown_->setRowHeights(20);
    sgDrawDown_->setMinimumSize(64 + 87 + 90 + 22, 12 * 20);
    sgDrawDown_->setBlockEditing(true);
    sgDrawDown_->setToolTip(QStringLiteral("Time and drawdown (or water level) of each reading. Ctrl+V pastes a "
                                           "block from the current cell; Delete removes the selected rows"));

    OKBtn_ = new QPushButton(QStringLiteral("OK"), this);
    OKBtn_->setObjectName(QStringLiteral("OKBtn"));
    OKBtn_->setDefault(true);
    CancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn_->setObjectName(QStringLiteral("CancelBtn"));
    BitBtn1_ = new QPushButton(QStringLiteral("&Paste"), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setFocusPolicy(Qt::ClickFocus);  // skipped by the tab key

    addBtn_ = new QPushButton(QStringLiteral("A&dd point"), this);
    addBtn_->setObjectName(QStringLiteral("AddPointBtn"));
    addBtn_->setFocusPolicy(Qt::ClickFocus);
    removeBtn_ = new QPushButton(QStringLiteral("&Remove point"), this);
    removeBtn_->setObjectName(QStringLiteral("RemovePointBtn"));
    removeBtn_->setFocusPolicy(Qt::ClickFocus);

    // The first page: the editor of the first observation point.
    auto* first = new QWidget;
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Borehole name / number:"), edName_);
    form->addRow(QStringLiteral("Number of data points:"), edNoPoints_);
    auto* firstLayout = new QVBoxLayout(first);
    firstLayout->setContentsMargins(0, 0, 0, 0);
    firstLayout->addLayout(form);
    firstLayout->addWidget(sgDrawDown_, 1);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setTabBarAutoHide(true);  // one point: the editor as it always was
    pages_->setDocumentMode(true);
    pages_->addTab(first, QStringLiteral("Point 1"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1_);
    buttons->addWidget(addBtn_);
    buttons->addWidget(removeBtn_);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn_);
    buttons->addWidget(CancelBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(edNoPoints_, &QLineEdit::textChanged, this, &TFData::edNoPointsChange);
    connect(sgDrawDown_, &StringGrid::dataRowsChanged, this,
            [this](int rows) { edNoPoints_->setText(QString::number(rows)); });
    connect(BitBtn1_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Paste"), [this] { BitBtn1Click(); }); });
    connect(OKBtn_, &QPushButton::clicked, this, [this] {
        bool done = false;
        guarded(this, QStringLiteral("OK"), [&] { done = OKBtnClick(); });
        if (done) accept();
    });
    connect(CancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    connect(addBtn_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Add point"), [this] { addPoint(); }); });
    connect(removeBtn_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Remove point"), [this] { removePoint(); }); });
    connect(pages_, &QTabWidget::currentChanged, this, [this] { updateButtons(); });

    FormCreate();
    const std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
    for (std::size_t l = 1; l < points.size(); ++l) newPage(points[l]);
    updateButtons();
    setFixedSize(sizeHint().expandedTo(QSize(420, 470)));
    edName_->setFocus();
}

void TFData::FormCreate() {
    sgDrawDown_->setCell(0, 1, QStringLiteral("Time"));
    sgDrawDown_->setCell(0, 2, QStringLiteral("Drawdown/MASL"));
    const int count = doc_.pointCount();
    if (count < 1) return;
    edName_->setText(QString::fromStdString(doc_.boreholeName()));
    {
        const QSignalBlocker block(edNoPoints_);
        edNoPoints_->setText(QString::number(count));
    }
    fillGrid(sgDrawDown_, doc_.times(), doc_.values(), count);
}

void TFData::edNoPointsChange() { followCount(this, edNoPoints_, sgDrawDown_); }

int TFData::pageCount() const { return pages_->count(); }

void TFData::showPage(int index) { pages_->setCurrentIndex(index); }

StringGrid* TFData::pageGrid(int index) const { return index == 0 ? sgDrawDown_ : furtherPage(index).grid; }

TFData::PointPage& TFData::newPage(const wf::doc::ObservationPoint& point) {
    PointPage p;
    p.page = new QWidget;
    const int number = static_cast<int>(further_.size()) + 2;
    p.page->setObjectName(QStringLiteral("point%1").arg(number));
    p.name = new QLineEdit(QString::fromStdString(point.name), p.page);
    p.name->setObjectName(QStringLiteral("edPointName"));
    p.name->setMaxLength(static_cast<int>(wf::doc::kMaxPointName));
    p.distance = new QLineEdit(point.distance > 0.0f ? QString::number(static_cast<double>(point.distance)) : QString(),
                               p.page);
    p.distance->setObjectName(QStringLiteral("edDistance"));
    p.position = new QComboBox(p.page);
    p.position->setObjectName(QStringLiteral("cbPosition"));
    // "Pumped well" (IPOS 3): the well's own drawdown, with the fine model and a well radius.
    p.position->addItems({QStringLiteral("Fracture"), QStringLiteral("Matrix"), QStringLiteral("Pumped well")});
    p.position->setCurrentIndex(point.position >= 1 && point.position <= 3 ? point.position - 1 : 0);
    p.weight = new QLineEdit(QString::number(static_cast<double>(point.weight)), p.page);
    p.weight->setObjectName(QStringLiteral("edWeight"));
    p.count = new QLineEdit(QString::number(point.times.size()), p.page);
    p.count->setObjectName(QStringLiteral("edNoPoints"));
    p.name->setToolTip(QStringLiteral("Name of this observation point (at most 20 characters)"));
    p.distance->setToolTip(QStringLiteral("Distance of this point from the pumped well"));
    p.position->setToolTip(QStringLiteral("Layer in which this point is screened, or the pumped well itself"));
    p.weight->setToolTip(QStringLiteral("Weight of this point's squared residuals in the fit (above 0)"));
    p.count->setToolTip(QStringLiteral("Number of readings of this point"));
    p.grid = newGrid(p.page);
    p.grid->setObjectName(QStringLiteral("sgDrawDown"));
    fillGrid(p.grid, point.times, point.values, static_cast<int>(point.times.size()));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Point name:"), p.name);
    form->addRow(QStringLiteral("Observation distance:"), p.distance);
    form->addRow(QStringLiteral("Observation position:"), p.position);
    form->addRow(QStringLiteral("Weight:"), p.weight);
    form->addRow(QStringLiteral("Number of data points:"), p.count);
    auto* layout = new QVBoxLayout(p.page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(p.grid, 1);
    QLineEdit* count = p.count;
    StringGrid* grid = p.grid;
    connect(count, &QLineEdit::textChanged, this, [this, count, grid] { followCount(this, count, grid); });
    connect(grid, &StringGrid::dataRowsChanged, this, [count](int rows) { count->setText(QString::number(rows)); });
    pages_->addTab(p.page, QStringLiteral("Point %1").arg(number));
    further_.push_back(p);
    return further_.back();
}

void TFData::addPoint() {
    if (pageCount() >= wf::doc::kMaxObservationPoints) return;
    wf::doc::ObservationPoint fresh;
    fresh.distance = 0.0f;  // to be typed
    newPage(fresh);
    pages_->setCurrentIndex(pageCount() - 1);
    updateButtons();
}

void TFData::removePoint() {
    const int index = pages_->currentIndex();
    if (index < 1) return;
    QWidget* page = further_[static_cast<std::size_t>(index - 1)].page;
    further_.erase(further_.begin() + (index - 1));
    pages_->removeTab(index);
    delete page;
    for (int i = 1; i < pageCount(); ++i) pages_->setTabText(i, QStringLiteral("Point %1").arg(i + 1));
    updateButtons();
}

void TFData::updateButtons() {
    addBtn_->setEnabled(pageCount() < wf::doc::kMaxObservationPoints);
    removeBtn_->setEnabled(pages_->currentIndex() > 0);
}

std::function<bool(int, int)>& TFData::defaultConfirmReplace() {
    static std::function<bool(int, int)> confirm;
    return confirm;
}

void TFData::BitBtn1Click() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText()) {
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"),
                    QStringLiteral("There is no text on the Clipboard"));
        return;
    }
    QStringList lines =
        mime->text().split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    // A spreadsheet's header line ("Time<tab>Drawdown") is no reading.
    if (lines.size() > 1) {
        const QStringList first = lines[0].split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        double x = 0.0;
        if (!first.isEmpty() && !parseReal(first[0], x)) lines.removeFirst();
    }
    if (lines.size() > wf::doc::kMaxTestDataPoints) {
        // The grid holds what a test data file can hold, not any number of lines.
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"),
                    QStringLiteral("The clipboard holds %1 lines; only the first %2 are pasted (a test data file "
                                   "holds at most %2 points)")
                        .arg(lines.size())
                        .arg(wf::doc::kMaxTestDataPoints));
        lines = lines.mid(0, wf::doc::kMaxTestDataPoints);
    }
    const int n = static_cast<int>(lines.size());
    const int page = pages_->currentIndex();
    StringGrid* grid = pageGrid(page);
    QLineEdit* count = page == 0 ? edNoPoints_ : furtherPage(page).count;
    int readings = 0;  // rows that hold a time or a value
    for (int r = 1; r < grid->rowCount(); ++r)
        if (!grid->cell(r, 1).trimmed().isEmpty() || !grid->cell(r, 2).trimmed().isEmpty()) ++readings;
    if (readings > 0) {
        bool replace = false;
        if (confirmReplace)
            replace = confirmReplace(readings, n);
        else if (defaultConfirmReplace())
            replace = defaultConfirmReplace()(readings, n);
        else
            replace = QMessageBox::question(this, QStringLiteral("Paste"),
                                            QStringLiteral("Replace the %1 readings in the grid by the %2 lines of "
                                                           "the clipboard?")
                                                .arg(readings)
                                                .arg(n)) == QMessageBox::Yes;
        if (!replace) return;
    }
    grid->setRowTotal(n + 1);
    count->setText(QString::number(n));
    for (int i = 1; i <= n; ++i) {
        grid->setCell(i, 0, QString::number(i));
        const QStringList parts = lines[i - 1].split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        grid->setCell(i, 1, parts.size() > 0 ? parts[0] : QString());
        grid->setCell(i, 2, parts.size() > 1 ? parts[1] : QString());
    }
}

bool TFData::readRows(int page, QLineEdit* countEdit, StringGrid* grid, std::vector<std::string>& times,
                      std::vector<std::string>& values) {
    // Messages of a further page name its point.
    const QString where = page == 0 ? QString() : QStringLiteral("Point %1, ").arg(page + 1);
    const QString rowWord = page == 0 ? QStringLiteral("Row") : QStringLiteral("row");
    int32_t count = 0;
    const wf::doc::Status countOk =
        wf::doc::parseInteger(countEdit->text().toStdString(), "Number of data points", count);
    if (!countOk) {
        showError(this, where + QString::fromStdString(countOk.error));
        return false;
    }
    if (count < 0) {
        showError(this, where + QStringLiteral("Number of data points: \"%1\" must not be negative").arg(count));
        return false;
    }
    if (count > wf::doc::kMaxTestDataPoints) {
        showError(this, where + QStringLiteral("Number of data points: \"%1\" is more than the %2 points a test "
                                               "data file can hold")
                                    .arg(count)
                                    .arg(wf::doc::kMaxTestDataPoints));
        return false;
    }
    for (int i = 1; i <= count; ++i) {
        const QString t = i < grid->rowCount() ? grid->cell(i, 1) : QString();
        const QString v = i < grid->rowCount() ? grid->cell(i, 2) : QString();
        double x = 0.0;
        if (!parseReal(t, x)) {
            showError(this, where + QStringLiteral("%1 %2: the time \"%3\" is not a number").arg(rowWord).arg(i).arg(t));
            pages_->setCurrentIndex(page);
            grid->setCurrentCell(i, 1);
            return false;
        }
        if (!parseReal(v, x)) {
            showError(this,
                      where + QStringLiteral("%1 %2: the drawdown \"%3\" is not a number").arg(rowWord).arg(i).arg(v));
            pages_->setCurrentIndex(page);
            grid->setCurrentCell(i, 2);
            return false;
        }
        times.push_back(t.toStdString());
        values.push_back(v.toStdString());
    }
    return true;
}

bool TFData::OKBtnClick() {
    std::vector<std::string> times, values;
    if (!readRows(0, edNoPoints_, sgDrawDown_, times, values)) return false;
    std::vector<wf::doc::ObservationPoint> points{doc_.observationPoints().front()};
    points[0].times = std::move(times);
    points[0].values = std::move(values);
    for (int page = 1; page < pageCount(); ++page) {
        const PointPage& p = furtherPage(page);
        wf::doc::ObservationPoint q;
        q.name = p.name->text().toStdString();
        double distance = 0.0, weight = 0.0;
        if (!parseReal(p.distance->text(), distance)) {
            showError(this, QStringLiteral("Point %1: the observation distance \"%2\" is not a number")
                                .arg(page + 1)
                                .arg(p.distance->text()));
            pages_->setCurrentIndex(page);
            return false;
        }
        if (!parseReal(p.weight->text(), weight)) {
            showError(this,
                      QStringLiteral("Point %1: the weight \"%2\" is not a number").arg(page + 1).arg(p.weight->text()));
            pages_->setCurrentIndex(page);
            return false;
        }
        q.distance = static_cast<float>(distance);
        q.weight = static_cast<float>(weight);
        q.position = p.position->currentIndex() + 1;
        if (!readRows(page, p.count, p.grid, q.times, q.values)) return false;
        points.push_back(std::move(q));
    }
    const std::optional<std::filesystem::path> folder = workingFolder();
    if (!folder) {
        // Nothing is taken over: the dialog stays open with the user's work.
        showError(this, folderGoneMessage(QStringLiteral("write the test data file"),
                                          QString::fromLocal8Bit(doc_.filename.datName)));
        return false;
    }
    if (points.size() == 1 && doc_.observationPointCount() == 1) {
        // One point: the standard editor's OK.
        const wf::doc::Status s = doc_.acceptTestData(edName_->text().toStdString(), std::move(points[0].times),
                                                      std::move(points[0].values), *folder);
        if (!s) {
            showError(this, QString::fromStdString(s.error));
            return false;
        }
        return true;
    }
    std::string note;
    wf::doc::ProjectDocument d = doc_;
    d.setBoreholeName(edName_->text().toStdString());
    const wf::doc::Status s = d.setObservationPoints(std::move(points), &note, *folder);
    if (!s) {
        showError(this, QString::fromStdString(s.error));
        return false;
    }
    doc_ = std::move(d);
    if (!note.empty())
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"), QString::fromStdString(note));
    return true;
}

} // namespace wf::ui
