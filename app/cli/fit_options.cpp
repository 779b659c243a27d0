#include "fit_options.h"

#include "document/fields.h"

namespace wf::cli {

void FitFlags::apply(wf::doc::AnalysisOptions& o) const {
    if (defaults) o = wf::doc::AnalysisOptions{};
    if (hold) o.hold = *hold;
    if (oneAquifer) o.oneAquifer = *oneAquifer;
    if (boundAware) o.boundAware = *boundAware;
    if (stopTolerance) o.stopTolerance = *stopTolerance;
    if (maxPasses) o.maxPasses = *maxPasses;
}

namespace {

std::optional<std::string> parseHold(const std::string& value, std::array<bool, 4>& hold) {
    hold = {};
    if (value == "none") return std::nullopt;
    const char* names[4] = {"tf", "tm", "sf", "sm"};
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        const std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        bool known = false;
        for (std::size_t j = 0; j < 4; ++j)
            if (item == names[j]) hold[j] = known = true;
        if (!known)
            return "--hold: \"" + item + "\" is not one of tf, tm, sf, sm (give a list such as tf,sm, or none)";
        if (comma == std::string::npos) return std::nullopt;
        start = comma + 1;
    }
}

} // namespace

bool parseFitFlag(const std::string& arg, FitFlags& f) {
    if (arg == "--json") return f.json = true;
    if (arg == "--default-options") return f.defaults = true;
    if (arg == "--one-aquifer" || arg == "--two-layers") {
        f.oneAquifer = arg == "--one-aquifer";
        return true;
    }
    if (arg == "--bound-aware" || arg == "--plain-search") {
        f.boundAware = arg == "--bound-aware";
        return true;
    }
    return false;
}

void addFitValueOptions(std::map<std::string, OptionHandler>& valued, FitFlags& f) {
    valued["--hold"] = [&f](const std::string&, const std::string& value) -> std::optional<std::string> {
        std::array<bool, 4> hold{};
        if (auto error = parseHold(value, hold)) return error;
        f.hold = hold;
        return std::nullopt;
    };
    valued["--stop-tolerance"] = [&f](const std::string& name,
                                      const std::string& value) -> std::optional<std::string> {
        float v = 0.0f;
        if (auto st = wf::doc::parseNumber(value, name, v); !st) return st.error;
        if (!(v > 0.0f && v < 1.0f)) return name + ": \"" + value + "\" must lie between 0 and 1";
        f.stopTolerance = v;
        return std::nullopt;
    };
    valued["--max-passes"] = [&f](const std::string& name, const std::string& value) -> std::optional<std::string> {
        int32_t v = 0;
        if (auto st = wf::doc::parseInteger(value, name, v); !st) return st.error;
        if (v < 1 || v > 999) return name + ": \"" + value + "\" must lie between 1 and 999";
        f.maxPasses = v;
        return std::nullopt;
    };
}

std::string fitHelpText() {
    return R"(
Analysis options (kept in the project by --save; the plain search by default):
  --hold LIST             hold parameters at their guesses, e.g. tf,sm
                          (none: estimate all four)
  --one-aquifer           one conductivity and one specific storage for both
                          layers (two unknowns); --two-layers undoes it
  --bound-aware           bound-aware search: a parameter on a bound whose
                          step points outward is held for that pass, and the
                          search stops by the two rules below; --plain-search
                          undoes it
  --stop-tolerance X      stop when the error estimate falls by less than X
                          of its value in a pass (default 1e-5)
  --max-passes N          stop after N passes (default 200)
  --default-options       back to the plain search before the flags above

Fit report: after an optimisation or a fixed-time run the solver writes
stem.fit (standard errors, 95 % intervals, correlations, a verdict), which is
printed after the parameters.
  --json                  print one JSON object with the report on standard
                          output instead; everything else goes to standard error
)";
}

} // namespace wf::cli
