// The command-line flags of the analysis and model options beyond the
// standard ones, read from the option schema (document/option_schema.h):
// every option's flag (and a switch's off flag, a choice's word flags),
// --default-options, and --json for the fit report's output.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "document/analysis_options.h"

namespace wf::cli {

struct FitFlags {
    bool defaults = false;  // --default-options: back to the standard options before the flags given
    // The options given, in the order given (a later one wins).
    std::vector<std::pair<const wf::doc::OptionSpec*, double>> values;
    bool json = false;      // --json: one JSON object on standard output

    // Whether an option was given on the command line.
    bool given(std::string_view key) const;
    // Sets the project's options: the standard ones first with
    // --default-options, then every option given, whatever the order.
    void apply(wf::doc::AnalysisOptions& options) const;
};

// A handler of an option that takes a value: the option's name and its
// value; the message naming the option when the value is refused.
using OptionHandler = std::function<std::optional<std::string>(const std::string& option, const std::string& value)>;

// Takes arg when it is one of the flags without a value; true when taken.
bool parseFitFlag(const std::string& arg, FitFlags& flags);

// The handlers of the options that take a value, added to the command line's.
void addFitValueOptions(std::map<std::string, OptionHandler>& valued, FitFlags& flags);

// The part of --help about these flags.
std::string fitHelpText();

} // namespace wf::cli
