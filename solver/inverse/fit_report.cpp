// Fit report: statistics in the user's units, verdict and the {base}.fit text.
#include "inverse/fit_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "inverse/fit_statistics.h"

namespace wf {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const char* const kParamNames[4] = {"TF", "TM", "SF", "SM"};
const char* const kTotalNames[2] = {"TF + TM", "SF + SM"};

// At most size - 1 bytes and a NUL; a cut falls before a UTF-8 character, never inside one.
void copyText(char* dst, std::size_t size, const std::string& s) {
    std::size_t n = std::min(size - 1, s.size());
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0u) == 0x80u) --n;
    std::memcpy(dst, s.data(), n);
    dst[n] = '\0';
}

std::string printf1(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// Relative standard error; NaN when it has no meaning.
double relativeError(const WfFitParameter& q) {
    if (!std::isfinite(q.standardError) || q.value == 0.0) return kNaN;
    return std::fabs(q.standardError / q.value);
}

std::string unitOf(int param, const std::string& tUnit) { return param < 2 ? " " + tUnit : std::string(); }

// Name and correlations of unknown j: the first four in the fixed arrays of
// the report's first version, the well's after them.
const char* unknownName(const WfFitReport& rep, int j) { return j < 4 ? rep.names[j] : rep.unknownNames[j]; }
double unknownCorr(const WfFitReport& rep, int a, int b) {
    return a < 4 && b < 4 ? rep.correlation[a][b] : rep.unknownCorrelation[a][b];
}
int unknownCount(const WfFitReport& rep) { return std::clamp(rep.unknowns, 0, static_cast<int32_t>(kMaxUnknowns)); }

int unknownIndex(const WfFitReport& rep, const char* name) {
    for (int j = 0; j < unknownCount(rep); ++j)
        if (std::strcmp(unknownName(rep, j), name) == 0) return j;
    return -1;
}

// The well's quantities in the verdict (WF_WELL_SKIN, WF_WELL_CASING).
const char* const kWellNames[2] = {"skin", "rc"};
const WfFitParameter& wellParameter(const WfFitReport& rep, int w) { return w == 0 ? rep.skin : rep.casingRadius; }

std::string joinWords(const std::vector<std::string>& items) {
    std::string s;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) s += i + 1 == items.size() ? " and " : ", ";
        s += items[i];
    }
    return s;
}

} // namespace

std::string transmissivityUnitName(int icond) {
    if (icond < 1 || icond > 12) return "(ICOND " + std::to_string(icond) + ")";
    const char* lengths[3] = {"mm2", "cm2", "m2"};
    const char* times[4] = {"s", "min", "h", "day"};
    return std::string(lengths[(icond - 1) / 4]) + "/" + times[(icond - 1) % 4];
}

const char* searchName(int search) {
    return search == WF_SEARCH_ROBUST ? "robust" : search == WF_SEARCH_BOUND_AWARE ? "bound-aware" : "plain";
}

const char* startEndingName(int ending) {
    switch (ending) {
    case WF_START_CONVERGED_GRADIENT: return "converged (gradient)";
    case WF_START_CONVERGED_STEP: return "converged (step)";
    case WF_START_STALLED: return "stalled";
    case WF_START_PASS_LIMIT: return "pass limit";
    case WF_START_CANCELLED: return "cancelled";
    case WF_START_FITS_DATA: return "fits the data";
    default: return "running";
    }
}

const char* modelName(int model) { return model == WF_MODEL_FINE ? "fine" : "standard"; }

std::string valueWithError(double value, double error) {
    if (!std::isfinite(value)) return "n/a";
    if (!std::isfinite(error) || error <= 0.0) return printf1("%.4g", value);
    const double mag = std::fabs(value) > 0.0 ? std::fabs(value) : error;
    if (mag >= 1e-3 && mag < 1e6) {
        const int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(error))));
        char buf[96];
        std::snprintf(buf, sizeof buf, "%.*f ± %.*f", decimals, value, decimals, error);
        return buf;
    }
    const int e10 = static_cast<int>(std::floor(std::log10(mag)));
    const double scale = std::pow(10.0, e10);
    const double v = value / scale, e = error / scale;
    const int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(e))));
    char buf[96];
    std::snprintf(buf, sizeof buf, "(%.*f ± %.*f)e%+03d", std::min(decimals, 12), v, std::min(decimals, 12), e, e10);
    return buf;
}

