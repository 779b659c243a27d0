// The command-line flags of the analysis options beyond the plain search and
// of the fit report's output: --hold, --one-aquifer, --bound-aware,
// --stop-tolerance, --max-passes, --default-options and --json.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/analysis_options.h"

namespace wf::cli {

struct FitFlags {
    bool defaults = false;                    // --default-options: back to the plain search first
    std::optional<std::array<bool, 4>> hold;  // --hold tf,sm (or none)
    std::optional<bool> oneAquifer;           // --one-aquifer / --two-layers
    std::optional<bool> boundAware;           // --bound-aware / --plain-search
    std::optional<float> stopTolerance;       // --stop-tolerance X
    std::optional<int32_t> maxPasses;         // --max-passes N
    bool json = false;                        // --json: one JSON object on standard output

    // Sets the project's options from the flags given.
    void apply(wf::doc::AnalysisOptions& options) const;
};

// When args[i] is one of these flags, takes it (and its value, moving i on)
// and returns true; a bad value sets error naming the flag.
bool parseFitFlag(const std::vector<std::string>& args, std::size_t& i, FitFlags& flags,
                  std::optional<std::string>& error);

// The part of --help about these flags.
std::string fitHelpText();

} // namespace wf::cli
