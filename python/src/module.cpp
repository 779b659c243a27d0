// wellfit._core: the project document and the solver's runs for Python.
//
// The Python package (wellfit/) builds its Project class on ProjectHandle.
// Runs release the GIL: the solver works on the project's own run state in a
// thread of its own (run_in_folder.h), and takes the GIL back only to report
// progress to a Python callback.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

#include "document/option_schema.h"
#include "project_handle.h"
#include "record_fields.h"
#include "run_in_folder.h"

namespace py = pybind11;
using wf::py::ProjectHandle;

namespace {

// The Python side of a run: the progress callback (called with each line
// under the GIL; a true result asks the run to stop after the current pass),
// Ctrl+C (looked for on the waiting caller's thread, where Python handles
// signals; it stops the run after the current pass as well), and the first
// exception of either, thrown again once the run has ended.
class PythonListener {
public:
    explicit PythonListener(py::object callback) : callback_(std::move(callback)) {
        listener.progress = [this](int code, const std::string& line) {
            if (callback_.is_none()) return;
            py::gil_scoped_acquire gil;
            if (failure_) return;  // the callback failed once: no more calls
            try {
                py::object answer = callback_(code, py::bytes(line).attr("decode")("utf-8", "replace"));
                if (answer.is(py::bool_(true))) stop_ = true;
            } catch (...) {
                keep(std::current_exception());
            }
        };
        listener.cancel = [this] { return stop_.load(); };
        listener.waiting = [this] {
            py::gil_scoped_acquire gil;
            if (PyErr_CheckSignals() != 0) {
                try {
                    throw py::error_already_set();
                } catch (...) {
                    keep(std::current_exception());
                }
            }
        };
    }
    // After the run, with the GIL held.
    void rethrow() {
        if (failure_) std::rethrow_exception(failure_);
    }
    wf::py::Listener listener;

private:
    // Under the GIL.
    void keep(std::exception_ptr e) {
        if (!failure_) failure_ = std::move(e);
        stop_ = true;
    }
    py::object callback_;
    std::exception_ptr failure_;
    std::atomic<bool> stop_{false};
};

py::dict pointDict(const wf::doc::ObservationPoint& p) {
    py::dict d;
    d["name"] = p.name;
    d["distance"] = p.distance;
    d["position"] = p.position;
    d["weight"] = p.weight;
    d["node"] = p.node;
    d["times"] = p.times;
    d["values"] = p.values;
    return d;
}

wf::doc::ObservationPoint pointOf(const py::dict& d) {
    wf::doc::ObservationPoint p;
    if (d.contains("name")) p.name = d["name"].cast<std::string>();
    if (d.contains("distance")) p.distance = d["distance"].cast<float>();
    if (d.contains("position")) p.position = d["position"].cast<int32_t>();
    if (d.contains("weight")) p.weight = d["weight"].cast<float>();
    p.times = d["times"].cast<std::vector<std::string>>();
    p.values = d["values"].cast<std::vector<std::string>>();
    return p;
}

const wf::doc::OptionSpec& optionSpec(const std::string& key) {
    const wf::doc::OptionSpec* spec = wf::doc::findOption(key);
    if (spec == nullptr || spec->key != key) {
        std::string keys;
        for (const wf::doc::OptionSpec& s : wf::doc::optionSchema()) keys += (keys.empty() ? "" : ", ") + std::string(s.key);
        throw wf::py::ProjectError("Unknown option \"" + key + "\" (the options are " + keys + ")");
    }
    return *spec;
}

py::object optionValue(const wf::doc::OptionSpec& spec, double v) {
    using wf::doc::OptionKind;
    switch (spec.kind) {
    case OptionKind::Switch: return py::bool_(v != 0.0);
    case OptionKind::Count: return py::int_(static_cast<long>(v));
    case OptionKind::Real: return py::float_(v);
    case OptionKind::Choice: return py::str(wf::doc::optionValueText(spec, v));
    case OptionKind::Parameters: {
        py::list names;
        for (std::size_t j = 0; j < spec.words.size(); ++j)
            if ((static_cast<int>(v) >> j) & 1) names.append(std::string(spec.words[j]));
        return names;
    }
    }
    return py::none();
}

void setOption(ProjectHandle& h, const std::string& key, const py::object& value) {
    const wf::doc::OptionSpec& spec = optionSpec(key);
    const std::string who = "option " + key;
    double v = 0.0;
    if (py::isinstance<py::str>(value)) {
        if (const auto st = wf::doc::parseOptionValue(spec, value.cast<std::string>(), who, v); !st)
            throw wf::py::ProjectError(st.error);
    } else if (spec.kind == wf::doc::OptionKind::Parameters && !py::isinstance<py::int_>(value)) {
        std::string list;
        for (const py::handle item : value) list += (list.empty() ? "" : ",") + py::str(item).cast<std::string>();
        if (const auto st = wf::doc::parseOptionValue(spec, list.empty() ? "none" : list, who, v); !st)
            throw wf::py::ProjectError(st.error);
    } else {
        v = value.cast<double>();
        if (!wf::doc::optionValueAllowed(spec, v))
            throw wf::py::ProjectError(who + ": " + py::repr(value).cast<std::string>() + " " + wf::doc::optionRule(spec));
    }
    wf::doc::AnalysisOptions options = h.doc().analysisOptions;
    spec.set(options, v);
    if (const auto st = wf::doc::checkOptionSet(options, who); !st) throw wf::py::ProjectError(st.error);
    h.doc().analysisOptions = options;
}

void requireIdle(const ProjectHandle& h) {
    if (h.busy()) throw wf::py::ProjectError("Project " + h.path().string() + " is busy with a run");
}

std::optional<float> optionalFloat(const py::dict& d, const char* key) {
    if (!d.contains(key) || d[key].is_none()) return std::nullopt;
    return d[key].cast<float>();
}

wf::py::AnalysisSettings settingsOf(const py::dict& d) {
    wf::py::AnalysisSettings s;
    if (d.contains("type")) s.type = d["type"].cast<int>();
    if (d.contains("ignore") && !d["ignore"].is_none()) s.ignore = d["ignore"].cast<int>();
    s.rmse = optionalFloat(d, "rmse");
    s.simDays = optionalFloat(d, "sim_days");
    s.timeSteps = optionalFloat(d, "time_steps");
    if (d.contains("reset")) s.resetParameters = d["reset"].cast<bool>();
    if (d.contains("set_bounds")) s.setBounds = d["set_bounds"].cast<bool>();
    const char* names[4] = {"TF", "TM", "SF", "SM"};
    for (const char* group : {"guesses", "minimum", "maximum"}) {
        if (!d.contains(group) || d[group].is_none()) continue;
        const py::dict values = d[group].cast<py::dict>();
        for (const auto& item : values) {
            const std::string name = py::str(item.first).cast<std::string>();
            int j = 0;
            while (j < 4 && name != names[j]) ++j;
            if (j == 4) throw wf::py::ProjectError(std::string(group) + ": \"" + name + "\" is not TF, TM, SF or SM");
            std::optional<float>* target = std::string(group) == "guesses" ? s.guesses
                                           : std::string(group) == "minimum" ? s.minimum : s.maximum;
            target[j] = item.second.cast<float>();
        }
    }
    return s;
}

} // namespace

