// SIMF: the time-stepping loop of one model run, and the simulation file
// {base}.inv it leaves for the objective function.
#pragma once

#include <string>

#include "base/arrays.h"

namespace wf {

struct RunState;

// Steps the heads from the initial heads through the output times
// times(1..nout) (seconds; the simulation starts at t = 0 and times(1) carries
// the initial state), one implicit step per interval, and records
// sim(k, i) = h0 - h (drawdown, positive downward) at observation node k and
// output time i. Writes the simulation file, also after a dry-node stop.
// Returns false when a step met a zero or negative pivot (error box, no file)
// or the simulation file could not be written.
bool SIMF(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes, const Vec1<double>& times);

// SIMF's stepping alone: the drawdowns sim(k, i) of one simulation from the
// model read by GGIP, without the simulation file (a dry-node stop still
// returns true, with the levels after it as they were). The in-memory runs of
// live matching use it; SIMF is this followed by writeSimulationFile.
bool stepSimulation(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes,
                    const Vec1<double>& times);

// The simulation file {base}.inv: a free-format count record (observation
// nodes, output times), the "Node: " record and one record per observation
// node and output time (node, time in the input-time unit, drawdown).
std::string simulationFileText(const RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                               const Vec1<double>& times);
bool writeSimulationFile(RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                         const Vec1<double>& times);

} // namespace wf
