// The run log of the project (<stem>.LOG): the flow model's listing and
// diagnostics of every solver run, shown read-only.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace wf::ui {

class LogDialog : public QDialog {
    Q_OBJECT
public:
    LogDialog(const QString& logFile, QWidget* parent = nullptr);
    QString text() const;

private:
    QPlainTextEdit* view_;
};

} // namespace wf::ui
