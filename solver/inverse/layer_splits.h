// The layer-split starts of a four-parameter robust search.
//
// With both layers' conductivities and specific storages free, the measured
// drawdowns of a single piezometer fix the total transmissivity and
// storativity well, but how they are shared between the fracture layer and
// the matrix much less: the criterion has one valley where the fracture layer
// carries nearly all of the flow and another where the matrix does, and
// starts spread around the user's guesses all fall into the valley on the
// guesses' side. So the search first fits one aquifer (both layers alike,
// a criterion with one valley that every start reaches), and two of the
// starts begin from that fit with 99 % of its transmissivity in the fracture
// layer and 99 % in the matrix: one start in each valley whatever the guesses.
#pragma once

#include <vector>

#include "inverse/log_trust_region.h"

namespace wf {

inline constexpr double kSplitShare = 0.99;  // share of the transmissivity in the layer that carries the flow
inline constexpr int kSplitTiedStarts = 4;   // starts of the one-aquifer fit

struct LayerSplits {
    bool made = false;
    std::vector<std::vector<double>> z;  // the split starts in ln x: fracture layer first, then the matrix
    double K = 0.0, Ss = 0.0;            // multipliers of the one-aquifer fit, both layers
    double S = 0.0;                      // its error estimate
    int passes = 0;                      // passes of its starts
    int ending = 0;                      // how its best start ended (WF_START_...)
};

// Whether the splits apply to a search of each layer's own parameters (not one
// aquifer, whose unknowns 0..1 are shared): unknowns 0..3 (TF, TM, SF, SM) all estimated, the
// fracture layer's share of the thickness inside (0, 1), a common part of
// both layers' bounds, and at least three starts.
bool splitsApply(const LogSearchProblem& pr, double ratio, int starts);

// The one-aquifer fit from the layer-weighted mean of the guesses (lnGuess,
// ln x) and kSplitTiedStarts - 1 design points around it, then the two split
// starts, clipped to each unknown's bounds; the other unknowns at their
// guesses. False when a model run failed.
bool makeLayerSplits(const LogSearchProblem& pr, const std::vector<double>& lnGuess, double ratio,
                     LayerSplits& out);

} // namespace wf
