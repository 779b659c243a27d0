// Model files for tests of the flow model: a radial mesh file ({base}.fem) and
// a model-control file ({base}.tim) in the layouts the mesh generator and the
// data preparation write, built from explicit radii, heights and a pumping
// schedule, plus a run state whose work arrays fit them.
#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "base/run_state.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace wf::test {

struct RadialModel {
    std::vector<double> r;   // node columns, r[0] = 0 on the well axis (m)
    std::vector<double> z;   // node rows from the base upward (m)
    int nzf = 1;             // rows 1..nzf are fracture (material 1), the rest matrix (2)
    double h0 = 40.0;        // initial head of every node (m)
    bool constantHead = false;  // outermost node of every row held at its initial head
    int pumpFirstRow = 1, pumpLastRow = 0;  // pumped axis rows (0: up to the top row)
    // Pumping schedule: (start time in s, total abstraction Q in m3/s) per step;
    // the node rates carry Q / 2pi shared over the pumped rows, end rows halved.
    std::vector<std::pair<double, double>> schedule{{0.0, 0.01}};
    double profileEnd = 1.0e9;  // time of the last profile point (s)
    std::vector<int> obsNodes{1};
    int timeSteps = 10;      // header's number of time steps (0: steady)
    int bandEstimate = 0;    // 0: NR + 2
    std::string family = "L";
    std::vector<double> baseLevels;  // non-empty: saturated-thickness switch on, one level per node (m)

    int NR() const { return static_cast<int>(r.size()); }
    int NZ() const { return static_cast<int>(z.size()); }
    int NN() const { return NR() * NZ(); }
    int NE() const { return (NR() - 1) * (NZ() - 1); }
    int NB() const { return 2 * (NR() - 1) + 2 * (NZ() - 1); }
    int node(int column, int row) const { return (row - 1) * NR() + column; }
    int lastPumpRow() const { return pumpLastRow > 0 ? pumpLastRow : NZ(); }

    // Node, element and boundary-edge records of the mesh file.
    std::string femText() const {
        using textio::format;
        std::string s = textio::listRecord({"Test mesh"});
        s += textio::listRecord({NR(), NZ(), NN(), NE(), NB()});
        for (int j = 1; j <= NZ(); ++j)
            for (int i = 1; i <= NR(); ++i)
                s += format("(I6,2(3x,1PE15.7),3x,i5)", {node(i, j), r[i - 1], z[j - 1], j <= nzf ? 1 : 2});
        for (int i = 1; i < NR(); ++i)
            for (int j = 1; j < NZ(); ++j) {
                const int n = node(i, j);
                s += format("(5I6)", {(i - 1) * (NZ() - 1) + j, n, n + 1, n + NR() + 1, n + NR()});
            }
        if (!baseLevels.empty()) {
            s += textio::listRecord({NN()});
            for (int n = 1; n <= NN(); ++n) s += textio::listRecord({n, baseLevels[n - 1]});
        }
        s += boundaryText();
        s += textio::listRecord({"XXXXXX"});
        return s;
    }

    // Boundary edges in the generator's order: bottom of column 1, axis side,
    // top of column 1, bottom and top of the inner columns, bottom of the last
    // column, outer side, top of the last column.
    std::string boundaryText() const {
        const int nr = NR(), nz = NZ();
        std::vector<std::vector<int>> e;
        e.push_back({1, 1, 2});
        for (int j = 1; j <= nz - 1; ++j) e.push_back({j, (j - 1) * nr + 1 + nr, (j - 1) * nr + 1});
        e.push_back({nz - 1, (nz - 1) * nr + 2, (nz - 1) * nr + 1});
        for (int i = 2; i <= nr - 2; ++i) {
            e.push_back({(i - 1) * (nz - 1) + 1, i, i + 1});
            e.push_back({(i - 1) * (nz - 1) + nz - 1, (nz - 1) * nr + i + 1, (nz - 1) * nr + i});
        }
        e.push_back({(nz - 1) * (nr - 2) + 1, nr - 1, nr});
        for (int j = 1; j <= nz - 1; ++j) e.push_back({(nz - 1) * (nr - 2) + j, j * nr, j * nr + nr});
        e.push_back({(nz - 1) * (nr - 1), nr * nz, nr * nz - 1});
        std::string s;
        for (const auto& v : e) s += textio::format("(6I6)", {v[0], v[1], v[2]});
        return s;
    }

    // Node rate of step k for a pumped row (abstraction negative), m3/s per radian.
    double nodeRate(double q, int row) const {
        const int nwell = lastPumpRow() - pumpFirstRow + 1;
        double rate = -q / ((nwell - 1) * 2.0 * M_PI);
        if (row == pumpFirstRow || row == lastPumpRow()) rate /= 2.0;
        return rate;
    }

