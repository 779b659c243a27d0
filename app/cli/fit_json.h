// The fit report as one JSON object (wellfit-cli --json).
#pragma once

#include <string>

#include "wfcore/options.h"

namespace wf::cli {

// What the analysis left for the report: the solver's report (valid = 0 when
// none was made), the transmissivity unit, and the first error met (empty
// when none).
struct AnalysisOutcome {
    bool analysed = false;  // the solver's analysis call was made
    WfFitReport report{};
    std::string verdict;  // the report's plain-language verdict
    std::string tUnit;
    std::string lengthUnit = "m";  // the distance unit: of the well's casing radius
    std::string error;
};

// {"status": ..., "message": ..., "passes": ..., "model_runs": ..., "error_estimate": ..., "rmse": ...,
//  "parameters": {"TF": {...}, ..., with a well "skin": {...}, "rc": {...}}, "totals": {"T": {...}, "S": {...}},
//  "correlation": {"names": [...], "matrix": [[...]]}, "condition": ..., "verdict": ..., "stop_rule": ...,
//  "exit_code": ...}; null for every figure without a meaning.
std::string fitJson(const AnalysisOutcome& outcome, int exitCode);

// A JSON string literal of text (quotes, backslashes and control characters escaped).
std::string jsonString(const std::string& text);

} // namespace wf::cli
