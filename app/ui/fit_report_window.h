// "Fit report": the report of the last analysis (the text of the project's
// side file {base}.fit), with Copy (plain text to the clipboard) and Print.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace wf::ui {

class FitReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit FitReportWindow(QWidget* parent = nullptr);

    void setReport(const QString& text);
    QString report() const;

    // Copy: the report as plain text on the clipboard.
    void copyReport();
    // Print: the print preview of the report, from which the user prints.
    void printReport();
    // Lays the report out on the printer's pages in a fixed-width font.
    void renderReport(QPrinter* printer) const;

    QPlainTextEdit* textView() const { return text_; }

private:
    QPlainTextEdit* text_;
    QPushButton* copy_;
    QPushButton* print_;
};

// The text of the fit report side file {stem}.fit in the working directory
// (found whatever the letter case of its extension); empty when there is none.
QString readFitReport(const QString& stem);

} // namespace wf::ui
