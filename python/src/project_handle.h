// A Wellfit project held in memory for Python: the project document, the
// folder of its project file, and the solver run state that its runs use
// (mesh, preparation and analysis of one project follow each other on the
// same run state, as the desktop program's calls do on the library's one).
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/project_document.h"
#include "base/run_state.h"
#include "solver_call.h"

namespace wf::py {

// A refused operation on a project; the message names the file or field.
struct ProjectError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Settings of one analysis call that the analysis dialog takes (none given:
// the project's own values).
struct AnalysisSettings {
    int type = 0;  // 0 optimisation, 1 fixed time, 2 prediction
    std::optional<int> ignore;  // NSKIP
    std::optional<float> rmse, simDays, timeSteps;
    bool resetParameters = false;  // guesses and bounds back to their starting values first
    bool setBounds = false;        // bounds from the guesses
    // Typed over the dialog's opening values, in the order TF, TM, SF, SM.
    std::optional<float> guesses[4], minimum[4], maximum[4];
};

// What an analysis call left.
struct AnalysisResult {
    bool returned = false;  // PINIT holds the parameters of a completed pass
    int exitCode = 1;       // as wellfit-cli: 0 clean, 3 converged with the search's notice, 1 failed
    std::string json;       // the fit report as wellfit-cli --json prints it
    std::vector<std::string> errors, informations;
};

class ProjectHandle {
public:
    static std::unique_ptr<ProjectHandle> open(const std::filesystem::path& path, std::string& warning);
    static std::unique_ptr<ProjectHandle> create(const std::filesystem::path& path, bool overwrite);

    wf::doc::ProjectDocument& doc() { return doc_; }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path folder() const { return path_.parent_path(); }

    void save() const;

    // The first observation point's data (as entered) and the borehole name.
    void setTestData(const std::string& borehole, std::vector<std::string> times, std::vector<std::string> values);
    void setPoints(std::vector<wf::doc::ObservationPoint> points, std::string& note);

    // Why the preparation files cannot serve an analysis now, or nothing.
    std::optional<std::string> stalePreparation() const;

    // The runs. Each refuses (ProjectError) while another run of the project
    // is going on; the progress and cancel of listener come from the caller.
    // Mesh and preparation return the solver's error texts (empty: done).
    std::vector<std::string> runMesh(int type, Listener& listener);
    std::vector<std::string> runPreparation(int subset, Listener& listener);
    AnalysisResult runAnalysis(const AnalysisSettings& settings, Listener& listener);

    // One fixed-time run of the project's model at the given parameters (TF,
    // TM, SF, SM in the project's units) and times (input-time unit), in a
    // scratch folder of its own: no side file of the project is touched.
    // Returns the simulated drawdowns, one row per observation point.
    std::vector<std::vector<double>> simulate(const float params[4], const std::vector<double>& times,
                                              Listener& listener);

    bool busy() const { return busy_.load(); }

private:
    ProjectHandle();
    // Marks the project busy for one run (refused when it already is).
    struct RunGuard {
        explicit RunGuard(ProjectHandle& h);
        ~RunGuard();
        ProjectHandle& handle;
    };
    bool call(int mode, int type, Listener& listener, WfFitReport* report);
    void checkAnalysis(const AnalysisSettings& settings);

    wf::doc::ProjectDocument doc_;
    std::filesystem::path path_;  // absolute path of the project file
    std::unique_ptr<wf::RunState> rs_;
    std::atomic<bool> busy_{false};

};

} // namespace wf::py
