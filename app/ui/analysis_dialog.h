// TFAnalysis: "Analyse pump test" - analysis type, points to ignore, fit
// requirement, prediction settings and the guesses and bounds of the four
// aquifer parameters; beside them the analysis options of the option schema
// (parameters held at their guesses, one aquifer, the search and its stop rules).
#pragma once

#include <QDialog>

#include "document/project_document.h"
#include "option_fields.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace wf::ui {

class TFAnalysis : public QDialog {
    Q_OBJECT
public:
    TFAnalysis(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // OK checks every field; a field that is not a number is named in an error
    // box and the dialog stays open.
    void accept() override;
    // Takes over NSKIP, RMSE, TSIM, NSTEP, the guesses, the minima and the
    // maxima, then the analysis options (after OK).
    void store();
    // 0 Optimization, 1 Fixed time, 2 Prediction.
    int analysisType() const;

    // "Reset parameters": fresh guesses and bounds.
    void btnParamClick();
    // "Set Boundaries": bounds from the four guesses typed.
    void btnBoundClick();

private:
    QHBoxLayout* makeFileGroups();
    QHBoxLayout* makeRunGroups();
    QGroupBox* makeAquiferGrid();
    QGroupBox* makeSearchGroup();
    void FormCreate();
    void showParameters();

    wf::doc::ProjectDocument& doc_;
    QLineEdit* edObsFile_;
    QLineEdit* edParamFile_;
    QLineEdit* edResultFile_;
    QLineEdit* edSimFile_;
    QGroupBox* rgType_;
    QButtonGroup* typeButtons_;
    QCheckBox* checkAll_;
    QLineEdit* edIgnore_;
    QLineEdit* edRMSE_;
    QLineEdit* edSimTime_;
    QLineEdit* edTimeSteps_;
    // Rows TF, TM, SF, SM; columns minimum, guess, maximum.
    QLineEdit* param_[4][3];
    QPushButton* btnParam_;
    QPushButton* btnBound_;
    // The analysis options of the schema: "Hold" beside each guess, then the search options.
    OptionFields options_;

    int32_t nskip_ = 0;
    float rmse_ = 0, tsim_ = 0, nstep_ = 0;
    float values_[4][3] = {};
    wf::doc::AnalysisOptions chosen_;  // the options read on OK
};

} // namespace wf::ui
