// The fit report of an analysis run: the estimated parameters in the user's
// units with standard errors, 95 % intervals and bound flags, the totals, the
// correlations of the unknowns, the condition of the scaled normal matrix, the
// true root-mean-square error and a plain-language verdict. Written to the
// side file {base}.fit; the standard result files are not touched.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "wfcore/options.h"

namespace wf {

// Most unknowns of a search: the four multipliers and the well's two.
inline constexpr int kMaxUnknowns = 6;

// What the search estimated, at the end of the run.
struct FitProblem {
    int p = 0;                        // unknowns
    std::vector<std::string> names;   // their names ("TF".."SM", or "T", "S" tied; then "skin", "rc")
    std::vector<double> J;            // m x p derivative columns of the simulated values, column by column
    std::vector<double> r;            // m residuals, observed - simulated
    double G[4][kMaxUnknowns] = {};   // d(user value of TF..SM) / d(unknown)
    double values[4] = {};            // TF, TM, SF, SM in the user's units
    bool estimated[4] = {};
    bool held[4] = {};
    int atBound[4] = {};              // -1 lower, +1 upper, 0 inside
    bool tied = false;                // one aquifer: the unknowns are T and S
    // The pumped well (WF_WELL_SKIN, WF_WELL_CASING): skin factor, casing
    // radius in the distance unit.
    bool well = false;
    bool onlyAtWell = false;          // every observation point is the pumped well
    double wellValues[2] = {};
    double wellG[2][kMaxUnknowns] = {};
    bool wellEstimated[2] = {}, wellHeld[2] = {};
    int wellAtBound[2] = {};
};

struct FitRunFacts {
    int type = 0, status = 0, stopRule = WF_STOP_NONE, passes = 0, modelRuns = 0;
    std::string message;
    int model = WF_MODEL_STANDARD;  // the model that made the fit, and its mesh
    int meshColumns = 0, meshRows = 0;
    int search = WF_SEARCH_PLAIN;
    std::vector<WfFitStart> starts{};  // robust search: every start's end
    std::vector<std::array<double, 2>> startWell{};  // and its skin and casing radius (with a well)
    int startsAtBest = 0;
    double errorFloor = 0.0;
};

// Thresholds of the verdict.
inline constexpr double kVerdictCorrelation = 0.95;  // |r| at or above: the pair is not told apart
inline constexpr double kVerdictDetermined = 0.10;   // relative standard error at or below: determined
inline constexpr double kVerdictLoose = 0.50;        // above: not determined
inline constexpr double kVerdictCondition = 1e8;     // above: the fit is ill-conditioned
inline constexpr double kVerdictRunsZ = 3.0;          // |z| of the runs test above: a systematic misfit
inline constexpr double kVerdictRivalS = 0.10;        // another start within this fraction of the best S ...
inline constexpr double kVerdictRivalParameter = 0.10;  // ... and a parameter this much apart: not unique
inline constexpr double kVerdictDecade = 10.0;        // log interval of S wider than this ratio: S not fixed

// The runs test of the residuals' signs (zeros left out): runs of equal sign,
// the runs expected of independent signs, 1 + 2 n+ n- / n, and
// z = (runs - expected) / sqrt(2 n+ n- (2 n+ n- - n) / (n^2 (n - 1))); z is NaN
// when there are fewer than two residuals of each sign.
void signRunsTest(const std::vector<double>& r, int& runs, double& expected, double& z);

// Fills the report (valid = 1) and its verdict from the problem and the
// run's facts; tUnit is the transmissivity unit ("m2/day"), lengthUnit the
// distance unit.
void buildFitReport(const FitProblem& problem, const FitRunFacts& facts, const std::string& tUnit, WfFitReport& out,
                    std::string& verdict, const std::string& lengthUnit = "m");

// The verdict of a filled report; tUnit is the transmissivity unit
// ("m2/day"), lengthUnit the distance unit of the casing radius ("m").
std::string fitVerdict(const WfFitReport& report, const std::string& tUnit, const std::string& lengthUnit = "m");

// The well's sentence for a fit of the pumped well's drawdown alone: S and
// the skin are not told apart (their estimates correlated at or above
// kVerdictCorrelation, or the log interval of S wider than kVerdictDecade).
// Empty when it does not apply.
std::string singleWellSentence(const WfFitReport& report);

// The text of {base}.fit; startsNote, when not empty, follows the robust
// search's table of starts (where its starts came from).
std::string fitReportText(const WfFitReport& report, const std::string& verdict, const std::string& tUnit,
                          const std::string& dataUnit, const std::string& startsNote = {});

// "plain", "bound-aware" or "robust" (WF_SEARCH_...).
const char* searchName(int search);
// How a start of the robust search ended, in words (WF_START_...).
const char* startEndingName(int ending);

// "standard" or "fine" (WF_MODEL_...).
const char* modelName(int model);

// "461 ± 9.2" style: value and standard error rounded to the error's second
// significant digit; scientific as "(3.52 ± 0.12)e-05" for small or large values.
std::string valueWithError(double value, double error);

// Transmissivity unit of ICOND ("m2/day" for 12).
std::string transmissivityUnitName(int icond);

} // namespace wf
