#include "listing/wsol.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/run_state.h"
#include "base/unit_tables.h"
#include "textio/fortran_format.h"

namespace wf {

namespace {

constexpr const char* kProblemKind[2] = {"Time Independent", "Time Dependent  "};
constexpr const char* kOrdinal[3] = {" st ", " nd ", " rd "};
constexpr const char* kFamily[2] = {"Lagrange", "Serendip"};
constexpr int kNodesPerPage = 100;

// Problem-kind text of a type: 1 time independent, 2 (or more) time dependent.
const char* kindText(int type) { return kProblemKind[std::clamp(type, 1, 2) - 1]; }

// Page-eject mark, program line and an empty line.
std::string banner() { return textio::format("('1',/,' AQFE Version 1.01 May 1989',/)"); }

std::string timeTable(const FemState& fs, int itout) {
    if (fs.nsteps == 0)
        return textio::format("(3X,'Output Table 1   Time parameters',/,3X,11('_'),/,/,3X,"
                              "'Time increment used ..........',1X,1P,D16.9,A4,/,/,/)",
                              {fs.dt, " (s)"});
    const double seconds = units::time(itout);
    const double f = seconds > 0.0 ? 1.0 / seconds : 1.0;
    const char* label = units::timeLabel(itout);
    return textio::format("(3X,'Output Table 1   Time parameters',/,3X,11('_'),/,/,3X,"
                          "'Time step ................................',1X,I4,/,3X,"
                          "'Time increment ...........................',1X,1P,D16.9,A4,/,3X,"
                          "'Time .....................................',1X,1P,D16.9,A4,/,/,/)",
                          {fs.step, fs.dt * f, label, fs.t * f, label});
}

// Flow and mass balance of the step. The model keeps only the pumped and the
// prescribed Neumann volumes; every computed flow is listed as 0.
std::string balanceTable(const FemState& fs) {
    const double dirichletFlow = 0.0, neumannFlow = 0.0, zeroFluxFlow = 0.0, storageChange = 0.0, balanceError = 0.0;
    const double influx = fs.pumpedVolume + fs.neumannVolume + dirichletFlow;
    std::string text = textio::format("(3X,'Output Table 2   Flow and Mass balance parameters',/,3X,11('_'),/)");
    if (fs.NSRC > 0)
        text += textio::format("(3X,'Prescribed flow from external sources/sinks ...',1X,1P,D16.9,' (m**3/m)')",
                               {fs.pumpedVolume});
    if (fs.NDS > 0)
        text += textio::format("(3X,'Computed flow across Dirichlet boundaries .....',1X,1P,D16.9,' (m**3/m)')",
                               {dirichletFlow});
    if (fs.NNS > 0)
        text += textio::format("(3X,'Prescribed flow across Neumann boundaries .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                               "'Computed flow across Neumann boundaries .......',1X,1P,D16.9,' (m**3/m)')",
                               {fs.neumannVolume, neumannFlow});
    text += textio::format("(3X,'Computed flow across zero flux boundaries .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Total influx into the aquifer .................',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Change in water volume due to rising head .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Error in mass balance .........................',1X,1P,D16.9,' (m**3/m)',/)",
                           {zeroFluxFlow, influx, storageChange, balanceError});
    const double boundary[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    double net = 0.0;
    for (double b : boundary) net += b < 0.0 ? -b : b;
    text += textio::format("(3X,'Computed flow across Dirichlet boundary 1 .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Computed flow across Dirichlet boundary 2 .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Computed flow across Dirichlet boundary 3 .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Computed flow across Dirichlet boundary 4 .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Computed flow across Dirichlet boundary 5 .....',1X,1P,D16.9,' (m**3/m)',/,3X,"
                           "'Netto    flow across Dirichlet boundaries .....',1X,1P,D16.9,' (m**3/m)')",
                           {boundary[0], boundary[1], boundary[2], boundary[3], boundary[4], net});
    return text;
}

// Heads of every node, two per line, in pages of 100 nodes.
std::string headTable(int nn, const Vec1<double>& hnew, const Vec1<double>& hold) {
    std::string text;
    for (int first = 1; first <= nn; first += kNodesPerPage) {
        const int last = std::min(first + kNodesPerPage - 1, nn);
        text += textio::format("(3X,'Output Table 3   Present  Ground-Water Level',/,3X,11('_'),/,/,1X,"
                               "2('Node',5X,'Water level',4X,'Difference',2X),/,1X,"
                               "2(1X,'No',9X,'(m)',9X,'New - Old',3X),/)");
        for (int k = first; k <= last; k += 2) {
            std::vector<textio::FValue> line{k, hnew(k), hnew(k) - hold(k)};
            if (k + 1 <= last) line.insert(line.end(), {k + 1, hnew(k + 1), hnew(k + 1) - hold(k + 1)});
            text += textio::format("(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))", line);
        }
        text += banner();
    }
    return text;
}

// Prescribed heads in list order, two per line, in pages of 100.
std::string dirichletTable(const FemState& fs, const Vec1<int>& dnode, const Vec1<double>& dhead) {
    std::string text = textio::format("(19X,'TIME-DEPENDENT DIRICHLET BOUNDARY CONDITIONS',/,/)");
    for (int first = 1; first <= fs.NDN; first += kNodesPerPage) {
        const int last = std::min(first + kNodesPerPage - 1, fs.NDN);
        text += textio::format("(3X,'Output Table 5   Prescribed ',A16,' Dirichlet',' Heads',/,3X,11('_'),/,/,13X,"
                               "'Node',7X,'Head (m)',14X,'Node',7X,'Head (m)',/)",
                               {kindText(fs.headType)});
        for (int d = first; d <= last; d += 2) {
            std::vector<textio::FValue> line{dnode(d), dhead(d)};
            if (d + 1 <= last) line.insert(line.end(), {dnode(d + 1), dhead(d + 1)});
            text += textio::format("(3X,2(10X,I4,3X,1P,D16.9))", line);
        }
        text += banner();
    }
    return text;
}

// Neumann sides with the flux of each side node; 50 sides per page for two
// nodes per side, 25 for three.
std::string neumannTable(const FemState& fs, const Mat1<int>& nside, const Mat1<double>& nflux) {
    const int nps = fs.nodesPerSide;
    const int perPage = 50 / ((nps + 1) / 2);
    std::string text = textio::format("(20X,'TIME-DEPENDENT NEUMANN BOUNDARY CONDITIONS',/,/)");
    for (int first = 1; first <= fs.NNS; first += perPage) {
        const int last = std::min(first + perPage - 1, fs.NNS);
        text += textio::format("(3X,'Output Table 6   Prescribed ',A16,' Neumann ','Fluxes',/,3X,11('_'),/,/,10X,"
                               "'Element',6X,'Node',9X,'Flux',9X,'Node',9X,'Flux',/,12X,'No',10X,'No',10X,'(m/s)',9X,"
                               "'No',10X,'(m/s)',/)",
                               {kindText(fs.fluxType)});
        for (int b = first; b <= last; ++b) {
            std::vector<textio::FValue> side{nside(b, 1)};
            for (int j = 1; j <= nps; ++j) side.insert(side.end(), {nside(b, j + 1), nflux(b, j)});
            text += textio::format("(11X,I4,5X,2(3X,I4,3X,1P,D16.9),:,/,(23X,2(3X,I4,3X,1P,D16.9),:,/))", side);
        }
        text += banner();
    }
    return text;
}

} // namespace

void WSOL(const RunState& rs, std::ostream& out, const Vec1<double>& hnew, const Vec1<double>& hold,
          const Vec1<int>& dnode, const Vec1<double>& dhead, const Mat1<int>& nside, const Mat1<double>& nflux,
          int& firstCall) {
    const FemState& fs = rs.fem;
    const int kind = fs.nsteps == 0 ? 1 : 2;
    const int family = fs.family == 'L' ? 1 : 2;
    const int degree = std::clamp(fs.nodesPerSide - 1, 1, 3);
    firstCall = 1;

    std::string text = banner();
    text += textio::format("(1X,A72,/,1X,A72)", {titleText(rs.TITLE1), titleText(rs.TITLE2)});
    text += textio::format("(9X,'SOLUTION OF THE GROUND WATER FLOW ','EQUATION : A CONFINED MODEL',/,/,/)");
    text += textio::format("(25X,'The problem is ',A16,/,/,9X,'The piecewise ','polynomial used in the simulation "
                           "consisted of a ',/,24X,I1,A4,'degree ',A8,' polynomial',/,/,/,/)",
                           {kProblemKind[kind - 1], degree, kOrdinal[degree - 1], kFamily[family - 1]});
    text += timeTable(fs, rs.in.ITOUT);
    if (fs.outputType >= 1) text += balanceTable(fs);
    text += banner();
    if (fs.outputType >= 2) text += headTable(fs.NN, hnew, hold);
    if (fs.NDN > 0 && fs.headType == 2) text += dirichletTable(fs, dnode, dhead);
    if (fs.NNS > 0 && fs.fluxType >= 2) text += neumannTable(fs, nside, nflux);
    out << text << std::flush;
}

} // namespace wf
