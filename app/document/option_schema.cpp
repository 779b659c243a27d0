// The option schema: one entry per option, and the reading and checking of
// values that every consumer shares.
#include "option_schema.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "analysis_options.h"
#include "fields.h"

namespace wf::doc {

namespace {

constexpr std::array<std::string_view, 4> kParameterWords{"tf", "tm", "sf", "sm"};
constexpr std::array<std::string_view, 2> kWellWords{"skin", "rc"};
constexpr std::array<std::string_view, 3> kSearchWords{"plain", "bound-aware", "robust"};
constexpr std::array<std::string_view, 3> kSearchFlags{"--plain-search", "--bound-aware", "--robust"};
constexpr std::array<std::string_view, 3> kSearchLabels{"Plain search", "Bound-aware search", "Robust search"};

double holdMask(const AnalysisOptions& o) {
    int mask = 0;
    for (std::size_t j = 0; j < 4; ++j)
        if (o.hold[j]) mask |= 1 << j;
    return mask;
}

void setHoldMask(AnalysisOptions& o, double v) {
    const int mask = static_cast<int>(v);
    for (std::size_t j = 0; j < 4; ++j) o.hold[j] = ((mask >> j) & 1) != 0;
}

double holdWellMask(const AnalysisOptions& o) { return (o.holdWell[0] ? 1 : 0) + (o.holdWell[1] ? 2 : 0); }

void setHoldWellMask(AnalysisOptions& o, double v) {
    const int mask = static_cast<int>(v);
    for (std::size_t j = 0; j < 2; ++j) o.holdWell[j] = ((mask >> j) & 1) != 0;
}

const OptionSpec kSchema[] = {
    {"hold", OptionKind::Parameters, "--hold", "", "LIST",
     "hold parameters at their guesses, e.g. tf,sm\n(none: estimate all four); with a well also\n"
     "skin and rc, its skin factor and casing radius", "held-parameter mask", "Hold",
     "Keep this parameter at its guess during the optimisation", "cb%1Hold", OptionDialog::Analysis, 0.0, 0.0, 15.0,
     false, kParameterWords, {}, {}, 0, holdMask, setHoldMask,
     [](WfOptions& r, double v) {
         for (int j = 0; j < 4; ++j) r.hold[j] = (static_cast<int>(v) >> j) & 1;
     }},
    {"one_aquifer", OptionKind::Switch, "--one-aquifer", "--two-layers", "",
     "one conductivity and one specific storage for both\nlayers (two unknowns); --two-layers undoes it",
     "one-aquifer flag", "One aquifer (same K and Ss in both layers)",
     "Fit one conductivity and one specific storage shared by the fracture and the matrix", "checkOneAquifer",
     OptionDialog::Analysis, 0.0, 0.0, 1.0, false, {}, {}, {}, 1, [](const AnalysisOptions& o) { return o.oneAquifer ? 1.0 : 0.0; },
     [](AnalysisOptions& o, double v) { o.oneAquifer = v != 0.0; },
     [](WfOptions& r, double v) { r.oneAquifer = static_cast<int32_t>(v); }},
    {"search", OptionKind::Choice, "--search", "", "NAME",
     "the search of an optimisation: plain (the default),\nbound-aware (a parameter on a bound whose step points\n"
     "outward is held for that pass; stops by the two rules\nbelow) or robust (a trust-region search in the logarithms\n"
     "of the multipliers from several starts); --plain-search,\n--bound-aware and --robust name them too",
     "search", "Search:", "The search method of an optimisation", "cbSearch", OptionDialog::Analysis,
     WF_SEARCH_PLAIN, 0.0, 2.0, false, kSearchWords, kSearchFlags, kSearchLabels, 2,
     [](const AnalysisOptions& o) { return double(o.search); },
     [](AnalysisOptions& o, double v) { o.search = static_cast<int32_t>(v); },
     [](WfOptions& r, double v) { r.search = static_cast<int32_t>(v); }},
    {"stop_tolerance", OptionKind::Real, "--stop-tolerance", "", "X",
     "stop when the error estimate falls by less than X\nof its value in a pass (default 1e-5)", "stop tolerance",
     "Relative tolerance:", "The bound-aware search stops when the error estimate falls by less than this fraction "
     "of its value in a pass (the plain search stops by its own rules)", "edStopTolerance", OptionDialog::Analysis, static_cast<double>(1e-5f), 0.0, 1.0, true,
     {}, {}, {}, 3, [](const AnalysisOptions& o) { return static_cast<double>(o.stopTolerance); },
     [](AnalysisOptions& o, double v) { o.stopTolerance = static_cast<float>(v); },
     [](WfOptions& r, double v) { r.stopTolerance = v; }, "search", 1u << WF_SEARCH_BOUND_AWARE},
    {"max_passes", OptionKind::Count, "--max-passes", "", "N", "stop the bound-aware search (or each start of the\nrobust search) after N passes (default 200)",
     "maximum number of passes", "Maximum passes:",
     "The bound-aware search, and each start of the robust search, stops after this many passes (the plain search "
     "has no limit beyond its own rules)",
     "edMaxPasses", OptionDialog::Analysis, 200.0, 1.0, 999.0, false, {}, {}, {}, 4,
     [](const AnalysisOptions& o) { return double(o.maxPasses); },
     [](AnalysisOptions& o, double v) { o.maxPasses = static_cast<int32_t>(v); },
     [](WfOptions& r, double v) { r.maxPasses = static_cast<int32_t>(v); }, "search",
     (1u << WF_SEARCH_BOUND_AWARE) | (1u << WF_SEARCH_ROBUST)},
    {"fine_model", OptionKind::Switch, "--fine", "--no-fine", "",
     "the \"Fine model\" option on or off: a mesh, time\nsteps and solver chosen for accuracy (saved with\n"
     "the project; make the mesh and the data again)", "fine-model flag", "Fine model",
     "A mesh, time steps and solver chosen for accuracy (make the mesh and prepare the data again after switching)",
     "checkFineModel", OptionDialog::Mesh, 0.0, 0.0, 1.0, false, {}, {}, {}, 5,
     [](const AnalysisOptions& o) { return o.fineModel ? 1.0 : 0.0; },
     [](AnalysisOptions& o, double v) { o.fineModel = v != 0.0; },
     [](WfOptions& r, double v) { r.fineModel = v != 0.0 ? WF_MODEL_FINE : WF_MODEL_STANDARD; }},
    {"starts", OptionKind::Count, "--starts", "", "N",
     "robust search: N starts, the guesses and N - 1 spread\nover a decade either side of them (default 8)",
     "number of starts", "Starts:", "The robust search starts from the guesses and from this many less one further "
     "points spread over a decade either side of them", "edStarts", OptionDialog::Analysis, 8.0, 1.0,
     WF_MAX_STARTS, false, {}, {}, {}, 6, [](const AnalysisOptions& o) { return double(o.starts); },
     [](AnalysisOptions& o, double v) { o.starts = static_cast<int32_t>(v); },
     [](WfOptions& r, double v) { r.starts = static_cast<int32_t>(v); }, "search", 1u << WF_SEARCH_ROBUST},
    {"threads", OptionKind::Count, "--threads", "", "N",
     "threads for the derivative runs of a pass and the\nrobust search's starts (default 0: one per core; the\n"
     "results do not depend on it; not saved)", "number of threads", "Threads:",
     "Threads for the model runs that may run together (0: one per core); the results do not depend on it",
     "edThreads", OptionDialog::Analysis, 0.0, 0.0, 256.0, false, {}, {}, {}, -1,
     [](const AnalysisOptions& o) { return double(o.threads); },
     [](AnalysisOptions& o, double v) { o.threads = static_cast<int32_t>(v); },
     [](WfOptions& r, double v) { r.threads = static_cast<int32_t>(v); }},
    // The pumped well of the fine model (the well block).
    {"well_radius", OptionKind::Real, "--well-radius", "", "R",
     "fine model: radius of the pumped well in the distance\nunit (0, the default: a line of sources on the axis;\n"
     "make the mesh again)", "well radius", "Well radius:",
     "Radius of the pumped well in the project's distance unit: the fine mesh starts at the well face "
     "(0: a line of sources on the axis; make the mesh again after changing it)",
     "edWellRadius", OptionDialog::Mesh, 0.0, 0.0, 1.0e4, false, {}, {}, {}, 0,
     [](const AnalysisOptions& o) { return static_cast<double>(o.wellRadius); },
     [](AnalysisOptions& o, double v) { o.wellRadius = static_cast<float>(v); },
     [](WfOptions& r, double v) { r.wellRadius = v; }, "fine_model", 1u << 1, "WFWL"},
    {"casing_radius", OptionKind::Real, "--casing-radius", "", "R",
     "fine model with a well: radius of the casing in the\ndistance unit, where the water level falls (wellbore\n"
     "storage pi R^2; 0, the default: none)", "casing radius", "Casing radius:",
     "Radius of the casing in the project's distance unit: the water stored in the well, pi r_c^2 per unit "
     "drawdown, is pumped first (0: no wellbore storage)",
     "edCasingRadius", OptionDialog::Mesh, 0.0, 0.0, 1.0e4, false, {}, {}, {}, 1,
     [](const AnalysisOptions& o) { return static_cast<double>(o.casingRadius); },
     [](AnalysisOptions& o, double v) { o.casingRadius = static_cast<float>(v); },
     [](WfOptions& r, double v) { r.casingRadius = v; }, "fine_model", 1u << 1, "WFWL"},
    {"skin", OptionKind::Real, "--skin", "", "X",
     "fine model with a well: skin factor, the extra\ndrawdown at the well face in units of Q / (2 pi T)\n"
     "(0, the default: none)", "skin factor", "Skin factor:",
     "Skin factor of the well face (dimensionless): the well's drawdown exceeds the formation's by this times "
     "the well's flux over 2 pi T",
     "edSkin", OptionDialog::Mesh, 0.0, -1.0, 1.0e3, false, {}, {}, {}, 2,
     [](const AnalysisOptions& o) { return static_cast<double>(o.skin); },
     [](AnalysisOptions& o, double v) { o.skin = static_cast<float>(v); },
     [](WfOptions& r, double v) { r.skin = v; }, "fine_model", 1u << 1, "WFWL"},
    // The well's unknowns held: named after --hold together with the aquifer's
    // (--hold tf,skin); their boxes stand below the aquifer's in the analysis
    // dialog.
    {"hold_well", OptionKind::Parameters, "--hold", "", "LIST", "", "held well-parameter mask", "Hold",
     "Keep the well's skin factor or casing radius at its given value during the optimisation", "cb%1Hold",
     OptionDialog::Analysis, 0.0, 0.0, 3.0, false, kWellWords, {}, {}, 0, holdWellMask, setHoldWellMask,
     [](WfOptions& r, double v) {
         for (int j = 0; j < 2; ++j) r.holdWell[j] = (static_cast<int>(v) >> j) & 1;
     },
     "", 0, "WFWH"},
};

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string wordList(std::span<const std::string_view> words) {
    std::string s;
    for (std::size_t i = 0; i < words.size(); ++i) s += std::string(i ? ", " : "") + std::string(words[i]);
    return s;
}

// A list of parameter words ("tf,sm", or "none") into one mask per schema entry:
// bit j of masks[o] for word j of specs[o].
Status parseParameterMasks(const std::vector<const OptionSpec*>& specs, std::string_view text, std::string_view who,
                           std::vector<int>& masks) {
    masks.assign(specs.size(), 0);
    if (text == "none") return Status::success();
    std::vector<std::string_view> words;
    for (const OptionSpec* s : specs) words.insert(words.end(), s->words.begin(), s->words.end());
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        bool known = false;
        for (std::size_t o = 0; o < specs.size(); ++o)
            for (std::size_t j = 0; j < specs[o]->words.size(); ++j)
                if (item == specs[o]->words[j]) {
                    masks[o] |= 1 << j;
                    known = true;
                }
        if (!known)
            return Status::failure(std::string(who) + ": \"" + std::string(item) + "\" is not one of " +
                                   wordList(words) + " (give a list such as tf,sm, or none)");
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return Status::success();
}

Status parseParameterSet(const OptionSpec& spec, std::string_view text, std::string_view who, double& value) {
    std::vector<int> masks;
    const Status st = parseParameterMasks({&spec}, text, who, masks);
    if (st) value = masks[0];
    return st;
}

} // namespace

std::span<const OptionSpec> optionSchema() { return kSchema; }

Status parseParameterFlag(std::string_view flag, std::string_view text, std::string_view who,
                          std::vector<std::pair<const OptionSpec*, double>>& values) {
    std::vector<const OptionSpec*> specs;
    for (const OptionSpec& s : kSchema)
        if (s.kind == OptionKind::Parameters && s.flag == flag) specs.push_back(&s);
    std::vector<int> masks;
    const Status st = parseParameterMasks(specs, text, who, masks);
    if (!st) return st;
    for (std::size_t o = 0; o < specs.size(); ++o) values.emplace_back(specs[o], masks[o]);
    return Status::success();
}

const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& s : kSchema)
    {
        if (s.key == name || s.flag == name || (!s.offFlag.empty() && s.offFlag == name)) return &s;
        for (const std::string_view f : s.wordFlags)
            if (f == name) return &s;
    }
    return nullptr;
}

