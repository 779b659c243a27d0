#include "run_sequence.h"

#include <cstdio>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <optional>
#include <string>
#include <system_error>

#include "data_import.h"
#include "preparation_check.h"
#include "fit_output.h"
#include "document/fit_verdict.h"
#include "document/project_document.h"
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
    if (ICOND < 1 || ICOND > 12) return "(unit " + std::to_string(ICOND) + ")";
    if (ICOND == 9) return "m2/s";
    const std::string c(wf::doc::kConductivityUnits[static_cast<std::size_t>(ICOND - 1)]);
    const std::size_t slash = c.find('/');
    return c.substr(0, slash) + "2" + c.substr(slash);
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
        // The data file is named relative to where the program was started.
        std::filesystem::path dataFile;
        if (o_.dataFile) dataFile = std::filesystem::absolute(*o_.dataFile);

        std::vector<std::filesystem::path> moreFiles;
        for (const PointOptions& p : o_.morePoints) moreFiles.push_back(std::filesystem::absolute(p.dataFile));

        if (!openOrCreate()) return kFailure;
        applySettings();
        if (o_.dataFile && !importData(dataFile)) return kFailure;
        if (!applyPoints(moreFiles)) return kFailure;
        if (o_.mesh && !runMesh()) return kFailure;
        if (o_.prepare && !runPreparation()) return kFailure;
        if (o_.analyse && !runAnalysis()) return onlyConvergenceNotice() ? kConvergedWithNotice : kFailure;
        if (o_.save) {
            if (!report(doc_.saveToProjectName())) return kFailure;
            out_ << "Saved " << doc_.projectName() << '\n';
        }
        return kSuccess;
    }

