#include "analysis_dialog.h"

#include <cmath>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_fields.h"
#include "message_boxes.h"
#include "number_text.h"

namespace wf::ui {

namespace {

const char* const kRowLabels[4] = {"Transmissivity (fracture):", "Transmissivity (matrix):", "Storativity (fracture):",
                                   "Storativity (matrix):"};
const char* const kRowNames[4] = {"TF", "TM", "SF", "SM"};
const char* const kColumnNames[3] = {"Min", "Guess", "Max"};
const char* const kColumnLabels[3] = {"Minimum:", "Guess:", "Maximum:"};
const char* const kColumnTips[3] = {"The smallest value the optimisation may give this parameter",
                                    "Where the optimisation starts, and the value of a fixed-time run or a prediction",
                                    "The largest value the optimisation may give this parameter"};

// The document fields behind row r and column c (minimum, guess, maximum).
float& parameter(PINIT& p, int r, int c) {
    float* guesses[4] = {&p.TF, &p.TM, &p.SF, &p.SM};
    float* minima[4] = {&p.TFMIN, &p.TMMIN, &p.SFMIN, &p.SMMIN};
    float* maxima[4] = {&p.TFMAX, &p.TMMAX, &p.SFMAX, &p.SMMAX};
    return c == 0 ? *minima[r] : c == 1 ? *guesses[r] : *maxima[r];
}

} // namespace

TFAnalysis::TFAnalysis(wf::doc::ProjectDocument& document, QWidget* parent)
    : QDialog(parent), doc_(document), options_(this, wf::doc::OptionDialog::Analysis) {
    setObjectName(QStringLiteral("FAnalysis"));
    setWindowTitle(QStringLiteral("Analyse pump test"));
    auto* files = makeFileGroups();
    auto* middle = makeRunGroups();
    auto* aquifer = makeAquiferGrid();
    auto* search = makeSearchGroup();
    QDialogButtonBox* buttons = okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFAnalysis::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFAnalysis::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addLayout(middle);
    layout->addWidget(aquifer);
    layout->addWidget(search);
    layout->addWidget(buttons);
    FormCreate();
    checkAll_->setFocus();
}

// "Input files:" and "Output files:", read-only.
QHBoxLayout* TFAnalysis::makeFileGroups() {
    edObsFile_ = makeField(this, "edObsFile", QStringLiteral("Observation file:"));
    edParamFile_ = makeField(this, "edParamFile", QStringLiteral("Parameter file:"));
    edResultFile_ = makeField(this, "edResultFile", QStringLiteral("Result file:"));
    edSimFile_ = makeField(this, "edSimFile", QStringLiteral("Simulation file:"));
    for (QLineEdit* e : {edObsFile_, edParamFile_, edResultFile_, edSimFile_}) e->setReadOnly(true);
    auto* inputs = new QGroupBox(QStringLiteral("Input files:"), this);
    auto* inf = new QFormLayout(inputs);
    inf->addRow(fieldLabel(edObsFile_), edObsFile_);
    inf->addRow(fieldLabel(edParamFile_), edParamFile_);
    auto* outputs = new QGroupBox(QStringLiteral("Output files:"), this);
    auto* outf = new QFormLayout(outputs);
    outf->addRow(fieldLabel(edResultFile_), edResultFile_);
    outf->addRow(fieldLabel(edSimFile_), edSimFile_);
    auto* files = new QHBoxLayout;
    files->addWidget(inputs);
    files->addWidget(outputs);
    return files;
}

// "Analysis type", "Optimization:" and "Prediction:".
QHBoxLayout* TFAnalysis::makeRunGroups() {
    rgType_ = new QGroupBox(QStringLiteral("Analysis type"), this);
    rgType_->setObjectName(QStringLiteral("rgType"));
    typeButtons_ = new QButtonGroup(this);
    auto* typeLayout = new QVBoxLayout(rgType_);
    int id = 0;
    for (const char* item : {"Optimization", "Fixed time", "Prediction"}) {
        auto* rb = new QRadioButton(QString::fromLatin1(item), rgType_);
        rb->setObjectName(QStringLiteral("rgType%1").arg(id));
        typeButtons_->addButton(rb, id++);
        typeLayout->addWidget(rb);
    }
    checkAll_ = new QCheckBox(QStringLiteral("Use all points"), this);
    checkAll_->setObjectName(QStringLiteral("checkAll"));
    checkAll_->setToolTip(QStringLiteral("Fit every reading; clear it to leave out the first readings"));
    edIgnore_ = makeField(this, "edIgnore", QStringLiteral("Number of initial points to ignore:"));
    edRMSE_ = makeField(this, "edRMSE", QStringLiteral("Minimum fit requirements (RMSE):"));
    edSimTime_ = makeField(this, "edSimTime", QStringLiteral("Simulation time (Days):"));
    edTimeSteps_ = makeField(this, "edTimeSteps", QStringLiteral("Number of time steps:"));
    edIgnore_->setToolTip(QStringLiteral("Readings at the start of the test left out of the fit"));
    edRMSE_->setToolTip(QStringLiteral("The optimisation stops when the error estimate falls below this value"));
    edSimTime_->setToolTip(QStringLiteral("Length of a predicted test, in days"));
    edTimeSteps_->setToolTip(QStringLiteral("Number of output times of a prediction"));
    auto* optimisation = new QGroupBox(QStringLiteral("Optimization:"), this);
    auto* optf = new QFormLayout(optimisation);
    optf->addRow(checkAll_);
    optf->addRow(fieldLabel(edIgnore_), edIgnore_);
    optf->addRow(fieldLabel(edRMSE_), edRMSE_);
    auto* prediction = new QGroupBox(QStringLiteral("Prediction:"), this);
    auto* pf = new QFormLayout(prediction);
    pf->addRow(fieldLabel(edSimTime_), edSimTime_);
    pf->addRow(fieldLabel(edTimeSteps_), edTimeSteps_);
    auto* middle = new QHBoxLayout;
    middle->addWidget(rgType_);
    middle->addWidget(optimisation, 1);
    middle->addWidget(prediction, 1);
    return middle;
}

// "Aquifer parameters:": minimum, guess and maximum of each parameter, its
// "Hold" box, and the two buttons.
QGroupBox* TFAnalysis::makeAquiferGrid() {
    auto* aquifer = new QGroupBox(QStringLiteral("Aquifer parameters:"), this);
    auto* grid = new QGridLayout(aquifer);
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(QString::fromLatin1(kColumnLabels[c]), aquifer), 0, c + 1);
    for (int r = 0; r < 4; ++r) {
        grid->addWidget(new QLabel(QString::fromLatin1(kRowLabels[r]), aquifer), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            const QByteArray name = QByteArray("ed") + kRowNames[r] + kColumnNames[c];
            // The field is named by its row and column labels in messages.
            param_[r][c] = makeField(aquifer, name.constData(),
                                     QString::fromLatin1(kRowLabels[r]).chopped(1) + QStringLiteral(" ") +
                                         QString::fromLatin1(kColumnLabels[c]));
            param_[r][c]->setToolTip(QString::fromLatin1(kColumnTips[c]));
            grid->addWidget(param_[r][c], r + 1, c + 1);
        }
    }
    btnParam_ = new QPushButton(QStringLiteral("Reset parameters"), this);
    btnParam_->setObjectName(QStringLiteral("btnParam"));
    btnBound_ = new QPushButton(QStringLiteral("Set Boundaries"), this);
    btnBound_->setObjectName(QStringLiteral("btnBound"));
    connect(btnParam_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Reset parameters"), [this] { btnParamClick(); }); });
    connect(btnBound_, &QPushButton::clicked, this,
            [this] { guarded(this, QStringLiteral("Set Boundaries"), [this] { btnBoundClick(); }); });
    // The "Hold" box of each parameter, from the option schema.
    grid->addWidget(new QLabel(QStringLiteral("Hold:"), aquifer), 0, 4);
    const std::vector<QCheckBox*>& hold = options_.parameterBoxes("hold");
    for (std::size_t r = 0; r < hold.size(); ++r) grid->addWidget(hold[r], static_cast<int>(r) + 1, 4);
    // The pumped well's skin factor and casing radius (their values are the
    // mesh dialog's): unknowns of the search when a well is set.
    const std::vector<QCheckBox*>& holdWell = options_.parameterBoxes("hold_well");
    const bool well = doc_.analysisOptions.fineModel && doc_.analysisOptions.wellRadius > 0.0f;
    static const char* const kWellLabels[2] = {"Hold skin factor", "Hold casing radius"};
    auto* wellRow = new QHBoxLayout;
    for (std::size_t w = 0; w < holdWell.size() && w < 2; ++w) {
        holdWell[w]->setText(QString::fromLatin1(kWellLabels[w]));
        holdWell[w]->setEnabled(well && (w == 0 || doc_.analysisOptions.casingRadius > 0.0f));
        wellRow->addWidget(holdWell[w]);
    }
    wellRow->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Well:"), aquifer), 5, 0);
    grid->addLayout(wellRow, 5, 1, 1, 4);
    auto* paramButtons = new QHBoxLayout;
    paramButtons->addWidget(btnParam_);
    paramButtons->addWidget(btnBound_);
    paramButtons->addStretch(1);
    grid->addLayout(paramButtons, 6, 0, 1, 5);
    return aquifer;
}

// "Search options:": every other analysis option of the schema.
QGroupBox* TFAnalysis::makeSearchGroup() {
    auto* search = new QGroupBox(QStringLiteral("Search options:"), this);
    search->setObjectName(QStringLiteral("gbSearch"));
    auto* grid = new QGridLayout(search);
    options_.addTo(grid, 0);
    grid->setColumnStretch(2, 1);
    return search;
}

void TFAnalysis::FormCreate() {
    edObsFile_->setText(QString::fromLocal8Bit(doc_.filename.obsName));
    edParamFile_->setText(QString::fromLocal8Bit(doc_.filename.timName));
    edResultFile_->setText(QString::fromLocal8Bit(doc_.filename.resName));
    edSimFile_->setText(QString::fromLocal8Bit(doc_.filename.invName));
    typeButtons_->button(0)->setChecked(true);
    checkAll_->setChecked(true);
    edIgnore_->setText(QString::number(doc_.nzero.NSKIP));
    edRMSE_->setText(formatShort(doc_.guess.RMSE));
    edSimTime_->setText(formatShort(doc_.pump.TSIM));
    edTimeSteps_->setText(formatShort(doc_.pump.NSTEP));
    const wf::doc::Status s = doc_.convertParameters(1);
    if (!s) showError(this, QString::fromStdString(s.error));
    showParameters();
    chosen_ = doc_.analysisOptions;
    options_.show(chosen_);
}

void TFAnalysis::showParameters() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) param_[r][c]->setText(formatG5(parameter(doc_.pinit, r, c)));
}

