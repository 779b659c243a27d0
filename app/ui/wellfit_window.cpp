#include "wellfit_window.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QChart>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

#include "analysis_dialog.h"
#include "document/run_fingerprints.h"
#include "data_dialog.h"
#include "drawdown_chart.h"
#include "export_dialog.h"
#include "fit_report_window.h"
#include "log_dialog.h"
#include "loglog_view.h"
#include "match_panel.h"
#include "mesh_dialog.h"
#include "message_boxes.h"
#include "param_dialog.h"
#include "project_folder.h"
#include "recent_files.h"
#include "solver_call.h"
#include "units_dialog.h"
#include "wellfit_version.h"

namespace wf::ui {

namespace {

const QString kFilter = QStringLiteral("WFT Files (*.wft)");

SolverRecords recordsOf(wf::doc::ProjectDocument& d) {
    return SolverRecords{&d.filename, &d.mesh, &d.obsv, &d.pump, &d.guess, &d.pinit, &d.units, &d.nzero};
}

// The values a project file may lack and that must not come from the project
// open before: the borehole name (a file without the name block has none)
// and the steps of the discharge table beyond the file's own.
void clearProjectValues(wf::doc::ProjectDocument& d) {
    d.setBoreholeName("");
    for (int k = 0; k < wf::doc::kMaxPumpingSteps; ++k) {
        d.pump.Q[k] = 0.0f;
        d.pump.TQ[k] = 0.0f;
    }
}

// False when the fit report of the project's last run names values of TF, TM,
// SF, SM other than the stored ones (seven significant digits, as the
// report writes them); true without a report.
bool fitReportMatchesProject(const QString& report, const PINIT& p) {
    const float stored[4] = {p.TF, p.TM, p.SF, p.SM};
    const char* const names[4] = {"TF ", "TM ", "SF ", "SM "};
    for (const QString& line : report.split(QLatin1Char('\n'))) {
        for (int i = 0; i < 4; ++i) {
            if (!line.startsWith(QLatin1String(names[i]))) continue;
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            bool ok = false;
            const double value = words.size() > 1 ? words[1].toDouble(&ok) : 0.0;
            if (ok && std::fabs(value - stored[i]) > 2e-6 * std::max(std::fabs(value), 1e-30)) return false;
        }
    }
    return true;
}

// The menu caption without its access-key mark, for messages.
QString commandName(const QString& caption) {
    QString name = caption;
    return name.remove(QLatin1Char('&'));
}

} // namespace

TWellfit::TWellfit(wf::doc::ProjectDocument& document, const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), doc_(document) {
    setObjectName(QStringLiteral("Wellfit"));
    setWindowTitle(QStringLiteral("Wellfit"));
    progressWindow();  // the solver's host is in place before any run

    File1_ = menuBar()->addMenu(QStringLiteral("&File"));
    File1_->setObjectName(QStringLiteral("File1"));
    New1_ = addItem(File1_, QStringLiteral("&New"), "New1", &TWellfit::New1Click);
    Open1_ = addItem(File1_, QStringLiteral("&Open"), "Open1", &TWellfit::Open1Click);
    Save1_ = addItem(File1_, QStringLiteral("&Save"), "Save1", &TWellfit::Save1Click);
    SaveAs1_ = addItem(File1_, QStringLiteral("Save &as"), "SaveAs1", &TWellfit::SaveAs1Click);
    ExportGraph1_ = addItem(File1_, QStringLiteral("Export &Graph"), "ExportGraph1", &TWellfit::ExportGraph1Click);
    PrintPreview1_ = addItem(File1_, QStringLiteral("&Print"), "PrintPreview1", &TWellfit::File1Click);
    N1_ = File1_->addSeparator();
    N1_->setObjectName(QStringLiteral("N1"));
    Exit1_ = addItem(File1_, QStringLiteral("E&xit"), "Exit1", &TWellfit::Exit1Click);

    Data1_ = menuBar()->addMenu(QStringLiteral("&Data"));
    Data1_->setObjectName(QStringLiteral("Data1"));
    addItem(Data1_, QStringLiteral("&Edit"), "Edit1", &TWellfit::Edit1Click);

    Analysis1_ = menuBar()->addMenu(QStringLiteral("&Analysis"));
    Analysis1_->setObjectName(QStringLiteral("Analysis1"));
    addItem(Analysis1_, QStringLiteral("&Units"), "Units1", &TWellfit::Units1Click);
    addItem(Analysis1_, QStringLiteral("&Mesh"), "Mesh1", &TWellfit::Mesh1Click);
    addItem(Analysis1_, QStringLiteral("&Parameters"), "Parameters1", &TWellfit::Parameters1Click);
    addItem(Analysis1_, QStringLiteral("&Analysis"), "Analysis2", &TWellfit::Analysis2Click);
    Analysis1_->addSeparator();
    addItem(Analysis1_, QStringLiteral("Show &Log"), "ShowLog1", &TWellfit::ShowLog1Click);
    FitReport1_ = addItem(Analysis1_, QStringLiteral("Fit report"), "FitReport1", &TWellfit::FitReport1Click);
    FitReport1_->setEnabled(false);  // until there is a report

    // The usual keys of the file commands.
    New1_->setShortcut(QKeySequence::New);
    Open1_->setShortcut(QKeySequence::Open);
    Save1_->setShortcut(QKeySequence::Save);
    SaveAs1_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    PrintPreview1_->setShortcut(QKeySequence::Print);
    New1_->setToolTip(QStringLiteral("Create a new project file"));
    Open1_->setToolTip(QStringLiteral("Open a project file (.wft)"));
    Save1_->setToolTip(QStringLiteral("Save the project under its name"));
    SaveAs1_->setToolTip(QStringLiteral("Save the project under another name"));

    Save1_->setEnabled(false);
    SaveAs1_->setEnabled(false);
    ExportGraph1_->setEnabled(false);
    PrintPreview1_->setEnabled(false);
    Data1_->menuAction()->setVisible(false);
    Analysis1_->menuAction()->setVisible(false);

    Chart1_ = new DrawdownChart(doc_, this);
    setCentralWidget(Chart1_);
    Chart1_->hide();

    // The diagnostic plots, shared with the chart's context menu.
    View1_ = menuBar()->addMenu(QStringLiteral("&View"));
    View1_->setObjectName(QStringLiteral("View1"));
    View1_->addAction(Chart1_->derivativeAction());
    View1_->addAction(Chart1_->residualsAction());
    QAction* logLog = View1_->addAction(QStringLiteral("&Log-log diagnostic"));
    logLog->setObjectName(QStringLiteral("LogLog1"));
    logLog->setToolTip(QStringLiteral("Drawdown and its derivative of every point on logarithmic axes"));
    connect(logLog, &QAction::triggered, this,
            [this] { guarded(this, QStringLiteral("Log-log diagnostic"), [this] { LogLog1Click(); }); });

    // Live curve matching beside the chart: View menu and toolbar.
    match_ = new MatchPanel(doc_, Chart1_, this);
    addDockWidget(Qt::RightDockWidgetArea, match_);
    match_->hide();
    QAction* matchItem = match_->toggleViewAction();
    matchItem->setText(QStringLiteral("&Match"));
    matchItem->setObjectName(QStringLiteral("Match1"));
    matchItem->setToolTip(QStringLiteral("Match the model curve by eye: sliders for the parameters, the curve follows"));
    View1_->addAction(matchItem);
    QToolBar* tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("ToolBar1"));
    tools->setMovable(false);
    tools->addAction(matchItem);
    match_->fitFromHere = [this](const std::vector<double>& values) {
        guarded(this, QStringLiteral("Fit from here"), [&] { MatchFitClick(values); });
    };
    match_->projectChanged = [this] {
        setModified(true);
        Chart1_->viewport()->update();
    };
    match_->restoreChart = [this] {
        Chart1_->clearFit();
        DrawFit();
    };

