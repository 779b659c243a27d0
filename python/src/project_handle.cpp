#include "project_handle.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "cli/fit_json.h"
#include "document/units.h"
#include "run_in_folder.h"
#include "document/run_fingerprints.h"
#include "textio/side_file.h"

namespace wf::py {
namespace {

using wf::doc::Status;

void require(const Status& st) {
    if (!st) throw ProjectError(st.error);
}

// Transmissivity unit belonging to a conductivity unit: "m/day" -> "m2/day".
std::string transmissivityUnit(int32_t ICOND) {
    const std::string name = wf::doc::transmissivityUnitName(ICOND);
    return name.empty() ? "(unit " + std::to_string(ICOND) + ")" : name;
}

// The search's notice after a converged fit whose damping factor stayed large;
// the parameters are a fit all the same.
bool onlyConvergenceNotice(const std::vector<std::string>& errors) {
    if (errors.empty()) return false;
    for (const std::string& e : errors)
        if (e.find("CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL") == std::string::npos) return false;
    return true;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string s;
    for (const std::string& t : texts) s += (s.empty() ? "" : "\n") + t;
    return s;
}

// A number as the test-data file keeps it: the shortest text that reads back
// to the same double.
std::string numberText(double v) {
    char buf[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

// A scratch folder of its own beside nothing else, removed with the object.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        std::random_device device;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[48];
            std::snprintf(name, sizeof name, "wellfit-simulate-%08x", static_cast<unsigned>(device()));
            std::error_code ec;
            if (std::filesystem::create_directory(base / name, ec)) {
                path = base / name;
                return;
            }
        }
        throw ProjectError("Cannot make a scratch folder for the simulation in " + base.string());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// The simulated drawdowns of the simulation file at the last nt of its time
// levels (the file starts with the initial level at time 0): nobs series.
std::vector<std::vector<double>> readSimulation(const std::filesystem::path& file, int nobs, int nt) {
    std::ifstream in(file);
    int fileNobs = 0, fileNt = 0;
    std::string line;
    if (!(in >> fileNobs >> fileNt) || fileNobs != nobs || fileNt < nt || !std::getline(in, line) ||
        !std::getline(in, line))
        throw ProjectError("Simulation file " + file.string() + ": the header does not match the run (" +
                           std::to_string(nobs) + " points, " + std::to_string(nt) + " times)");
    std::vector<std::vector<double>> series(static_cast<std::size_t>(nobs), std::vector<double>(nt));
    for (int l = 0; l < nobs; ++l)
        for (int m = 0; m < fileNt; ++m) {
            long node = 0;
            double time = 0.0, value = 0.0;
            if (!(in >> node >> time >> value))
                throw ProjectError("Simulation file " + file.string() + ": record " +
                                   std::to_string(l * fileNt + m + 1) + " cannot be read");
            const int k = m - (fileNt - nt);
            if (k >= 0) series[static_cast<std::size_t>(l)][static_cast<std::size_t>(k)] = value;
        }
    return series;
}

} // namespace

ProjectHandle::ProjectHandle() : rs_(std::make_unique<wf::RunState>()) {}

ProjectHandle::RunGuard::RunGuard(ProjectHandle& h) : handle(h) {
    bool idle = false;
    if (!h.busy_.compare_exchange_strong(idle, true))
        throw ProjectError("Project " + h.path_.string() + " is busy with another run");
}
ProjectHandle::RunGuard::~RunGuard() { handle.busy_.store(false); }

std::unique_ptr<ProjectHandle> ProjectHandle::open(const std::filesystem::path& path, std::string& warning) {
    std::unique_ptr<ProjectHandle> h(new ProjectHandle());
    h->path_ = std::filesystem::absolute(wf::doc::resolveProjectLink(std::filesystem::absolute(path)));
    const wf::doc::OpenOutcome opened = h->doc_.openProject(h->path_);
    require(opened.project);
    require(opened.testData);
    warning = opened.warning;
    return h;
}

std::unique_ptr<ProjectHandle> ProjectHandle::create(const std::filesystem::path& path, bool overwrite) {
    std::unique_ptr<ProjectHandle> h(new ProjectHandle());
    h->path_ = std::filesystem::absolute(path);
    std::error_code ec;
    if (!overwrite && std::filesystem::exists(std::filesystem::symlink_status(h->path_, ec)))
        throw ProjectError(h->path_.string() + " already exists; it is left as it is (give overwrite=True to "
                                               "replace it with a new project)");
    require(h->doc_.newProject(h->path_));
    return h;
}

void ProjectHandle::save() const { require(doc_.saveToProjectName(folder())); }

void ProjectHandle::setTestData(const std::string& borehole, std::vector<std::string> times,
                                std::vector<std::string> values) {
    if (busy()) throw ProjectError("Project " + path_.string() + " is busy with a run");
    require(doc_.acceptTestData(borehole, std::move(times), std::move(values), folder()));
}

void ProjectHandle::setPoints(std::vector<wf::doc::ObservationPoint> points, std::string& note) {
    if (busy()) throw ProjectError("Project " + path_.string() + " is busy with a run");
    require(doc_.setObservationPoints(std::move(points), &note, folder()));
}

std::optional<std::string> ProjectHandle::stalePreparation() const {
    // The fingerprints the desktop program and the command-line runner record
    // and compare: the same answers in every front end.
    const wf::doc::RunNames names{"mesh()", "prepare()", "save()"};
    return wf::doc::preparationProblem(doc_, names, folder());
}

bool ProjectHandle::call(int mode, int type, Listener& listener, WfFitReport* report) {
    const WfOptions options = doc_.solverOptions(report);
    runInFolder(folder(), [&] { solverCall(*rs_, mode, type, doc_, options, listener); }, listener.waiting);
    return listener.errors.empty();
}

std::vector<std::string> ProjectHandle::runMesh(int type, Listener& listener) {
    RunGuard guard(*this);
    if (call(WF_MODE_MESH, type, listener, nullptr)) require(wf::doc::recordMeshRun(doc_, folder()));
    return listener.errors;
}

std::vector<std::string> ProjectHandle::runPreparation(int subset, Listener& listener) {
    RunGuard guard(*this);
    if (doc_.pointCount() == 0) throw ProjectError("The project has no test data (set them with set_data)");
    if (doc_.mesh.NR == 0) throw ProjectError("Do mesh construction first and save");
    if (const std::optional<std::string> problem =
            wf::doc::meshProblem(doc_, wf::doc::RunNames{"mesh()", "prepare()", "save()"}, folder()))
        throw ProjectError(*problem);
    if (call(WF_MODE_PREPARE, subset, listener, nullptr)) require(wf::doc::recordPreparationRun(doc_, folder()));
    return listener.errors;
}

// The analysis dialog: its opening values, the typed values, the conversion
// for the solver and the dialog's checks, as the command-line runner does.
void ProjectHandle::checkAnalysis(const AnalysisSettings& s) {
    PINIT& p = doc_.pinit;
    require(doc_.convertParameters(1));
    if (s.resetParameters) {
        p.TF = 0.0f;
        require(doc_.convertParameters(4));
    }
    float* guesses[4] = {&p.TF, &p.TM, &p.SF, &p.SM};
    float* minima[4] = {&p.TFMIN, &p.TMMIN, &p.SFMIN, &p.SMMIN};
    float* maxima[4] = {&p.TFMAX, &p.TMMAX, &p.SFMAX, &p.SMMAX};
    for (int i = 0; i < 4; ++i)
        if (s.guesses[i]) *guesses[i] = *s.guesses[i];
    if (s.setBounds) require(doc_.convertParameters(3));
    if (s.ignore) doc_.nzero.NSKIP = *s.ignore;
    if (s.rmse) doc_.guess.RMSE = *s.rmse;
    if (s.simDays) doc_.pump.TSIM = *s.simDays;
    if (s.timeSteps) doc_.pump.NSTEP = *s.timeSteps;
    for (int i = 0; i < 4; ++i) {
        if (s.minimum[i]) *minima[i] = *s.minimum[i];
        if (s.maximum[i]) *maxima[i] = *s.maximum[i];
    }
    require(doc_.convertParameters(2));
    if (s.type == 2 && doc_.pump.NSTEP == 0.0f)
        throw ProjectError("Number of timesteps cannot be zero for predictions");
    for (int i = 0; i < 4; ++i)
        if (*guesses[i] < *minima[i] || *guesses[i] > *maxima[i])
            throw ProjectError("Guesses not between minimum and maximum values");
}

AnalysisResult ProjectHandle::runAnalysis(const AnalysisSettings& settings, Listener& listener) {
    RunGuard guard(*this);
    if (settings.type < 0 || settings.type > 2)
        throw ProjectError("Analysis type " + std::to_string(settings.type) + " is not 0, 1 or 2");
    if (doc_.pointCount() == 0) throw ProjectError("The project has no test data (set them with set_data)");
    if (const std::optional<std::string> stale = stalePreparation()) throw ProjectError(*stale);
    const wf::doc::ProjectDocument before = doc_;
    try {
        checkAnalysis(settings);
    } catch (...) {
        doc_ = before;
        throw;
    }
    const float start[4] = {doc_.pinit.TF, doc_.pinit.TM, doc_.pinit.SF, doc_.pinit.SM};
    wf::cli::AnalysisOutcome outcome;
    outcome.analysed = true;
    const bool clean = call(WF_MODE_ANALYSIS, settings.type, listener, &outcome.report);
    outcome.verdict = rs_->inv.verdict;
    outcome.tUnit = transmissivityUnit(doc_.units.ICOND);
    if (doc_.units.IDIST >= 1 && doc_.units.IDIST <= 4)
        outcome.lengthUnit = std::string(wf::doc::kDistanceUnits[static_cast<std::size_t>(doc_.units.IDIST - 1)]);
    if (!clean) outcome.error = listener.errors.front();

    AnalysisResult r;
    r.errors = listener.errors;
    r.informations = listener.informations;
    r.returned = clean || std::memcmp(start, &doc_.pinit, sizeof start) != 0;
    const PINIT& p = doc_.pinit;
    const bool finite = std::isfinite(p.TF) && std::isfinite(p.TM) && std::isfinite(p.SF) && std::isfinite(p.SM);
    if (clean) r.exitCode = 0;
    else if (r.returned && finite && onlyConvergenceNotice(listener.errors)) r.exitCode = 3;
    else r.exitCode = 1;
    r.json = wf::cli::fitJson(outcome, r.exitCode);
    return r;
}

std::vector<std::vector<double>> ProjectHandle::simulate(const float params[4], const std::vector<double>& times,
                                                         Listener& listener) {
    RunGuard guard(*this);
    if (times.empty()) throw ProjectError("simulate: no times given");
    if (static_cast<int>(times.size()) > wf::doc::kMaxTestDataPoints)
        throw ProjectError("simulate: " + std::to_string(times.size()) + " times; at most " +
                           std::to_string(wf::doc::kMaxTestDataPoints) + " can be simulated in one run");
    for (std::size_t i = 0; i < times.size(); ++i)
        if (!(times[i] > 0.0) || !std::isfinite(times[i]) || (i > 0 && !(times[i] > times[i - 1])))
            throw ProjectError("simulate: the times must be positive and ascending (time " + std::to_string(i + 1) +
                               " is " + numberText(times[i]) + ")");

    // The project's model in a scratch folder: the same records and mesh
    // settings, drawdowns of zero at the given times at every point.
    ScratchFolder scratch;
    ProjectHandle h;
    h.doc_ = doc_;
    h.path_ = scratch.path / doc_.projectName();
    h.doc_.pump.IWLO = 0;
    std::vector<std::string> timeTexts, zeros(times.size(), "0");
    for (double t : times) timeTexts.push_back(numberText(t));
    std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
    for (wf::doc::ObservationPoint& point : points) {
        point.times = timeTexts;
        point.values = zeros;
    }
    std::string note;
    require(h.doc_.setObservationPoints(std::move(points), &note, scratch.path));

    auto fail = [&](const std::string& stage) {
        throw ProjectError("simulate: the " + stage + " run failed: " + joined(listener.errors));
    };
    if (!h.runMesh(0, listener).empty()) fail("mesh");
    if (!h.runPreparation(0, listener).empty()) fail("preparation");
    AnalysisSettings fixed;
    fixed.type = 1;
    fixed.ignore = 0;
    for (int i = 0; i < 4; ++i) fixed.guesses[i] = params[i];
    // A fixed-time run does not search: bounds from the guesses hold them.
    fixed.setBounds = true;
    const AnalysisResult r = h.runAnalysis(fixed, listener);
    if (r.exitCode != 0) fail("model");
    return readSimulation(wf::textio::sideFilePath(h.doc_.filename.invName, scratch.path),
                          h.doc_.observationPointCount(), static_cast<int>(times.size()));
}

} // namespace wf::py
