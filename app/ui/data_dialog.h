// TFData: "Edit data" - the borehole name and the measured times and
// drawdowns (or water levels) of the project, typed or pasted. One page per
// observation point: the first page is the editor of the first point; "Add
// point" adds a page for a further piezometer (up to four), with its name,
// distance, position (fracture or matrix) and weight; "Remove point" removes
// the page shown. The tabs show only when there is more than one page.
#pragma once

#include <functional>

#include <QDialog>

#include <vector>

#include "document/project_document.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace wf::ui {

class StringGrid;

class TFData : public QDialog {
    Q_OBJECT
public:
    TFData(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // Resizes the grid of the first page to the number of points typed.
    void edNoPointsChange();
    // Paste: tab-separated lines of the clipboard fill the grid of the page
    // shown; a header line is skipped, and a grid that holds readings is
    // replaced only when the question is answered with Yes.
    void BitBtn1Click();
    // The question before Paste replaces readings (true: replace), given the
    // readings in the grid and the lines to paste. Empty: the message box; a
    // test program sets the default for every dialog once.
    std::function<bool(int readings, int lines)> confirmReplace;
    static std::function<bool(int readings, int lines)>& defaultConfirmReplace();
    // Adds a page for a further observation point (at most four pages).
    void addPoint();
    // Removes the page shown (not the first).
    void removePoint();
    int pageCount() const;
    // Shows page index (0 = the first point).
    void showPage(int index);
    // OK: checks the count (0 to 252) and every cell of rows 1 to count, then
    // hands the points to the document, which writes the test data file. A
    // refusal names the field or row in an error box; nothing is stored or
    // written and the dialog stays open.
    bool OKBtnClick();

    StringGrid* grid() const { return sgDrawDown_; }
    // The grid of page index (0 = the first point).
    StringGrid* pageGrid(int index) const;

    // The widgets of a further point's page.
    struct PointPage {
        QWidget* page = nullptr;
        QLineEdit* name = nullptr;
        QLineEdit* distance = nullptr;
        QComboBox* position = nullptr;
        QLineEdit* weight = nullptr;
        QLineEdit* count = nullptr;
        StringGrid* grid = nullptr;
    };
    const PointPage& furtherPage(int index) const { return further_[static_cast<std::size_t>(index - 1)]; }

private:
    void FormCreate();
    PointPage& newPage(const wf::doc::ObservationPoint& point);
    void updateButtons();
    // Rows 1..count of grid as texts; false after an error box naming the page and row.
    bool readRows(int page, QLineEdit* count, StringGrid* grid, std::vector<std::string>& times,
                  std::vector<std::string>& values);

    wf::doc::ProjectDocument& doc_;
    QLineEdit* edName_;
    QLineEdit* edNoPoints_;
    StringGrid* sgDrawDown_;
    QPushButton* OKBtn_;
    QPushButton* CancelBtn_;
    QPushButton* BitBtn1_;
    QPushButton* addBtn_;
    QPushButton* removeBtn_;
    QTabWidget* pages_;
    std::vector<PointPage> further_;
};

} // namespace wf::ui
