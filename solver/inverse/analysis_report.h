// The analysis run's reports: progress lines, the result file {base}.res and
// the final report. Every line is formatted with the format text it is
// defined by.
#pragma once

#include <vector>

#include <ostream>
#include <string>

#include "base/run_state.h"
#include "inverse/analysis_setup.h"

namespace wf {

// Sends a line to the progress window: cut to the 80-character line buffer,
// count = its length without trailing blanks.
void progressLine(RunState& rs, int kind, std::string line);

// "Multipliers: " with P(1..4) before the first pass.
void reportStart(RunState& rs, const double* P1);
// The six lines after every pass.
void reportPass(RunState& rs, int iteration, double S, const double* P1, const DerivedValues& v);
// Lines 1-23 of {base}.res: counters, multipliers, parameters and the table heading.
void writeResultHeader(std::ostream& out, int iteration, double S, const double* P1, const DerivedValues& v);
// One row of the {base}.res table.
void writeResultRow(std::ostream& out, int node, double time, double observed, double simulated);
// "  Drawdown after Simulation Time:" in an information box (prediction): the
// drawdown at the end of the simulation at the observation point, a box for
// each point when there are several.
void reportPredictedDrawdown(RunState& rs, const std::vector<double>& drawdown);
// The final report, ending with the information box "SAVE to keep final Results".
void reportFinal(RunState& rs, const double* P1, const DerivedValues& v);

} // namespace wf
