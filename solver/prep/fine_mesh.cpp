// The fine mesh run (RMESH with the "Fine model" option).
#include "prep/fine_mesh.h"

#include <algorithm>
#include <cmath>

#include "prep/mesh_run.h"
#include "prep/mesh_files.h"
#include "prep/radial_mesh.h"
#include "prep/value_text.h"

namespace wf::prep {

namespace {

constexpr double kFirstRadius = 0.0625;  // first column off the axis, as in the standard mesh

// Spacings that cover length from one end, starting at h0 and growing by
// kFineRowGrowth up to cap, scaled so that they add up to length exactly.
std::vector<double> gradedSpacings(double length, double h0, double cap) {
    std::vector<double> h;
    double sum = 0.0, next = std::min(h0, cap);
    while (sum < length * (1.0 - 1e-9)) {
        h.push_back(next);
        sum += next;
        next = std::min(next * kFineRowGrowth, cap);
    }
    // The last spacing overshoots: drop it when the rest comes closer.
    if (h.size() > 1 && sum - length > 0.5 * h.back()) {
        sum -= h.back();
        h.pop_back();
    }
    for (double& v : h) v *= length / sum;
    return h;
}

// Node row nearest to height z (0-based).
int nearestRow(const std::vector<double>& z, double target) {
    int best = 0;
    for (int j = 1; j < static_cast<int>(z.size()); ++j)
        if (std::abs(z[j] - target) < std::abs(z[best] - target)) best = j;
    return best;
}

} // namespace

std::vector<double> fineRows(double thick, double ratio, int& nzf) {
    const double bf = ratio * thick, bm = thick - bf;
    const double h0 = kFineInterfaceStep * thick;
    // Fracture: from the interface down to the base; matrix: from the interface up.
    const std::vector<double> hf = gradedSpacings(bf, h0, bf / 4.0);
    const std::vector<double> hm = gradedSpacings(bm, h0, bm / 6.0);
    std::vector<double> z(1, 0.0);
    for (auto it = hf.rbegin(); it != hf.rend(); ++it) z.push_back(z.back() + *it);
    z.back() = bf;
    nzf = static_cast<int>(z.size());
    for (double h : hm) z.push_back(z.back() + h);
    z.back() = thick;
    return z;
}

std::vector<double> fineColumns(const std::vector<double>& anchors) {
    std::vector<double> r{0.0, kFirstRadius};
    for (double b : anchors) {
        const double a = r.back();
        if (!(b > a)) continue;
        const int n = std::max(1, static_cast<int>(std::ceil(std::log(b / a) / std::log(kFineRadialRatio) - 1e-9)));
        const double q = std::pow(b / a, 1.0 / n);
        for (int k = 1; k < n; ++k) r.push_back(a * std::pow(q, k));
        r.push_back(b);
    }
    return r;
}

std::vector<double> fineRateShares(const Inputs& in, int kw1, int kw2) {
    int nzf = 0;
    const std::vector<double> z = fineRows(in.THICK, in.RATIO, nzf);
    if (static_cast<int>(z.size()) != in.NZ || nzf != in.NZF || kw1 < 1 || kw2 > in.NZ || kw2 <= kw1) return {};
    std::vector<double> share(static_cast<std::size_t>(in.NZ) + 1, 0.0);
    const double length = z[kw2 - 1] - z[kw1 - 1];
    for (int k = kw1; k < kw2; ++k) {
        const double half = 0.5 * (z[k] - z[k - 1]) / length;
        share[k] += half;
        share[k + 1] += half;
    }
    return share;
}

} // namespace wf::prep

namespace wf {

bool FINE_RMESH(RunState& rs, int nrmax, int nzmax) {
    using namespace prep;
    if (!checkMeshInput(rs)) return false;
    const Inputs& in = rs.in;
    MeshLayout m;
    m.BF = in.RATIO * in.THICK;

    const std::vector<double> z = fineRows(in.THICK, in.RATIO, m.NZF);
    std::vector<double> anchors;
    for (int k = 1; k <= in.NOBS; ++k) anchors.push_back(in.ROBS[k]);
    anchors.push_back(in.RMAX);
    const std::vector<double> r = fineColumns(anchors);
    m.NZ = static_cast<int>(z.size());
    m.NZM = m.NZ - m.NZF;
    m.NR = static_cast<int>(r.size());
    if (m.NR > nrmax || m.NZ > nzmax || rs.meshSet.R.size() < m.NR || rs.meshSet.Z.size() < m.NZ) {
        rs.error(" Dimension to small for Mesh Size");
        return false;
    }
    for (int i = 1; i <= m.NR; ++i) rs.meshSet.R(i) = r[static_cast<std::size_t>(i - 1)];
    for (int j = 1; j <= m.NZ; ++j) rs.meshSet.Z(j) = z[static_cast<std::size_t>(j - 1)];

    // Observation points: their own column; the row nearest the middle of the
    // fracture, or a third of the way into the matrix (its first row closer
    // than 1.0 to the well), as in the standard mesh.
    const double bm = in.THICK - m.BF;
    for (int k = 1; k <= in.NOBS; ++k) {
        m.IOBS[k] = static_cast<int>(std::find(r.begin(), r.end(), in.ROBS[k]) - r.begin()) + 1;
        if (in.IPOS[k] == 1)
            m.ROW[k] = nearestRow(std::vector<double>(z.begin(), z.begin() + m.NZF), 0.5 * m.BF);
        else if (in.ROBS[k] < 1.0)
            m.ROW[k] = m.NZF;
        else
            m.ROW[k] = m.NZF + nearestRow(std::vector<double>(z.begin() + m.NZF, z.end()), m.BF + bm / 3.0);
        m.NODOBS[k] = m.ROW[k] * m.NR + m.IOBS[k];
    }

    return writeMesh(rs, m);
}

} // namespace wf