    // Help > About: the program's version, the same one wellfit-cli --version prints.
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* about = help->addAction(QStringLiteral("&About Wellfit"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, QStringLiteral("About Wellfit"),
                           QStringLiteral("Wellfit " WELLFIT_VERSION "\n\n"
                                          "Analysis of pumping tests in fractured rock."));
    });

    mru_ = new RecentFiles(File1_, N1_, settingsFile, this);
    mru_->onItemClick = [this](const QString& path) {
        guarded(this, QStringLiteral("Open"), [&] { MRUFileList1MRUItemClick(path); });
        if (match_) match_->projectMayHaveChanged();
    };
    mru_->read();

    // Room for the chart, its text block and the menus.
    setMinimumSize(640, 420);
    resize(900, 620);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

TWellfit::~TWellfit() { mru_->write(); }

QAction* TWellfit::addItem(QMenu* menu, const QString& text, const char* name, void (TWellfit::*handler)()) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    const QString command = commandName(text);
    connect(a, &QAction::triggered, this, [this, handler, command] {
        guarded(this, command, [&] { (this->*handler)(); });
        // A run or a dialog may have changed what the live model reads.
        if (match_) match_->projectMayHaveChanged();
    });
    return a;
}

QString TWellfit::saveDialog() {
    if (chooseSaveFile) return chooseSaveFile();
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kFilter);
    dialog.setDefaultSuffix(QStringLiteral("wft"));
    dialog.setDirectory(QDir::current());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);  // ask before overwriting
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

