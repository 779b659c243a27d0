#include "run_sequence.h"

#include <cstdio>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <optional>
#include <string>
#include <system_error>

#include "command_settings.h"
#include "fit_output.h"
#include "document/fit_verdict.h"
#include "document/project_document.h"
#include "document/run_fingerprints.h"
#include "document/units.h"
#include "solver_host.h"
#include "wfcore/wfcore.h"

namespace wf::cli {

namespace {

using wf::doc::ProjectDocument;
using wf::doc::Status;

const char* const kTypeNames[3] = {"Optimization", "Fixed time", "Prediction"};

// Transmissivity unit belonging to a conductivity unit: "m/day" -> "m2/day".
std::string transmissivityUnit(int32_t ICOND) {
    const std::string name = wf::doc::transmissivityUnitName(ICOND);
    return name.empty() ? "(unit " + std::to_string(ICOND) + ")" : name;
}

std::string sci(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5g", v);
    return buf;
}

class Sequence {
public:
    Sequence(const Options& o, std::ostream& out, std::ostream& err, AnalysisOutcome* outcome)
        : o_(o), out_(out), err_(err), host_(out, err, o.verbose), outcome_(outcome) {}

    int run() {
        // The data files are named relative to where the program was started.
        std::filesystem::path dataFile;
        if (o_.dataFile) dataFile = std::filesystem::absolute(*o_.dataFile);
        std::vector<std::filesystem::path> moreFiles;
        for (const PointOptions& p : o_.morePoints) moreFiles.push_back(std::filesystem::absolute(p.dataFile));

        if (!openOrCreate()) return kFailure;
        applySettings(o_, doc_);
        if (!checkOptionsBeforeRuns()) return kFailure;
        if (o_.dataFile && !report(importData(dataFile, doc_, out_).status)) return kFailure;
        if (!report(applyPoints(o_, moreFiles, doc_, out_, err_).status)) return kFailure;
        if (o_.mesh && !runMesh()) return kFailure;
        if (o_.prepare && !runPreparation()) return kFailure;
        int code = kSuccess;
        if (o_.analyse && !runAnalysis()) {
            if (!onlyConvergenceNotice()) return kFailure;
            code = kConvergedWithNotice;  // a converged fit all the same: kept by --save
        }
        if (o_.save) {
            if (!report(doc_.saveToProjectName())) return kFailure;
            out_ << "Saved " << doc_.projectName() << '\n';
        }
        return code;
    }

private:
    // The first error goes into the outcome (the JSON report), every one to err.
    bool fail(const std::string& message) {
        if (outcome_ && outcome_->error.empty()) outcome_->error = message;
        err_ << "Error: " << message << '\n';
        return false;
    }
    bool report(const Status& st) { return st.ok() || fail(st.error); }

    // Checks of the options as a whole, before any run is made.
    bool checkOptionsBeforeRuns() {
        if (o_.analyse) {
            const Status st = wf::doc::checkOptionSet(doc_.analysisOptions, "--hold");
            if (!st) return fail(st.error);
        }
        return true;
    }

    bool openOrCreate() {
        const std::filesystem::path given = o_.newProject.empty() ? o_.project : o_.newProject;
        // A project file that is a link: its side files live beside the file it names.
        const std::filesystem::path path = o_.newProject.empty() ? wf::doc::resolveProjectLink(given) : given;
        // The project's folder becomes the working directory, where the solver
        // finds the side files by their bare names.
        if (!report(wf::doc::enterProjectFolder(path))) return false;
        const std::filesystem::path name = path.filename();
        if (!o_.newProject.empty()) {
            std::error_code ec;
            if (std::filesystem::exists(std::filesystem::symlink_status(name, ec)) && !o_.force)
                return fail(path.string() +
                            " already exists; it is left as it is (use --force to replace it with a new project)");
            if (!report(doc_.newProject(name))) return false;
            out_ << "Created " << path.string() << '\n';
            return true;
        }
        const wf::doc::OpenOutcome opened = doc_.openProject(name);
        if (!report(opened.project)) return false;
        if (!opened.warning.empty()) err_ << opened.warning << '\n';
        if (!opened.testData) {
            // New data on the command line replace a test-data file that cannot be read.
            if (!o_.dataFile) return report(opened.testData);
            err_ << "Warning: " << opened.testData.error << '\n';
        }
        out_ << "Opened " << given.string() << " (" << dataPointsText() << ")\n";
        return true;
    }

    // "33 data points", or for several observation points each one's count:
    // "2 observation points, 33 + 20 data points".
    std::string dataPointsText() const {
        const std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
        if (points.size() <= 1) return std::to_string(doc_.pointCount()) + " data points";
        std::string counts;
        for (const wf::doc::ObservationPoint& p : points)
            counts += (counts.empty() ? "" : " + ") + std::to_string(p.times.size());
        return std::to_string(points.size()) + " observation points, " + counts + " data points";
    }