private:
    bool report(const Status& st) {
        if (!st && outcome_ && outcome_->error.empty()) outcome_->error = st.error;
        if (!st) err_ << "Error: " << st.error << '\n';
        return st.ok();
    }

    bool openOrCreate() {
        const std::filesystem::path path = o_.newProject.empty() ? o_.project : o_.newProject;
        // The project's folder becomes the working directory, where the solver
        // finds the side files by their bare names.
        if (!report(wf::doc::enterProjectFolder(path))) return false;
        const std::filesystem::path name = path.filename();
        if (!o_.newProject.empty()) {
            std::error_code ec;
            if (std::filesystem::exists(std::filesystem::symlink_status(name, ec)) && !o_.force) {
                err_ << "Error: " << path.string()
                     << " already exists; it is left as it is (use --force to replace it with a new project)\n";
                return false;
            }
            if (!report(doc_.newProject(name))) return false;
            out_ << "Created " << path.string() << '\n';
            prepared_ = PreparationInputs::of(doc_);
            return true;
        }
        const wf::doc::OpenOutcome opened = doc_.openProject(name);
        if (!report(opened.project)) return false;
        if (!opened.testData) {
            // New data on the command line replace a test-data file that cannot be read.
            if (!o_.dataFile) return report(opened.testData);
            err_ << "Warning: " << opened.testData.error << '\n';
        }
        out_ << "Opened " << path.string() << " (" << dataPointsText() << ")\n";
        prepared_ = PreparationInputs::of(doc_);
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

    void applySettings() {
        if (o_.units) {
            doc_.units.IDIST = (*o_.units)[0];
            doc_.units.ITIN = (*o_.units)[1];
            doc_.units.ITOUT = (*o_.units)[2];
            doc_.units.ICOND = (*o_.units)[3];
            doc_.units.IDISCH = (*o_.units)[4];
        }
        if (o_.thick) doc_.obsv.THICK = *o_.thick;
        if (o_.ratio) doc_.obsv.RATIO = *o_.ratio;
        if (o_.rmax) doc_.mesh.RMAX = *o_.rmax;
        if (o_.robs) doc_.obsv.ROBS[0] = *o_.robs;
        if (o_.position) doc_.obsv.IPOS[0] = *o_.position;
        if (!o_.steps.empty()) {
            for (int k = 0; k < wf::doc::kMaxPumpingSteps; ++k) {
                const bool given = static_cast<std::size_t>(k) < o_.steps.size();
                doc_.pump.TQ[k] = given ? o_.steps[static_cast<std::size_t>(k)].time : 0.0f;
                doc_.pump.Q[k] = given ? o_.steps[static_cast<std::size_t>(k)].rate : 0.0f;
            }
            doc_.pump.NQ = static_cast<int32_t>(o_.steps.size());
        }
        applyGuesses();
        o_.fit.apply(doc_.analysisOptions);
        if (o_.pumpPosition) doc_.pump.IPUMP = *o_.pumpPosition;
        if (o_.boundary) doc_.pump.IOPP = *o_.boundary;
        if (o_.levels) doc_.pump.IWLO = *o_.levels;
        if (o_.borehole) doc_.setBoreholeName(*o_.borehole);
    }

    // The four guesses are project values (saved with the project).
    void applyGuesses() {
        float* guesses[4] = {&doc_.pinit.TF, &doc_.pinit.TM, &doc_.pinit.SF, &doc_.pinit.SM};
        for (std::size_t i = 0; i < 4; ++i)
            if (o_.guess[i]) *guesses[i] = *o_.guess[i];
    }

    bool importData(const std::filesystem::path& file) {
        ImportedPoints points;
        if (!report(importPoints(file, points))) return false;
        const std::size_t n = points.times.size();
        if (!report(doc_.acceptTestData(doc_.boreholeName(), std::move(points.times), std::move(points.values))))
            return false;
        out_ << "Imported " << n << " data points from " << file.string() << " into " << doc_.filename.datName << '\n';
        dataImported_ = true;
        return true;
    }

    // The observation points: further points from the command line, and the
    // first point's name and weight; the points are checked and sorted by
    // distance whenever the project has more than one.
    bool applyPoints(const std::vector<std::filesystem::path>& files) {
        if (files.empty() && doc_.observationPointCount() == 1) {
            if (o_.pointName || o_.weight)
                err_ << "Warning: --point-name and --weight are kept only for a project of several observation "
                        "points\n";
            return true;
        }
        // Nothing of the points given: the project's points stand as they are.
        if (files.empty() && !o_.robs && !o_.position && !o_.pointName && !o_.weight) return true;
        std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
        if (!files.empty()) points.resize(1);
        if (o_.pointName) points[0].name = *o_.pointName;
        if (o_.weight) points[0].weight = *o_.weight;
        for (std::size_t k = 0; k < files.size(); ++k) {
            const PointOptions& po = o_.morePoints[k];
            if (!po.robs) {
                err_ << "Error: observation point " << k + 2 << " (--data " << po.dataFile
                     << ") needs its distance --robs\n";
                return false;
            }
            ImportedPoints data;
            if (!report(importPoints(files[k], data))) return false;
            wf::doc::ObservationPoint p;
            p.name = po.name.value_or(std::string());
            p.distance = *po.robs;
            p.position = po.position.value_or(1);
            p.weight = po.weight.value_or(1.0f);
            p.times = std::move(data.times);
            p.values = std::move(data.values);
            out_ << "Imported " << p.times.size() << " data points from " << files[k].string()
                 << " for observation point " << k + 2 << '\n';
            points.push_back(std::move(p));
        }
        std::string note;
        if (!report(doc_.setObservationPoints(std::move(points), &note))) return false;
        if (!note.empty()) out_ << note << '\n';
        if (!files.empty()) dataImported_ = true;
        return true;
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
        return host_.errors().empty();
    }

    bool runMesh() {
        out_ << "Mesh construction\n";
        if (!callSolver(WF_MODE_MESH, 0)) return false;
        std::string nodes = std::to_string(doc_.obsv.NODOBS[0]);
        for (int l = 1; l < doc_.observationPointCount(); ++l) nodes += ", " + std::to_string(doc_.obsv.NODOBS[l]);
        out_ << "  " << doc_.mesh.NR << " x " << doc_.mesh.NZ << " nodes (" << doc_.mesh.NZF << " rows in the fracture), "
             << (doc_.observationPointCount() > 1 ? "observation nodes " : "observation node ") << nodes
             << ", mesh file " << doc_.filename.femName << '\n';
        return true;
    }

    bool needPoints() {
        if (doc_.pointCount() > 0) return true;
        err_ << "Error: The project has no test data (import them with --data FILE)\n";
        return false;
    }

    bool runPreparation() {
        if (!needPoints()) return false;
        if (doc_.mesh.NR == 0) {
            err_ << "Error: Do mesh construction first and save\n";
            return false;
        }
        out_ << "Data preparation" << (o_.subset ? " (" + std::to_string(o_.subset) + " times)" : std::string()) << '\n';
        if (!callSolver(WF_MODE_PREPARE, o_.subset)) return false;
        out_ << "  wrote " << doc_.filename.obsName << " and " << doc_.filename.timName << '\n';
        preparedHere_ = true;
        dataImported_ = false;
        prepared_ = PreparationInputs::of(doc_);
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
        applyGuesses(); // typed over the reset values
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
        if (o_.analysisType == 2 && doc_.pump.NSTEP == 0.0f) {
            err_ << "Error: Number of timesteps cannot be zero for predictions\n";
            return false;
        }
        for (int i = 0; i < 4; ++i)
            if (*guesses[i] < *minima[i] || *guesses[i] > *maxima[i]) {
                err_ << "Error: Guesses not between minimum and maximum values\n";
                return false;
            }

        if (const std::optional<std::string> stale = stalePreparationReason()) {
            err_ << "Error: " << *stale << "; run the data preparation (--prepare) before the analysis\n";
            return false;
        }

        const std::string tu = transmissivityUnit(doc_.units.ICOND);
        out_ << "Analysis (" << kTypeNames[o_.analysisType] << ")\n";
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
            err_ << "Error: The analysis gave parameters that are not finite numbers; there is no result\n";
            return false;
        }
        // Only a clean run (or one that converged with the search's notice) is a fit.
        const bool fitted = clean || onlyConvergenceNotice();
        printParameters(tu, fitted);
        if (fitted && o_.analysisType != 2) printFitReport(out_, doc_.stem());
        return clean;
    }

    // Why the analysis must not start on the preparation files as they are:
    // data or parameters changed in this run after (or without) a preparation,
    // or the files on disk belong to other data or parameters.
    std::optional<std::string> stalePreparationReason() const {
        const std::string files = std::string(doc_.filename.obsName) + " and " + doc_.filename.timName;
        if (dataImported_) return "The test data were imported after the preparation files " + files + " were made";
        if (!(PreparationInputs::of(doc_) == prepared_))
            return "The mesh or the pumping parameters were changed after the preparation files " + files + " were made";
        if (preparedHere_) return std::nullopt;
        return stalePreparation(doc_);
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
    // The record values of the last preparation (of opening, when none ran here).
    PreparationInputs prepared_;
    bool preparedHere_ = false;
    bool dataImported_ = false;
};

} // namespace

int runSequence(const Options& options, std::ostream& out, std::ostream& err, AnalysisOutcome* outcome) {
    Sequence s(options, out, err, outcome);
    return s.run();
}

} // namespace wf::cli