int TFAnalysis::analysisType() const { return typeButtons_->checkedId() < 0 ? 0 : typeButtons_->checkedId(); }

void TFAnalysis::btnParamClick() {
    const float oldTF = doc_.pinit.TF;
    doc_.pinit.TF = 0.0f;
    const wf::doc::Status s = doc_.convertParameters(4);
    if (!s) {
        doc_.pinit.TF = oldTF;
        showError(this, QString::fromStdString(s.error));
        return;
    }
    showParameters();
}

void TFAnalysis::btnBoundClick() {
    float guesses[4];
    for (int r = 0; r < 4; ++r)
        if (!readReal(this, param_[r][1], guesses[r])) return;
    const PINIT before = doc_.pinit;
    for (int r = 0; r < 4; ++r) parameter(doc_.pinit, r, 1) = guesses[r];
    const wf::doc::Status s = doc_.convertParameters(3);
    if (!s) {
        doc_.pinit = before;
        showError(this, QString::fromStdString(s.error));
        return;
    }
    showParameters();
}

void TFAnalysis::accept() {
    nskip_ = 0;
    if (!checkAll_->isChecked()) {
        if (!readInteger(this, edIgnore_, nskip_) ||
            !require(this, edIgnore_, nskip_ >= 0, QStringLiteral("must not be negative")))
            return;
    }
    if (!readReal(this, edRMSE_, rmse_)) return;
    if (!readReal(this, edSimTime_, tsim_) ||
        !require(this, edSimTime_, tsim_ >= 0.0f, QStringLiteral("must not be negative")))
        return;
    if (!readReal(this, edTimeSteps_, nstep_) ||
        !require(this, edTimeSteps_, nstep_ >= 0.0f && std::floor(nstep_) == nstep_,
                 QStringLiteral("must be a whole number, not negative")))
        return;
    // Guesses first, then minima, then maxima - the order in which they are taken over.
    for (int c : {1, 0, 2})
        for (int r = 0; r < 4; ++r)
            if (!readReal(this, param_[r][c], values_[r][c])) return;
    // The options are checked also where they do not act (the stop rules of the
    // plain search), since they are kept in the project all the same.
    if (!options_.read(this, chosen_)) return;
    QDialog::accept();
}

void TFAnalysis::store() {
    doc_.nzero.NSKIP = nskip_;
    doc_.guess.RMSE = rmse_;
    doc_.pump.TSIM = tsim_;
    doc_.pump.NSTEP = nstep_;
    for (int c : {1, 0, 2})
        for (int r = 0; r < 4; ++r) parameter(doc_.pinit, r, c) = values_[r][c];
    doc_.analysisOptions = chosen_;
}

} // namespace wf::ui
