// Live matching: the project's flow model held open in memory, run at one
// parameter vector after another with no side file written.
//
// Opening reads the model input the way a fixed-time analysis run (mode 6,
// type 1) reads it - the records, the observation file {base}.obs, the
// model-control file {base}.tim and the mesh file {base}.fem of the working
// directory - once. Each run then steps the same model (SIMF's stepping, or
// the fine model's) at the multipliers P(1..4) and forms the simulation
// file's text in memory, so its drawdowns are the digits the fixed-time run
// writes into {base}.inv. Nothing is shown in message boxes: a refusal or a
// failed run leaves its message in message().
//
// One LiveModel has its own run state; distinct models may run on distinct
// threads, one model on one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wfcore/options.h"
#include "wfcore/records.h"

namespace wf {

struct RunState;

// The outcome of one live run, as the simulation file of a fixed-time run holds it.
struct LiveCurve {
    int points = 0;               // observation points (NOBS)
    int levels = 0;               // time levels per point
    std::vector<double> times;    // points x levels, in the input-time unit, point by point
    std::vector<double> drawdowns;  // the same layout, metres positive downward
    double errorEstimate = 0.0;   // S: sum of squared (weighted) residuals from NSKIP + 1 on
    std::string text;             // the simulation file's text
};

class LiveModel {
public:
    LiveModel();
    ~LiveModel();
    LiveModel(const LiveModel&) = delete;
    LiveModel& operator=(const LiveModel&) = delete;

    // Reads the project's model input from the working directory. options
    // (may be null: the standard model) chooses the model and the points'
    // weights. False with message() saying why.
    bool open(const FILENAME& filename, const MESH& mesh, const OBSV& obsv, const PUMP& pump, const GUESS& guess,
              const PINIT& pinit, const UNITS& units, const NZERO& nzero, const WfOptions* options);
    bool isOpen() const { return open_; }
    // Observation points and time levels per point of an open model.
    bool shape(int& points, int& levels) const;

    // One simulation at the multipliers P[0..3]; false with message() saying why.
    bool run(const double* P, LiveCurve& curve);

    // The pumped well of the fine model (options with a well radius): whether
    // the open model has one, and its skin factor and casing radius (distance
    // unit) for the following runs, in place of the options' values. False
    // with message() saying why: no well, a skin that takes away all the
    // resistance of the first element at the well, a casing radius below 0.
    bool hasWell() const { return well_; }
    bool setWell(double skin, double casingRadius);

    const std::string& message() const { return message_; }
    // Model runs made since open (the one that read the input not counted).
    long runs() const { return runs_; }

private:
    bool prepare();
    std::unique_ptr<RunState> rs_;
    bool well_ = false;
    double skin_ = 0.0, casingMetres_ = 0.0;  // the well of the following runs
    double skinLower_ = 0.0;                  // the skin must stay above it
    bool open_ = false;
    std::string message_;
    long runs_ = 0;
};

} // namespace wf
