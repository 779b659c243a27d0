#include "match_panel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include "document/run_fingerprints.h"
#include "document/units.h"
#include "drawdown_chart.h"
#include "number_text.h"
#include "project_folder.h"
#include "textio/side_file.h"

namespace wf::ui {

namespace {

KeptValues keptValues(const wf::doc::ProjectDocument& d) {
    return {{d.pinit.TF, d.pinit.TM, d.pinit.SF, d.pinit.SM}, d.analysisOptions.skin, d.analysisOptions.casingRadius};
}

// Keep: the panel's values become the project's parameters; undo puts the
// values before back.
class KeepValues : public QUndoCommand {
public:
    KeepValues(wf::doc::ProjectDocument& doc, const KeptValues& before, const KeptValues& after,
               std::function<void()> changed)
        : QUndoCommand(QStringLiteral("Keep matched values")), doc_(doc), before_(before), after_(after),
          changed_(std::move(changed)) {}
    void redo() override { put(after_); }
    void undo() override { put(before_); }

private:
    void put(const KeptValues& v) {
        doc_.pinit.TF = v.pinit[0];
        doc_.pinit.TM = v.pinit[1];
        doc_.pinit.SF = v.pinit[2];
        doc_.pinit.SM = v.pinit[3];
        doc_.analysisOptions.skin = v.skin;
        doc_.analysisOptions.casingRadius = v.casingRadius;
        if (changed_) changed_();
    }
    wf::doc::ProjectDocument& doc_;
    KeptValues before_, after_;
    std::function<void()> changed_;
};

template <class T>
void appendBytes(QByteArray& key, const T& record) {
    key.append(reinterpret_cast<const char*>(&record), sizeof record);
}

} // namespace

MatchPanel::MatchPanel(wf::doc::ProjectDocument& document, DrawdownChart* chart, QWidget* parent)
    : QDockWidget(QStringLiteral("Match"), parent), doc_(document), chart_(chart) {
    setObjectName(QStringLiteral("MatchPanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    undo_ = new QUndoStack(this);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    status_ = new QLabel(body);
    status_->setObjectName(QStringLiteral("lblStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    rowsBox_ = new QWidget(body);
    layout->addWidget(rowsBox_);
    rmse_ = new QLabel(body);
    rmse_->setObjectName(QStringLiteral("lblRmse"));
    rmse_->setToolTip(QStringLiteral("Error estimate of the curve shown: the sum of squared differences between "
                                     "simulated and observed drawdowns, as the analysis reports it"));
    layout->addWidget(rmse_);

    auto* buttons = new QGridLayout();
    fit_ = new QPushButton(QStringLiteral("Fit from here"), body);
    fit_->setObjectName(QStringLiteral("btnFit"));
    fit_->setToolTip(QStringLiteral("Start the project's search from the values on the panel"));
    back_ = new QPushButton(QStringLiteral("Back to fitted"), body);
    back_->setObjectName(QStringLiteral("btnBack"));
    back_->setToolTip(QStringLiteral("Return to the values of the last fit"));
    keep_ = new QPushButton(QStringLiteral("Keep"), body);
    keep_->setObjectName(QStringLiteral("btnKeep"));
    keep_->setToolTip(QStringLiteral("Make the values on the panel the project's parameters (undoable)"));
    auto* undoButton = new QToolButton(body);
    undoButton->setObjectName(QStringLiteral("btnUndo"));
    undoButton->setDefaultAction(undo_->createUndoAction(this, QStringLiteral("Undo")));
    auto* redoButton = new QToolButton(body);
    redoButton->setObjectName(QStringLiteral("btnRedo"));
    redoButton->setDefaultAction(undo_->createRedoAction(this, QStringLiteral("Redo")));
    buttons->addWidget(fit_, 0, 0);
    buttons->addWidget(back_, 0, 1);
    buttons->addWidget(keep_, 1, 0);
    auto* undoRow = new QHBoxLayout();
    undoRow->addWidget(undoButton);
    undoRow->addWidget(redoButton);
    buttons->addLayout(undoRow, 1, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setWidget(body);

    connect(fit_, &QPushButton::clicked, this, [this] {
        if (fitFromHere) fitFromHere(values_);
    });
    connect(back_, &QPushButton::clicked, this, [this] { backToFitted(); });
    connect(keep_, &QPushButton::clicked, this, [this] { keep(); });
}

MatchPanel::~MatchPanel() {
    runner_.reset();  // the busy run ends before its model goes
    session_.reset();
}

QByteArray MatchPanel::projectKey() const {
    // What the open model was made from: the records (without the parameters
    // the panel moves), the options, and the run files' times.
    QByteArray key;
    appendBytes(key, doc_.filename);
    appendBytes(key, doc_.mesh);
    appendBytes(key, doc_.obsv);
    appendBytes(key, doc_.pump);
    appendBytes(key, doc_.guess);
    appendBytes(key, doc_.units);
    appendBytes(key, doc_.nzero);
    key.append(QByteArray::fromStdString(wf::doc::encodeOptionBlocks(doc_.analysisOptions)));
    key.append(QByteArray::number(doc_.pointCount()));
    if (const std::optional<std::filesystem::path> folder = workingFolder()) {
        for (const char* ext : {".FEM", ".OBS", ".TIM", ".fpr"}) {
            std::error_code ec;
            const auto path = wf::textio::sideFilePath(doc_.stem() + ext, *folder);
            const auto t = std::filesystem::last_write_time(path, ec);
            key.append(QByteArray::number(static_cast<qlonglong>(ec ? 0 : t.time_since_epoch().count())));
        }
    }
    return key;
}

void MatchPanel::projectMayHaveChanged() {
    if (isVisible() && projectKey() != key_) refresh();
}

void MatchPanel::refresh() {
    runner_.reset();
    session_.reset();
    key_ = projectKey();
    snapshot_ = doc_;
    params_ = matchParameters(doc_.analysisOptions);
    values_ = projectMatchValues(doc_, params_);
    fitted_ = values_;
    fittedKept_ = keptValues(doc_);
    buildRows();

    problem_.clear();
    const std::optional<std::filesystem::path> folder = workingFolder();
    const wf::doc::RunNames names{"Analysis / Mesh", "Analysis / Parameters", "File / Save"};
    if (doc_.pointCount() == 0) {
        problem_ = QStringLiteral("The project has no measured drawdowns yet (Data / Edit)");
    } else if (!folder) {
        problem_ = QStringLiteral("The project's folder no longer exists");
    } else if (const std::optional<std::string> p = wf::doc::preparationProblem(doc_, names, *folder)) {
        problem_ = QString::fromStdString(*p);
    }
    if (problem_.isEmpty()) {
        session_ = std::make_unique<LiveSession>(doc_);
        if (!session_->isOpen()) {
            problem_ = session_->message();
            session_.reset();
        }
    }
    if (session_) {
        LiveSession* session = session_.get();
        runner_ = std::make_unique<LiveRunner>([session](const LiveRequest& r) { return session->run(r); });
        connect(runner_.get(), &LiveRunner::curveReady, this, &MatchPanel::curveArrived);
    }
    const bool live = session_ != nullptr;
    status_->setText(live ? QStringLiteral("Move a slider: the model curve follows.") : problem_);
    rowsBox_->setEnabled(live);
    fit_->setEnabled(live);
    back_->setEnabled(live);
    keep_->setEnabled(live);
    rmse_->setText(QString());
    if (live) requestRun();
}

void MatchPanel::buildRows() {
    delete rowsBox_->layout();
    for (QWidget* w : rowsBox_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) delete w;
    rows_.assign(params_.size(), Row{});
    auto* grid = new QGridLayout(rowsBox_);
    grid->setContentsMargins(0, 0, 0, 0);
    const QString tUnit = QString::fromStdString(wf::doc::transmissivityUnitName(doc_.units.ICOND));
    const QString dUnit = QString::fromStdString(wf::doc::distanceUnitName(doc_.units.IDIST));
    for (std::size_t i = 0; i < params_.size(); ++i) {
        const MatchParameter& m = params_[i];
        const int row = static_cast<int>(i) * 2;
        auto* name = new QLabel(m.name, rowsBox_);
        name->setToolTip(m.label);
        auto* field = new QLineEdit(rowsBox_);
        field->setObjectName(QStringLiteral("ed") + m.name);
        field->setToolTip(m.label + (m.transmissivity ? QStringLiteral(" (") + tUnit + QStringLiteral(")") : QString()));
        if (m.distance) field->setToolTip(m.label + QStringLiteral(" (") + dUnit + QStringLiteral(")"));
        const QString unitText = m.transmissivity ? tUnit : m.distance ? dUnit : QString();
        auto* unit = new QLabel(unitText, rowsBox_);
        auto* slider = new QSlider(Qt::Horizontal, rowsBox_);
        slider->setObjectName(QStringLiteral("sl") + m.name);
        slider->setRange(0, kSteps);
        slider->setToolTip(m.label + (m.linear ? QStringLiteral(": from ") + formatG5(m.low).trimmed() +
                                                     QStringLiteral(" to ") + formatG5(m.high).trimmed()
                                               : QStringLiteral(": two decades either side of the starting value")));
        grid->addWidget(name, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(unit, row, 2);
        grid->addWidget(slider, row + 1, 0, 1, 3);
        rows_[i].slider = slider;
        rows_[i].field = field;
        centre(i, values_[i]);
        connect(slider, &QSlider::valueChanged, this, [this, i](int position) {
            if (updating_) return;
            values_[i] = valueAt(i, position);
            showValue(i);
            requestRun();
        });
        connect(field, &QLineEdit::editingFinished, this, [this, i] {
            double v = 0.0;
            if (!parseReal(rows_[i].field->text(), v) || !std::isfinite(v) || (!params_[i].linear && !(v > 0.0))) {
                showValue(i);  // not a number (a positive one on a logarithmic range): the value stays
                return;
            }
            setValue(i, v);
        });
        showValue(i);
    }
}

void MatchPanel::centre(std::size_t i, double value) {
    const MatchParameter& m = params_[i];
    if (m.linear) {
        rows_[i].low = std::min(m.low, value);
        rows_[i].high = std::max(m.high, value);
        return;
    }
    // A value of 0 (a parameter never set) starts the range at a small one.
    const double unset = m.fallback > 0.0 ? m.fallback : m.transmissivity ? 1.0 : 1e-4;
    const double c = value > 0.0 && std::isfinite(value) ? value : unset;
    const double span = std::pow(10.0, kDecadesEachSide);
    rows_[i].low = c / span;
    rows_[i].high = c * span;
}

double MatchPanel::valueAt(std::size_t i, int position) const {
    const Row& r = rows_[i];
    const double f = static_cast<double>(std::clamp(position, 0, kSteps)) / kSteps;
    if (params_[i].linear) return r.low + (r.high - r.low) * f;
    return r.low * std::pow(r.high / r.low, f);
}

int MatchPanel::positionOf(std::size_t i, double value) const {
    const Row& r = rows_[i];
    if (params_[i].linear) {
        const double f = r.high > r.low ? (value - r.low) / (r.high - r.low) : 0.0;
        return std::clamp(static_cast<int>(std::lround(f * kSteps)), 0, kSteps);
    }
    if (!(value > 0.0)) return 0;
    const double f = std::log(value / r.low) / std::log(r.high / r.low);
    return std::clamp(static_cast<int>(std::lround(f * kSteps)), 0, kSteps);
}

void MatchPanel::showValue(std::size_t i) {
    updating_ = true;
    rows_[i].field->setText(formatG5(values_[i]).trimmed());
    rows_[i].slider->setValue(positionOf(i, values_[i]));
    updating_ = false;
}

QSlider* MatchPanel::slider(std::size_t i) const { return i < rows_.size() ? rows_[i].slider : nullptr; }
QLineEdit* MatchPanel::field(std::size_t i) const { return i < rows_.size() ? rows_[i].field : nullptr; }

void MatchPanel::setValue(std::size_t i, double value) {
    if (i >= values_.size() || !std::isfinite(value) || (!params_[i].linear && !(value > 0.0))) return;
    values_[i] = value;
    if (value < rows_[i].low || value > rows_[i].high) centre(i, value);
    showValue(i);
    requestRun();
}

void MatchPanel::requestRun() {
    if (!runner_) return;
    LiveRequest r;
    QString why;
    if (!matchMultipliers(snapshot_, params_, values_, r.multipliers, why)) {
        status_->setText(why);
        return;
    }
    const MatchWell well = wellOfMatchValues(snapshot_, params_, values_);
    r.well = well.present;
    r.skin = well.skin;
    r.casingRadius = well.casingRadius;
    r.values = values_;
    runner_->request(std::move(r));
}

void MatchPanel::curveArrived(const LiveResult& r) {
    if (!r.ok) {
        status_->setText(r.message);
        return;
    }
    status_->setText(r.message.isEmpty() ? QStringLiteral("Move a slider: the model curve follows.") : r.message);
    if (chart_)
        chart_->showLiveCurve(r.points, r.levels, r.times, r.drawdowns, pinitOfMatchValues(snapshot_, params_, r.values));
    lastS_ = r.errorEstimate;
    rmse_->setText(QStringLiteral("RMSE = ") + formatG5(r.errorEstimate).trimmed());
    ++drawn_;
}

void MatchPanel::keep() {
    const KeptValues before = keptValues(doc_);
    wf::doc::ProjectDocument kept = doc_;
    applyMatchValues(kept, params_, values_);
    const KeptValues after = keptValues(kept);
    if (before == after) return;
    undo_->push(new KeepValues(doc_, before, after, [this] {
        if (projectChanged) projectChanged();
    }));
}

void MatchPanel::backToFitted() {
    values_ = fitted_;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        centre(i, values_[i]);
        showValue(i);
    }
    requestRun();
}

void MatchPanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (projectKey() != key_ || !session_)
        refresh();
    else
        requestRun();  // shown again: the chart takes the panel's curve back
}

void MatchPanel::hideEvent(QHideEvent* event) {
    QDockWidget::hideEvent(event);
    // Closed: the chart shows the project's curve again, not the panel's -
    // the simulation file's while the project's values are those the panel
    // started from, else the model's curve at the values kept.
    if (!chart_ || !chart_->liveCurveShown()) return;
    if (keptValues(doc_) == fittedKept_ || !runner_) {
        if (restoreChart) restoreChart();
        return;
    }
    values_ = projectMatchValues(doc_, params_);
    for (std::size_t i = 0; i < values_.size(); ++i) showValue(i);
    requestRun();
}

} // namespace wf::ui