PYBIND11_MODULE(_core, m) {
    m.doc() = "The Wellfit project document and solver runs (use the wellfit package, not this module)";
    py::register_exception<wf::py::ProjectError>(m, "ProjectError");

    m.def("runs_in_parallel", &wf::py::runsInParallel,
          "True when runs of different projects go on at the same time (each run thread has a folder of its own)");
    m.def("option_keys", [] {
        std::vector<std::string> keys;
        for (const wf::doc::OptionSpec& s : wf::doc::optionSchema()) keys.emplace_back(s.key);
        return keys;
    });
    m.def("option_words", [](const std::string& key) {
        std::vector<std::string> words;
        for (const std::string_view w : optionSpec(key).words) words.emplace_back(w);
        return words;
    });
    m.def("option_help", [](const std::string& key) {
        const wf::doc::OptionSpec& s = optionSpec(key);
        return std::string(s.noun) + ": " + std::string(s.help) + " (" + wf::doc::optionRule(s) + ")";
    });
    m.def("record_fields", &wf::py::recordFieldNames);

    py::class_<ProjectHandle>(m, "ProjectHandle")
        .def_static("open", [](const std::string& path) {
            std::string warning;
            auto h = ProjectHandle::open(path, warning);
            return py::make_tuple(std::move(h), warning);
        })
        .def_static("create", [](const std::string& path, bool overwrite) { return ProjectHandle::create(path, overwrite); },
                    py::arg("path"), py::arg("overwrite") = false)
        .def_property_readonly("path", [](const ProjectHandle& h) { return h.path().string(); })
        .def_property_readonly("folder", [](const ProjectHandle& h) { return h.folder().string(); })
        .def_property_readonly("stem", [](ProjectHandle& h) { return h.doc().stem(); })
        .def_property_readonly("busy", &ProjectHandle::busy)
        .def("save", [](const ProjectHandle& h) { requireIdle(h); h.save(); })
        .def("get_field", [](ProjectHandle& h, const std::string& record, const std::string& field) {
            return wf::py::getField(h.doc(), record, field);
        })
        .def("set_field", [](ProjectHandle& h, const std::string& record, const std::string& field, double value) {
            requireIdle(h);
            wf::py::setField(h.doc(), record, field, value);
        })
        .def_property("borehole", [](ProjectHandle& h) { return h.doc().boreholeName(); },
                      [](ProjectHandle& h, const std::string& name) { requireIdle(h); h.doc().setBoreholeName(name); })
        .def("points", [](ProjectHandle& h) {
            py::list points;
            for (const wf::doc::ObservationPoint& p : h.doc().observationPoints()) points.append(pointDict(p));
            return points;
        })
        .def("set_points", [](ProjectHandle& h, const py::list& points) {
            std::vector<wf::doc::ObservationPoint> list;
            for (const py::handle p : points) list.push_back(pointOf(p.cast<py::dict>()));
            std::string note;
            h.setPoints(std::move(list), note);
            return note;
        })
        .def("set_test_data", &ProjectHandle::setTestData)
        .def("get_option", [](ProjectHandle& h, const std::string& key) {
            const wf::doc::OptionSpec& spec = optionSpec(key);
            return optionValue(spec, spec.get(h.doc().analysisOptions));
        })
        .def("set_option", [](ProjectHandle& h, const std::string& key, const py::object& value) {
            requireIdle(h);
            setOption(h, key, value);
        })
        .def("stale_preparation", &ProjectHandle::stalePreparation)
        .def("run_mesh", [](ProjectHandle& h, int type, py::object progress) {
            PythonListener l(std::move(progress));
            std::vector<std::string> errors;
            {
                py::gil_scoped_release free;
                errors = h.runMesh(type, l.listener);
            }
            l.rethrow();
            return errors;
        })
        .def("run_preparation", [](ProjectHandle& h, int subset, py::object progress) {
            PythonListener l(std::move(progress));
            std::vector<std::string> errors;
            {
                py::gil_scoped_release free;
                errors = h.runPreparation(subset, l.listener);
            }
            l.rethrow();
            return errors;
        })
        .def("run_analysis", [](ProjectHandle& h, const py::dict& settings, py::object progress) {
            const wf::py::AnalysisSettings s = settingsOf(settings);
            PythonListener l(std::move(progress));
            wf::py::AnalysisResult r;
            {
                py::gil_scoped_release free;
                r = h.runAnalysis(s, l.listener);
            }
            l.rethrow();
            py::dict out;
            out["returned"] = r.returned;
            out["exit_code"] = r.exitCode;
            out["json"] = r.json;
            out["errors"] = r.errors;
            out["informations"] = r.informations;
            return out;
        })
        .def("simulate", [](ProjectHandle& h, const std::vector<float>& params, const std::vector<double>& times,
                            py::object progress) {
            if (params.size() != 4) throw wf::py::ProjectError("simulate: four parameters TF, TM, SF, SM are needed");
            PythonListener l(std::move(progress));
            std::vector<std::vector<double>> series;
            {
                py::gil_scoped_release free;
                series = h.simulate(params.data(), times, l.listener);
            }
            l.rethrow();
            py::array_t<double> out({series.size(), times.size()});
            auto view = out.mutable_unchecked<2>();
            for (std::size_t l2 = 0; l2 < series.size(); ++l2)
                for (std::size_t k = 0; k < times.size(); ++k)
                    view(static_cast<py::ssize_t>(l2), static_cast<py::ssize_t>(k)) = series[l2][k];
            return out;
        });
}
