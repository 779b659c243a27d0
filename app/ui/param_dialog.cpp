#include "param_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialog_fields.h"
#include "document/fields.h"
#include "message_boxes.h"
#include "number_text.h"
#include "string_grid.h"

namespace wf::ui {

TFParam::TFParam(wf::doc::ProjectDocument& document, QWidget* parent) : QDialog(parent), doc_(document) {
    setObjectName(QStringLiteral("FParam"));
    setWindowTitle(QStringLiteral("Parameters"));

    edPumpData_ = makeField(this, "edPumpData", QStringLiteral("Pump test data:"));
    edObsFile_ = makeField(this, "edObsFile", QStringLiteral("Observation file:"));
    edParamFile_ = makeField(this, "edParamFile", QStringLiteral("Parameter file:"));
    for (QLineEdit* e : {edPumpData_, edObsFile_, edParamFile_}) e->setReadOnly(true);
    checkSubset_ = new QCheckBox(QStringLiteral("Use subset"), this);
    checkSubset_->setObjectName(QStringLiteral("checkSubset"));
    edSubset_ = makeField(this, "edSubset", QStringLiteral("Number of times to select:"));

    sgDischarge_ = new StringGrid(21, 3, this);
    sgDischarge_->setObjectName(QStringLiteral("sgDischarge"));
    sgDischarge_->setColumnWidths({64, 102, 99});
    sgDischarge_->setRowHeights(18);
    sgDischarge_->setCell(0, 1, QStringLiteral("Time"));
    sgDischarge_->setCell(0, 2, QStringLiteral("Discharge"));
    sgDischarge_->setMinimumSize(64 + 102 + 99 + 22, 10 * 18);
    sgDischarge_->setToolTip(QStringLiteral("Start time (%1) and discharge (%2) of each pumping step")
                                 .arg(timeUnit(doc_.units.ITIN), dischargeUnit(doc_.units.IDISCH)));

    cbPumpPos_ = new QComboBox(this);
    cbPumpPos_->setObjectName(QStringLiteral("cbPumpPos"));
    cbPumpPos_->addItems({QStringLiteral("Fracture and matrix"), QStringLiteral("Fracture"), QStringLiteral("Matrix")});
    cbOppBoundary_ = new QComboBox(this);
    cbOppBoundary_->setObjectName(QStringLiteral("cbOppBoundary"));
    cbOppBoundary_->addItems({QStringLiteral("No flow"), QStringLiteral("Constant head")});
    cbWLO_ = new QComboBox(this);
    cbWLO_->setObjectName(QStringLiteral("cbWLO"));
    cbWLO_->addItems({QStringLiteral("Drawdown"), QStringLiteral("Meter above sea level")});
    cbPumpPos_->setToolTip(QStringLiteral("The layers the well's screen opens to"));
    cbOppBoundary_->setToolTip(QStringLiteral("The boundary at the distance to the opposite boundary: no flow "
                                              "across it, or a constant head"));
    cbWLO_->setToolTip(QStringLiteral("Whether the test data are drawdowns (positive downward) or water levels"));
    checkSubset_->setToolTip(QStringLiteral("Use a subset of the measured times, spread over the test"));
    edSubset_->setToolTip(QStringLiteral("How many of the measured times the subset holds (at least 2)"));
    for (QLineEdit* e : {edPumpData_, edObsFile_, edParamFile_})
        e->setToolTip(QStringLiteral("Side file of the project, beside the project file"));

    auto* input = new QGroupBox(QStringLiteral("Input file:"), this);
    auto* inf = new QFormLayout(input);
    inf->addRow(fieldLabel(edPumpData_), edPumpData_);
    auto* output = new QGroupBox(QStringLiteral("Output files:"), this);
    auto* outf = new QFormLayout(output);
    outf->addRow(fieldLabel(edObsFile_), edObsFile_);
    outf->addRow(fieldLabel(edParamFile_), edParamFile_);
    auto* selection = new QGroupBox(QStringLiteral("Data Selection:"), this);
    auto* self = new QFormLayout(selection);
    self->addRow(checkSubset_);
    self->addRow(fieldLabel(edSubset_), edSubset_);
    auto* rates = new QGroupBox(QStringLiteral("Discharge Rates:"), this);
    auto* rl = new QVBoxLayout(rates);
    rl->addWidget(sgDischarge_);
    auto* units = new QLabel(QStringLiteral("Time in %1, discharge in %2")
                                 .arg(timeUnit(doc_.units.ITIN), dischargeUnit(doc_.units.IDISCH)),
                             this);
    units->setObjectName(QStringLiteral("sgDischargeUnits"));
    rl->addWidget(units);
    auto* options = new QFormLayout;
    options->addRow(QStringLiteral("Pump position:"), cbPumpPos_);
    options->addRow(QStringLiteral("Opposite  boundary:"), cbOppBoundary_);
    options->addRow(QStringLiteral("Water level observations:"), cbWLO_);

    QDialogButtonBox* buttons = okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFParam::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFParam::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(input);
    left->addWidget(output);
    left->addWidget(selection);
    left->addLayout(options);
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(rates);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    FormCreate();
    checkSubset_->setFocus();
}

void TFParam::FormCreate() {
    edPumpData_->setText(QString::fromLocal8Bit(doc_.filename.datName));
    edObsFile_->setText(QString::fromLocal8Bit(doc_.filename.obsName));
    edParamFile_->setText(QString::fromLocal8Bit(doc_.filename.timName));
    checkSubset_->setChecked(false);
    edSubset_->setText(QStringLiteral("0"));
    sgDischarge_->numberRows();
    for (int k = 1; k <= 20; ++k) {
        sgDischarge_->setCell(k, 1, formatShort(doc_.pump.TQ[k - 1]));
        sgDischarge_->setCell(k, 2, formatShort(doc_.pump.Q[k - 1]));
    }
    const int pumpPos = doc_.pump.IPUMP;
    cbPumpPos_->setCurrentIndex(pumpPos >= 0 && pumpPos < 3 ? pumpPos : 1);
    cbOppBoundary_->setCurrentIndex(doc_.pump.IOPP == 1 ? 1 : 0);
    cbWLO_->setCurrentIndex(doc_.pump.IWLO == 1 ? 1 : 0);
}

void TFParam::accept() {
    for (int k = 1; k <= 20; ++k) {
        const char* columns[2] = {"Time", "Discharge"};
        float* targets[2] = {&tq_[k - 1], &q_[k - 1]};
        for (int c = 0; c < 2; ++c) {
            const std::string label = "Discharge Rates, row " + std::to_string(k) + ", " + columns[c];
            const wf::doc::Status s = wf::doc::parseNumber(sgDischarge_->cell(k, c + 1).toStdString(), label,
                                                           *targets[c]);
            if (!s) {
                showError(this, QString::fromStdString(s.error));
                sgDischarge_->setCurrentCell(k, c + 1);
                return;
            }
        }
    }
    runType_ = 0;
    if (checkSubset_->isChecked()) {
        int32_t n = 0;
        if (!readInteger(this, edSubset_, n) || !require(this, edSubset_, n >= 0, QStringLiteral("must not be negative")))
            return;
        runType_ = n;
    }
    QDialog::accept();
}

void TFParam::store() {
    for (int k = 0; k < 20; ++k) {
        doc_.pump.TQ[k] = tq_[k];
        doc_.pump.Q[k] = q_[k];
    }
    doc_.updateStepCount();
    doc_.pump.IPUMP = cbPumpPos_->currentIndex();
    doc_.pump.IWLO = cbWLO_->currentIndex();
    doc_.pump.IOPP = cbOppBoundary_->currentIndex();
}

} // namespace wf::ui
