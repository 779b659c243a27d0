#include "entry/run_driver.h"

#include "entry/input_checks.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>

#include "inverse/analysis_run.h"
#include "fine/fine_mesh.h"
#include "prep/mesh_run.h"
#include "prep/preparation_run.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf {

namespace {

// Header counts beyond these are not a test anyone has measured: they are
// treated as a damaged file rather than as a request for a huge allocation.
constexpr int kMaxHeaderPoints = 1000000;
constexpr int kMaxObservationPoints = 4;

// Copies the first 72 characters of a record into a title field, blank-padded.
void setTitle(char (&title)[72], const std::string& text) {
    std::memset(title, ' ', sizeof title);
    std::memcpy(title, text.data(), std::min(text.size(), sizeof title));
}

// Mode-5 header: two "(a72)" title lines and the point count NPTS.
void readDataHeader(RunState& rs) {
    std::ifstream in;
    if (!textio::openSideRead(in, rs.INNAME)) {
        rs.IOS = textio::kIosEndOfFile;  // nothing can be read from a missing file
        return;
    }
    textio::RecordReader reader(in);
    std::string line;
    if ((rs.IOS = reader.readA(line, 72)) != 0) return;
    setTitle(rs.TITLE1, line);
    if ((rs.IOS = reader.readA(line, 72)) != 0) return;
    setTitle(rs.TITLE2, line);
    int npts = 0;
    if ((rs.IOS = reader.read(npts)) != 0) return;
    if (npts < 0 || npts > kMaxHeaderPoints) {
        rs.IOS = textio::kIosBadValue;
        return;
    }
    rs.NPTS = npts;
}

// Mode-6 header: skip the two title lines, then NOBSF and NT.
void readObservationHeader(RunState& rs) {
    std::ifstream in;
    if (!textio::openSideRead(in, rs.INNAME)) {
        rs.IOS = textio::kIosEndOfFile;
        return;
    }
    textio::RecordReader reader(in);
    if ((rs.IOS = reader.skip(2)) != 0) return;
    int nobsf = 0, nt = 0;
    if ((rs.IOS = reader.read(nobsf, nt)) != 0) return;
    if (nobsf < 1 || nobsf > kMaxObservationPoints || nt < 0 || nt > kMaxHeaderPoints) {
        rs.IOS = textio::kIosBadValue;
        return;
    }
    rs.NOBSF = nobsf;
    rs.NT = nt;
}

// Allocates a work-array set; reports failure in the error box.
template <class Alloc>
bool allocateSet(RunState& rs, Alloc&& alloc) {
    try {
        alloc();
        return true;
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
        return false;
    } catch (const std::length_error&) {
        rs.error(" Allocation Error, not enough memory");
        return false;
    }
}

} // namespace

void SET_FILE(RunState& rs, const FILENAME_VIEW& f) {
    std::memset(rs.BASE, ' ', sizeof rs.BASE);
    rs.NBASE = f.baseLength;
    const int n = std::clamp(f.baseLength, 0, 12);
    std::memcpy(rs.BASE, f.baseName, static_cast<std::size_t>(n));
    std::memcpy(rs.TITLE1, f.title, sizeof rs.TITLE1);
}

void INITIALIZE(RunState& rs, const MESH& mesh, const OBSV& obsv, const PUMP& pump, const GUESS& guess,
                const PINIT& pinit, const UNITS& units, const NZERO& nzero) {
    Inputs& in = rs.in;
    in.NR = mesh.NR;
    in.NZ = mesh.NZ;
    in.NN = mesh.NN;
    in.NE = mesh.NE;
    in.NB = mesh.NB;
    in.NMAT = mesh.NMAT;
    in.NZF = mesh.NZF;
    in.NZM = mesh.NZM;
    in.RMAX = mesh.RMAX;

    in.THICK = obsv.THICK;
    in.RATIO = obsv.RATIO;
    in.NOBS = obsv.NOBS;
    in.NODCNT = obsv.NODCNT;
    for (int k = 1; k <= 4; ++k) {
        in.ROBS[k] = obsv.ROBS[k - 1];
        in.IPOS[k] = obsv.IPOS[k - 1];
        in.NODOBS[k] = obsv.NODOBS[k - 1];
    }

    in.IWLO = pump.IWLO;
    in.NQ = pump.NQ;
    for (int k = 1; k <= 20; ++k) {
        in.Q[k] = pump.Q[k - 1];
        in.TQ[k] = pump.TQ[k - 1];
    }
    in.NSTEP = pump.NSTEP;
    in.TSIM = pump.TSIM;
    in.IPUMP = pump.IPUMP;
    in.IOPP = pump.IOPP;

    in.SCALT = guess.SCALT;
    in.SCALS = guess.SCALS;
    for (int k = 1; k <= 4; ++k) {
        in.P0[k] = guess.P0[k - 1];
        in.PLO[k] = guess.PLO[k - 1];
        in.PHI[k] = guess.PHI[k - 1];
    }
    in.PEPS = guess.PEPS;
    in.RMSE = guess.RMSE;

    in.TF = pinit.TF;
    in.TM = pinit.TM;
    in.SF = pinit.SF;
    in.SM = pinit.SM;

    in.IDIST = units.IDIST;
    in.ITIN = units.ITIN;
    in.ITOUT = units.ITOUT;
    in.ICOND = units.ICOND;
    in.IFLUX = units.IFLUX;
    in.IDISCH = units.IDISCH;

    in.NSKIP = nzero.NSKIP;
}

