// LiveModel: the fixed-time analysis run's set-up once, then model runs in memory.
#include "entry/live_model.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>
#include <ostream>
#include <sstream>

#include "base/run_state.h"
#include "entry/entry_call.h"
#include "entry/input_checks.h"
#include "entry/run_driver.h"
#include "fem/model_driver.h"
#include "fem/simf.h"
#include "fine/fine_mesh.h"
#include "fine/fine_model.h"
#include "base/unit_tables.h"
#include "inverse/analysis_setup.h"
#include "textio/list_directed.h"

namespace wf {

namespace {

// The message boxes of a live run become its message: a slider move never
// opens a box.
void keepMessage(void* context, const char*, const char* text) {
    std::string& message = *static_cast<std::string*>(context);
    if (!message.empty()) message += '\n';
    message += text;
}

// AQFESUB's stepping for the read that opens the model: the input is read
// and checked, nothing is simulated and no simulation file is written.
bool readInputOnly(RunState&, const double*, Mat1<double>&, const Vec1<int>&, const Vec1<double>&) { return true; }

// Where the model's listing and diagnostics go during live runs: nowhere.
std::ostream& discarded() {
    static std::ostream sink(nullptr);
    return sink;
}

} // namespace

LiveModel::LiveModel() = default;
LiveModel::~LiveModel() = default;

bool LiveModel::open(const FILENAME& filename, const MESH& mesh, const OBSV& obsv, const PUMP& pump,
                     const GUESS& guess, const PINIT& pinit, const UNITS& units, const NZERO& nzero,
                     const WfOptions* options) {
    open_ = false;
    runs_ = 0;
    message_.clear();
    rs_ = std::make_unique<RunState>();
    RunState& rs = *rs_;
    WfHost host{};
    host.context = &message_;
    host.messageBox = keepMessage;
    rs.rep.setHost(&host);
    rs.fem.listing = &discarded();
    rs.fem.diagnostics = &discarded();
    try {
        FILENAME_VIEW view;
        std::memcpy(&view, &filename, sizeof view);
        if (!usableBaseName(view)) {
            rs.error("The project file name must have 1 to 12 characters before \".wft\"");
            return false;
        }
        if (!usableOptionsRecord(options)) {
            rs.error("The analysis options record is not one this library reads");
            return false;
        }
        SET_FILE(rs, view);
        INITIALIZE(rs, mesh, obsv, pump, guess, pinit, units, nzero);
        installOptions(rs.inv, options);
        installRunOptions(rs.options, options);
        open_ = prepare();
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
    } catch (const std::exception& e) {
        rs.error(std::string("Internal error in the solver: ") + e.what());
    }
    // A read that failed names its file, as the run driver's input-file box does.
    if (!open_ && rs.IOS != 0) rs.ioError();
    return open_;
}

bool LiveModel::prepare() {
    RunState& rs = *rs_;
    Inputs& in = rs.in;
    // The checks of the run driver and the set-up of a fixed-time analysis run.
    if (!checkRecordReals(rs, 6) || !checkTimeSteps(rs) || !checkMeshSize(rs)) return false;
    rs.NPAR = 4;
    rs.model.allocate(std::max(in.NR, 2), std::max(in.NZ, 2));
    if (!checkMeshAgainstTimeFile(rs)) return false;
    double cond = 0.0;
    if (!checkAnalysisUnits(rs, cond)) return false;
    prepareFlowModel(rs, rs.NPAR);
    int nobs = 0, nt = 0;
    if (!loadObservations(rs, 1, nobs, nt) || !checkPumpSteps(rs, nt)) return false;
    rs.fem.nobsNodes = nobs;
    rs.fem.nout = nt;
    loadPairObservations(rs);

    // The first model run of the analysis reads the whole input.
    const double P[4] = {in.P0[1], in.P0[2], in.P0[3], in.P0[4]};
    if (!AQFESUB(rs, P, rs.est.SIM, rs.est.IOBS, rs.est.TG, readInputOnly)) return false;
    // No solution listing and no plot-file heads from a live run.
    rs.fem.printInterval = INT_MAX;
    rs.fem.storeInterval = INT_MAX;

    if (rs.options.fineModel) {
        std::string why;
        std::shared_ptr<const fine::FineModel> built = fine::buildFineModel(rs, why);
        if (built) {
            auto fm = std::make_shared<fine::FineModel>(*built);
            if (!placeObservations(*fm, rs.est.IOBS, nobs)) {
                built.reset();
                why = "an observation node lies outside its mesh";
            }
            if (built && rs.options.hasWell() && fm->r.size() >= 2) {
                // The well's skin and casing radius ride on each run's vector,
                // as in a search that moves them.
                fm->wellTrial = true;
                well_ = true;
                skin_ = fm->skin;
                casingMetres_ = std::sqrt(2.0 * fm->wellVolume);
                skinLower_ = -fine::elementResistance(fm->r[0], fm->r[1]);
            }
            if (built) rs.fem.fine = fm;
        }
        if (!rs.fem.fine) {
            rs.error("The fine model cannot be built for the model input of " + rs.file(".fem") + " and " +
                     rs.file(".tim") + ": " + why);
            return false;
        }
    }
    return true;
}

bool LiveModel::setWell(double skin, double casingRadius) {
    message_.clear();
    if (!open_ || !well_) {
        message_ = "The live model has no pumped well: the fine model with a well radius is needed";
        return false;
    }
    if (!std::isfinite(skin) || !(skin > skinLower_)) {
        message_ = "The skin factor takes away all the resistance of the first element at the well";
        return false;
    }
    if (!std::isfinite(casingRadius) || casingRadius < 0.0) {
        message_ = "The casing radius must be 0 or more";
        return false;
    }
    skin_ = skin;
    casingMetres_ = casingRadius * units::length(rs_->in.IDIST);
    return true;
}

bool LiveModel::shape(int& points, int& levels) const {
    if (!open_) return false;
    points = rs_->fem.nobsNodes;
    levels = rs_->fem.nout;
    return true;
}

bool LiveModel::run(const double* P, LiveCurve& curve) {
    message_.clear();
    if (!open_) {
        message_ = "The live model is not open";
        return false;
    }
    RunState& rs = *rs_;
    FemState& fs = rs.fem;
    const int nobs = fs.nobsNodes, nout = fs.nout;
    try {
        ++fs.callCount;
        ++runs_;
        if (fs.fine) {
            // FINE_SIMF's simulation, without the listing and the files.
            std::vector<double> values(static_cast<std::size_t>(nobs) * static_cast<std::size_t>(std::max(nout, 1)));
            fine::FineWork work;
            double failedAt = 0.0;
            const double withWell[6] = {P[0], P[1], P[2], P[3], skin_, casingMetres_};
            if (!fine::fineSimulate(*fs.fine, well_ ? withWell : P, rs.est.TG.data(), nout, values.data(), work,
                                    nullptr, &failedAt)) {
                message_ = "Zero or negative pivot in the flow equations at time " + std::to_string(failedAt) + " s";
                return false;
            }
            for (int k = 1; k <= nobs; ++k)
                for (int i = 1; i <= nout; ++i)
                    rs.est.SIM(k, i) = values[static_cast<std::size_t>(k - 1) * nout + (i - 1)];
        } else {
            fs.cache.valid = false;  // as every AQFESUB call: the assembly follows P
            // The levels after a dry-node stop keep what the array held: zero,
            // as in the fresh arrays of a fixed-time run, not the last run's.
            for (int k = 1; k <= nobs; ++k)
                for (int i = 1; i <= nout; ++i) rs.est.SIM(k, i) = 0.0;
            if (!stepSimulation(rs, P, rs.est.SIM, rs.est.IOBS, rs.est.TG)) return false;
        }
        curve.text = simulationFileText(rs, rs.est.SIM, rs.est.IOBS, rs.est.TG);

        // Read back as FUNC reads the simulation file.
        curve.points = nobs;
        curve.levels = nout;
        const std::size_t all = static_cast<std::size_t>(nobs) * static_cast<std::size_t>(nout);
        curve.times.assign(all, 0.0);
        curve.drawdowns.assign(all, 0.0);
        std::istringstream in(curve.text);
        textio::RecordReader reader(in);
        if (reader.skip(2) != 0) {
            message_ = "The simulated values cannot be read back";
            return false;
        }
        textio::ListRead rec = reader.begin();
        for (std::size_t i = 0; i < all; ++i) {
            int node = 0;
            if (!rec.get(node) || !rec.get(curve.times[i]) || !rec.get(curve.drawdowns[i])) {
                message_ = "The simulated values cannot be read back";
                return false;
            }
        }

        // The error estimate of the search at these values: from the first
        // residual on, simulated minus observed, squared.
        const ObservationPairs& p = rs.inv.pairs;
        const int n = residualCount(rs, nout);
        const int first = p.several ? p.skipped + 1 : rs.in.NSKIP + 1;
        double S = 0.0;
        for (int i = std::max(first, 1); i <= n; ++i) {
            const std::size_t r = static_cast<std::size_t>(i - 1);
            const double f = p.several ? p.scale[r] * curve.drawdowns[static_cast<std::size_t>(p.point[r] - 1) * nout +
                                                                      static_cast<std::size_t>(p.level[r] - 1)]
                                       : curve.drawdowns[r];
            const double d = f - rs.est.YOBS(i);
            S += d * d;
        }
        curve.errorEstimate = S;
    } catch (const std::bad_alloc&) {
        message_ = " Allocation Error, not enough memory";
        return false;
    } catch (const std::exception& e) {
        message_ = std::string("Internal error in the solver: ") + e.what();
        return false;
    }
    return true;
}

} // namespace wf
