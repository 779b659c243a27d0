// The one-aquifer fit and the layer-split starts of the robust search.
#include "inverse/layer_splits.h"

#include <algorithm>
#include <cmath>

#include "inverse/multi_start.h"

namespace wf {

namespace {

// Unknowns of the layer pairs: conductivity TF/TM, specific storage SF/SM.
constexpr int kPairs[2][2] = {{0, 1}, {2, 3}};

bool isFree(const LogSearchProblem& pr, int j) {
    return std::find(pr.free.begin(), pr.free.end(), j) != pr.free.end();
}

} // namespace

bool splitsApply(const LogSearchProblem& pr, double ratio, int starts) {
    if (starts < 3 || pr.k < 4 || !(ratio > 0.0 && ratio < 1.0)) return false;
    for (const auto& pair : kPairs) {
        if (!isFree(pr, pair[0]) || !isFree(pr, pair[1])) return false;
        const auto f = static_cast<std::size_t>(pair[0]), m = static_cast<std::size_t>(pair[1]);
        if (std::max(pr.lo[f], pr.lo[m]) > std::min(pr.hi[f], pr.hi[m])) return false;
    }
    return true;
}

bool makeLayerSplits(const LogSearchProblem& pr, const std::vector<double>& lnGuess, double ratio,
                     LayerSplits& out) {
    out = LayerSplits{};
    // The one-aquifer problem: the fracture layer's unknowns move, the
    // matrix's follow them (the model sees both layers alike), in the common
    // part of both layers' bounds.
    LogSearchProblem tied = pr;
    tied.free = {kPairs[0][0], kPairs[1][0]};
    for (const int j : pr.free)
        if (j >= 4) tied.free.push_back(j);
    std::vector<double> z0 = lnGuess;
    for (const auto& pair : kPairs) {
        const auto f = static_cast<std::size_t>(pair[0]), m = static_cast<std::size_t>(pair[1]);
        tied.lo[f] = std::max(pr.lo[f], pr.lo[m]);
        tied.hi[f] = std::min(pr.hi[f], pr.hi[m]);
        // The layer-weighted mean keeps the guessed total.
        const double mean = ratio * std::exp(lnGuess[f]) + (1.0 - ratio) * std::exp(lnGuess[m]);
        z0[f] = std::clamp(std::log(mean), tied.lo[f], tied.hi[f]);
    }
    tied.model = [&pr](int count, const double* const* x, double* const* f) {
        std::vector<std::vector<double>> both(static_cast<std::size_t>(count));
        std::vector<const double*> p(static_cast<std::size_t>(count));
        for (int c = 0; c < count; ++c) {
            std::vector<double>& b = both[static_cast<std::size_t>(c)];
            b.assign(x[c], x[c] + pr.k);
            for (const auto& pair : kPairs) b[static_cast<std::size_t>(pair[1])] = b[static_cast<std::size_t>(pair[0])];
            p[static_cast<std::size_t>(c)] = b.data();
        }
        return pr.model(count, p.data(), f);
    };
    const std::vector<std::vector<double>> design = startDesign(z0, tied.free, tied.lo, tied.hi, kSplitTiedStarts);
    std::vector<LogStart> starts(design.size());
    for (std::size_t s = 0; s < design.size(); ++s) starts[s].z = design[s];
    if (!runLogStarts(tied, starts)) return false;
    const LogStart* best = &starts[0];
    for (const LogStart& s : starts) {
        out.passes += s.passes;
        if (s.S < best->S) best = &s;
    }
    out.S = best->S;
    out.ending = best->ending;
    out.K = std::exp(best->z[static_cast<std::size_t>(kPairs[0][0])]);
    out.Ss = std::exp(best->z[static_cast<std::size_t>(kPairs[1][0])]);

    // The splits: the one-aquifer transmissivity K (b_F + b_M) shared w : 1 - w,
    // K_F = w K / ratio, K_M = (1 - w) K / (1 - ratio); the storage as fitted.
    for (const double w : {kSplitShare, 1.0 - kSplitShare}) {
        std::vector<double> z = lnGuess;
        const double K[2] = {w * out.K / ratio, (1.0 - w) * out.K / (1.0 - ratio)};
        for (int layer = 0; layer < 2; ++layer) {
            const auto kj = static_cast<std::size_t>(kPairs[0][layer]), sj = static_cast<std::size_t>(kPairs[1][layer]);
            z[kj] = std::clamp(std::log(K[layer]), pr.lo[kj], pr.hi[kj]);
            z[sj] = std::clamp(std::log(out.Ss), pr.lo[sj], pr.hi[sj]);
        }
        for (const int j : pr.free)
            if (j >= 4) z[static_cast<std::size_t>(j)] = best->z[static_cast<std::size_t>(j)];
        out.z.push_back(z);
    }
    out.made = true;
    return true;
}

} // namespace wf