void WFRUN(RunState& rs, int mode, int type, MESH& mesh, OBSV& obsv, PINIT& pinit) {
    rs.INNAME.clear();
    rs.IOS = 0;
    Inputs& in = rs.in;
    // A run never starts on a value that is not a number; NSTEP sizes the
    // analysis run's time axis and is named when it cannot.
    if (!checkRecordReals(rs, mode)) return;
    if (mode == 6 && !checkTimeSteps(rs)) return;
    if ((mode == 5 || mode == 6) && !checkMeshSize(rs)) return;
    static_assert(fine::kFineNrMax <= kMaxMeshColumns && fine::kFineNzMax <= kMaxMeshRows);

    if (mode == 4) {
        // Fine model: its own layout with larger coordinate arrays.
        const bool fine = rs.options.fineModel;
        const int nrmax = fine ? fine::kFineNrMax : 25, nzmax = fine ? fine::kFineNzMax : 30;
        if (allocateSet(rs, [&] { rs.meshSet.allocate(nzmax, nrmax); })) {
            const bool built = fine ? FINE_RMESH(rs, nrmax, nzmax) : RMESH(rs, type, 25, 30);
            rs.meshSet.release();
            if (built) {
                mesh.NR = in.NR;
                mesh.NZ = in.NZ;
                mesh.NN = in.NN;
                mesh.NE = in.NE;
                mesh.NB = in.NB;
                mesh.NMAT = in.NMAT;
                mesh.NZF = in.NZF;
                mesh.NZM = in.NZM;
                for (int k = 1; k <= 4; ++k) obsv.NODOBS[k - 1] = in.NODOBS[k];
            }
        }
    } else if (mode == 5) {
        rs.INNAME = rs.file(".dat");
        readDataHeader(rs);
        // The observation-point count is checked by the preparation run itself;
        // the arrays are sized for a count it can accept.
        const int nobs = std::clamp(in.NOBS, 1, 4);
        if (rs.IOS == 0 && allocateSet(rs, [&] { rs.prep.allocate(rs.NPTS, nobs); })) {
            RTIM(rs, type);
            rs.prep.release();
        }
    } else if (mode == 6) {
        rs.INNAME = rs.file(".obs");
        readObservationHeader(rs);
        if (rs.IOS == 0) {
            rs.NPAR = 4;
            rs.NTIM = rs.NT + 6;
            if (static_cast<double>(rs.NT) < in.NSTEP) rs.NTIM = static_cast<int>(in.NSTEP);
            // A project without a mesh still gets arrays of a valid shape; the
            // analysis run's mesh check then reports the mismatch.
            const int nr = std::max(in.NR, 2), nz = std::max(in.NZ, 2);
            if (allocateSet(rs, [&] { rs.est.allocate(rs.NTIM, rs.NOBSF, rs.NPAR); }) &&
                allocateSet(rs, [&] { rs.model.allocate(nr, nz); })) {
                // PINIT keeps its input values unless a pass of the analysis completes.
                rs.inv.results[0] = in.TF;
                rs.inv.results[1] = in.TM;
                rs.inv.results[2] = in.SF;
                rs.inv.results[3] = in.SM;
                rs.inv.haveResults = false;
                AQFEINV(rs, type, rs.NPAR);
                if (rs.inv.haveResults) {
                    pinit.TF = static_cast<float>(rs.inv.results[0]);
                    pinit.TM = static_cast<float>(rs.inv.results[1]);
                    pinit.SF = static_cast<float>(rs.inv.results[2]);
                    pinit.SM = static_cast<float>(rs.inv.results[3]);
                }
            }
            rs.est.release();
            rs.model.release();
        }
    }

    rs.ioError();
}

} // namespace wf
