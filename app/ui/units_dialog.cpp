#include "units_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/units.h"

namespace wf::ui {

namespace {

template <std::size_t N>
QComboBox* unitList(QWidget* parent, const char* name, const std::array<std::string_view, N>& items) {
    auto* cb = new QComboBox(parent);
    cb->setObjectName(QString::fromLatin1(name));
    for (std::string_view s : items) cb->addItem(QString::fromLatin1(s.data(), static_cast<int>(s.size())));
    return cb;
}

// Shows the entry of a 1-based code; a code outside the list selects nothing.
void selectCode(QComboBox* cb, int32_t code) { cb->setCurrentIndex(code >= 1 && code <= cb->count() ? code - 1 : -1); }

} // namespace

TFUnits::TFUnits(wf::doc::ProjectDocument& document, QWidget* parent) : QDialog(parent), doc_(document) {
    setObjectName(QStringLiteral("FUnits"));
    setWindowTitle(QStringLiteral("Units"));
    cbDistance_ = unitList(this, "cbDistance", wf::doc::kDistanceUnits);
    cbInTimes_ = unitList(this, "cbInTimes", wf::doc::kTimeUnits);
    cbOutTimes_ = unitList(this, "cbOutTimes", wf::doc::kTimeUnits);
    cbConductivity_ = unitList(this, "cbConductivity", wf::doc::kConductivityUnits);
    cbCharge_ = unitList(this, "cbCharge", wf::doc::kDischargeUnits);
    cbDistance_->setToolTip(QStringLiteral("Unit of the thickness, the distances and the well radii"));
    cbInTimes_->setToolTip(QStringLiteral("Unit of the times of the test data and of the pumping steps"));
    cbOutTimes_->setToolTip(QStringLiteral("Unit of the times in the result and simulation files"));
    cbConductivity_->setToolTip(QStringLiteral("Unit of the conductivities; transmissivities are in its length "
                                               "squared per its time"));
    cbCharge_->setToolTip(QStringLiteral("Unit of the pumping rates"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Unit of all distances:"), cbDistance_);
    form->addRow(QStringLiteral("Unit of all input times:"), cbInTimes_);
    form->addRow(QStringLiteral("Unit of all output times:"), cbOutTimes_);
    form->addRow(QStringLiteral("Saturated hydraulic conductivity:"), cbConductivity_);
    form->addRow(QStringLiteral("Discharge / Recharge rate of line sources:"), cbCharge_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
    FormCreate();
}

void TFUnits::FormCreate() {
    selectCode(cbDistance_, doc_.units.IDIST);
    selectCode(cbInTimes_, doc_.units.ITIN);
    selectCode(cbOutTimes_, doc_.units.ITOUT);
    selectCode(cbConductivity_, doc_.units.ICOND);
    selectCode(cbCharge_, doc_.units.IDISCH);
}

void TFUnits::store() {
    doc_.units.IDIST = cbDistance_->currentIndex() + 1;
    doc_.units.ITIN = cbInTimes_->currentIndex() + 1;
    doc_.units.ITOUT = cbOutTimes_->currentIndex() + 1;
    doc_.units.ICOND = cbConductivity_->currentIndex() + 1;
    doc_.units.IDISCH = cbCharge_->currentIndex() + 1;
}

} // namespace wf::ui
