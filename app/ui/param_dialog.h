// TFParam: "Parameters" - pumping schedule, pump position, opposite boundary,
// kind of water levels and the subset of observation times.
#pragma once

#include <QDialog>

#include "document/project_document.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace wf::ui {

class StringGrid;

class TFParam : public QDialog {
    Q_OBJECT
public:
    TFParam(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // OK checks every cell and field; a cell or field that is not a number is
    // named in an error box and the dialog stays open.
    void accept() override;
    // Stores TQ, Q and NQ, then IPUMP, IWLO and IOPP (after OK).
    void store();
    // The type of the data preparation run: 0, or the number of times to select
    // when "Use subset" is checked.
    int runType() const { return runType_; }

private:
    void FormCreate();

    wf::doc::ProjectDocument& doc_;
    QLineEdit* edPumpData_;
    QLineEdit* edObsFile_;
    QLineEdit* edParamFile_;
    QCheckBox* checkSubset_;
    QLineEdit* edSubset_;
    StringGrid* sgDischarge_;
    QComboBox* cbPumpPos_;
    QComboBox* cbOppBoundary_;
    QComboBox* cbWLO_;
    float tq_[20] = {};
    float q_[20] = {};
    int runType_ = 0;
};

} // namespace wf::ui
