#include "options.h"

#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <string_view>

#include "document/fields.h"
#include "document/units.h"

namespace wf::cli {

namespace {

using wf::doc::parseInteger;
using wf::doc::parseNumber;

// A list item by position (code = index + 1) or by name.
template <std::size_t N>
std::optional<int32_t> unitCode(const std::string& item, const std::array<std::string_view, N>& names) {
    int32_t code = 0;
    if (parseInteger(item, "", code).ok()) {
        if (code >= 1 && code <= static_cast<int32_t>(N)) return code;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == item) return static_cast<int32_t>(i + 1);
    return std::nullopt;
}

template <std::size_t N>
std::string listOf(const std::array<std::string_view, N>& names) {
    std::string s;
    for (std::size_t i = 0; i < N; ++i) s += (i ? ", " : "") + std::to_string(i + 1) + " " + std::string(names[i]);
    return s;
}

std::vector<std::string> splitAt(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(sep, start);
        parts.push_back(text.substr(start, pos - start));
        if (pos == std::string::npos) return parts;
        start = pos + 1;
    }
}

std::optional<std::string> parseUnits(const std::string& value, std::array<int32_t, 5>& codes) {
    const std::vector<std::string> items = splitAt(value, ',');
    if (items.size() != 5)
        return "--units: give five units dist,tin,tout,cond,disch, e.g. 3,2,2,12,8 or m,min,min,m/day,m3/day (not \"" +
               value + "\")";
    const std::optional<int32_t> c[5] = {unitCode(items[0], wf::doc::kDistanceUnits),
                                         unitCode(items[1], wf::doc::kTimeUnits),
                                         unitCode(items[2], wf::doc::kTimeUnits),
                                         unitCode(items[3], wf::doc::kConductivityUnits),
                                         unitCode(items[4], wf::doc::kDischargeUnits)};
    const char* what[5] = {"distance", "input-time", "output-time", "conductivity", "discharge"};
    const std::string lists[5] = {listOf(wf::doc::kDistanceUnits), listOf(wf::doc::kTimeUnits),
                                  listOf(wf::doc::kTimeUnits), listOf(wf::doc::kConductivityUnits),
                                  listOf(wf::doc::kDischargeUnits)};
    for (int i = 0; i < 5; ++i) {
        if (!c[i])
            return "--units: \"" + items[static_cast<std::size_t>(i)] + "\" is not a " + what[i] + " unit (" +
                   lists[i] + ")";
        codes[static_cast<std::size_t>(i)] = *c[i];
    }
    return std::nullopt;
}

std::optional<std::string> choice(const std::string& option, const std::string& value,
                                  const std::vector<std::string>& words, int32_t first, std::optional<int32_t>& out) {
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] == value) {
            out = first + static_cast<int32_t>(i);
            return std::nullopt;
        }
    std::string all;
    for (std::size_t i = 0; i < words.size(); ++i) all += (i ? ", " : "") + words[i];
    return option + ": \"" + value + "\" is not one of " + all;
}

std::optional<std::string> number(const std::string& option, const std::string& value, std::optional<float>& out) {
    float v = 0.0f;
    if (auto st = parseNumber(value, option, v); !st) return st.error;
    out = v;
    return std::nullopt;
}

std::optional<std::string> count(const std::string& option, const std::string& value, int32_t& out) {
    int32_t v = 0;
    if (auto st = parseInteger(value, option, v); !st) return st.error;
    if (v < 0) return option + ": \"" + value + "\" must not be negative";
    out = v;
    return std::nullopt;
}