    // The search converged, but with the damping factor still above 1; the
    // solver shows this in an error box although the parameters are a fit.
    bool onlyConvergenceNotice() const {
        if (host_.errors().empty()) return false;
        for (const std::string& e : host_.errors())
            if (e.find("CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL") == std::string::npos) return false;
        return true;
    }

    // One solver call; false when the solver showed an error box.
    bool callSolver(int mode, int type) {
        host_.clearErrors();
        // The project's options reach the solver for this call only (the
        // fine model applies to the mesh and preparation runs too).
        const WfOptions options = doc_.solverOptions(report_);
        wfSetOptions(&options);
        wftDLL(mode, type, &doc_.filename, &doc_.mesh, &doc_.obsv, &doc_.pump, &doc_.guess, &doc_.pinit, &doc_.units,
               &doc_.nzero);
        wfSetOptions(nullptr);
        if (host_.errors().empty()) return true;
        if (outcome_ && outcome_->error.empty()) outcome_->error = host_.errors().front();
        return false;
    }

    const wf::doc::RunNames names_{"--mesh", "--prepare", "--save"};

    // The model every run of this command uses, named in its heading.
    const char* modelName() const { return doc_.analysisOptions.fineModel ? "fine model" : "standard model"; }

    bool runMesh() {
        out_ << "Mesh construction (" << modelName() << ")\n";
        if (!callSolver(WF_MODE_MESH, 0)) return false;
        if (!report(wf::doc::recordMeshRun(doc_))) return false;
        std::string nodes = std::to_string(doc_.obsv.NODOBS[0]);
        for (int l = 1; l < doc_.observationPointCount(); ++l) nodes += ", " + std::to_string(doc_.obsv.NODOBS[l]);
        out_ << "  " << doc_.mesh.NR << " x " << doc_.mesh.NZ << " nodes (" << doc_.mesh.NZF << " rows in the fracture), "
             << (doc_.observationPointCount() > 1 ? "observation nodes " : "observation node ") << nodes
             << ", mesh file " << doc_.filename.femName << '\n';
        return true;
    }

    bool needPoints() {
        return doc_.pointCount() > 0 || fail("The project has no test data (import them with --data FILE)");
    }

    bool runPreparation() {
        if (!needPoints()) return false;
        if (doc_.mesh.NR == 0) return fail("Do mesh construction first and save");
        if (!doc_.testDataProblem().empty())
            return fail(doc_.testDataProblem() + " (import the data again with --data FILE)");
        if (const std::optional<std::string> problem = wf::doc::meshProblem(doc_, names_)) return fail(*problem);
        out_ << "Data preparation (" << modelName()
             << (o_.subset ? ", " + std::to_string(o_.subset) + " times" : std::string()) << ")\n";
        if (!callSolver(WF_MODE_PREPARE, o_.subset)) return false;
        if (!report(wf::doc::recordPreparationRun(doc_))) return false;
        out_ << "  wrote " << doc_.filename.obsName << " and " << doc_.filename.timName << '\n';
        return true;
    }

