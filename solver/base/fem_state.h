// Module data of the finite-element flow model: problem dimensions, unit
// factors, counters and step totals. What the first model run of an analysis
// reads stays valid for the later runs of the same analysis.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "base/assembly_cache.h"

namespace wf {

namespace fine {
struct FineModel;
}

struct FemState {
    // Run level, set by the inversion driver
    int callCount = 0;     // AQFESUB calls in this run; reset to 0 before the first model run
    int copyRuns = 0;      // of them, runs made on copies of the run state (inverse/parallel_runs.h)
    int npar = 4;          // parameter multipliers
    // Fine model with a pumped well, set by the analysis run: its trial
    // vectors carry the skin factor (P[npar]) and the casing radius in metres
    // (P[npar + 1]) after the multipliers, so that the search can move them.
    bool wellTrial = false;
    double KX = 0.0, KY = 0.0, SS = 0.0;  // base conductivities (m/s) and specific storage (1/m)
    int nobsNodes = 0;     // observation nodes
    int nout = 0;          // output times

    // Problem header of the time file
    char family = 'L';     // element family letter: 'L' Lagrange, anything else serendipity
    int nodesPerSide = 2;  // 2 or 3
    int degree = 1;        // nodesPerSide - 1
    int gaussPerDir = 2;   // 2 * degree
    int gaussPoints = 4;   // gaussPerDir squared
    int NN = 0;            // nodes
    int NEL = 0;           // elements
    int nodesPerElement = 4;
    int NDN = 0;           // Dirichlet (prescribed-head) nodes
    int NTDN = 0;          // time-dependent prescribed heads (read, not used)
    int NBS = 0;           // boundary sides
    int NNS = 0;           // Neumann sides
    int NNN = 0;           // Neumann nodes (read, listed only)
    int NSRC = 0;          // point sources
    int bandEstimate = 0;  // bandwidth stated in the header
    int satSwitch = 0;     // 1: conductance scaled by saturated thickness, dry-node test
    int profileLength = 0; // largest number of (time, rate) points of one source
    int bandwidth = 0;     // true bandwidth from the connectivity
    int NDS = 0;           // Dirichlet sides found

    // Time parameters of the time file (kept for the listings only)
    int nsteps = 0;        // 0: time-independent problem (no storage terms)
    double dtInitial = 0.0, dtMultiplier = 0.0, dtMax = 0.0, tStart = 0.0, tEnd = 0.0;

    // Stepping state
    double t = 0.0;        // time at the end of the current step, s
    double dt = 0.0;       // time increment of the current step, s
    int step = 0;          // step counter, 1 for the first step
    int printInterval = 999, storeInterval = 999, outputType = 2;
    int headType = 0;      // prescribed-head type (2: time-dependent)
    int fluxType = 0;      // Neumann flux type (1: time-independent fluxes read)
    bool gnbcArmed = false;

    // Unit factors (indices of the UNITS record)
    double lengthFactor = 1.0;      // metres per length unit
    double inTimeFactor = 60.0;     // seconds per input-time unit
    double outTimeFactor = 60.0;    // seconds per output-time unit
    double fluxFactor = 1.0;        // m/s per flux unit
    double rateFactor = 1.0;        // m3/s per pumping-rate unit
    double transFactor[13] = {};    // m2/s per transmissivity unit, 1..12

    // Step totals (volumes of the current step, m3 per radian)
    double pumpedVolume = 0.0;      // point sources
    double neumannVolume = 0.0;     // prescribed fluxes
    double otherTotal1 = 0.0, otherTotal2 = 0.0;

    // Listing flags
    bool titlesWritten = false;
    int listingFirst = 0;

    // Where the model writes: the solution listing and input messages (null:
    // standard output) and the diagnostics of STOR and the dry-node test (null:
    // standard error).
    std::ostream* listing = nullptr;
    std::ostream* diagnostics = nullptr;
    // When set, the simulation file's text goes here instead of {base}.inv,
    // and the search reads it from here: a derivative run of a pass made on a
    // copy of the run state beside the others (inverse/parallel_runs.h).
    std::string* simulationText = nullptr;

    // Element integrals kept for the run (see assembly_cache.h)
    AssemblyCache cache;

    // The fine model's view of the input, built on the first model run of an
    // analysis with the "Fine model" option (fine/fine_model.h).
    std::shared_ptr<const fine::FineModel> fine;
};

} // namespace wf
