#include "mesh_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialog_fields.h"
#include "document/units.h"
#include "number_text.h"

namespace wf::ui {

namespace {

// "2: PB50, 50 m, matrix" for each point after the first.
QString furtherPointsText(const wf::doc::ProjectDocument& doc) {
    const std::vector<wf::doc::ObservationPoint> points = doc.observationPoints();
    const int unit = doc.units.IDIST - 1;
    QString suffix;
    if (unit >= 0 && unit < static_cast<int>(wf::doc::kDistanceUnits.size())) {
        const std::string_view name = wf::doc::kDistanceUnits[static_cast<std::size_t>(unit)];
        suffix = QLatin1Char(' ') + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    QStringList lines;
    for (std::size_t l = 1; l < points.size(); ++l) {
        const wf::doc::ObservationPoint& p = points[l];
        QString line = QString::number(l + 1) + QStringLiteral(": ");
        if (!p.name.empty()) line += QString::fromStdString(p.name) + QStringLiteral(", ");
        line += formatShort(p.distance).trimmed() + suffix + QStringLiteral(", ") +
                (p.position == 2 ? QStringLiteral("matrix") : QStringLiteral("fracture"));
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TFMesh::TFMesh(wf::doc::ProjectDocument& document, QWidget* parent)
    : QDialog(parent), doc_(document), options_(this, wf::doc::OptionDialog::Mesh) {
    setObjectName(QStringLiteral("FMesh"));
    setWindowTitle(QStringLiteral("Radial mesh construction"));

    edMeshFileName_ = makeField(this, "edMeshFileName", QStringLiteral("Finite element mesh:"));
    edMeshFileName_->setReadOnly(true);
    edThick_ = makeField(this, "edThick", QStringLiteral("Thickness of the aquifer:"));
    edRatio_ = makeField(this, "edRatio", QStringLiteral("Ratio of the fracture (0 - 1):"));
    edDistance_ = makeField(this, "edDistance", QStringLiteral("Distance to the opposite boundary:"));
    edObserveDist_ = makeField(this, "edObserveDist", QStringLiteral("Observation distance:"));
    cbPosition_ = new QComboBox(this);
    cbPosition_->setObjectName(QStringLiteral("cbPosition"));
    // "Pumped well" (IPOS 3): the well's own drawdown, with the fine model and a well radius.
    cbPosition_->addItems({QStringLiteral("Fracture"), QStringLiteral("Matrix"), QStringLiteral("Pumped well")});

    auto* output = new QGroupBox(QStringLiteral("Output file:"), this);
    auto* of = new QFormLayout(output);
    of->addRow(fieldLabel(edMeshFileName_), edMeshFileName_);
    auto* form = new QFormLayout;
    // Distances in the project's distance unit, written beside the fields.
    const QString length = distanceUnit(doc_.units.IDIST);
    form->addRow(fieldLabel(edThick_), withUnit(edThick_, length));
    form->addRow(fieldLabel(edRatio_), withUnit(edRatio_, QStringLiteral("-")));
    form->addRow(fieldLabel(edDistance_), withUnit(edDistance_, length));
    form->addRow(fieldLabel(edObserveDist_), withUnit(edObserveDist_, length));
    edThick_->setToolTip(QStringLiteral("Whole thickness of the confined aquifer, fracture and matrix together"));
    edRatio_->setToolTip(QStringLiteral("Part of the thickness taken by the conductive fracture layer, 0 to 1"));
    edDistance_->setToolTip(QStringLiteral("Radial distance from the pumped well to the outer boundary of the model"));
    edObserveDist_->setToolTip(QStringLiteral("Radial distance from the pumped well to the observation point"));
    cbPosition_->setToolTip(QStringLiteral("Layer in which the observation point is screened"));
    form->addRow(QStringLiteral("Observation position:"), cbPosition_);
    // The model options of the schema ("Fine model": a mesh, time steps and
    // solver chosen for accuracy in the mesh, preparation and analysis runs).
    auto* modelOptions = new QGridLayout;
    options_.addTo(modelOptions, 0);
    form->addRow(modelOptions);

    QDialogButtonBox* buttons = okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFMesh::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFMesh::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output);
    layout->addLayout(form);
    if (doc_.observationPointCount() > 1) {
        auto* further = new QGroupBox(QStringLiteral("Further observation points (set on their data pages):"), this);
        lbFurtherPoints_ = new QLabel(furtherPointsText(doc_), further);
        lbFurtherPoints_->setObjectName(QStringLiteral("lbFurtherPoints"));
        (new QVBoxLayout(further))->addWidget(lbFurtherPoints_);
        layout->addWidget(further);
    }
    layout->addWidget(buttons);
    FormCreate();
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void TFMesh::FormCreate() {
    edMeshFileName_->setText(QString::fromLocal8Bit(doc_.filename.femName));
    edThick_->setText(formatShort(doc_.obsv.THICK));
    edRatio_->setText(QString::number(doc_.obsv.RATIO, 'f', 2));
    edDistance_->setText(formatShort(doc_.mesh.RMAX));
    edObserveDist_->setText(formatShort(doc_.obsv.ROBS[0]));
    const int pos = doc_.obsv.IPOS[0] - 1;
    cbPosition_->setCurrentIndex(pos >= 0 && pos < 3 ? pos : 0);
    options_.show(doc_.analysisOptions);
}

void TFMesh::accept() {
    if (!readReal(this, edThick_, thick_) || !require(this, edThick_, thick_ > 0.0f, QStringLiteral("must be above 0")))
        return;
    if (!readReal(this, edRatio_, ratio_) ||
        !require(this, edRatio_, ratio_ > 0.0f && ratio_ < 1.0f, QStringLiteral("must lie between 0 and 1")))
        return;
    if (!readReal(this, edDistance_, distance_) ||
        !require(this, edDistance_, distance_ > 0.0f, QStringLiteral("must be above 0")))
        return;
    if (!readReal(this, edObserveDist_, observe_) ||
        !require(this, edObserveDist_, observe_ > 0.0f && observe_ < distance_,
                 QStringLiteral("must lie between 0 and the distance to the opposite boundary")))
        return;
    // The mesh has one column per distance, and every point inside the outer boundary.
    const std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
    for (std::size_t l = 1; l < points.size(); ++l) {
        const QString which =
            QStringLiteral("observation point %1 (%2)").arg(l + 1).arg(formatShort(points[l].distance).trimmed());
        if (!require(this, edObserveDist_, observe_ != points[l].distance,
                     QStringLiteral("must differ from the distance of ") + which))
            return;
        if (!require(this, edDistance_, points[l].distance < distance_,
                     QStringLiteral("must be above the distance of ") + which))
            return;
    }
    chosen_ = doc_.analysisOptions;
    if (!options_.read(this, chosen_)) return;
    QDialog::accept();
}

void TFMesh::store() {
    doc_.obsv.THICK = thick_;
    doc_.obsv.RATIO = ratio_;
    doc_.mesh.RMAX = distance_;
    doc_.obsv.ROBS[0] = observe_;
    doc_.obsv.IPOS[0] = cbPosition_->currentIndex() + 1;
    doc_.analysisOptions = chosen_;
}

} // namespace wf::ui
