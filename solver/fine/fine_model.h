// The "Fine model" path of the flow model: the same model input (mesh, time
// file, parameters), the same simulation file, but every observation interval
// resolved by as many implicit steps as accuracy needs, and a solver built
// for the radial section's structure.
//
// The generated meshes are tensor grids: node columns at radii r_i, node rows
// at heights z_j, material a property of the row. With bilinear elements the
// Galerkin matrices are then exact Kronecker products of one-dimensional ones,
//   K = Kr (x) Mz[Kx p] + Mr (x) Kz[Ky p],   M = Mr (x) Mz[S q],
// where Kr, Mr are the radial stiffness and mass with weight r (independent of
// the parameters) and Mz[.], Kz[.] the vertical mass and stiffness with the
// row properties as weights. The radial pair is diagonalised once per
// analysis (Kr V = Mr V diag(lambda), V' Mr V = I); in those modes one
// backward-Euler step (dt K + M) s_new = M s_old + dt f falls apart into one
// tridiagonal system over the rows per radial mode. A step costs a few
// multiply-adds per node, so steps are cheap and many can be taken. The
// steps are those of the two-step backward differentiation formula (second
// order, stiffly stable; backward Euler after every change of the rates), in
// blocks of equal steps that share their factorisations.
//
// A pumped well of radius r_w: the columns start at the well face, r_0 = r_w,
// and the sources sit on that column. Its skin factor Sk (an infinitesimal
// skin: the well's drawdown exceeds the formation's by Sk q / (2 pi T) for a
// face flux q) is an extra radial resistance Sk of the first element, in Kr
// alone: a thin annulus whose conductance is scaled down. Its wellbore
// storage C = pi r_c^2 (casing radius r_c) is an extra capacity on the
// well-face column of Mr, c = r_c^2 / (2 S_col) with S_col the storativity of
// the whole column, which the Kronecker product shares among the rows in
// proportion to their storage. Both keep the products exact; the storage is
// that of a water level in the well only where the well-face head is the same
// in every row (a homogeneous aquifer pumped over its whole thickness). In a
// layered aquifer, or one pumped over part of it, the casing's water is held
// by the rows in proportion to their storage, not by one level, and the skin
// lies in every row: an approximation of the well there. Since c depends on
// the storativities, the radial modes are then found once per simulation.
// When the search moves the skin and the casing radius, each simulation takes
// them from its trial vector, and its radial modes are those of its skin and
// capacity (kept in the work arrays while they stay the same).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/arrays.h"
#include "fem/model_driver.h"