void buildFitReport(const FitProblem& pr, const FitRunFacts& facts, const std::string& tUnit, WfFitReport& out,
                    std::string& verdict, const std::string& lengthUnit) {
    out = WfFitReport{};
    out.valid = 1;
    out.type = facts.type;
    out.status = facts.status;
    out.stopRule = facts.stopRule;
    out.passes = facts.passes;
    out.modelRuns = facts.modelRuns;
    const int m = static_cast<int>(pr.r.size());
    out.residuals = m;
    out.unknowns = pr.p;
    const FitStatistics st = fitStatistics(m, pr.p, pr.J, pr.r);
    out.errorEstimate = st.S;
    out.rmse = m > 0 ? std::sqrt(st.S / m) : kNaN;
    out.condition = pr.p > 0 ? st.condition : kNaN;
    const double t = studentT975(m - pr.p);

    auto fill = [&](WfFitParameter& q, double value, const std::vector<double>& c, bool estimated, bool held,
                    int atBound) {
        q.value = value;
        q.estimated = estimated ? 1 : 0;
        q.held = held ? 1 : 0;
        q.atBound = atBound;
        bool any = false;
        for (double x : c) any = any || x != 0.0;
        const double var = any ? st.variance(c) : kNaN;
        q.standardError = std::isfinite(var) && var >= 0.0 ? std::sqrt(var) : kNaN;
        q.low95 = std::isfinite(q.standardError) && std::isfinite(t) ? value - t * q.standardError : kNaN;
        q.high95 = std::isfinite(q.standardError) && std::isfinite(t) ? value + t * q.standardError : kNaN;
        // In ln value: se(ln value) = se / value (delta method), so the
        // interval is value x exp(-/+ t se / value) and stays positive.
        const bool logOk = std::isfinite(q.standardError) && std::isfinite(t) && value > 0.0;
        q.logLow95 = logOk ? value * std::exp(-t * q.standardError / value) : kNaN;
        q.logHigh95 = logOk ? value * std::exp(t * q.standardError / value) : kNaN;
    };
    const auto p = static_cast<std::size_t>(pr.p);
    for (int j = 0; j < 4; ++j) {
        std::vector<double> c(p);
        for (std::size_t u = 0; u < p; ++u) c[u] = pr.G[j][u];
        fill(out.parameters[j], pr.values[j], c, pr.estimated[j], pr.held[j], pr.atBound[j]);
    }
    for (int k = 0; k < 2; ++k) {
        const int a = 2 * k, b = 2 * k + 1;
        std::vector<double> c(p);
        for (std::size_t u = 0; u < p; ++u) c[u] = pr.G[a][u] + pr.G[b][u];
        const int bound = pr.atBound[a] != 0 && pr.atBound[a] == pr.atBound[b] ? pr.atBound[a] : 0;
        fill(out.totals[k], pr.values[a] + pr.values[b], c, pr.estimated[a] || pr.estimated[b],
             pr.held[a] && pr.held[b], bound);
    }
    for (std::size_t j = 0; j < 4; ++j)
        for (std::size_t l = 0; l < 4; ++l) out.correlation[j][l] = kNaN;
    for (std::size_t j = 0; j < p && j < 4; ++j) {
        copyText(out.names[j], sizeof out.names[j], pr.names[j]);
        for (std::size_t l = 0; l < p && l < 4; ++l) out.correlation[j][l] = st.correlation[j * p + l];
    }
    // Every unknown, the well's included.
    for (std::size_t j = 0; j < kMaxUnknowns; ++j)
        for (std::size_t l = 0; l < kMaxUnknowns; ++l) out.unknownCorrelation[j][l] = kNaN;
    for (std::size_t j = 0; j < p && j < kMaxUnknowns; ++j) {
        copyText(out.unknownNames[j], sizeof out.unknownNames[j], pr.names[j]);
        for (std::size_t l = 0; l < p && l < kMaxUnknowns; ++l) out.unknownCorrelation[j][l] = st.correlation[j * p + l];
    }
    out.storageSkinCorrelation = kNaN;
    if (pr.well) {
        out.well = 1;
        out.onlyAtWell = pr.onlyAtWell ? 1 : 0;
        WfFitParameter* q[2] = {&out.skin, &out.casingRadius};
        for (int w = 0; w < 2; ++w) {
            std::vector<double> c(p);
            for (std::size_t u = 0; u < p; ++u) c[u] = pr.wellG[w][u];
            fill(*q[w], pr.wellValues[w], c, pr.wellEstimated[w], pr.wellHeld[w], pr.wellAtBound[w]);
        }
        // The skin is additive, not a positive quantity: no interval in its logarithm.
        out.skin.logLow95 = out.skin.logHigh95 = kNaN;
        // Correlation of S = SF + SM with the skin: cov(a'x, b'x) from the
        // variances of a, b and a + b.
        std::vector<double> cs(p), ck(p), both(p);
        for (std::size_t u = 0; u < p; ++u) {
            cs[u] = pr.G[2][u] + pr.G[3][u];
            ck[u] = pr.wellG[WF_WELL_SKIN][u];
            both[u] = cs[u] + ck[u];
        }
        const double vs = st.variance(cs), vk = st.variance(ck), vb = st.variance(both);
        if (std::isfinite(vs) && std::isfinite(vk) && std::isfinite(vb) && vs > 0.0 && vk > 0.0)
            out.storageSkinCorrelation = std::clamp(0.5 * (vb - vs - vk) / std::sqrt(vs * vk), -1.0, 1.0);
    }
    copyText(out.message, sizeof out.message, facts.message);
    out.model = facts.model;
    out.meshColumns = facts.meshColumns;
    out.meshRows = facts.meshRows;
    out.search = facts.search;
    signRunsTest(pr.r, out.signRuns, out.expectedRuns, out.runsZ);
    out.startCount = static_cast<int32_t>(std::min<std::size_t>(facts.starts.size(), WF_MAX_STARTS));
    for (int s = 0; s < out.startCount; ++s) {
        out.starts[s] = facts.starts[static_cast<std::size_t>(s)];
        if (static_cast<std::size_t>(s) < facts.startWell.size())
            for (int w = 0; w < 2; ++w) out.startWell[s][w] = facts.startWell[static_cast<std::size_t>(s)][static_cast<std::size_t>(w)];
    }
    out.startsAtBest = facts.startsAtBest;
    out.errorFloor = facts.errorFloor;
    verdict = fitVerdict(out, tUnit, lengthUnit);
    out.verdictLength = static_cast<int32_t>(verdict.size());
}

