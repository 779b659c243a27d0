#include "log_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace wf::ui {

LogDialog::LogDialog(const QString& logFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogDialog"));
    setWindowTitle(QStringLiteral("Log - ") + logFile);
    view_ = new QPlainTextEdit(this);
    view_->setObjectName(QStringLiteral("memoLog"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QFile file(logFile);
    if (file.open(QIODevice::ReadOnly))
        view_->setPlainText(QString::fromLocal8Bit(file.readAll()));
    else
        view_->setPlainText(QStringLiteral("No run has written to %1 yet.")
                                .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(logFile))));
    view_->moveCursor(QTextCursor::End);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
    resize(720, 480);
}

QString LogDialog::text() const { return view_->toPlainText(); }

} // namespace wf::ui
