// Set-up of the analysis run: mesh check, observations, time levels.
#include "inverse/analysis_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <fstream>
#include <new>
#include <string>
#include <vector>

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

bool checkAnalysisUnits(RunState& rs, double& cond) {
    const Inputs& in = rs.in;
    rs.inv.ft = timeUnitFactor(in.ITIN);
    if (rs.inv.ft == 0.0) {
        rs.error(" Input time unit ITIN must be 1 (s), 2 (min), 3 (h), 4 (d) or 5 (y)");
        return false;
    }
    cond = transmissivityFactor(in.ICOND);
    if (cond == 0.0) {
        rs.error(" Conductivity unit ICOND must lie between 1 and 12");
        return false;
    }
    if (in.NQ < 0 || in.NQ > 20) {
        rs.error(" Number of pumping steps NQ must lie between 0 and 20");
        return false;
    }
    return true;
}

void prepareFlowModel(RunState& rs, int npar) {
    rs.fem.KX = rs.in.SCALT;
    rs.fem.KY = rs.in.SCALT;
    rs.fem.SS = rs.in.SCALS;
    rs.fem.npar = npar;
    rs.fem.wellTrial = false;  // until a search that moves the well's values is set up
    rs.fem.callCount = 0;
    rs.fem.copyRuns = 0;
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

namespace {

// Allocates the estimation arrays for ntim time levels of nobs points when
// those the run driver sized from the file's header are too small.
bool fitEstimationArrays(RunState& rs, int levels, int nobs) {
    if (levels <= rs.est.TG.size() && nobs <= rs.est.IOBS.size() && nobs == rs.est.SIM.rows()) return true;
    const int ntim = std::max(levels, rs.NTIM);
    try {
        rs.est.allocate(ntim, nobs, rs.NPAR);
    } catch (const std::bad_alloc&) {
        rs.error(" Allocation Error, not enough memory");
        return false;
    }
    rs.NTIM = ntim;
    rs.NOBSF = nobs;
    return true;
}

// Several points: every point's records, the union of their times as the
// model's time levels, and one pair per measurement (NSKIP first of every
// point at the front). The counts after NOBS on line 3 give the records of
// each point.
bool loadPointObservations(RunState& rs, textio::RecordReader& reader, const std::string& name, int type,
                           int nobs, const int* counts, int& nt) {
    struct Record {
        int point;
        double time, value;  // time in seconds
    };
    std::vector<Record> records;
    long long total = 0;
    for (int l = 1; l <= nobs; ++l) total += counts[l];
    if (total > 4000000) return reportInputError(rs, name, textio::kIosBadValue);
    records.reserve(static_cast<std::size_t>(total));
    for (int l = 1; l <= nobs; ++l)
        for (int i = 1; i <= counts[l]; ++i) {
            textio::ListRead rec = reader.begin();
            int index = 0;
            double t = 0.0, y = 0.0;
            if (!rec.get(index) || !rec.get(t) || !rec.get(y)) return reportInputError(rs, name, rec.status());
            records.push_back({l, t * rs.inv.ft, y});
        }

    std::vector<double> times;
    times.reserve(records.size());
    for (const Record& r : records) times.push_back(r.time);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    nt = static_cast<int>(times.size());

    const int levels = type == 2 ? predictionLevels(nt, rs.in.NSTEP) : nt;
    if (!fitEstimationArrays(rs, levels, nobs)) return false;
    for (int i = 1; i <= nt; ++i) {
        rs.est.TG(i) = times[static_cast<std::size_t>(i - 1)];
        rs.est.TOUT(i) = rs.est.TG(i);
    }

    ObservationPairs& p = rs.inv.pairs;
    p.clear();
    p.several = true;
    p.points = nobs;
    p.levels = nt;
    const int nskip = std::max(rs.in.NSKIP, 0);
    auto add = [&](const Record& r) {
        p.point.push_back(r.point);
        p.level.push_back(static_cast<int>(std::lower_bound(times.begin(), times.end(), r.time) - times.begin()) + 1);
        p.observed.push_back(r.value);
        p.scale.push_back(std::sqrt(rs.inv.options.weight[r.point - 1]));
    };
    // Skipped pairs first, then the fitted ones; within each, point by point.
    for (int pass = 0; pass < 2; ++pass) {
        std::size_t at = 0;
        for (int l = 1; l <= nobs; ++l)
            for (int i = 1; i <= counts[l]; ++i, ++at)
                if ((i <= nskip) == (pass == 0)) add(records[at]);
        if (pass == 0) p.skipped = static_cast<int>(p.point.size());
    }
    return true;
}

} // namespace

bool loadObservations(RunState& rs, int type, int& nobs, int& nt) {
    const std::string name = rs.file(".obs");
    std::ifstream in;
    if (!textio::openSideRead(in, name)) return reportInputError(rs, name, textio::kIosEndOfFile);
    textio::RecordReader reader(in);
    rs.inv.pairs.clear();
    if (int ios = reader.skip(2); ios != 0) return reportInputError(rs, name, ios);
    int counts[5] = {};
    {
        textio::ListRead header = reader.begin();
        if (!header.get(nobs) || !header.get(nt)) return reportInputError(rs, name, header.status());
        // One to four observation points and at least one time: anything else is
        // not an observation file the preparation run writes.
        if (nobs < 1 || nobs > 4 || nt < 1 || nt > 1000000)
            return reportInputError(rs, name, textio::kIosBadValue);
        counts[1] = nt;
        for (int l = 2; l <= nobs; ++l) {
            if (!header.get(counts[l])) return reportInputError(rs, name, header.status());
            if (counts[l] < 1 || counts[l] > 1000000) return reportInputError(rs, name, textio::kIosBadValue);
        }
    }
    if (nobs > 1) return loadPointObservations(rs, reader, name, type, nobs, counts, nt);

    // The run driver sized the arrays from the same header; a prediction may
    // need more levels than that when NSTEP is not a whole number.
    const int levels = type == 2 ? predictionLevels(nt, rs.in.NSTEP) : nt;
    if (!fitEstimationArrays(rs, levels, nobs)) return false;

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

int residualCount(const RunState& rs, int nt) {
    return rs.inv.pairs.several ? static_cast<int>(rs.inv.pairs.point.size()) : nt;
}

void loadPairObservations(RunState& rs) {
    const ObservationPairs& p = rs.inv.pairs;
    if (!p.several) return;
    for (std::size_t i = 0; i < p.point.size(); ++i)
        rs.est.YOBS(static_cast<int>(i) + 1) = p.scale[i] * p.observed[i];
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