void signRunsTest(const std::vector<double>& r, int& runs, double& expected, double& z) {
    runs = 0;
    int plus = 0, minus = 0, last = 0;
    for (double v : r) {
        const int sign = v > 0.0 ? 1 : v < 0.0 ? -1 : 0;
        if (sign == 0) continue;
        if (sign != last) ++runs;
        last = sign;
        (sign > 0 ? plus : minus)++;
    }
    const double n = plus + minus, p2 = 2.0 * plus * minus;
    expected = n > 0 ? 1.0 + p2 / n : kNaN;
    const double var = n > 1 ? p2 * (p2 - n) / (n * n * (n - 1.0)) : 0.0;
    z = plus >= 2 && minus >= 2 && var > 0.0 ? (runs - expected) / std::sqrt(var) : kNaN;
}

namespace {

// The robust search's sentences: how many starts reached the best, and
// whether another start ended at a clearly different answer that fits
// nearly as well.
void startSentences(const WfFitReport& rep, std::vector<std::string>& sentences) {
    if (rep.startCount < 2) return;
    double best = rep.errorEstimate;
    for (int s = 0; s < rep.startCount; ++s) best = std::min(best, rep.starts[s].errorEstimate);
    if (rep.startsAtBest <= 1)
        sentences.push_back("Only one of the " + std::to_string(rep.startCount) +
                            " starts reached the lowest error estimate: the search may not have found the best fit "
                            "(try more starts).");
    std::vector<std::string> differing;
    int rivals = 0;
    for (int s = 0; s < rep.startCount; ++s) {
        const WfFitStart& e = rep.starts[s];
        if (!(e.errorEstimate <= best * (1.0 + kVerdictRivalS) + rep.errorFloor)) continue;
        bool distinct = false;
        for (int j = 0; j < 4; ++j) {
            const WfFitParameter& q = rep.parameters[j];
            if (!q.estimated || q.held || !(q.value != 0.0)) continue;
            if (std::fabs(e.parameters[j] / q.value - 1.0) > kVerdictRivalParameter) {
                distinct = true;
                if (std::find(differing.begin(), differing.end(), kParamNames[j]) == differing.end())
                    differing.push_back(kParamNames[j]);
            }
        }
        // The well's: the casing radius relatively, the skin (which may be
        // near 0) against the larger of 1 and its size.
        for (int w = 0; w < 2 && rep.well; ++w) {
            const WfFitParameter& q = wellParameter(rep, w);
            if (!q.estimated || q.held) continue;
            const double scale = w == WF_WELL_SKIN ? std::max(1.0, std::fabs(q.value)) : std::fabs(q.value);
            if (!(scale > 0.0) || !(std::fabs(rep.startWell[s][w] - q.value) > kVerdictRivalParameter * scale)) continue;
            distinct = true;
            if (std::find(differing.begin(), differing.end(), kWellNames[w]) == differing.end())
                differing.push_back(kWellNames[w]);
        }
        if (distinct) ++rivals;
    }
    if (rivals > 0)
        sentences.push_back("The data do not single out one answer: " + std::to_string(rivals) +
                            (rivals == 1 ? " start ended" : " starts ended") +
                            " within 10 % of the lowest error estimate (or closer than the data resolve) at clearly different values of " +
                            joinWords(differing) + ".");
}

} // namespace

