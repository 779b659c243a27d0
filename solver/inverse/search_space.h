// What the search moves: the four multipliers (some perhaps held at their
// guesses), or, for one aquifer, one conductivity and one specific-storage
// multiplier shared by both layers. With the default options this is exactly
// the plain search: four multipliers, all estimated, the bounds of GUESS.
#pragma once

#include <string>
#include <vector>

#include "base/run_state.h"
#include "inverse/bsolve.h"
#include "inverse/fit_report.h"

namespace wf {

struct RobustOutcome;

struct SearchSpace {
    int k = 4;                  // unknowns of the search
    bool tied = false;          // one aquifer: unknown 1 = K of both layers, 2 = Ss of both
    std::vector<int> active;    // 1..k: non-zero = estimated
    std::vector<double> lower;  // 1..k
    std::vector<double> upper;  // 1..k
    // Tied search: its own unknowns and work arrays (the plain search uses the
    // estimation set's).
    Vec1<double> u, work;
    Mat1<double> A, AS;

    // Multipliers P(1..4) (P[0..3]) of the unknowns x[0..k-1].
    void multipliers(const double* x, double* P) const;
    // The unknown (0-based) that parameter j (0..3: TF, TM, SF, SM) belongs to.
    int unknownOf(int j) const { return tied ? j / 2 : j; }
};

// Sets up the search for k multipliers from the options (P0, bounds of GUESS;
// est.P must hold P0). A tied search starts at the layer-weighted mean of the
// guesses, which keeps the guessed total transmissivity and storativity, and
// takes the common part of both layers' bounds. The robust search needs a
// positive guess and upper bound of every estimated unknown. False after an
// error box.
bool setUpSearchSpace(RunState& rs, int k, SearchSpace& sp);

// The fit report after the run: derivative columns of the last pass (or, when
// no pass computed them, as a fixed-time run, fresh forward differences at
// the final point, after which {base}.inv is rewritten with invText), the
// residuals, the statistics; written to {base}.fit and copied to the caller's
// report. b, W are the search's unknowns and work array.
struct FitRun {
    int type = 0;
    int n = 0, first = 1;
    const BsolveState* st = nullptr;
    const Vec1<double>* b = nullptr;
    Vec1<double>* work = nullptr;
    BsolveModel model;
    const std::string* invText = nullptr;
    FitRunFacts facts;
    const RobustOutcome* robust = nullptr;  // the robust search's starts, when it made the fit
};
void writeFitReport(RunState& rs, const SearchSpace& sp, FitRun& run);

// Writes a {base}.fit that says no report could be made, and marks the
// caller's copy invalid.
void writeNoFitReport(RunState& rs, const std::string& why);

} // namespace wf