bool hasProjectExtension(const std::string& path) {
    const std::string file = std::filesystem::path(path).filename().string();
    if (file.size() < 5) return false;
    std::string ext = file.substr(file.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".wft";
}

using Valued = std::map<std::string, OptionHandler>;

// --new, --units, --borehole.
void addProjectOptions(Valued& valued, Options& o) {
    valued["--new"] = [&o](const std::string&, const std::string& v) -> std::optional<std::string> {
        o.newProject = v;
        return std::nullopt;
    };
    valued["--units"] = [&o](const std::string&, const std::string& v) -> std::optional<std::string> {
        std::array<int32_t, 5> codes{};
        if (auto e = parseUnits(v, codes)) return e;
        o.units = codes;
        return std::nullopt;
    };
    valued["--borehole"] = [&o](const std::string&, const std::string& v) -> std::optional<std::string> {
        o.borehole = v;
        return std::nullopt;
    };
}

// --data and the settings of the point of the last --data.
void addPointOptions(Valued& valued, Options& o) {
    valued["--data"] = [&o](const std::string& n, const std::string& v) -> std::optional<std::string> {
        if (!o.dataFile) {
            o.dataFile = v;
            return std::nullopt;
        }
        if (o.morePoints.size() == 3) return n + ": at most 4 observation points";
        o.morePoints.push_back(PointOptions{v, {}, {}, {}, {}});
        return std::nullopt;
    };
    // Settings of the point of the last --data (the first point before any).
    auto once = [&o](const std::string& n, bool given) -> std::optional<std::string> {
        if (!given) return std::nullopt;
        return n + " given twice for observation point " + std::to_string(o.morePoints.size() + 1) +
               " (give each further point's --data FILE before its settings)";
    };
    valued["--robs"] = [&o, once](const std::string& n, const std::string& v) -> std::optional<std::string> {
        std::optional<float>& target = o.morePoints.empty() ? o.robs : o.morePoints.back().robs;
        if (auto e = once(n, target.has_value())) return e;
        return number(n, v, target);
    };
    valued["--position"] = [&o, once](const std::string& n, const std::string& v) -> std::optional<std::string> {
        std::optional<int32_t>& target = o.morePoints.empty() ? o.position : o.morePoints.back().position;
        if (auto e = once(n, target.has_value())) return e;
        return choice(n, v, {"fracture", "matrix", "well"}, 1, target);
    };
    valued["--point-name"] = [&o, once](const std::string& n, const std::string& v) -> std::optional<std::string> {
        std::optional<std::string>& target = o.morePoints.empty() ? o.pointName : o.morePoints.back().name;
        if (auto e = once(n, target.has_value())) return e;
        if (v.size() > 20) return n + ": \"" + v + "\" is longer than 20 characters";
        target = v;
        return std::nullopt;
    };
    valued["--weight"] = [&o, once](const std::string& n, const std::string& v) -> std::optional<std::string> {
        std::optional<float>& target = o.morePoints.empty() ? o.weight : o.morePoints.back().weight;
        if (auto e = once(n, target.has_value())) return e;
        if (auto e = number(n, v, target)) return e;
        if (!(*target > 0.0f)) return n + ": \"" + v + "\" must be above 0";
        return std::nullopt;
    };
}

// The mesh and parameters dialogs: geometry, pumping schedule, preparation.
void addMeshAndPumpOptions(Valued& valued, Options& o) {
    valued["--thick"] = [&o](const std::string& n, const std::string& v) { return number(n, v, o.thick); };
    valued["--ratio"] = [&o](const std::string& n, const std::string& v) { return number(n, v, o.ratio); };
    valued["--rmax"] = [&o](const std::string& n, const std::string& v) { return number(n, v, o.rmax); };
    valued["--step"] = [&o](const std::string& n, const std::string& v) -> std::optional<std::string> {
        const std::vector<std::string> parts = splitAt(v, ':');
        if (parts.size() != 2) return n + ": \"" + v + "\" is not TIME:RATE";
        PumpingStep s;
        std::optional<float> t, q;
        if (auto e = number(n + " time", parts[0], t)) return e;
        if (auto e = number(n + " rate", parts[1], q)) return e;
        if (o.steps.size() == 20) return n + ": at most 20 pumping steps";
        o.steps.push_back(PumpingStep{*t, *q});
        return std::nullopt;
    };
    valued["--pump-position"] = [&o](const std::string& n, const std::string& v) {
        return choice(n, v, {"both", "fracture", "matrix"}, 0, o.pumpPosition);
    };
    valued["--boundary"] = [&o](const std::string& n, const std::string& v) {
        return choice(n, v, {"noflow", "constant"}, 0, o.boundary);
    };
    valued["--levels"] = [&o](const std::string& n, const std::string& v) {
        return choice(n, v, {"drawdown", "masl"}, 0, o.levels);
    };
    valued["--subset"] = [&o](const std::string& n, const std::string& v) -> std::optional<std::string> {
        if (auto e = count(n, v, o.subset)) return e;
        // The selection divides by (count - 1): one time cannot be selected.
        if (o.subset == 1) return n + ": select 0 (all times) or at least 2 times";
        return std::nullopt;
    };
}

// The analysis dialog: type, points ignored, prediction, guesses and bounds.
void addAnalysisOptions(Valued& valued, Options& o) {
    const char* paramNames[4] = {"tf", "tm", "sf", "sm"};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string p = paramNames[i];
        valued["--" + p] = [&o, i](const std::string& n, const std::string& v) { return number(n, v, o.guess[i]); };
        valued["--" + p + "-min"] = [&o, i](const std::string& n, const std::string& v) {
            return number(n, v, o.minimum[i]);
        };
        valued["--" + p + "-max"] = [&o, i](const std::string& n, const std::string& v) {
            return number(n, v, o.maximum[i]);
        };
    }
    valued["--type"] = [&o](const std::string& n, const std::string& v) {
        std::optional<int32_t> t;
        auto e = choice(n, v, {"optimization", "fixed", "prediction"}, 0, t);
        if (t) o.analysisType = *t;
        return e;
    };
    valued["--ignore"] = [&o](const std::string& n, const std::string& v) { return count(n, v, o.ignore); };
    valued["--rmse"] = [&o](const std::string& n, const std::string& v) { return number(n, v, o.rmse); };
    valued["--sim-days"] = [&o](const std::string& n, const std::string& v) { return number(n, v, o.simDays); };
    valued["--time-steps"] = [&o](const std::string& n, const std::string& v) -> std::optional<std::string> {
        int32_t steps = 0;
        if (auto e = count(n, v, steps)) return e;
        o.timeSteps = static_cast<float>(steps);
        return std::nullopt;
    };

}

