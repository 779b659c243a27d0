#include "fit_json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace wf::cli {

namespace {

std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::string boolean(bool b) { return b ? "true" : "false"; }

std::string parameter(const WfFitParameter& q, const std::string& unit) {
    const std::string bound = q.atBound < 0 ? "\"lower\"" : q.atBound > 0 ? "\"upper\"" : "null";
    return "{\"value\": " + number(q.value) + ", \"unit\": " + jsonString(unit) +
           ", \"estimated\": " + boolean(q.estimated != 0) + ", \"held\": " + boolean(q.held != 0) +
           ", \"at_bound\": " + bound + ", \"stderr\": " + number(q.held ? NAN : q.standardError) +
           ", \"low95\": " + number(q.low95) + ", \"high95\": " + number(q.high95) +
           ", \"log_low95\": " + number(q.logLow95) + ", \"log_high95\": " + number(q.logHigh95) + "}";
}

const char* searchWord(int search) {
    return search == WF_SEARCH_ROBUST ? "robust" : search == WF_SEARCH_BOUND_AWARE ? "bound-aware" : "plain";
}

const char* startEnding(int ending) {
    switch (ending) {
    case WF_START_CONVERGED_GRADIENT: return "converged_gradient";
    case WF_START_CONVERGED_STEP: return "converged_step";
    case WF_START_STALLED: return "stalled";
    case WF_START_PASS_LIMIT: return "pass_limit";
    case WF_START_CANCELLED: return "cancel";
    case WF_START_FITS_DATA: return "fits_data";
    default: return "running";
    }
}

const char* stopRuleName(int rule) {
    switch (rule) {
    case WF_STOP_SEARCH: return "search";
    case WF_STOP_FIT: return "fit_requirement";
    case WF_STOP_TOLERANCE: return "stop_tolerance";
    case WF_STOP_MAX_PASSES: return "max_passes";
    case WF_STOP_CANCEL: return "cancel";
    case WF_STOP_FIXED_TIME: return "fixed_time";
    default: return nullptr;
    }
}

} // namespace

std::string jsonString(const std::string& text) {
    std::string s = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': s += "\\\""; break;
        case '\\': s += "\\\\"; break;
        case '\n': s += "\\n"; break;
        case '\t': s += "\\t"; break;
        case '\r': s += "\\r"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                s += buf;
            } else {
                s += c;
            }
        }
    }
    return s + "\"";
}

