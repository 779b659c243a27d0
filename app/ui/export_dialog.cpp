#include "export_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "drawdown_chart.h"
#include "message_boxes.h"

namespace wf::ui {

ExportDialog::ExportDialog(DrawdownChart* chart, QWidget* parent) : QDialog(parent), chart_(chart) {
    setObjectName(QStringLiteral("ExportChart"));
    setWindowTitle(QStringLiteral("Export Chart"));
    auto* group = new QGroupBox(QStringLiteral("Format"), this);
    auto* gl = new QVBoxLayout(group);
    formats_ = new QButtonGroup(this);
    const char* names[] = {"PNG picture (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)", "Copy to Clipboard"};
    for (int i = 0; i < 4; ++i) {
        auto* rb = new QRadioButton(QString::fromLatin1(names[i]), group);
        rb->setObjectName(QStringLiteral("rbFormat%1").arg(i));
        formats_->addButton(rb, i);
        gl->addWidget(rb);
    }
    formats_->button(Png)->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* exportButton = buttons->addButton(QStringLiteral("&Export"), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("OKBtn"));
    exportButton->setDefault(true);
    buttons->addButton(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void ExportDialog::setFormat(Format format) { formats_->button(format)->setChecked(true); }

void ExportDialog::accept() {
    const int format = formats_->checkedId();
    if (format == Clipboard) {
        chart_->copyToClipboard();
        QDialog::accept();
        return;
    }
    static const char* filters[] = {"PNG Files (*.png)", "SVG Files (*.svg)", "PDF Files (*.pdf)"};
    static const char* suffixes[] = {"png", "svg", "pdf"};
    const QString filter = QString::fromLatin1(filters[format]);
    const QString suffix = QString::fromLatin1(suffixes[format]);
    QString path;
    if (chooseFile) {
        path = chooseFile(filter, suffix);
    } else {
        QFileDialog dialog(this, QStringLiteral("Export Chart"), QDir::currentPath(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (path.isEmpty()) return;
    const bool ok = format == Png ? chart_->exportPng(path) : format == Svg ? chart_->exportSvg(path)
                                                                            : chart_->exportPdf(path);
    if (!ok) {
        showError(this, QStringLiteral("Cannot write the picture %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    QDialog::accept();
}

} // namespace wf::ui
