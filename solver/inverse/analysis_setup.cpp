// Set-up of the analysis run: mesh check, observations, time levels.
#include "inverse/analysis_setup.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <fstream>
#include <new>
#include <string>

#include "inverse/func.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf {

double timeUnitFactor(int itin) {
    static constexpr double kSeconds[] = {1.0, 60.0, 3600.0, 86400.0, 31557600.0};
    return itin >= 1 && itin <= 5 ? kSeconds[itin - 1] : 0.0;
}

double transmissivityFactor(int icond) {
    static constexpr double kLength[] = {0.001, 0.01, 1.0};
    static constexpr double kTime[] = {1.0, 60.0, 3600.0, 86400.0};
    if (icond < 1 || icond > 12) return 0.0;
    const int a = (icond - 1) / 4, b = (icond - 1) % 4;
    return kLength[a] * kLength[a] / kTime[b];
}

bool checkMeshAgainstTimeFile(RunState& rs) {
    const std::string name = rs.file(".tim");
    std::ifstream in;
    if (!textio::openSideRead(in, name)) return reportInputError(rs, name, textio::kIosEndOfFile);
    textio::RecordReader reader(in);
    if (int ios = reader.skip(3); ios != 0) return reportInputError(rs, name, ios);
    int counts[9] = {};
    textio::ListRead rec = reader.begin();
    for (int& c : counts)
        if (!rec.get(c)) return reportInputError(rs, name, rec.status());
    const Inputs& in_ = rs.in;
    const int pumpedRows = in_.IPUMP == 0 ? in_.NZ : in_.IPUMP == 1 ? in_.NZF : in_.NZM;
    if (counts[0] != in_.NN || counts[8] != pumpedRows) {
        rs.error(" Discharge files differ from Mesh file");
        return false;
    }
    return true;
}

int predictionLevels(int nt, double nstep) {
    // NSTEP is a whole number held in a real; a value outside any sensible
    // range counts as not given.
    int whole = nstep >= 0.0 && nstep <= 1.0e6 ? static_cast<int>(nstep) : 0;
    if (whole <= nt) whole = nt + 5;
    return whole;
}

bool loadObservations(RunState& rs, int type, int& nobs, int& nt) {
    const std::string name = rs.file(".obs");
    std::ifstream in;
    if (!textio::openSideRead(in, name)) return reportInputError(rs, name, textio::kIosEndOfFile);
    textio::RecordReader reader(in);
    if (int ios = reader.skip(2); ios != 0) return reportInputError(rs, name, ios);
    if (int ios = reader.read(nobs, nt); ios != 0) return reportInputError(rs, name, ios);
    // One to four observation points and at least one time: anything else is
    // not an observation file the preparation run writes.
    if (nobs < 1 || nobs > 4 || nt < 1 || nt > 1000000) return reportInputError(rs, name, textio::kIosBadValue);

    // The run driver sized the arrays from the same header; a prediction may
    // need more levels than that when NSTEP is not a whole number.
    const int levels = type == 2 ? predictionLevels(nt, rs.in.NSTEP) : nt;
    if (levels > rs.est.TG.size() || nobs > rs.est.IOBS.size() || nobs != rs.est.SIM.rows()) {
        const int ntim = std::max(levels, rs.NTIM);
        try {
            rs.est.allocate(ntim, nobs, rs.NPAR);
        } catch (const std::bad_alloc&) {
            rs.error(" Allocation Error, not enough memory");
            return false;
        }
        rs.NTIM = ntim;
        rs.NOBSF = nobs;
    }

    for (int i = 1; i <= nt; ++i) {
        textio::ListRead rec = reader.begin();
        int index = 0;
        if (!rec.get(index) || !rec.get(rs.est.TOUT(i)) || !rec.get(rs.est.YOBS(i)))
            return reportInputError(rs, name, rec.status());
    }
    // Observation times in seconds; the model produces its values exactly there.
    for (int i = 1; i <= nt; ++i) {
        rs.est.TOUT(i) *= rs.inv.ft;
        rs.est.TG(i) = rs.est.TOUT(i);
    }
    return true;
}

// Start of pumping step j in seconds, as the model sees it: the model-control
// file carries TQ with three decimals ("(f18.3,1pe18.6)") and the observation
// file its times likewise, so a step entered as 0.1 min (held in single
// precision as 0.100000001...) starts at the observation time 0.100 min.
// A start too large for the field (written as asterisks) lies after every
// time level and so takes no part in the check.
double stepStart(const Inputs& in, int j, double ft) {
    const std::string field = textio::formatLine("(f18.3)", {in.TQ[j]});
    char* end = nullptr;
    const double t = std::strtod(field.c_str(), &end);
    if (field.find('*') != std::string::npos || end == field.c_str()) return std::numeric_limits<double>::infinity();
    return t * ft;
}

bool extendTimeLevels(RunState& rs, int& nt) {
    const Inputs& in = rs.in;
    const double ft = rs.inv.ft;
    Vec1<double>& TG = rs.est.TG;
    const int nq = in.NQ;

    // p: the first pumping-step start later than the last observation.
    int j = 1;
    double p = stepStart(in, 1, ft);
    while (nq >= 1 && TG(nt) >= p && j <= nq) {
        ++j;
        if (j <= nq) p = stepStart(in, j, ft);
    }
    const int e = predictionLevels(nt, in.NSTEP) - nt;
    const double tEnd = in.TSIM * 86400.0;  // days to seconds
    const double D = tEnd - TG(nt);
    const double delta = D / e;
    for (int i = nt + 1; i <= nt + e; ++i) {
        TG(i) = TG(i - 1) + delta;
        if (j <= nq && TG(i) >= p) {
            TG(i) = p;
            ++j;
            if (j <= nq) p = stepStart(in, j, ft);
        }
        // The added levels have no observation.
        rs.est.TOUT(i) = TG(i);
        rs.est.YOBS(i) = 0.0;
    }
    nt += e;
    TG(nt) = tEnd;
    rs.est.TOUT(nt) = tEnd;
    if (D < 0.0) {
        rs.error("Prediction Time less than Observation Times");
        return false;
    }
    return true;
}

bool checkPumpSteps(RunState& rs, int nt) {
    const Inputs& in = rs.in;
    const Vec1<double>& TG = rs.est.TG;
    int i = 1, j = 1;
    while (i <= nt && j <= in.NQ) {
        const double p = stepStart(in, j, rs.inv.ft);
        if (TG(i) == p) ++j;  // the step starts exactly at this level
        if (TG(i) > p) {
            rs.error("Pumpstep times must be at Observation Times");
            return false;
        }
        ++i;
    }
    return true;
}

DerivedValues deriveValues(const Inputs& in, double cond, const double* P1) {
    DerivedValues v{};
    v.Kf = P1[0] * in.SCALT / cond;
    v.Km = P1[1] * in.SCALT / cond;
    v.S0f = P1[2] * in.SCALS;
    v.S0m = P1[3] * in.SCALS;
    v.Tf = v.Kf * in.THICK * in.RATIO;
    v.Tm = v.Km * in.THICK * (1.0 - in.RATIO);
    v.Sf = v.S0f * in.THICK * in.RATIO;
    v.Sm = v.S0m * in.THICK * (1.0 - in.RATIO);
    return v;
}

} // namespace wf