std::string singleWellSentence(const WfFitReport& rep) {
    if (!rep.well || !rep.onlyAtWell || !rep.skin.estimated || rep.skin.held) return std::string();
    const WfFitParameter& S = rep.totals[1];
    if (!S.estimated || S.held) return std::string();
    const double r = rep.storageSkinCorrelation;
    const bool correlated = std::fabs(r) >= kVerdictCorrelation;
    const bool wide = !(S.logLow95 > 0.0 && S.logHigh95 / S.logLow95 <= kVerdictDecade);
    if (!correlated && !wide) return std::string();
    return "A single well does not determine S on its own: only S together with the skin" +
           (std::isfinite(r) ? " (their estimates are correlated r = " + printf1("%.2f", r) + ")" : std::string()) + ".";
}

std::string fitVerdict(const WfFitReport& rep, const std::string& tUnit, const std::string& lengthUnit) {
    if (rep.unknowns == 0) return "No parameter was estimated: every one was held at its guess.";
    if (rep.residuals <= rep.unknowns)
        return "There are no more residuals than unknowns, so the data cannot say how well the parameters are "
               "determined.";
    std::vector<std::string> sentences;
    bool explained[4] = {};  // parameters covered by a sentence about their layer pair
    const bool tied = unknownIndex(rep, "T") >= 0;

    // Layer pairs the data do not tell apart.
    for (int k = 0; k < 2 && !tied; ++k) {
        const int a = unknownIndex(rep, kParamNames[2 * k]), b = unknownIndex(rep, kParamNames[2 * k + 1]);
        if (a < 0 || b < 0) continue;
        const double r = rep.correlation[a][b];
        if (!(std::fabs(r) >= kVerdictCorrelation) && std::isfinite(r)) continue;
        // Strongly correlated, yet each of the pair determined on its own: the
        // data tell the layers apart (several observation points do that).
        const double ra = relativeError(rep.parameters[2 * k]), rb = relativeError(rep.parameters[2 * k + 1]);
        if (std::isfinite(r) && ra <= kVerdictDetermined && rb <= kVerdictDetermined) continue;
        const WfFitParameter& tot = rep.totals[k];
        const std::string name = kTotalNames[k];
        const double rel = relativeError(tot);
        const std::string corr = std::isfinite(r) ? " (correlation " + printf1("%.4f", r) + ")" : "";
        if (std::isfinite(rel) && rel <= kVerdictLoose)
            sentences.push_back("The data determine " + name + " = " + valueWithError(tot.value, tot.standardError) +
                                unitOf(2 * k, tUnit) + ", but not how it splits between the layers" + corr + ".");
        else
            sentences.push_back("The data determine neither " + std::string(kParamNames[2 * k]) + " nor " +
                                kParamNames[2 * k + 1] + ", nor their sum " + name + corr + ".");
        explained[2 * k] = explained[2 * k + 1] = true;
    }

    // The other estimated quantities, one by one.
    std::vector<std::string> good, loose, bad;
    auto classify = [&](const std::string& name, const WfFitParameter& q, int param) {
        const double rel = relativeError(q);
        const std::string text = name + " = " + valueWithError(q.value, q.standardError) + unitOf(param, tUnit);
        if (std::isfinite(rel) && rel <= kVerdictDetermined) good.push_back(text);
        else if (std::isfinite(rel) && rel <= kVerdictLoose) loose.push_back(text);
        else bad.push_back(name);
    };
    if (tied) {
        // A held shared unknown is said to be held below, not to be undetermined.
        if (!rep.totals[0].held) classify("T = TF + TM", rep.totals[0], 0);
        if (!rep.totals[1].held) classify("S = SF + SM", rep.totals[1], 2);
    } else {
        for (int j = 0; j < 4; ++j)
            if (rep.parameters[j].estimated && !explained[j]) classify(kParamNames[j], rep.parameters[j], j);
    }
    for (int w = 0; w < 2 && rep.well; ++w) {
        const WfFitParameter& q = wellParameter(rep, w);
        if (!q.estimated || q.held) continue;
        // The skin may be near 0: its error is judged against 1, not against itself.
        WfFitParameter judged = q;
        if (w == WF_WELL_SKIN) judged.value = std::max(std::fabs(q.value), 1.0);
        const double rel = relativeError(judged);
        const std::string text = std::string(kWellNames[w]) + " = " + valueWithError(q.value, q.standardError) +
                                 (w == WF_WELL_CASING ? " " + lengthUnit : std::string());
        if (std::isfinite(rel) && rel <= kVerdictDetermined) good.push_back(text);
        else if (std::isfinite(rel) && rel <= kVerdictLoose) loose.push_back(text);
        else bad.push_back(kWellNames[w]);
    }
    const std::string singleWell = singleWellSentence(rep);
    const bool allGood = sentences.empty() && loose.empty() && bad.empty();
    if (!good.empty())
        sentences.push_back((allGood ? "The data determine every estimated parameter: " : "The data determine ") +
                            joinWords(good) + ".");
    if (!loose.empty()) sentences.push_back("Only loosely determined: " + joinWords(loose) + ".");
    if (!bad.empty()) sentences.push_back("The data do not determine " + joinWords(bad) + ".");

    if (!singleWell.empty()) sentences.push_back(singleWell);

    // Other strong correlations (between a conductivity and a storage, or
    // with the well's unknowns).
    for (int a = 0; a < unknownCount(rep); ++a)
        for (int b = a + 1; b < unknownCount(rep); ++b) {
            const std::string na = unknownName(rep, a), nb = unknownName(rep, b);
            const bool pair = (na == "TF" && nb == "TM") || (na == "SF" && nb == "SM");
            // S and the skin of a single well: said above.
            const bool storageSkin = !singleWell.empty() && nb == "skin" && (na == "S" || na == "SF" || na == "SM");
            const double r = unknownCorr(rep, a, b);
            if (pair || storageSkin || !(std::fabs(r) >= kVerdictCorrelation)) continue;
            sentences.push_back(na + " and " + nb + " are strongly correlated (" + printf1("%.3f", r) +
                                "): the data fix a combination of them better than either.");
        }
    if (rep.condition > kVerdictCondition && sentences.size() == 1 && allGood)
        sentences.push_back("The scaled normal matrix is ill-conditioned (condition " + printf1("%.2g", rep.condition) +
                            ").");

    // Bounds and held parameters.
    for (int j = 0; j < 4; ++j) {
        const WfFitParameter& q = rep.parameters[j];
        if (q.held) continue;
        if (q.atBound < 0) sentences.push_back(std::string(kParamNames[j]) + " ended on its lower bound.");
        if (q.atBound > 0) sentences.push_back(std::string(kParamNames[j]) + " ended on its upper bound.");
    }
    std::vector<std::string> wellHeld;
    for (int w = 0; w < 2 && rep.well; ++w) {
        const WfFitParameter& q = wellParameter(rep, w);
        if (q.held) {
            wellHeld.push_back(kWellNames[w]);
            continue;
        }
        if (q.atBound < 0) sentences.push_back(std::string(kWellNames[w]) + " ended on its lower bound.");
        if (q.atBound > 0) sentences.push_back(std::string(kWellNames[w]) + " ended on its upper bound.");
    }
    std::vector<std::string> held;
    for (int j = 0; j < 4; ++j)
        if (rep.parameters[j].held) held.push_back(kParamNames[j]);
    // One aquifer: a held pair is held at the one value both layers share,
    // the thickness-weighted mean of their guesses, not at either guess.
    if (!held.empty())
        sentences.push_back(std::string(tied ? "Held at the thickness-weighted mean of the layers' guesses: "
                                             : "Held at the guess: ") +
                            joinWords(held) + ".");
    if (!wellHeld.empty()) sentences.push_back("Held at the well's given value: " + joinWords(wellHeld) + ".");
    if (std::fabs(rep.runsZ) > kVerdictRunsZ)
        sentences.push_back("The fit shows a systematic misfit: the model does not follow the shape of the data (runs test of the "
                            "residuals' signs: " + std::to_string(rep.signRuns) + " runs, " +
                            printf1("%.1f", rep.expectedRuns) + " expected, z = " + printf1("%.1f", rep.runsZ) +
                            "); wellbore storage, a boundary or another model may explain it.");
    startSentences(rep, sentences);

    std::string text;
    for (const std::string& s : sentences) text += (text.empty() ? "" : " ") + s;
    return text;
}