bool optionActive(const OptionSpec& spec, const AnalysisOptions& options) {
    if (spec.activeWith.empty()) return true;
    const OptionSpec* with = findOption(spec.activeWith);
    const auto v = static_cast<unsigned>(with->get(options));
    return v < 32 && ((spec.activeMask >> v) & 1u) != 0;
}

std::string optionValueText(const OptionSpec& spec, double value) {
    switch (spec.kind) {
    case OptionKind::Choice: {
        const auto i = static_cast<std::size_t>(value);
        return value >= 0.0 && i < spec.words.size() ? std::string(spec.words[i]) : number(value);
    }
    case OptionKind::Parameters: {
        std::string s;
        for (std::size_t j = 0; j < spec.words.size(); ++j)
            if ((static_cast<int>(value) >> j) & 1) s += std::string(s.empty() ? "" : ",") + std::string(spec.words[j]);
        return s.empty() ? "none" : s;
    }
    default:
        return number(value);
    }
}

bool optionValueAllowed(const OptionSpec& spec, double v) {
    if (!std::isfinite(v)) return false;
    if (spec.kind != OptionKind::Real && v != std::floor(v)) return false;
    if (spec.openRange) return v > spec.minimum && v < spec.maximum;
    return v >= spec.minimum && v <= spec.maximum;
}

