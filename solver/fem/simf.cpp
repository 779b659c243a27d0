#include "fem/simf.h"

#include <fstream>
#include <utility>

#include "base/run_state.h"
#include "fem/fem_numerics.h"
#include "fem/model_io.h"
#include "fem/stor.h"
#include "listing/wsol.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf {

namespace {

// Copies the solution into the new heads. With the saturated-thickness switch
// the copy stops at the first node whose head falls below its base level;
// returns that node, or 0.
int takeSolution(FemState& fs, ModelSet& m) {
    if (fs.satSwitch != 1) {
        for (int n = 1; n <= fs.NN; ++n) m.HNEW(n) = m.RHS(n);
        return 0;
    }
    for (int n = 1; n <= fs.NN; ++n) {
        m.HNEW(n) = m.RHS(n);
        if (m.HNEW(n) < m.BASELEV(n)) return n;
    }
    return 0;
}

// The bore hole ran dry at node n: diagnostic line and error box.
void reportDryNode(RunState& rs, int n) {
    const FemState& fs = rs.fem;
    const double hours = fs.t / 3600.0;
    diagnosticStream(fs) << textio::format("('Dry node ',I6,' Time ',1P,D11.2,' Corr ',1P,D11.2)",
                                           {n, hours, rs.model.HNEW(n)});
    rs.error(composeLine("('Bore hole at node',I6,'runs dry; Shut test down after',1P,D11.2,'hours.')", {n, hours}));
}

} // namespace

bool stepSimulation(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes,
                    const Vec1<double>& times) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    for (int n = 1; n <= fs.NN; ++n) m.HOLD(n) = m.HNEW(n) = m.H0(n);
    for (int k = 1; k <= fs.nobsNodes; ++k) sim(k, 1) = 0.0;
    fs.titlesWritten = false;
    fs.listingFirst = 0;

    fs.t = 0.0;
    fs.step = 1;
    for (int i = 2; i <= fs.nout; ++i, ++fs.step) {
        fs.dt = times(i) - fs.t;
        fs.t = times(i);
        fs.pumpedVolume = fs.neumannVolume = fs.otherTotal1 = fs.otherTotal2 = 0.0;
        if (const int row = solveStep(fs, m, P, fs.npar); row != 0) {
            rs.error(composeLine("('Zero or negative pivot in row',I6,' of the flow equations at time',1P,E11.3,' s')",
                                 {row, fs.t}));
            return false;
        }
        if (const int dry = takeSolution(fs, m); dry != 0) {
            reportDryNode(rs, dry);
            break;
        }
        if (fs.step % fs.printInterval == 0)
            WSOL(rs, listingStream(fs), m.HNEW, m.HOLD, m.DNODE, m.DHEAD, m.NSIDE, m.NFLUX, fs.listingFirst);
        if (fs.step % fs.storeInterval == 0) STOR(rs);
        for (int n = 1; n <= fs.NN; ++n) m.HOLD(n) = m.HNEW(n);
        for (int k = 1; k <= fs.nobsNodes; ++k) sim(k, i) = m.H0(obsNodes(k)) - m.HNEW(obsNodes(k));
    }
    return true;
}

bool SIMF(RunState& rs, const double* P, Mat1<double>& sim, const Vec1<int>& obsNodes, const Vec1<double>& times) {
    return stepSimulation(rs, P, sim, obsNodes, times) && writeSimulationFile(rs, sim, obsNodes, times);
}

std::string simulationFileText(const RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                               const Vec1<double>& times) {
    const FemState& fs = rs.fem;
    std::string text = textio::listRecord({fs.nobsNodes, fs.nout});
    std::vector<textio::FValue> nodes{"Node: "};
    for (int k = 1; k <= fs.nobsNodes; ++k) nodes.emplace_back(obsNodes(k));
    text += textio::format("(5X,A,9I6)", nodes);
    for (int k = 1; k <= fs.nobsNodes; ++k)
        for (int i = 1; i <= fs.nout; ++i)
            text += textio::format("(5X,I6,F15.4,1P,E18.10)", {obsNodes(k), times(i) / fs.inTimeFactor, sim(k, i)});
    return text;
}

bool writeSimulationFile(RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                         const Vec1<double>& times) {
    const std::string name = rs.file(".inv");
    std::string text = simulationFileText(rs, sim, obsNodes, times);
    if (rs.fem.simulationText != nullptr) {
        *rs.fem.simulationText = std::move(text);
        return true;
    }
    if (const std::string why = textio::writeSideFileText(name, text); !why.empty()) {
        rs.error(" The simulation file " + name + " cannot be written (" + why + ")");
        return false;
    }
    return true;
}

} // namespace wf
