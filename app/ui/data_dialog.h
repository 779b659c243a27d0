// TFData: "Edit data" - the borehole name and the measured times and
// drawdowns (or water levels) of the project, typed or pasted.
#pragma once

#include <QDialog>

#include "document/project_document.h"

class QLineEdit;
class QPushButton;

namespace wf::ui {

class StringGrid;

class TFData : public QDialog {
    Q_OBJECT
public:
    TFData(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // Resizes the grid to the number of points typed.
    void edNoPointsChange();
    // Paste: tab-separated lines of the clipboard fill the grid.
    void BitBtn1Click();
    // OK: checks the count (0 to 252) and every cell of rows 1 to count, then
    // hands the points to the document, which writes the test data file. A
    // refusal names the field or row in an error box; nothing is stored or
    // written and the dialog stays open.
    bool OKBtnClick();

    StringGrid* grid() const { return sgDrawDown_; }

private:
    void FormCreate();

    wf::doc::ProjectDocument& doc_;
    QLineEdit* edName_;
    QLineEdit* edNoPoints_;
    StringGrid* sgDrawDown_;
    QPushButton* OKBtn_;
    QPushButton* CancelBtn_;
    QPushButton* BitBtn1_;
};

} // namespace wf::ui