namespace wf {

struct RunState;

namespace fine {

// Relative step: within a block no step is longer than this fraction of the
// time since the last change of the pumping rates.
inline constexpr double kStepFraction = 0.2;
// Largest ratio of neighbouring steps taken by the two-step formula (it is
// zero-stable below 1 + sqrt 2); a step longer than that after a short one is
// a backward-Euler step.
inline constexpr double kMaxStepRatio = 2.0;
// The first step after a change of the rates covers 2^-kFirstHalvings of the
// observation interval it starts; the blocks that follow double.
inline constexpr int kFirstHalvings = 12;

// The part of the model input that the fine solver works on, prepared once
// per analysis from the model read by GGIP.
struct FineModel {
    int NR = 0, NZ = 0;      // node columns and rows
    int n = 0;               // radial modes: NR, or NR - 1 with heads held on the outer column
    std::vector<double> V;   // NR x n, row-major: radial mode vectors (zero on a held column)
    std::vector<double> lambda;  // n eigenvalues of the radial pair
    std::vector<double> hz;  // NZ - 1 row spacings (m)
    std::vector<int> rowMat; // NZ materials of the rows
    double h0 = 0.0;         // initial head, the same at every node
    double KX = 0.0, KY = 0.0, SS = 0.0;
    int npar = 4;
    struct Source {
        int row = 0;                       // 0-based row of the axis node
        std::vector<double> t, rate;       // profile points (s, m3/s)
    };
    std::vector<Source> sources;
    std::vector<double> restarts;          // profile times: the rates may change there
    std::vector<int> obsCol, obsRow;       // 0-based column and row of each observation node
    // The pumped well (both 0: none, or a well without skin and storage).
    std::vector<double> r;   // NR column radii (m), r[0] the well face or the axis
    double skin = 0.0;       // Sk: extra radial resistance of the first element
    double wellVolume = 0.0; // r_c^2 / 2 (m2): the casing's water per radian and unit drawdown
    // The trial vectors carry the skin and the casing radius (m) after the
    // npar multipliers (FemState::wellTrial): they replace skin and
    // wellVolume in each simulation.
    bool wellTrial = false;
};

// The work arrays of one simulation (one per thread).
struct FineWork {
    std::vector<double> s, sp;        // drawdowns in the radial modes, now and one step before; (row j, mode m) at j * n + m
    std::vector<double> diag, low;    // factors of the n tridiagonal systems
    std::vector<double> ad, ao, bd, bo, cd, co;  // vertical matrices of the parameters
    std::vector<double> rhs, g, y;
    // Radial modes of this simulation when they are not the model's (wellbore
    // storage, or a skin other than the model's; empty otherwise), for the
    // skin, casing volume and column storativity they were found for.
    std::vector<double> V, lambda;
    double column = 0.0, skin = 0.0, wellVolume = 0.0;
};

// The radial modes the last fineSimulate with w used.
inline const std::vector<double>& modesOf(const FineModel& fm, const FineWork& w) { return w.V.empty() ? fm.V : w.V; }

// Builds the fine model from the model input read by GGIP (rs.model,
// rs.fem) and the mesh counts rs.in.NR, rs.in.NZ. Null when the input is not
// of that structure (other elements, fluxes, a dry-node test, no storage,
// heads held elsewhere than on the whole outer column, unequal initial
// heads); why then receives the reason, as the end of a sentence.
std::shared_ptr<const FineModel> buildFineModel(const RunState& rs, std::string& why);

// One simulation: drawdowns sim[k * nout + i] at observation node k and output
// time times[i] (seconds, times[0] carrying the initial state at t = 0 as in
// the standard stepping). finalModes, when given, receives the modal drawdowns
// at the last output time (layout of FineWork::s). Thread-safe for distinct work arrays.
// False when a pivot was not positive (parameters that are not positive);
// failedAt then receives the output time at which the step failed.
bool fineSimulate(const FineModel& fm, const double* P, const double* times, int nout, double* sim, FineWork& w,
                  std::vector<double>* finalModes = nullptr, double* failedAt = nullptr);

// Number of implicit steps and of factorisations fineSimulate takes for the
// output times (for the benchmarks and the reports).
void fineStepCounts(const FineModel& fm, const double* times, int nout, long& steps, long& blocks);

} // namespace fine

// SIMF of the fine model: the fine stepping (the fine model is built on the
// first call of an analysis). A model input without the structure above is
// refused with the reason, never run on the standard model instead. Writes
// the simulation file the same way as SIMF.
bool FINE_SIMF(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes, const Vec1<double>& times);

// The stepping of the run's model for AQFESUB: FINE_SIMF with the "Fine model"
// option, else the standard SIMF. Chosen once per run by the caller.
ModelStepping steppingOf(const RunState& rs);

// The first n simulated drawdowns in the simulation file's order (all output
// times of the first observation node, then the next node's) for several
// parameter vectors at once, on up to threads threads (0: one per core), each
// rounded as the simulation file holds them. False when no fine model has been
// built in this analysis. The values do not depend on the number of threads.
bool fineSimulateMany(RunState& rs, int count, const double* const* P, int n, double* const* F, int threads);

// The column and row of each of the nobs observation nodes obsNodes(1..nobs)
// in the model; false when a node lies outside its mesh.
bool placeObservations(fine::FineModel& fm, const Vec1<int>& obsNodes, int nobs);

} // namespace wf
