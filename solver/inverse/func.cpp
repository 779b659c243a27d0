// FUNC: simulated drawdowns at the observation times for one trial vector.
#include "inverse/func.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "fine/fine_model.h"
#include "fem/model_driver.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf {

bool runFlowModel(RunState& rs, const double* P) {
    // The model of the run: its own stepping and solver for the fine model.
    return AQFESUB(rs, P, rs.est.SIM, rs.est.IOBS, rs.est.TG, steppingOf(rs));
}

bool reportInputError(RunState& rs, const std::string& name, int ios) {
    rs.INNAME = name;
    rs.IOS = ios;
    rs.ioError();
    rs.IOS = 0;
    return false;
}

bool FUNC(RunState& rs, const SimulationRun& simulate, const double* P, int n, double* F, double* T) {
    if (!simulate(rs, P)) return false;

    const std::string name = rs.file(".inv");
    std::ifstream file;
    std::istringstream text;
    std::istream* in = &file;
    if (rs.fem.simulationText != nullptr) {
        text.str(*rs.fem.simulationText);
        in = &text;
    } else if (!textio::openSideRead(file, name)) {
        return reportInputError(rs, name, textio::kIosEndOfFile);
    }
    textio::RecordReader reader(*in);
    // Line 1 (counts) and line 2 ("Node: ...") are not needed here.
    if (int ios = reader.skip(2); ios != 0) return reportInputError(rs, name, ios);
    if (n > 0) {
        // n records of node, time (input-time unit) and drawdown, in one read:
        // the series of the first observation node.
        textio::ListRead rec = reader.begin();
        int node = 0;
        for (int i = 0; i < n; ++i)
            if (!rec.get(node) || !rec.get(T[i]) || !rec.get(F[i])) return reportInputError(rs, name, rec.status());
    }
    for (int i = 0; i < n; ++i) T[i] *= rs.inv.ft;  // back to seconds
    return true;
}

bool simulatePairs(RunState& rs, const SimulationRun& simulate, const double* P, double* F) {
    ObservationPairs& p = rs.inv.pairs;
    const int levels = rs.fem.nout;
    const std::size_t all = static_cast<std::size_t>(p.points) * static_cast<std::size_t>(levels);
    p.simAll.assign(all, 0.0);
    p.timeAll.assign(all, 0.0);
    if (!FUNC(rs, simulate, P, static_cast<int>(all), p.simAll.data(), p.timeAll.data())) return false;
    for (std::size_t i = 0; i < p.point.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(p.point[i] - 1) * static_cast<std::size_t>(levels) +
                               static_cast<std::size_t>(p.level[i] - 1);
        F[i] = p.scale[i] * p.simAll[at];
    }
    return true;
}

bool simulatePairsMany(RunState& rs, int count, const double* const* P, double* const* F, int threads) {
    const ObservationPairs& p = rs.inv.pairs;
    const std::size_t levels = static_cast<std::size_t>(std::max(rs.fem.nout, 0));
    const std::size_t all = static_cast<std::size_t>(p.points) * levels;
    if (count < 1 || all == 0) return false;
    std::vector<std::vector<double>> values(static_cast<std::size_t>(count), std::vector<double>(all, 0.0));
    std::vector<double*> out;
    for (std::vector<double>& v : values) out.push_back(v.data());
    if (!fineSimulateMany(rs, count, P, static_cast<int>(all), out.data(), threads)) return false;
    for (int c = 0; c < count; ++c)
        for (std::size_t i = 0; i < p.point.size(); ++i) {
            const std::size_t at = static_cast<std::size_t>(p.point[i] - 1) * levels +
                                   static_cast<std::size_t>(p.level[i] - 1);
            F[c][i] = p.scale[i] * values[static_cast<std::size_t>(c)][at];
        }
    return true;
}

} // namespace wf
