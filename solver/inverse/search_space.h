// What the search moves: the four multipliers (some perhaps held at their
// guesses), or, for one aquifer, one conductivity and one specific-storage
// multiplier shared by both layers; with a pumped well of the fine model
// also its skin factor and its casing radius, after the aquifer's unknowns.
// With the default options this is exactly the plain search: four
// multipliers, all estimated, the bounds of GUESS.
//
// The well's unknowns: the skin factor Sk itself (additive: it may be 0 or
// negative, so the robust search moves it linearly, never in its logarithm),
// in a box from the most negative skin the first element at the well can
// carry (kSkinResistanceShare of its resistance) to max(kSkinUpper, twice
// the guess); and the casing radius as a multiplier of its guess, like the
// aquifer's multipliers (in its logarithm in the robust search), from
// kCasingLower to kCasingUpper. A well without a casing radius has no
// wellbore storage to fit: its casing radius stays 0. Both held (or no well):
// the aquifer's unknowns alone, exactly as without a well.
#pragma once

#include <string>
#include <vector>

#include "base/run_state.h"
#include "inverse/bsolve.h"
#include "inverse/fit_report.h"

namespace wf {

struct RobustOutcome;

inline constexpr double kSkinResistanceShare = 0.9;
inline constexpr double kSkinUpper = 50.0;
inline constexpr double kCasingLower = 0.01, kCasingUpper = 100.0;

struct SearchSpace {
    int k = 4;                  // unknowns of the search
    bool tied = false;          // one aquifer: unknown 1 = K of both layers, 2 = Ss of both
    std::vector<int> active;    // 1..k: non-zero = estimated
    std::vector<double> lower;  // 1..k
    std::vector<double> upper;  // 1..k
    // Tied search, or a search with the well's unknowns: its own unknowns and
    // work arrays (the plain search uses the estimation set's).
    Vec1<double> u, work;
    Mat1<double> A, AS;
    // The pumped well of the fine model.
    bool wellTrial = false;     // the model's trial vectors carry the skin and the casing radius
    int well = 0;               // 1-based unknown of the skin (the casing radius follows); 0: not searched
    double skin = 0.0;          // the options' skin factor, the casing radius in metres and in the distance unit
    double casingMetres = 0.0, casingRadius = 0.0;

    // The search moves unknowns of its own, not the estimation set's P.
    bool ownUnknowns() const { return tied || well > 0; }
    // Multipliers P(1..4) (P[0..3]) of the unknowns x[0..k-1].
    void multipliers(const double* x, double* P) const;
    // The model's trial vector of x: the four multipliers and, with
    // wellTrial, the skin and the casing radius (m) at P[4], P[5].
    int trialSize() const { return wellTrial ? 6 : 4; }
    void trial(const double* x, double* P) const;
    // Whether the unknowns are the model's trial vector as they stand.
    bool direct() const { return !tied && !wellTrial; }
    // The skin and the casing radius (distance unit) at x.
    double skinAt(const double* x) const { return well > 0 ? x[well - 1] : skin; }
    double casingAt(const double* x) const { return well > 0 ? casingRadius * x[well] : casingRadius; }
    // The unknown (0-based) that parameter j (0..3: TF, TM, SF, SM) belongs to.
    int unknownOf(int j) const { return tied ? j / 2 : j; }
    // Whether unknown j (1-based) is moved as itself, not in its logarithm, by the robust search.
    bool linear(int j) const { return well > 0 && j == well; }
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
