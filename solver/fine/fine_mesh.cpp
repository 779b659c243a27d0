// Layout of the "Fine model" mesh: node rows, node columns, well shares.
#include "fine/fine_mesh.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/unit_tables.h"

namespace wf::fine {

namespace {

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

} // namespace

int nearestRow(const std::vector<double>& z, double target) {
    int best = 0;
    for (int j = 1; j < static_cast<int>(z.size()); ++j)
        if (std::abs(z[j] - target) < std::abs(z[best] - target)) best = j;
    return best;
}

std::vector<double> fineRows(double thick, double ratio, int& nzf) {
    const double bf = ratio * thick, bm = thick - bf;
    const double h0 = kFineInterfaceStep * thick;
    // Fracture: from the interface down to the base; matrix: from the interface up.
    const std::vector<double> hf = gradedSpacings(bf, h0, bf / 6.0);
    const std::vector<double> hm = gradedSpacings(bm, h0, bm / 12.0);
    std::vector<double> z(1, 0.0);
    for (auto it = hf.rbegin(); it != hf.rend(); ++it) z.push_back(z.back() + *it);
    z.back() = bf;
    nzf = static_cast<int>(z.size());
    for (double h : hm) z.push_back(z.back() + h);
    z.back() = thick;
    return z;
}

std::vector<double> fineColumns(double r0, std::vector<double> anchors) {
    std::sort(anchors.begin(), anchors.end());
    anchors.erase(std::remove_if(anchors.begin(), anchors.end(), [r0](double a) { return !(a > r0); }), anchors.end());
    std::vector<double> r{r0};
    if (anchors.empty()) return r;
    if (r0 == 0.0) r.push_back(anchors.front() * kFineInnerFraction);
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

bool layFineMesh(const Inputs& in, double r0, FineMesh& mesh, std::string& why) {
    mesh.metres = units::length(in.IDIST);
    if (mesh.metres == 0.0) {
        why = "Distance unit IDIST = " + std::to_string(in.IDIST) + " is not one of 1 (mm), 2 (cm), 3 (m), 4 (km)";
        return false;
    }
    const double f = mesh.metres;
    const std::vector<double> rows = fineRows(in.THICK, in.RATIO, mesh.nzf);
    mesh.z.clear();
    for (double z : rows) mesh.z.push_back(z * f);
    std::vector<double> anchors;
    for (int k = 1; k <= in.NOBS; ++k)
        if (in.IPOS[k] != kAtWell) anchors.push_back(in.ROBS[k] * f);
    anchors.push_back(in.RMAX * f);
    mesh.r = fineColumns(r0, anchors);

    // Observation points: their own column; the row nearest the middle of the
    // fracture, or a third of the way into the matrix (its first row closer
    // than kFineNearWell to the well).
    const std::vector<double>& z = mesh.z;
    const double bf = z[static_cast<std::size_t>(mesh.nzf - 1)], thick = z.back();
    mesh.obsCol.clear();
    mesh.obsRow.clear();
    for (int k = 1; k <= in.NOBS; ++k) {
        const double at = in.ROBS[k] * f;
        if (in.IPOS[k] == kAtWell) {
            // The well face, in the row nearest the middle of the pumped screen.
            const double mid = in.IPUMP == 1 ? 0.5 * bf : in.IPUMP == 2 ? 0.5 * (bf + thick) : 0.5 * thick;
            mesh.obsCol.push_back(0);
            mesh.obsRow.push_back(nearestRow(z, mid));
            continue;
        }
        mesh.obsCol.push_back(static_cast<int>(std::find(mesh.r.begin(), mesh.r.end(), at) - mesh.r.begin()));
        if (in.IPOS[k] == 1)
            mesh.obsRow.push_back(nearestRow(std::vector<double>(z.begin(), z.begin() + mesh.nzf), 0.5 * bf));
        else if (at < kFineNearWell)
            mesh.obsRow.push_back(mesh.nzf);
        else
            mesh.obsRow.push_back(mesh.nzf + nearestRow(std::vector<double>(z.begin() + mesh.nzf, z.end()),
                                                        bf + (thick - bf) / 3.0));
    }
    return true;
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

} // namespace wf::fine
