// TFMesh: "Radial mesh construction" - aquifer geometry and observation point.
// A project of several observation points edits the first one here; the
// others (set on their data pages) are listed below the fields.
#pragma once

#include <QDialog>

#include "document/project_document.h"
#include "option_fields.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace wf::ui {

class TFMesh : public QDialog {
    Q_OBJECT
public:
    TFMesh(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // OK checks every field; a field that is not a number (or out of its range)
    // is named in an error box and the dialog stays open. With several points
    // the first one's distance must differ from the others', and the opposite
    // boundary must lie beyond all of them.
    void accept() override;
    // Stores THICK, RATIO, RMAX, ROBS 1 and IPOS 1, in that order, then the
    // "Fine model" option (after OK).
    void store();

private:
    void FormCreate();

    wf::doc::ProjectDocument& doc_;
    QLineEdit* edMeshFileName_;
    QLineEdit* edThick_;
    QLineEdit* edRatio_;
    QLineEdit* edDistance_;
    QLineEdit* edObserveDist_;
    QComboBox* cbPosition_;
    OptionFields options_;             // the model options of the schema
    wf::doc::AnalysisOptions chosen_;  // read on OK
    QLabel* lbFurtherPoints_ = nullptr;  // several points only
    float thick_ = 0, ratio_ = 0, distance_ = 0, observe_ = 0;
};

} // namespace wf::ui
