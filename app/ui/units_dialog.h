// TFUnits: the "Units" dialog - the unit codes of distances, times,
// conductivity (transmissivity) and discharge.
#pragma once

#include <QDialog>

#include "document/project_document.h"

class QComboBox;

namespace wf::ui {

class TFUnits : public QDialog {
    Q_OBJECT
public:
    TFUnits(wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // OK: each code becomes the selected position + 1 (0 without a selection);
    // IFLUX stays as it is.
    void store();

private:
    void FormCreate();

    wf::doc::ProjectDocument& doc_;
    QComboBox* cbDistance_;
    QComboBox* cbInTimes_;
    QComboBox* cbOutTimes_;
    QComboBox* cbConductivity_;
    QComboBox* cbCharge_;
};

} // namespace wf::ui
