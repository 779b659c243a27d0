#include "fit_options.h"

namespace wf::cli {

using wf::doc::OptionKind;
using wf::doc::OptionSpec;
using wf::doc::optionSchema;

bool FitFlags::given(std::string_view key) const {
    for (const auto& [spec, value] : values)
        if (spec->key == key) return true;
    return false;
}

void FitFlags::apply(wf::doc::AnalysisOptions& o) const {
    if (defaults) o = wf::doc::AnalysisOptions{};
    for (const auto& [spec, value] : values) spec->set(o, value);
}

bool parseFitFlag(const std::string& arg, FitFlags& f) {
    if (arg == "--json") return f.json = true;
    if (arg == "--default-options") return f.defaults = true;
    for (const OptionSpec& s : optionSchema()) {
        if (s.kind == OptionKind::Switch && (arg == s.flag || arg == s.offFlag)) {
            f.values.emplace_back(&s, arg == s.flag ? 1.0 : 0.0);
            return true;
        }
        for (std::size_t w = 0; w < s.wordFlags.size(); ++w)
            if (arg == s.wordFlags[w]) {
                f.values.emplace_back(&s, static_cast<double>(w));
                return true;
            }
    }
    return false;
}

void addFitValueOptions(std::map<std::string, OptionHandler>& valued, FitFlags& f) {
    for (const OptionSpec& s : optionSchema()) {
        if (s.kind == OptionKind::Switch) continue;
        if (s.kind == OptionKind::Parameters) {
            // One list for every parameter set of the flag (--hold tf,skin).
            valued[std::string(s.flag)] = [&f, &s](const std::string& name,
                                                   const std::string& text) -> std::optional<std::string> {
                if (auto st = wf::doc::parseParameterFlag(s.flag, text, name, f.values); !st) return st.error;
                return std::nullopt;
            };
            continue;
        }
        valued[std::string(s.flag)] = [&f, &s](const std::string& name,
                                               const std::string& text) -> std::optional<std::string> {
            double v = 0.0;
            if (auto st = wf::doc::parseOptionValue(s, text, name, v); !st) return st.error;
            f.values.emplace_back(&s, v);
            return std::nullopt;
        };
    }
}

namespace {

// "  --flag VALUE" in 26 columns, then the help lines.
std::string helpEntry(const OptionSpec& s) {
    std::string head = "  " + std::string(s.flag);
    if (s.kind == OptionKind::Switch && !s.offFlag.empty() && s.help.find(s.offFlag) == std::string_view::npos)
        head += ", " + std::string(s.offFlag);
    if (!s.valueName.empty()) head += " " + std::string(s.valueName);
    std::string text;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t nl = s.help.find('\n', start);
        const std::string line(s.help.substr(start, nl == std::string_view::npos ? nl : nl - start));
        std::string lead = first ? head : std::string();
        if (lead.size() >= 26) {
            text += lead + "\n";
            lead.clear();
        }
        lead.resize(26, ' ');
        text += lead + line + "\n";
        first = false;
        if (nl == std::string_view::npos) return text;
        start = nl + 1;
    }
}

} // namespace

std::string fitHelpText() {
    std::string s = "\nAnalysis options (kept in the project by --save; the plain search by default):\n";
    for (const OptionSpec& o : optionSchema())
        if (o.dialog == wf::doc::OptionDialog::Analysis) s += helpEntry(o);
    s += "  --default-options       back to the plain search before the flags above\n";
    s += "\nModel options (kept in the project by --save):\n";
    for (const OptionSpec& o : optionSchema())
        if (o.dialog == wf::doc::OptionDialog::Mesh) s += helpEntry(o);
    s += R"(
Fit report: after an optimisation or a fixed-time run the solver writes
stem.fit (standard errors, 95 % intervals, correlations, the model and mesh
that made the fit, a verdict), which is printed after the parameters.
  --json                  print one JSON object with the report on standard
                          output instead; everything else goes to standard error
                          (also for a refused run or a bad command line)
)";
    return s;
}

} // namespace wf::cli
