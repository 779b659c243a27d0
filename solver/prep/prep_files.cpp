#include "prep/prep_files.h"

#include <vector>

#include "fine/fine_mesh.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace wf::prep {

using textio::format;
using textio::listRecord;

namespace {

// Pi as a single-precision constant (3.1415925...), widened: the node rates
// are Q / ((NWELL - 1) 2 pi) with 2 pi = 6.2831850...
constexpr double kPi = static_cast<double>(3.1415925f);

// Offset added to the last observation time for the end of the pumping profile.
constexpr double kProfileTail = 1000.0;

} // namespace

PumpedRows pumpedRows(const Inputs& in) {
    if (in.IPUMP == 0) return {1, in.NZ, in.NZ};
    if (in.IPUMP == 1) return {1, in.NZF, in.NZF};
    return {in.NZF + 1, in.NZ, in.NZM};
}

double powInt(double x, int n) {
    double result = 1.0;
    if (n == 0) return result;
    unsigned u;
    if (n < 0) {
        u = static_cast<unsigned>(-static_cast<long long>(n));
        x = result / x;
    } else {
        u = static_cast<unsigned>(n);
    }
    for (;;) {
        if (u & 1u) result *= x;
        u >>= 1;
        if (u == 0) break;
        x *= x;
    }
    return result;
}

std::string observationFileText(const RunState& rs, const TestData& d, const TimeSubset& sel) {
    const Inputs& in = rs.in;
    const Vec1<double>& T = rs.prep.T;
    const Vec1<double>& H = rs.prep.H;

    std::string s = listRecord({rs.title1()});
    s += format("(1x,a,1pe10.3,a,i5)", {"Pumping rate = ", in.Q[1], " ...:", in.NQ});
    std::vector<textio::FValue> counts{in.NOBS};
    // The used points of observation point j: indices into its own data.
    auto used = [&](int j) -> int {
        if (sel.NSEL == 0) return d.NPJ[j];
        if (j == 1) return sel.NSELCNT;
        return static_cast<int>(sel.further[static_cast<std::size_t>(j - 2)].size());
    };
    auto index = [&](int j, int m) -> int {
        if (j == 1) return rs.prep.IDX(m);
        return sel.further[static_cast<std::size_t>(j - 2)][static_cast<std::size_t>(m - 1)];
    };
    for (int j = 1; j <= in.NOBS; ++j) counts.emplace_back(used(j) + d.FLAG[j]);
    s += listRecord(counts);

    for (int j = 1; j <= in.NOBS; ++j) {
        const int OFF = d.offset(j);
        const int node = in.NODOBS[j];
        // Drawdown positive downward. Levels: from the first level, in the
        // direction in which the level moves during the test.
        auto drawdown = [&](int n) {
            if (in.IWLO != 1 || d.NPJ[j] == 0) return H(n);
            const double H0 = H(OFF + 1), HL = H(OFF + d.NPJ[j]);
            return H0 > HL ? H0 - H(n) : H(n) - H0;
        };
        // Data that start after time 0 begin with zero drawdown at time 0.
        if (d.FLAG[j] == 1) {
            if (sel.NSEL == 0)
                s += format("(i6,f10.3,1pe18.6)", {node, 0.0, 0.0});
            else
                s += format("(i6,f15.3,1pe18.6)", {node, 0.0, 0.0});
        }
        if (sel.NSEL == 0) {
            for (int n = OFF + 1; n <= OFF + d.NPJ[j]; ++n)
                s += format("(I6,F15.3,1P,E18.6)", {node, T(n), drawdown(n)});
        } else {
            for (int m = 1; m <= used(j); ++m) {
                const int n = OFF + index(j, m);
                s += format("(I6,F15.3,1P,E18.6)", {node, T(n), drawdown(n)});
            }
        }
    }
    return s;
}

std::string controlFileText(const RunState& rs, const TestData& d, const TimeSubset& sel, const PumpedRows& w) {
    const Inputs& in = rs.in;
    const int NDIR = in.IOPP == 1 ? in.NZ : 0;
    const double TMAX = d.TMAX;

    std::string s = listRecord({rs.title1()});
    s += listRecord({rs.title2()});
    s += format("(4x,a,i5)", {"L", 2});
    s += format("(12i6)", {in.NN, in.NE, 4, NDIR, 0, in.NB, 0, 0, w.NWELL, in.NR + 2, 0, 2 * in.NZ});
    s += format("(7i6)", {in.NQ + 1, in.NOBS});
    s += format("(1x, i5, a)", {sel.NSEL == 0 ? d.NPJ[1] : sel.NSELCNT, "  # Timesteps"});
    s += format("(1x,5g12.5, a)",
                {TMAX / powInt(1.5, sel.NSEL - 2), 0.5, TMAX / 4.0, 0.0, TMAX, " Time parameters"});
    std::vector<textio::FValue> nodes;
    for (int j = 1; j <= in.NOBS; ++j) nodes.emplace_back(in.NODOBS[j]);
    nodes.emplace_back(" Observation Nodes");
    s += listRecord(nodes);
    s += listRecord({1});
    // Initial head of nodes 1..NN (step 1): the aquifer thickness.
    s += format("(i3,d12.5,i6,i5,a)", {1, in.THICK, in.NN, 1, " Initial Waterlevel"});
    if (in.IOPP == 1) {
        // Constant head on the opposite boundary: the outermost node of each row.
        s += listRecord({1, "  Time dependant"});
        s += listRecord({in.NZ, "  Number of Dirichlet nodes"});
        for (int j = 1; j <= in.NZ; ++j) s += listRecord({in.NR * j});
    }

    // Pumping profile of each pumped axis node; extraction negative. The rate
    // of step m holds from TQ(m) on; the end rows of the interval take half.
    std::vector<double> QL(static_cast<std::size_t>(in.NQ) + 1);
    for (int k = 1; k <= in.NQ; ++k) QL[k] = in.Q[k] / (static_cast<double>(w.NWELL - 1) * 2.0 * kPi);
    // Fine model: each node takes its share of the screen (rows of unequal
    // spacing); RTIM has refused a mesh without those shares.
    const std::vector<double> fineShares = rs.options.fineModel ? fine::fineRateShares(in, w.KW1, w.KW2) : std::vector<double>{};
    for (int k = w.KW1; k <= w.KW2; ++k) {
        const double share = (k == w.KW1 || k == w.KW2) ? 2.0 : 1.0;
        auto rate = [&](int m) {
            if (!fineShares.empty()) return -in.Q[m] / (2.0 * kPi) * fineShares[static_cast<std::size_t>(k)];
            return -QL[m] / share;
        };
        s += listRecord({(k - 1) * in.NR + 1, in.NQ + 1});
        s += format("(f18.3,1pe18.6)", {in.TQ[1], rate(1)});
        for (int m = 1; m <= in.NQ - 1; ++m) s += format("(f18.3,1pe18.6)", {in.TQ[m + 1], rate(m)});
        s += format("(f18.3,1pe18.6)", {TMAX + kProfileTail, rate(in.NQ)});
    }
    s += listRecord({"XXXXXX"});
    return s;
}

} // namespace wf::prep
