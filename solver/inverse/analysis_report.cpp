// Progress lines, result file and final report of the analysis run.
#include "inverse/analysis_report.h"

#include "textio/fortran_format.h"

namespace wf {

using textio::format;
using textio::formatLine;

void progressLine(RunState& rs, int kind, std::string line) {
    if (line.size() > 80) line.resize(80);
    const std::size_t last = line.find_last_not_of(' ');
    const int count = last == std::string::npos ? 0 : static_cast<int>(last + 1);
    rs.rep.reportProgress(kind, count, line);
}

namespace {
void blankLine(RunState& rs) { rs.rep.reportProgress(2, 1, " "); }
} // namespace

void reportStart(RunState& rs, const double* P1) {
    progressLine(rs, 2, formatLine("(a,4(g12.4))", {"Multipliers: ", P1[0], P1[1], P1[2], P1[3]}));
}

void reportPass(RunState& rs, int iteration, double S, const double* P1, const DerivedValues& v) {
    progressLine(rs, 0, formatLine("(a,i3,a,g12.5)", {"Iteration ", iteration, ": Error Estimate (RMSE) = ", S}));
    progressLine(rs, -2, formatLine("(a,4(g12.4))", {"Multipliers: ", P1[0], P1[1], P1[2], P1[3]}));
    progressLine(rs, -2, formatLine("(a,4(1pe12.4))", {"Kf/m ,S0f/m:", v.Kf, v.Km, v.S0f, v.S0m}));
    progressLine(rs, -2, formatLine("(a,4(1pe12.4))", {"Tf/m ,Sf/m:", v.Tf, v.Tm, v.Sf, v.Sm}));
    progressLine(rs, -2, formatLine("(2(a,1(1pe12.4)))", {"Tf+Tm:", v.Tf + v.Tm, "  Sf+Sm:", v.Sf + v.Sm}));
    blankLine(rs);
}

void writeResultHeader(std::ostream& out, int iteration, double S, const double* P1, const DerivedValues& v) {
    out << format("(a)", {"WELLFIT"});
    out << format("(3x,i3,a,g12.5)", {iteration, " Iterations : Root Mean Square Error = ", S});
    out << '\n';
    out << format("(1x,a,1pe16.8)", {"  Multiplier 1: ", P1[0]});
    out << format("(1x,a,1pe16.8)", {"  Multiplier 2: ", P1[1]});
    out << format("(1x,a,1pe16.8)", {"  Multiplier 3: ", P1[2]});
    out << format("(1x,a,1pe16.8)", {"  Multiplier 4: ", P1[3]});
    out << format("(/a)", {"  Solution for the Parameters:    "});
    out << format("(1x,a,1pe16.8)", {"  K for Fracture  = ", v.Kf});
    out << format("(1x,a,1pe16.8)", {"  K for Matrix    = ", v.Km});
    out << format("(1x,a,1pe16.8)", {"  So for Fracture = ", v.S0f});
    out << format("(1x,a,1pe16.8)", {"  So for Matrix   = ", v.S0m});
    out << '\n';
    out << format("(1x,a,1pe16.8)", {"  T for Fracture  = ", v.Tf});
    out << format("(1x,a,1pe16.8)", {"  T for Matrix    = ", v.Tm});
    out << format("(1x,a,1pe16.8)", {"  S for Fracture = ", v.Sf});
    out << format("(1x,a,1pe16.8)", {"  S for Matrix   = ", v.Sm});
    out << '\n';
    out << format("(1x,a,1pe16.8)", {"  T (Fracture+Matrix)  = ", v.Tf + v.Tm});
    out << format("(1x,a,1pe16.8)", {"  S (Fracture+Matrix) = ", v.Sf + v.Sm});
    out << '\n';
    out << format("(3x,a,3(2x,a))", {"Node Observed:", "Time", "Observed Value", "Simmulated Value"});
}

void writeResultRow(std::ostream& out, int node, double time, double observed, double simulated) {
    out << format("(i6, F15.4,1pe18.10,1pe18.10)", {node, time, observed, simulated});
}

void reportPredictedDrawdown(RunState& rs, const std::vector<double>& drawdown) {
    if (drawdown.size() <= 1) {
        progressLine(rs, 3,
                     formatLine("(a, f10.4)", {"  Drawdown after Simulation Time:", drawdown.empty() ? 0.0 : drawdown[0]}));
        return;
    }
    // Several points: a box for each, naming it.
    for (std::size_t k = 0; k < drawdown.size(); ++k)
        progressLine(rs, 3,
                     formatLine("(a, f10.4, a, i1)", {"  Drawdown after Simulation Time:", drawdown[k],
                                                      " at observation point ", static_cast<int>(k) + 1}));
}

void reportFinal(RunState& rs, const double* P1, const DerivedValues& v) {
    progressLine(rs, 0, formatLine("(a)", {"  Solution for the Parameters:    "}));
    progressLine(rs, -2, formatLine("(a,4(g16.8))", {"  Multipliers: ", P1[0], P1[1], P1[2], P1[3]}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  K for Fracture   = ", v.Kf}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  K for Matrix     = ", v.Km}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  So for Fracture  = ", v.S0f}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  So for Matrix    = ", v.S0m}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  T for Fracture   = ", v.Tf}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  T for Matrix     = ", v.Tm}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  S for Fracture  = ", v.Sf}));
    progressLine(rs, -2, formatLine("(a,1pe16.8)", {"  S for Matrix    = ", v.Sm}));
    blankLine(rs);
    progressLine(rs, 3, "SAVE to keep final Results");
}

} // namespace wf
