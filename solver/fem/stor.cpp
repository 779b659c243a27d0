#include "fem/stor.h"

#include <fstream>
#include <string>

#include "base/run_state.h"
#include "fem/model_io.h"
#include "base/unit_tables.h"
#include "textio/fortran_format.h"
#include "textio/side_file.h"

namespace wf {

namespace {

// The final heads and their change since the initial heads, written over the
// plot file. The plot file is opened only here, so a run that never reaches
// this step leaves the mesh run's plot file as it is.
void writeFinalHeads(RunState& rs) {
    const FemState& fs = rs.fem;
    const ModelSet& m = rs.model;
    std::ofstream plt;
    if (!textio::openSideWrite(plt, rs.file(".plt"))) {
        diagnosticStream(fs) << " The plot file " << rs.file(".plt") << " cannot be written\n";
        return;
    }
    std::string text = textio::format(
        "(5X,'The piezometric heads and Darcy velocities for',' the last time step',/,5X,66('-'),/)");
    for (int n = 1; n <= fs.NN; ++n) text += textio::format("(1P,E14.6)", {m.HNEW(n)});
    for (int n = 1; n <= fs.NN; ++n) text += textio::format("(1P,E14.6)", {m.HNEW(n) - m.H0(n)});
    plt << text;
}

} // namespace

void STOR(RunState& rs) {
    FemState& fs = rs.fem;
    const ModelSet& m = rs.model;
    std::ostream& out = diagnosticStream(fs);
    std::string text;
    if (!fs.titlesWritten) {
        text += textio::format("(A72,/,A72)", {titleText(rs.TITLE1), titleText(rs.TITLE2)});
        fs.titlesWritten = true;
    }
    text += textio::format("(5X,'Time............',1P,D16.9,A4,/,5X,'Time step.......',I8)",
                           {fs.t / fs.outTimeFactor, units::timeLabel(rs.in.ITOUT), fs.step});
    for (int n = 1; n <= fs.NN; ++n)
        text += textio::format("(I8,1P,D26.15,0P,F8.2)", {n, m.HNEW(n), m.HNEW(n) - m.H0(n)});
    if (fs.step == fs.nsteps) writeFinalHeads(rs);
    if (fs.NDN > 0 && fs.headType == 2)
        for (int d = 1; d <= fs.NDN; ++d) text += textio::format("(I10,1P,D26.15,2I5)", {m.DNODE(d), m.DHEAD(d), 0, 0});
    if (fs.NNS > 0 && fs.fluxType > 1) {
        for (int b = 1; b <= fs.NNS; ++b) {
            std::vector<textio::FValue> side;
            std::vector<textio::FValue> flux;
            for (int j = 1; j <= fs.nodesPerSide + 1; ++j) side.emplace_back(m.NSIDE(b, j));
            for (int j = 1; j <= fs.nodesPerSide; ++j) flux.emplace_back(m.NFLUX(b, j));
            text += textio::format("(4I15)", side);
            text += textio::format("(15X,3(1P,D15.5))", flux);
        }
    }
    out << text << std::flush;
}

} // namespace wf
