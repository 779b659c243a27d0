#include "data_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "document/fields.h"
#include "message_boxes.h"
#include "number_text.h"
#include "project_folder.h"
#include "string_grid.h"

namespace wf::ui {

TFData::TFData(wf::doc::ProjectDocument& document, QWidget* parent) : QDialog(parent), doc_(document) {
    setObjectName(QStringLiteral("FData"));
    setWindowTitle(QStringLiteral("Edit data"));

    edName_ = new QLineEdit(this);
    edName_->setObjectName(QStringLiteral("edName"));
    edNoPoints_ = new QLineEdit(QStringLiteral("0"), this);
    edNoPoints_->setObjectName(QStringLiteral("edNoPoints"));
    sgDrawDown_ = new StringGrid(2, 3, this);
    sgDrawDown_->setObjectName(QStringLiteral("sgDrawDown"));
    sgDrawDown_->setLinesMovable(true);  // rows and columns are dragged by their fixed cells
    sgDrawDown_->setColumnWidths({64, 87, 90});
    sgDrawDown_->resizeColumnToContents(2);
    sgDrawDown_->setRowHeights(20);
    sgDrawDown_->setMinimumSize(64 + 87 + 90 + 22, 12 * 20);

    OKBtn_ = new QPushButton(QStringLiteral("OK"), this);
    OKBtn_->setObjectName(QStringLiteral("OKBtn"));
    OKBtn_->setDefault(true);
    CancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn_->setObjectName(QStringLiteral("CancelBtn"));
    BitBtn1_ = new QPushButton(QStringLiteral("Paste"), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setFocusPolicy(Qt::ClickFocus);  // skipped by the tab key

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Borehole name / number:"), edName_);
    form->addRow(QStringLiteral("Number of data points:"), edNoPoints_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1_);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn_);
    buttons->addWidget(CancelBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sgDrawDown_, 1);
    layout->addLayout(buttons);

    connect(edNoPoints_, &QLineEdit::textChanged, this, &TFData::edNoPointsChange);
    connect(BitBtn1_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Paste"), [this] { BitBtn1Click(); }); });
    connect(OKBtn_, &QPushButton::clicked, this, [this] {
        bool done = false;
        guarded(this, QStringLiteral("OK"), [&] { done = OKBtnClick(); });
        if (done) accept();
    });
    connect(CancelBtn_, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
    setFixedSize(sizeHint().expandedTo(QSize(330, 420)));
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
    sgDrawDown_->setRowTotal(count + 1);
    for (int i = 1; i <= count; ++i) {
        sgDrawDown_->setCell(i, 0, QString::number(i));
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const QString t = k < doc_.times().size() ? QString::fromStdString(doc_.times()[k]) : QString();
        const QString v = k < doc_.values().size() ? QString::fromStdString(doc_.values()[k]) : QString();
        double x = 0.0;
        sgDrawDown_->setCell(i, 1, parseReal(t, x) ? formatF6(x) : t);
        sgDrawDown_->setCell(i, 2, parseReal(v, x) ? formatF6(x) : v);
    }
}

void TFData::edNoPointsChange() {
    const QString text = edNoPoints_->text();
    int n = 0;
    if (!parseInteger(text, n)) {
        if (!text.isEmpty()) showPlain(this, QStringLiteral("Please enter a valid integer"));
        return;
    }
    // The grid grows only within what a test data file can hold; OK refuses more.
    if (n <= 0 || n > wf::doc::kMaxTestDataPoints) return;
    sgDrawDown_->setRowTotal(n + 1);
    sgDrawDown_->numberRows();
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
    sgDrawDown_->setRowTotal(n + 1);
    edNoPoints_->setText(QString::number(n));
    for (int i = 1; i <= n; ++i) {
        sgDrawDown_->setCell(i, 0, QString::number(i));
        const QStringList parts = lines[i - 1].split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        sgDrawDown_->setCell(i, 1, parts.size() > 0 ? parts[0] : QString());
        sgDrawDown_->setCell(i, 2, parts.size() > 1 ? parts[1] : QString());
    }
}

bool TFData::OKBtnClick() {
    int32_t count = 0;
    const wf::doc::Status countOk =
        wf::doc::parseInteger(edNoPoints_->text().toStdString(), "Number of data points", count);
    if (!countOk) {
        showError(this, QString::fromStdString(countOk.error));
        return false;
    }
    if (count < 0) {
        showError(this, QStringLiteral("Number of data points: \"%1\" must not be negative").arg(count));
        return false;
    }
    if (count > wf::doc::kMaxTestDataPoints) {
        showError(this, QStringLiteral("Number of data points: \"%1\" is more than the %2 points a test data "
                                       "file can hold")
                            .arg(count)
                            .arg(wf::doc::kMaxTestDataPoints));
        return false;
    }
    std::vector<std::string> times, values;
    for (int i = 1; i <= count; ++i) {
        const QString t = i < sgDrawDown_->rowCount() ? sgDrawDown_->cell(i, 1) : QString();
        const QString v = i < sgDrawDown_->rowCount() ? sgDrawDown_->cell(i, 2) : QString();
        double x = 0.0;
        if (!parseReal(t, x)) {
            showError(this, QStringLiteral("Row %1: the time \"%2\" is not a number").arg(i).arg(t));
            sgDrawDown_->setCurrentCell(i, 1);
            return false;
        }
        if (!parseReal(v, x)) {
            showError(this, QStringLiteral("Row %1: the drawdown \"%2\" is not a number").arg(i).arg(v));
            sgDrawDown_->setCurrentCell(i, 2);
            return false;
        }
        times.push_back(t.toStdString());
        values.push_back(v.toStdString());
    }
    const std::optional<std::filesystem::path> folder = workingFolder();
    if (!folder) {
        // Nothing is taken over: the dialog stays open with the user's work.
        showError(this, folderGoneMessage(QStringLiteral("write the test data file"),
                                          QString::fromLocal8Bit(doc_.filename.datName)));
        return false;
    }
    const wf::doc::Status s =
        doc_.acceptTestData(edName_->text().toStdString(), std::move(times), std::move(values), *folder);
    if (!s) {
        showError(this, QString::fromStdString(s.error));
        return false;
    }
    return true;
}

} // namespace wf::ui