std::string fitJson(const AnalysisOutcome& o, int exitCode) {
    const WfFitReport& r = o.report;
    const bool have = r.valid != 0;
    std::string message = o.error;
    if (message.empty()) message = have ? r.message : o.analysed ? "No fit report was made" : "No analysis was run";
    std::string s = "{";
    s += "\"status\": " + (have ? std::to_string(r.status) : std::string("null"));
    s += ", \"message\": " + jsonString(message);
    s += ", \"passes\": " + (have ? std::to_string(r.passes) : std::string("null"));
    s += ", \"model_runs\": " + (have ? std::to_string(r.modelRuns) : std::string("null"));
    s += ", \"error_estimate\": " + (have ? number(r.errorEstimate) : "null");
    s += ", \"rmse\": " + (have ? number(r.rmse) : "null");
    s += ", \"model\": " + (have ? jsonString(r.model == WF_MODEL_FINE ? "fine" : "standard") : std::string("null"));
    s += ", \"mesh\": " + (have ? "{\"columns\": " + std::to_string(r.meshColumns) + ", \"rows\": " +
                                      std::to_string(r.meshRows) + "}"
                                : std::string("null"));
    s += ", \"search\": " + (have ? jsonString(searchWord(r.search)) : std::string("null"));
    if (have) {
        const char* names[4] = {"TF", "TM", "SF", "SM"};
        s += ", \"parameters\": {";
        for (int j = 0; j < 4; ++j)
            s += std::string(j ? ", " : "") + "\"" + names[j] + "\": " + parameter(r.parameters[j], j < 2 ? o.tUnit : "-");
        // The pumped well's unknowns (a well of the fine model only).
        if (r.well)
            s += ", \"skin\": " + parameter(r.skin, "-") + ", \"rc\": " + parameter(r.casingRadius, o.lengthUnit);
        s += "}, \"totals\": {\"T\": " + parameter(r.totals[0], o.tUnit) + ", \"S\": " + parameter(r.totals[1], "-") + "}";
        // Every unknown: the first four in the report's fixed arrays, the well's after them.
        const int p = std::clamp(r.unknowns, 0, 6);
        auto name = [&r](int j) { return std::string(j < 4 ? r.names[j] : r.unknownNames[j]); };
        auto corr = [&r](int j, int k) { return j < 4 && k < 4 ? r.correlation[j][k] : r.unknownCorrelation[j][k]; };
        s += ", \"correlation\": {\"names\": [";
        for (int j = 0; j < p; ++j) s += std::string(j ? ", " : "") + jsonString(name(j));
        s += "], \"matrix\": [";
        for (int j = 0; j < p; ++j) {
            s += j ? ", [" : "[";
            for (int k = 0; k < p; ++k) s += std::string(k ? ", " : "") + number(corr(j, k));
            s += "]";
        }
        s += "]}";
        s += ", \"condition\": " + number(r.condition);
        s += ", \"verdict\": " + jsonString(o.verdict);
        const char* rule = stopRuleName(r.stopRule);
        s += ", \"stop_rule\": " + (rule ? jsonString(rule) : std::string("null"));
        // The fit at each observation point (one entry for one point).
        s += ", \"points\": [";
        for (int l = 0; l < r.points && l < 4; ++l) {
            const WfFitPoint& f = r.pointFits[l];
            s += std::string(l ? ", " : "") + "{\"point\": " + std::to_string(l + 1) + ", \"node\": " +
                 std::to_string(f.node) + ", \"weight\": " + number(f.weight) + ", \"residuals\": " +
                 std::to_string(f.residuals) + ", \"error_estimate\": " + number(f.errorEstimate) +
                 ", \"rmse\": " + number(f.rmse) + "}";
        }
        s += "]";
        s += ", \"runs_test\": {\"runs\": " + std::to_string(r.signRuns) + ", \"expected\": " +
             number(r.expectedRuns) + ", \"z\": " + number(r.runsZ) + "}";
        // The robust search: every start's end.
        if (r.startCount > 0) {
            s += ", \"starts_at_best\": " + std::to_string(r.startsAtBest) + ", \"starts\": [";
            for (int k = 0; k < r.startCount && k < WF_MAX_STARTS; ++k) {
                const WfFitStart& e = r.starts[k];
                s += std::string(k ? ", " : "") + "{\"error_estimate\": " + number(e.errorEstimate) +
                     ", \"parameters\": {";
                for (int j = 0; j < 4; ++j)
                    s += std::string(j ? ", " : "") + "\"" + names[j] + "\": " + number(e.parameters[j]);
                if (r.well)
                    s += ", \"skin\": " + number(r.startWell[k][WF_WELL_SKIN]) + ", \"rc\": " +
                         number(r.startWell[k][WF_WELL_CASING]);
                s += "}, \"passes\": " + std::to_string(e.passes) + ", \"ended\": " + jsonString(startEnding(e.ending)) +
                     "}";
            }
            s += "]";
        } else {
            s += ", \"starts_at_best\": null, \"starts\": null";
        }
    } else {
        s += ", \"parameters\": null, \"totals\": null, \"correlation\": null, \"condition\": null, \"verdict\": null, "
             "\"stop_rule\": null, \"points\": null, \"runs_test\": null, \"starts_at_best\": null, \"starts\": null";
    }
    s += ", \"exit_code\": " + std::to_string(exitCode);
    return s + "}";
}

} // namespace wf::cli
