// Command line of wellfit-cli: what the dialogs of the desktop program set, and
// which runs to make.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fit_options.h"

namespace wf::cli {

struct PumpingStep {
    float time = 0.0f; // input-time unit
    float rate = 0.0f; // discharge unit, abstraction positive
};

// One observation point beyond the first: its data file and settings.
struct PointOptions {
    std::string dataFile;
    std::optional<float> robs, weight;
    std::optional<int32_t> position;  // IPOS 1 fracture, 2 matrix, 3 the pumped well
    std::optional<std::string> name;
};

struct Options {
    bool help = false;
    bool version = false;

    // Project: open `project`, or create `newProject` with the defaults.
    std::string project;
    std::string newProject;
    bool force = false;  // --new may replace an existing file

    // Units dialog: IDIST, ITIN, ITOUT, ICOND, IDISCH codes.
    std::optional<std::array<int32_t, 5>> units;

    // Test data: time/value pairs to import, and the borehole name.
    std::optional<std::string> dataFile;
    std::optional<std::string> borehole;

    // Mesh dialog.
    std::optional<float> thick, ratio, rmax, robs;
    std::optional<int32_t> position; // IPOS 1 fracture, 2 matrix, 3 the pumped well
    // The first observation point's name and weight, and the further points
    // (each --data after the first starts one; --robs, --position,
    // --point-name and --weight belong to the point of the last --data).
    std::optional<std::string> pointName;
    std::optional<float> weight;
    std::vector<PointOptions> morePoints;

    // Parameters dialog.
    std::vector<PumpingStep> steps;
    std::optional<int32_t> pumpPosition; // IPUMP 0 both, 1 fracture, 2 matrix
    std::optional<int32_t> boundary;     // IOPP 0 no flow, 1 constant head
    std::optional<int32_t> levels;       // IWLO 0 drawdown, 1 metres above sea level
    int32_t subset = 0;                  // mode-5 type: 0 all times

    // Analysis dialog.
    int32_t analysisType = 0; // 0 optimization, 1 fixed time, 2 prediction
    int32_t ignore = 0;       // NSKIP (0 = use all points)
    std::optional<float> rmse, simDays, timeSteps;
    bool resetParameters = false;
    bool setBounds = false;
    // Guesses TF, TM, SF, SM; minima; maxima (user units).
    std::array<std::optional<float>, 4> guess, minimum, maximum;

    // Runs, in this order when several are asked for.
    bool mesh = false, prepare = false, analyse = false;
    bool save = false;
    bool verbose = false; // every progress line of the solver

    // Analysis options and the fit report's output (fit_options.h).
    FitFlags fit;
};

// Parses the arguments (without the program name). On failure returns the
// message naming the option; `out` is then not complete.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& out);

// The text printed by --help.
std::string helpText();

} // namespace wf::cli
