// What wellfit-cli does once its options are parsed: open or create the
// project, take over the settings, make the runs and report.
#pragma once

#include <iosfwd>

#include "fit_json.h"
#include "options.h"

namespace wf::cli {

// Exit status of the program.
enum ExitCode : int {
    kSuccess = 0,
    kFailure = 1,
    kBadCommandLine = 2,
    // The analysis ended with the search's notice "CONVERGENCE REQUIREMENTS
    // SATISFIED BUT LAMBDA STILL" (an error box of the solver); the parameters
    // were printed and are a converged fit.
    kConvergedWithNotice = 3,
};

// Runs the whole sequence; messages go to `out` (progress, results) and
// `err` (errors). Changes the working directory to the project's folder.
// When outcome is given it receives the analysis's fit report and the first error.
int runSequence(const Options& options, std::ostream& out, std::ostream& err, AnalysisOutcome* outcome = nullptr);

} // namespace wf::cli
