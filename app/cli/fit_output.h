// The analysis call with the project's options installed, and the printed fit report.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "document/analysis_options.h"

namespace wf::cli {

// Prints the fit report file stem.fit of the working directory (the solver's
// side file, found whatever the letter case of its extension); nothing when
// there is none.
void printFitReport(std::ostream& out, const std::string& stem);

} // namespace wf::cli
