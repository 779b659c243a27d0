#include "fit_report_window.h"

#include <fstream>
#include <sstream>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "project_folder.h"
#include "textio/side_file.h"

namespace wf::ui {

namespace {

QFont reportFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(9);
    return f;
}

} // namespace

FitReportWindow::FitReportWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FitReport"));
    setWindowTitle(QStringLiteral("Fit report"));
    setModal(false);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("memoReport"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);  // the verdict is one long line
    text_->setFont(reportFont());

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    copy_->setObjectName(QStringLiteral("btnCopy"));
    print_ = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::ActionRole);
    print_->setObjectName(QStringLiteral("btnPrint"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(copy_, &QPushButton::clicked, this, &FitReportWindow::copyReport);
    connect(print_, &QPushButton::clicked, this, &FitReportWindow::printReport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(900, 560);
}

void FitReportWindow::setReport(const QString& text) { text_->setPlainText(text); }

QString FitReportWindow::report() const { return text_->toPlainText(); }

void FitReportWindow::copyReport() { QApplication::clipboard()->setText(report()); }

void FitReportWindow::printReport() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &FitReportWindow::renderReport);
    preview.exec();
}

void FitReportWindow::renderReport(QPrinter* printer) const {
    QTextDocument document;
    document.setDefaultFont(reportFont());
    document.setPlainText(report());
    document.print(printer);
}

QString readFitReport(const QString& stem) {
    const std::optional<std::filesystem::path> folder = workingFolder();
    if (stem.isEmpty() || !folder) return QString();
    std::ifstream in;
    if (!wf::textio::openSideRead(in, (stem + QStringLiteral(".fit")).toStdString(), *folder)) return QString();
    std::ostringstream text;
    text << in.rdbuf();
    return QString::fromLocal8Bit(text.str().c_str());
}

} // namespace wf::ui
