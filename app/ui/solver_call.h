// One synchronous call of the solver's entry wftDLL from the program.
//
// The solver computes on a worker thread while the program's thread keeps the
// windows painted and takes the progress window's Cancel; during the call
// every window except the progress window is disabled, and the model's standard output and
// standard error - its listing and diagnostics - go to the project's log file
// "<stem>.LOG" in the working directory, appended run by run under a time stamp.
#pragma once

#include <functional>

#include <QString>

#include "document/analysis_options.h"
#include "wfcore/wfcore.h"

class QWidget;

namespace wf::ui {

class ProgressWindow;

// The progress window of the process, created and installed as the solver's
// host on first use; it lives as long as the process.
ProgressWindow* progressWindow();

// The addresses of the eight records of one project.
struct SolverRecords {
    FILENAME* filename;
    MESH* mesh;
    OBSV* obsv;
    PUMP* pump;
    GUESS* guess;
    PINIT* pinit;
    UNITS* units;
    NZERO* nzero;
};

// The log file name of a project: the stem of its file name + ".LOG".
QString logFileName(const FILENAME& filename);

// Runs f with standard output and standard error appended to the log file
// (after a line with the time and the title); both are restored afterwards.
void runWithOutputLogged(const QString& logPath, const std::function<void()>& f, const QString& title = {});

// Calls wftDLL(mode, type, ...) with the records. `owner` is the window that
// starts the run: the boxes of a mesh or preparation run appear over it (an
// analysis shows the progress window, which owns its boxes). True when the
// run showed no error box.
bool callSolver(int mode, int type, const SolverRecords& records, QWidget* owner = nullptr);

// callSolver with the project's options installed for this one call (the
// fine model applies to the mesh and preparation runs, the search options and
// the fit report to the analysis); report, when not null, receives the
// solver's copy of the fit report. The plain search is restored afterwards,
// also when a failure escapes the run.
bool callWithOptions(int mode, int type, const SolverRecords& records, const wf::doc::AnalysisOptions& options,
                     WfFitReport* report = nullptr, QWidget* owner = nullptr);
// The same with the whole options record (the document's solverOptions: the
// analysis options and the observation points' weights).
bool callWithSolverOptions(int mode, int type, const SolverRecords& records, const WfOptions& options,
                           QWidget* owner = nullptr);

} // namespace wf::ui
