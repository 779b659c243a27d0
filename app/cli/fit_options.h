// The command-line flags of the analysis options beyond the plain search and
// of the fit report's output: --hold, --one-aquifer, --bound-aware,
// --stop-tolerance, --max-passes, --default-options and --json.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
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

// A handler of an option that takes a value: the option's name and its
// value; the message naming the option when the value is refused.
using OptionHandler = std::function<std::optional<std::string>(const std::string& option, const std::string& value)>;

// Takes arg when it is one of the flags without a value; true when taken.
bool parseFitFlag(const std::string& arg, FitFlags& flags);

// The handlers of --hold, --stop-tolerance and --max-passes, added to the
// command line's options that take a value.
void addFitValueOptions(std::map<std::string, OptionHandler>& valued, FitFlags& flags);

// The part of --help about these flags.
std::string fitHelpText();

} // namespace wf::cli