QString TWellfit::openDialog() {
    if (chooseOpenFile) return chooseOpenFile();
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(kFilter);
    dialog.setDefaultSuffix(QStringLiteral("wft"));
    dialog.setDirectory(QDir::current());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

void TWellfit::setProjectCaption(const QString& path) {
    captionPath_ = QDir::toNativeSeparators(path);
    setModified(false);
}

void TWellfit::setModified(bool modified) {
    modified_ = modified;
    if (captionPath_.isEmpty()) return;
    setWindowTitle(QStringLiteral("Wellfit - ") + captionPath_ + (modified ? QStringLiteral(" *") : QString()));
}

bool TWellfit::enterFolder(const QString& projectPath) {
    if (const wf::doc::Status s = wf::doc::enterProjectFolder(projectPath.toStdString()); !s) {
        showError(this, QString::fromStdString(s.error));
        return false;
    }
    rememberProjectFolder(QFileInfo(projectPath).absolutePath());
    return true;
}

std::optional<std::filesystem::path> TWellfit::folderFor(const QString& action, const QString& file) {
    std::optional<std::filesystem::path> folder = workingFolder();
    if (!folder) showError(this, folderGoneMessage(action, file));
    return folder;
}

void TWellfit::showProjectWithoutPoints() {
    Data1_->menuAction()->setVisible(true);
    Save1_->setEnabled(true);
    SaveAs1_->setEnabled(true);
}

void TWellfit::showProjectWithPoints() {
    Analysis1_->menuAction()->setVisible(true);
    PrintPreview1_->setEnabled(true);
    ExportGraph1_->setEnabled(true);
}

std::function<int()>& TWellfit::defaultAskToSaveChanges() {
    static std::function<int()> ask;
    return ask;
}

bool TWellfit::changesMayBeDropped() {
    if (!modified_) return true;
    int answer = QMessageBox::Cancel;
    if (askToSaveChanges) {
        answer = askToSaveChanges();
    } else if (defaultAskToSaveChanges()) {
        answer = defaultAskToSaveChanges()();
    } else {
        answer = QMessageBox::question(
            this, QStringLiteral("Wellfit"),
            QStringLiteral("The project %1 has changes that are not saved. Save them?")
                .arg(QString::fromStdString(doc_.projectName())),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    }
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Save) {
        Save1Click();
        return !modified_;  // a failed save keeps the project open
    }
    return true;
}

void TWellfit::closeEvent(QCloseEvent* event) {
    if (!changesMayBeDropped()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TWellfit::New1Click() {
    if (!changesMayBeDropped()) return;
    const QString path = saveDialog();
    if (path.isEmpty()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    Chart1_->clearSeries();
    mru_->add(absolute);
    setProjectCaption(absolute);
    Data1_->menuAction()->setVisible(true);
    Save1_->setEnabled(true);
    SaveAs1_->setEnabled(true);
    PrintPreview1_->setEnabled(false);
    ExportGraph1_->setEnabled(false);
    Analysis1_->menuAction()->setVisible(false);
    Chart1_->hide();
    if (!enterFolder(absolute)) return;
    // A new project starts without the borehole name and the discharge steps
    // of the project open before (the default project is 132 bytes).
    wf::doc::ProjectDocument fresh = doc_;
    clearProjectValues(fresh);
    if (const wf::doc::Status s = fresh.newProject(absolute.toStdString()); !s) {
        showError(this, QString::fromStdString(s.error));
        return;
    }
    doc_ = std::move(fresh);
    if (const std::optional<std::filesystem::path> folder = workingFolder()) preparation_.projectOpened(doc_, *folder);
    // A new project has no analysis yet, whatever an old side file says.
    lastFit_ = WfFitReport{};
    lastReport_.clear();
    FitReport1_->setEnabled(false);
    if (fitReport_) fitReport_->hide();
}

void TWellfit::Open1Click() {
    if (!changesMayBeDropped()) return;
    const QString path = openDialog();
    if (path.isEmpty()) return;
    openChosen(path);
}

void TWellfit::openChosen(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString before = QDir::currentPath();
    if (!enterFolder(absolute)) return;
    if (!openPath(absolute) && !before.isEmpty()) {
        QDir::setCurrent(before);  // the project open before stays, in its folder
        rememberProjectFolder(before);
    }
}

void TWellfit::MRUFileList1MRUItemClick(const QString& path) {
    if (!changesMayBeDropped()) return;
    mru_->remove(path);
    // An entry whose folder is gone stays removed, and nothing is shown.
    const QString folder = QFileInfo(path).absolutePath();
    const QString before = QDir::currentPath();
    if (!QDir::setCurrent(folder)) return;
    rememberProjectFolder(folder);
    if (!openPath(path) && !before.isEmpty()) {
        QDir::setCurrent(before);
        rememberProjectFolder(before);
    }
}

bool TWellfit::openPath(const QString& path) {
    wf::doc::ProjectDocument loaded = doc_;
    clearProjectValues(loaded);
    wf::doc::OpenOutcome outcome;
    try {
        outcome = loaded.openProject(path.toStdString());
    } catch (const std::exception& e) {
        outcome.project = wf::doc::Status::failure("Cannot read the project file " + path.toStdString() + " (" +
                                                   e.what() + ")");
    }
    if (!outcome.project) {
        showError(this, QString::fromStdString(outcome.project.error));
        return false;
    }
    mru_->add(path);
    setProjectCaption(path);
    Chart1_->hide();
    Chart1_->clearTitle();
    Chart1_->clearSeries();  // nothing of the project open before stays on the chart
    Analysis1_->menuAction()->setVisible(false);
    PrintPreview1_->setEnabled(false);
    ExportGraph1_->setEnabled(false);
    doc_ = std::move(loaded);
    if (const std::optional<std::filesystem::path> folder = workingFolder()) preparation_.projectOpened(doc_, *folder);
    lastFit_ = WfFitReport{};
    takeFitReport();  // the report of the project's last analysis, if it has one

    // A file that ends early opens with the later fields as they were; the
    // user is told which field was the first one missing.
    if (!outcome.warning.empty())
        showMessage(this, QMessageBox::Information, QStringLiteral("Information"),
                    QString::fromStdString(outcome.warning));
    if (!outcome.testData) showError(this, QString::fromStdString(outcome.testData.error));
    showProjectWithoutPoints();
    if (doc_.pointCount() > 0) {
        showProjectWithPoints();
        Chart1_->clearSeries();
        DrawDrawdown();
        // The simulation file may come from a run after the last Save: its
        // curve would stand beside the stored values, so it is left off.
        if (fitReportMatchesProject(lastReport_, doc_.pinit))
            DrawFit();
        else
            Chart1_->setFitNote(QStringLiteral("Model curve not shown: it is from a later, unsaved run"));
        Chart1_->show();
    }
    return true;
}

void TWellfit::Save1Click() {
    const std::optional<std::filesystem::path> folder =
        folderFor(QStringLiteral("save the project file"), QString::fromStdString(doc_.projectName()));
    if (!folder) return;
    if (const wf::doc::Status s = doc_.saveToProjectName(*folder); !s) {
        showError(this, QString::fromStdString(s.error));
        return;
    }
    setModified(false);
}

void TWellfit::SaveAs1Click() {
    const QString path = saveDialog();
    if (path.isEmpty()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    setProjectCaption(absolute);
    // The working directory follows the folder picked in the dialog.
    if (QDir::setCurrent(QFileInfo(absolute).absolutePath())) rememberProjectFolder(QFileInfo(absolute).absolutePath());
    if (const wf::doc::Status s = doc_.saveProject(absolute.toStdString()); !s) {
        showError(this, QString::fromStdString(s.error));
        setModified(true);  // nothing was kept
    }
}

void TWellfit::ExportGraph1Click() {
    ExportDialog dialog(Chart1_, this);
    dialog.chooseFile = chooseExportFile;
    dialog.exec();
}

void TWellfit::File1Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, Chart1_, &DrawdownChart::renderPage);
    preview.exec();
}

void TWellfit::Exit1Click() {
    if (!close()) return;  // the question was answered with Cancel
    QApplication::quit();
}

void TWellfit::Edit1Click() {
    TFData dialog(doc_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    setModified(true);  // the borehole name and the points' settings are in the project file
    if (doc_.pointCount() > 0) {
        showProjectWithPoints();
        Chart1_->clearMeasured();
        DrawDrawdown();
        Chart1_->show();
    }
}

void TWellfit::Units1Click() {
    TFUnits dialog(doc_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.store();
    setModified(true);
}

void TWellfit::Mesh1Click() {
    TFMesh dialog(doc_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.store();
    setModified(true);  // and the mesh sizes of the run reach the file only through Save
    const std::optional<std::filesystem::path> folder =
        folderFor(QStringLiteral("build the mesh file"), QString::fromLocal8Bit(doc_.filename.femName));
    if (!folder) return;
    if (doc_.observationPointCount() > 1) {
        // The mesh needs the points in ascending distance (the first one may
        // have moved in the dialog).
        std::string note;
        if (const wf::doc::Status s = doc_.setObservationPoints(doc_.observationPoints(), &note, *folder); !s) {
            showError(this, QString::fromStdString(s.error));
            return;
        }
        if (!note.empty())
            showMessage(this, QMessageBox::Information, QStringLiteral("Information"), QString::fromStdString(note));
    }
    if (callWithOptions(WF_MODE_MESH, 0, recordsOf(doc_), doc_.analysisOptions, nullptr, this))
        recordRun(wf::doc::recordMeshRun(doc_, *folder));
}

// What the later runs compare with; a fingerprint that cannot be written only
// leaves those runs to judge the files by their ages.
void TWellfit::recordRun(const wf::doc::Status& recorded) {
    if (!recorded) showError(this, QString::fromStdString(recorded.error));
}

// Empty when the mesh files belong to the project as it stands; else the
// message naming the menu item to use.
QString TWellfit::meshProblem(const std::filesystem::path& folder) const {
    const wf::doc::RunNames names{"Analysis / Mesh", "Analysis / Parameters", "File / Save"};
    const std::optional<std::string> problem = wf::doc::meshProblem(doc_, names, folder);
    return problem ? QString::fromStdString(*problem) : QString();
}

void TWellfit::Parameters1Click() {
    TFParam dialog(doc_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.store();
    setModified(true);
    if (doc_.mesh.NR == 0) {
        showPlain(this, QStringLiteral("Do mesh construction first and save"));
        return;
    }
    const std::optional<std::filesystem::path> folder =
        folderFor(QStringLiteral("prepare the observation file"), QString::fromLocal8Bit(doc_.filename.obsName));
    if (!folder) return;
    if (const QString problem = meshProblem(*folder); !problem.isEmpty()) {
        showPlain(this, problem);
        return;
    }
    const bool succeeded =
        callWithOptions(WF_MODE_PREPARE, dialog.runType(), recordsOf(doc_), doc_.analysisOptions, nullptr, this);
    preparation_.preparationRan(succeeded, doc_, *folder);
    if (succeeded) recordRun(wf::doc::recordPreparationRun(doc_, *folder));
}

void TWellfit::Analysis2Click() {
    TFAnalysis dialog(doc_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.store();
    setModified(true);
    runAnalysis(dialog.analysisType());
}

void TWellfit::MatchFitClick(const std::vector<double>& values) {
    applyMatchValues(doc_, match_->parameters(), values);
    setModified(true);
    // As the analysis dialog opens: the bounds from these guesses.
    if (const wf::doc::Status s = doc_.convertParameters(1); !s) {
        showError(this, QString::fromStdString(s.error));
        return;
    }
    runAnalysis(0);
}

void TWellfit::runAnalysis(int type) {
    if (const wf::doc::Status s = doc_.convertParameters(2); !s) {
        showError(this, QString::fromStdString(s.error));
        return;
    }
    if (type == 2 && doc_.pump.NSTEP == 0.0f) {
        showError(this, QStringLiteral("Number of timesteps cannot be zero for predictions"));
        return;
    }
    const PINIT& p = doc_.pinit;
    if (p.TF < p.TFMIN || p.TM < p.TMMIN || p.SF < p.SFMIN || p.SM < p.SMMIN || p.TF > p.TFMAX ||
        p.TM > p.TMMAX || p.SF > p.SFMAX || p.SM > p.SMMAX) {
        showError(this, QStringLiteral("Guesses not between minimum and maximum values"));
        return;
    }
    const std::optional<std::filesystem::path> folder =
        folderFor(QStringLiteral("run the analysis on"), QString::fromLocal8Bit(doc_.filename.obsName));
    if (!folder) return;
    // The analysis reads the observation and parameter files of the last data
    // preparation, not the document: never fit data the user has changed since.
    if (const QString problem = meshProblem(*folder); !problem.isEmpty()) {
        showPlain(this, problem);
        return;
    }
    if (const QString stale = preparation_.staleMessage(doc_, *folder); !stale.isEmpty()) {
        showPlain(this, stale);
        return;
    }
    WfFitReport fit{};
    callWithSolverOptions(WF_MODE_ANALYSIS, type, recordsOf(doc_), doc_.solverOptions(&fit), this);
    // The curve and the text block show the returned values, which reach
    // the project file only through Save.
    setModified(true);
    Chart1_->clearFit();
    DrawFit();
    Chart1_->viewport()->update();
    // The returned values are the Match panel's "fitted" ones, its start.
    if (match_->isVisible()) match_->refresh();
    // Optimisation and fixed-time runs write the fit report; an optimisation shows it.
    if (type == 2) return;
    lastFit_ = fit;
    takeFitReport();
    if (type == 0 && fit.valid && !lastReport_.isEmpty()) FitReport1Click();
}

void TWellfit::takeFitReport() {
    lastReport_ = readFitReport(QString::fromStdString(doc_.stem()));
    FitReport1_->setEnabled(!lastReport_.isEmpty());
    if (fitReport_) {
        fitReport_->setReport(lastReport_);
        if (lastReport_.isEmpty()) fitReport_->hide();
    }
}

void TWellfit::FitReport1Click() {
    if (lastReport_.isEmpty()) return;
    if (!fitReport_) fitReport_ = new FitReportWindow(this);
    fitReport_->setReport(lastReport_);
    fitReport_->show();
    fitReport_->raise();
    fitReport_->activateWindow();
}

void TWellfit::LogLog1Click() {
    LogLogWindow view(Chart1_, this);
    view.exec();
}

void TWellfit::ShowLog1Click() {
    LogDialog dialog(logFileName(doc_.filename), this);
    dialog.exec();
}

void TWellfit::DrawDrawdown() {
    const QString failure = Chart1_->DrawDrawdown();
    if (!failure.isEmpty()) showError(this, failure);
}

void TWellfit::DrawFit() {
    const QString failure = Chart1_->DrawFit();
    if (!failure.isEmpty()) showError(this, failure);
}

} // namespace wf::ui