// Reads args into o with the options that take a value.
std::optional<std::string> readArguments(const std::vector<std::string>& args, const Valued& valued, Options& o) {
    const std::map<std::string, bool*> flags = {
        {"--help", &o.help},       {"-h", &o.help},          {"--version", &o.version}, {"--mesh", &o.mesh},
        {"--prepare", &o.prepare}, {"--analyse", &o.analyse}, {"--analyze", &o.analyse},
        {"--save", &o.save},       {"--reset-parameters", &o.resetParameters},
        {"--set-bounds", &o.setBounds}, {"--verbose", &o.verbose}, {"--force", &o.force},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--all") {
            o.mesh = o.prepare = o.analyse = true;
            continue;
        }
        if (parseFitFlag(arg, o.fit)) continue;
        if (auto f = flags.find(arg); f != flags.end()) {
            *f->second = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::string name = arg, value;
            bool haveValue = false;
            if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                haveValue = true;
            }
            const auto h = valued.find(name);
            if (h == valued.end()) return "Unknown option \"" + name + "\" (see --help)";
            if (!haveValue) {
                if (i + 1 >= args.size()) return "Option " + name + " needs a value (see --help)";
                value = args[++i];
            }
            if (auto e = h->second(name, value)) return e;
            continue;
        }
        if (!o.project.empty()) return "Only one project file may be given (\"" + o.project + "\" and \"" + arg + "\")";
        o.project = arg;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& o) {
    Valued valued;
    addFitValueOptions(valued, o.fit);
    addProjectOptions(valued, o);
    addPointOptions(valued, o);
    addMeshAndPumpOptions(valued, o);
    addAnalysisOptions(valued, o);
    if (auto e = readArguments(args, valued, o)) return e;
    if (o.help || o.version) return std::nullopt;
    if (!o.project.empty() && !o.newProject.empty())
        return "Give either a project file to open or --new PATH, not both";
    if (o.project.empty() && o.newProject.empty()) return "No project file given (see --help)";
    // The side files are named from the project name without its ".wft".
    const std::string& name = o.project.empty() ? o.newProject : o.project;
    if (!hasProjectExtension(name))
        return "The project file name \"" + name + "\" must end in \".wft\" after at least one character";
    return std::nullopt;
}