    // The analysis dialog: opening, buttons, OK, checks, then the solver.
    bool runAnalysis() {
        if (!needPoints()) return false;
        PINIT& p = doc_.pinit;
        if (!report(doc_.convertParameters(1))) return false;
        if (o_.resetParameters) {
            p.TF = 0.0f;
            if (!report(doc_.convertParameters(4))) return false;
        }
        const float* guesses[4] = {&p.TF, &p.TM, &p.SF, &p.SM};
        float* minima[4] = {&p.TFMIN, &p.TMMIN, &p.SFMIN, &p.SMMIN};
        float* maxima[4] = {&p.TFMAX, &p.TMMAX, &p.SFMAX, &p.SMMAX};
        applyGuesses(o_, doc_);  // typed over the reset values
        if (o_.setBounds && !report(doc_.convertParameters(3))) return false;

        doc_.nzero.NSKIP = o_.ignore;
        if (o_.rmse) doc_.guess.RMSE = *o_.rmse;
        if (o_.simDays) doc_.pump.TSIM = *o_.simDays;
        if (o_.timeSteps) doc_.pump.NSTEP = *o_.timeSteps;
        for (int i = 0; i < 4; ++i) {
            if (o_.minimum[static_cast<std::size_t>(i)]) *minima[i] = *o_.minimum[static_cast<std::size_t>(i)];
            if (o_.maximum[static_cast<std::size_t>(i)]) *maxima[i] = *o_.maximum[static_cast<std::size_t>(i)];
        }
        if (!report(doc_.convertParameters(2))) return false;
        if (o_.analysisType == 2 && doc_.pump.NSTEP == 0.0f)
            return fail("Number of timesteps cannot be zero for predictions");
        for (int i = 0; i < 4; ++i)
            if (*guesses[i] < *minima[i] || *guesses[i] > *maxima[i])
                return fail("Guesses not between minimum and maximum values");

        // What the run reads must belong to the project: never the solver's
        // own file-consistency messages.
        if (const std::optional<std::string> problem = wf::doc::preparationProblem(doc_, names_)) return fail(*problem);

        const std::string tu = transmissivityUnit(doc_.units.ICOND);
        out_ << "Analysis (" << kTypeNames[o_.analysisType] << ", " << modelName() << ")\n";
        out_ << "  start: TF " << sci(p.TF) << " [" << sci(p.TFMIN) << ", " << sci(p.TFMAX) << "], TM " << sci(p.TM)
             << " [" << sci(p.TMMIN) << ", " << sci(p.TMMAX) << "] " << tu << "; SF " << sci(p.SF) << " ["
             << sci(p.SFMIN) << ", " << sci(p.SFMAX) << "], SM " << sci(p.SM) << " [" << sci(p.SMMIN) << ", "
             << sci(p.SMMAX) << "]\n";
        const float before[4] = {p.TF, p.TM, p.SF, p.SM};
        WfFitReport fit{};
        report_ = &fit;
        const bool clean = callSolver(WF_MODE_ANALYSIS, o_.analysisType);
        report_ = nullptr;
        if (outcome_) {
            outcome_->analysed = true;
            outcome_->report = fit;
            outcome_->verdict = wf::doc::lastFitVerdict();
            outcome_->tUnit = tu;
            if (doc_.units.IDIST >= 1 && doc_.units.IDIST <= 4)
                outcome_->lengthUnit = std::string(wf::doc::kDistanceUnits[static_cast<std::size_t>(doc_.units.IDIST - 1)]);
            if (!clean && outcome_->error.empty()) outcome_->error = host_.errors().front();
        }
        // The solver returns the parameters of its last completed pass, also
        // after a search-status box; when no pass completed PINIT is untouched
        // and there is nothing to present as a result.
        const bool returned = clean || std::memcmp(before, &p, sizeof before) != 0;
        if (!returned) {
            out_ << "No parameters were computed; the project's guesses are unchanged.\n";
            return clean;
        }
        if (!std::isfinite(p.TF) || !std::isfinite(p.TM) || !std::isfinite(p.SF) || !std::isfinite(p.SM)) {
            return fail("The analysis gave parameters that are not finite numbers; there is no result");
        }
        // Only a clean run (or one that converged with the search's notice) is a fit.
        const bool fitted = clean || onlyConvergenceNotice();
        printParameters(tu, fitted);
        if (fitted && o_.analysisType != 2) printFitReport(out_, doc_.stem());
        return clean;
    }

    void printParameters(const std::string& tu, bool complete) {
        const PINIT& p = doc_.pinit;
        if (complete)
            out_ << (o_.analysisType == 0 ? "Fitted parameters" : "Parameters") << " (results in "
                 << doc_.filename.resName << ", simulated drawdowns in " << doc_.filename.invName << "):\n";
        else
            out_ << "The analysis failed; these are the parameters of its last completed pass, not a fit (in "
                 << doc_.filename.resName << "):\n";
        out_ << "  Transmissivity (fracture)  TF      = " << sci(p.TF) << ' ' << tu << '\n';
        out_ << "  Transmissivity (matrix)    TM      = " << sci(p.TM) << ' ' << tu << '\n';
        out_ << "  Storativity (fracture)     SF      = " << sci(p.SF) << '\n';
        out_ << "  Storativity (matrix)       SM      = " << sci(p.SM) << '\n';
        out_ << "  Total transmissivity       TF + TM = " << sci(static_cast<double>(p.TF) + p.TM) << ' ' << tu << '\n';
        out_ << "  Total storativity          SF + SM = " << sci(static_cast<double>(p.SF) + p.SM) << '\n';
    }

    const Options& o_;
    std::ostream& out_;
    std::ostream& err_;
    SolverHost host_;
    AnalysisOutcome* outcome_;
    WfFitReport* report_ = nullptr;  // filled by the solver during the analysis call
    ProjectDocument doc_;
};

} // namespace

int runSequence(const Options& options, std::ostream& out, std::ostream& err, AnalysisOutcome* outcome) {
    Sequence s(options, out, err, outcome);
    return s.run();
}

} // namespace wf::cli