    std::string timText(double initialHead = -1.0) const {
        using textio::format;
        const double head = initialHead >= 0.0 ? initialHead : h0;
        const int nq = static_cast<int>(schedule.size());
        const int ndir = constantHead ? NZ() : 0;
        const int nwell = lastPumpRow() - pumpFirstRow + 1;
        std::string s = textio::listRecord({"Test model"});
        s += textio::listRecord({"second title"});
        s += format("(4x,a,i5)", {family, 2});
        s += format("(12i6)", {NN(), NE(), 4, ndir, 0, NB(), 0, 0, nwell, bandEstimate > 0 ? bandEstimate : NR() + 2,
                               baseLevels.empty() ? 0 : 1, 2 * NZ()});
        s += format("(7i6)", {nq + 1, static_cast<int>(obsNodes.size())});
        s += format("(1x, i5, a)", {timeSteps, "  # Timesteps"});
        s += format("(1x,5g12.5, a)", {2250.0, 0.5, 250.0, 0.0, 1000.0, " Time parameters"});
        std::vector<textio::FValue> obs;
        for (int n : obsNodes) obs.emplace_back(n);
        obs.emplace_back(" Observation Nodes");
        s += textio::listRecord(obs);
        s += textio::listRecord({1});
        s += format("(i3,d12.5,i6,i5,a)", {1, head, NN(), 1, " Initial Waterlevel"});
        if (constantHead) {
            s += textio::listRecord({1, "  Time dependant"});
            s += textio::listRecord({NZ(), "  Number of Dirichlet nodes"});
            for (int j = 1; j <= NZ(); ++j) s += textio::listRecord({NR() * j});
        }
        for (int row = pumpFirstRow; row <= lastPumpRow(); ++row) {
            s += textio::listRecord({node(1, row), nq + 1});
            s += format("(f18.3,1pe18.6)", {schedule[0].first, nodeRate(schedule[0].second, row)});
            for (int m = 1; m < nq; ++m)
                s += format("(f18.3,1pe18.6)", {schedule[m].first, nodeRate(schedule[m - 1].second, row)});
            s += format("(f18.3,1pe18.6)", {profileEnd, nodeRate(schedule[nq - 1].second, row)});
        }
        s += textio::listRecord({"XXXXXX"});
        return s;
    }
};

// A run state for the model: base name, SI units, model set allocated from the
// mesh, conductivity K (m/s) and specific storage Ss (1/m) in both materials.
inline void prepareRun(RunState& rs, const RadialModel& m, double K, double Ss, int nout) {
    std::string base = "MODEL";
    std::fill(std::begin(rs.BASE), std::end(rs.BASE), ' ');
    std::copy(base.begin(), base.end(), rs.BASE);
    rs.NBASE = static_cast<int>(base.size());
    std::fill(std::begin(rs.TITLE1), std::end(rs.TITLE1), ' ');
    rs.in.IDIST = 3;   // m
    rs.in.ITIN = 1;    // s
    rs.in.ITOUT = 1;   // s
    rs.in.IFLUX = 9;   // m/s
    rs.in.IDISCH = 5;  // m3/s
    rs.model.allocate(m.NR(), m.NZ());
    rs.fem.callCount = 0;
    rs.fem.npar = 4;
    rs.fem.KX = rs.fem.KY = K;
    rs.fem.SS = Ss;
    rs.fem.nobsNodes = static_cast<int>(m.obsNodes.size());
    rs.fem.nout = nout;
}

// The caller's arrays of one model run.
struct RunArrays {
    Mat1<double> sim;
    Vec1<int> obs;
    Vec1<double> times;
    RunArrays(int nobs, const std::vector<double>& t) {
        sim.allocate(nobs, static_cast<long long>(t.size()));
        obs.allocate(nobs);
        times.allocate(static_cast<long long>(t.size()));
        for (std::size_t i = 0; i < t.size(); ++i) times(static_cast<int>(i) + 1) = t[i];
    }
};

// Radii 0, r1, r1 q, r1 q^2, ... up to the first radius at or beyond rmax.
inline std::vector<double> geometricRadii(double r1, double q, double rmax) {
    std::vector<double> r{0.0};
    for (double x = r1; r.back() < rmax; x *= q) r.push_back(x);
    return r;
}

// n output times from t1 to t2 evenly spaced in log time.
inline std::vector<double> logTimes(double t1, double t2, int n) {
    std::vector<double> t;
    for (int i = 0; i < n; ++i) t.push_back(t1 * std::pow(t2 / t1, static_cast<double>(i) / (n - 1)));
    return t;
}

} // namespace wf::test