std::string fitReportText(const WfFitReport& rep, const std::string& verdict, const std::string& tUnit,
                          const std::string& dataUnit, const std::string& startsNote) {
    std::string s;
    auto line = [&](const std::string& l) { s += l + "\n"; };
    auto sci = [](double v) { return std::isfinite(v) ? printf1("%14.6E", v) : std::string("           n/a"); };
    line("WELLFIT fit report");
    line(std::string(rep.type == 1 ? "Fixed-time run" : "Optimisation") + ": " + std::to_string(rep.passes) +
         (rep.passes == 1 ? " pass, " : " passes, ") + std::to_string(rep.modelRuns) + " model runs");
    line("Ended: " + std::string(rep.message));
    if (rep.type == 0) line(std::string("Search: ") + searchName(rep.search));
    line(std::string("Model: ") + modelName(rep.model) + ", mesh of " + std::to_string(rep.meshColumns) + " x " +
         std::to_string(rep.meshRows) + " nodes");
    line("");
    line("Error estimate S (sum of squared residuals, the \"RMSE\" of the result file) = " +
         printf1("%.6E", rep.errorEstimate));
    line("Root-mean-square error sqrt(S / (n - NSKIP)) = " + printf1("%.6E", rep.rmse) + " " + dataUnit + " (" +
         std::to_string(rep.residuals) + " residuals, " + std::to_string(rep.unknowns) + " unknowns)");
    if (rep.points > 1) {
        line("");
        line("Observation point  Node  Weight   Residuals  Error share of S   RMSE (" + dataUnit + ")");
        for (int l = 0; l < rep.points && l < 4; ++l) {
            const WfFitPoint& f = rep.pointFits[l];
            char buf[160];
            std::snprintf(buf, sizeof buf, "%17d %5d %7.3g %11d %17.6E %14.6E", l + 1, f.node, f.weight, f.residuals,
                          f.errorEstimate, f.rmse);
            line(buf);
        }
    }
    line("");
    line("Parameter         Value     Std. error    Low 95 %     High 95 %   Log low 95 % Log high 95 %  Unit     "
         "Status");
    auto row = [&](const std::string& name, const WfFitParameter& q, const std::string& unit) {
        // A fixed-time run estimates nothing: its free parameters are the given ones.
        std::string status = q.held ? "held" : !q.estimated ? "derived" : rep.type == 1 ? "given" : "estimated";
        if (q.atBound < 0) status += ", on lower bound";
        if (q.atBound > 0) status += ", on upper bound";
        char head[16];
        std::snprintf(head, sizeof head, "%-8.8s", name.c_str());
        std::string l = head + sci(q.value) + sci(q.held ? kNaN : q.standardError) + sci(q.low95) + sci(q.high95) +
                        sci(q.logLow95) + sci(q.logHigh95) + "  " + (unit.empty() ? "-" : unit);
        l.resize(std::max<std::size_t>(l.size(), 101), ' ');
        line(l + "  " + status);
    };
    for (int j = 0; j < 4; ++j) row(kParamNames[j], rep.parameters[j], j < 2 ? tUnit : "");
    row("TF+TM", rep.totals[0], tUnit);
    row("SF+SM", rep.totals[1], "");
    if (rep.well) {
        row("skin", rep.skin, "");
        row("rc", rep.casingRadius, dataUnit);
    }
    line("");
    if (rep.unknowns > 0) {
        line("Correlation of the estimated unknowns:");
        const int p = unknownCount(rep);
        std::string head = "        ";
        for (int j = 0; j < p; ++j) {
            const char* name = unknownName(rep, j);
            head += std::string(9 - std::strlen(name), ' ') + name;
        }
        line(head);
        for (int j = 0; j < p; ++j) {
            std::string l = std::string(unknownName(rep, j)) + std::string(8 - std::strlen(unknownName(rep, j)), ' ');
            for (int k = 0; k < p; ++k) {
                const double r = unknownCorr(rep, j, k);
                l += std::isfinite(r) ? printf1("%9.4f", r) : "      n/a";
            }
            line(l);
        }
        line("Condition number of the scaled normal matrix: " +
             (std::isfinite(rep.condition) ? printf1("%.4E", rep.condition) : std::string("infinite (singular)")));
        line("");
    }
    if (std::isfinite(rep.expectedRuns))
        line("Runs test of the residuals' signs: " + std::to_string(rep.signRuns) + " runs, " +
             printf1("%.2f", rep.expectedRuns) + " expected, z = " +
             (std::isfinite(rep.runsZ) ? printf1("%.2f", rep.runsZ) : std::string("n/a")));
    if (rep.startCount > 0) {
        line("");
        line("Robust search: " + std::to_string(rep.startCount) + " starts, " + std::to_string(rep.startsAtBest) +
             " within 0.1 % of the lowest error estimate");
        line(std::string("Start  Error estimate        TF            TM            SF            SM") +
             (rep.well ? "          skin            rc" : "") + "    Passes  Ended");
        for (int k = 0; k < rep.startCount && k < WF_MAX_STARTS; ++k) {
            const WfFitStart& e = rep.starts[k];
            char buf[240];
            std::string well;
            if (rep.well) {
                char w[64];
                std::snprintf(w, sizeof w, " %13.5E %13.5E", rep.startWell[k][WF_WELL_SKIN], rep.startWell[k][WF_WELL_CASING]);
                well = w;
            }
            std::snprintf(buf, sizeof buf, "%5d %15.6E %13.5E %13.5E %13.5E %13.5E%s %7d  %s", k + 1, e.errorEstimate,
                          e.parameters[0], e.parameters[1], e.parameters[2], e.parameters[3], well.c_str(), e.passes,
                          startEndingName(e.ending));
            line(buf);
        }
        if (!startsNote.empty()) line(startsNote);
    }
    if (std::isfinite(rep.expectedRuns) || rep.startCount > 0) line("");
    line("Verdict: " + verdict);
    line("");
    line("The standard errors and intervals come from s2 (J'J)^-1 with the derivative columns of the last pass,");
    line("s2 = S / (n - NSKIP - p). The residuals of a pumping test are correlated in time, so they are");
    line("indicative only: they show which parameters the data determine, not a strict confidence level.");
    return s;
}

} // namespace wf