std::string helpText() {
    return R"(Usage: wellfit-cli [options] PROJECT.wft
   or: wellfit-cli --new PROJECT.wft [options]

Analyses a pumping test of a fracture/matrix aquifer with the Wellfit solver.
The project's folder becomes the working directory; the side files
(stem.DAT, stem.fem, .plt, .tim, .obs, .res, .inv, .fit) are written there. Options set what
the dialogs of the desktop program set; then the runs asked for are made in
the order mesh, preparation, analysis. Nothing is saved without --save.

Project:
  --new PATH              create PATH with the default settings (and save it);
                          an existing file is refused unless --force is given
  --force                 let --new replace an existing file
  --save                  save the project file after the runs
  --verbose               show every progress line of the solver (by default
                          the detail lines of each optimisation pass are left out)
  --help, -h              show this text
  --version               show the program's version

Units (codes or names, in the order distance, input time, output time,
conductivity/transmissivity, discharge):
  --units D,TI,TO,C,Q     e.g. 3,2,2,12,8 or m,min,min,m/day,m3/day
                          distance 1 mm 2 cm 3 m 4 km; times 1 s 2 min 3 h;
                          conductivity 1 mm/s ... 9 ms/s (m/s) ... 12 m/day;
                          discharge 1 L/s 2 L/min 3 L/h 4 L/day 5 m3/s 6 m3/min
                          7 m3/h 8 m3/day

Test data:
  --data FILE             import time/value pairs (two columns separated by
                          blanks or tabs; '#' lines and empty lines skipped)
                          and write the test-data file stem.DAT
  --borehole NAME         borehole name (at most 50 characters)
  Several observation points (up to 4): give --data FILE once per point, each
  followed by that point's --robs R, --position P and, optionally,
  --point-name NAME (at most 20 characters) and --weight W (its weight in the
  objective, default 1). The points are sorted by distance for the mesh.

Mesh (distances in the distance unit):
  --thick X               thickness of the aquifer
  --ratio X               fraction of the thickness taken by the fracture (0-1)
  --rmax X                distance to the opposite boundary
  --robs X                observation distance (of the point of the last --data)
  --position P            observation position: fracture | matrix | well
                          (well: the pumped well itself, fine model with
                          --well-radius; --robs then is the well radius)

Pumping schedule and data preparation:
  --step TIME:RATE        a pumping step starting at TIME (input-time unit)
                          with RATE (discharge unit); repeat for up to 20
                          steps; replaces the whole discharge table
  --pump-position P       pumped part: both | fracture | matrix
  --boundary B            opposite boundary: noflow | constant
  --levels L              observations are: drawdown | masl (water levels)
  --subset N              number of times to select (0 = all, else >= 2)

Analysis (transmissivities in the conductivity unit's length^2/time):
  --type T                optimization | fixed | prediction
  --ignore N              number of initial points to ignore (default 0)
  --rmse X                minimum fit requirement (RMSE)
  --sim-days X            simulation time of a prediction, days
  --time-steps N          number of time steps of a prediction
  --reset-parameters      fresh guesses and bounds ("Reset parameters")
  --tf X --tm X --sf X --sm X
                          guesses: fracture and matrix transmissivity,
                          fracture and matrix storativity
  --set-bounds            bounds from the guesses ("Set Boundaries")
  --tf-min X ... --sm-min X, --tf-max X ... --sm-max X
                          bounds of the four parameters

Runs:
  --mesh                  build the radial mesh
  --prepare               prepare the test data (needs a mesh)
  --analyse               run the analysis and print the parameters; refused
                          when the preparation files are older than the test
                          data or mesh, or were made for other pumping
                          parameters (run --prepare first)
  --all                   --mesh --prepare --analyse

The guesses --tf ... --sm are project values: they are kept by --save. Each
analysis derives the bounds from the guesses as the analysis dialog does when
it opens; --tf-min ... --sm-max then replace single bounds.

Exit status: 0 when every step succeeded; 1 when an input was refused, a run
was refused or the solver reported an error; 2 for a bad command line; 3 when
the analysis converged but the solver reported "CONVERGENCE REQUIREMENTS
SATISFIED BUT LAMBDA STILL" (the parameters are printed).
)" + fitHelpText();
}

} // namespace wf::cli