std::string optionRule(const OptionSpec& spec) {
    switch (spec.kind) {
    case OptionKind::Switch:
        return "must be 0 or 1";
    case OptionKind::Choice: {
        std::string s = "must be one of ";
        for (std::size_t i = 0; i < spec.words.size(); ++i)
            s += std::string(i ? ", " : "") + std::to_string(i) + " " + std::string(spec.words[i]);
        return s;
    }
    case OptionKind::Parameters:
        return "must lie between 0 and " + number(spec.maximum);
    default:
        return "must lie between " + number(spec.minimum) + " and " + number(spec.maximum);
    }
}

Status parseOptionValue(const OptionSpec& spec, std::string_view text, std::string_view who, double& value) {
    double v = 0.0;
    switch (spec.kind) {
    case OptionKind::Parameters:
        return parseParameterSet(spec, text, who, value);
    case OptionKind::Choice:
        for (std::size_t i = 0; i < spec.words.size(); ++i)
            if (text == spec.words[i]) {
                value = static_cast<double>(i);
                return Status::success();
            }
        return Status::failure(std::string(who) + ": \"" + std::string(text) + "\" is not one of " +
                               wordList(spec.words));
    case OptionKind::Count: {
        int32_t n = 0;
        if (Status st = parseInteger(text, who, n); !st) return st;
        v = n;
        break;
    }
    case OptionKind::Real: {
        // Checked in double before it is stored in single precision.
        if (Status st = parseNumber(text, who, v); !st) return st;
        break;
    }
    case OptionKind::Switch:
        if (text == "0" || text == "1") {
            value = text == "1" ? 1.0 : 0.0;
            return Status::success();
        }
        return Status::failure(std::string(who) + ": \"" + std::string(text) + "\" " + optionRule(spec));
    }
    if (!optionValueAllowed(spec, v))
        return Status::failure(std::string(who) + ": \"" + std::string(text) + "\" " + optionRule(spec));
    // A real is kept in single precision: the value kept must be allowed too.
    if (spec.kind == OptionKind::Real) {
        const double kept = static_cast<double>(static_cast<float>(v));
        if (!optionValueAllowed(spec, kept))
            return Status::failure(std::string(who) + ": \"" + std::string(text) + "\" is " + number(kept) +
                                   " in single precision, and it " + optionRule(spec));
    }
    value = v;
    return Status::success();
}

Status checkOptionSet(const AnalysisOptions& o, std::string_view who) {
    // Tied layers share one conductivity and one storage: holding either
    // layer's parameter holds the shared unknown.
    const bool conductivityFree = o.oneAquifer ? !(o.hold[0] || o.hold[1]) : !(o.hold[0] && o.hold[1]);
    const bool storageFree = o.oneAquifer ? !(o.hold[2] || o.hold[3]) : !(o.hold[2] && o.hold[3]);
    if (conductivityFree || storageFree) return Status::success();
    // A well of the fine model: its skin, or its casing radius when it has one.
    const bool well = o.fineModel && o.wellRadius > 0.0f;
    if (well && (!o.holdWell[0] || (!o.holdWell[1] && o.casingRadius > 0.0f))) return Status::success();
    std::string held = optionValueText(*findOption("hold"), holdMask(o));
    if (well && holdWellMask(o) != 0.0) held += "," + optionValueText(*findOption("hold_well"), holdWellMask(o));
    return Status::failure(std::string(who) + ": holding " + held +
                           (o.oneAquifer ? " with one aquifer" : "") +
                           " leaves no parameter to estimate (hold fewer)");
}

} // namespace wf::doc
