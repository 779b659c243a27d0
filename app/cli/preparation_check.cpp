#include "preparation_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace wf::cli {

namespace {

namespace fs = std::filesystem;

// The file in folder whose name matches apart from letter case.
fs::path findSide(const fs::path& folder, const std::string& name) {
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::error_code ec;
    const fs::path listed = folder.empty() ? fs::path(".") : folder;
    for (fs::directory_iterator it(listed, ec), end; !ec && it != end; it.increment(ec))
        if (lower(it->path().filename().string()) == lower(name)) return it->path();
    return {};
}

std::optional<fs::file_time_type> modified(const fs::path& p) {
    if (p.empty()) return std::nullopt;
    std::error_code ec;
    const auto t = fs::last_write_time(p, ec);
    if (ec) return std::nullopt;
    return t;
}

// A real of the model-control file; Fortran's D exponent is read as E.
bool realOf(std::string word, double& out) {
    for (char& c : word)
        if (c == 'D' || c == 'd') c = 'E';
    std::istringstream in(word);
    return static_cast<bool>(in >> out);
}

std::vector<std::string> wordsOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

// What the model-control file says about the pumping schedule, the opposite
// boundary and the thickness, compared with the document; empty when they agree
// (or when the file is not one the preparation writes: the analysis reports that).
std::string controlFileDifference(const wf::doc::ProjectDocument& doc, const fs::path& tim) {
    std::ifstream in(tim);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    if (lines.size() < 10) return {};
    const std::vector<std::string> counts = wordsOf(lines[3]), profile = wordsOf(lines[4]),
                                   level = wordsOf(lines[9]);
    if (counts.size() < 12 || profile.size() < 2 || level.size() < 2) return {};
    const int NQ = doc.pump.NQ;
    const bool constantHead = doc.pump.IOPP == 1;
    if ((std::stoi(counts[3]) != 0) != constantHead) return "the opposite boundary";
    if (std::stoi(profile[0]) != NQ + 1) return "the number of pumping steps";
    double thick = 0.0;
    if (!realOf(level[1], thick) || !near(thick, doc.obsv.THICK, 1e-5 * std::fabs(doc.obsv.THICK) + 1e-12))
        return "the thickness of the aquifer";

    // The first pumping profile: after the constant-head records, if any.
    std::size_t at = 10;
    if (constantHead) at += 2 + static_cast<std::size_t>(std::max(std::stoi(counts[3]), 0));
    if (at + static_cast<std::size_t>(NQ) + 1 >= lines.size()) return "the pumping schedule";
    const int nwell = std::stoi(counts[8]);
    const double twoPi = 2.0 * static_cast<double>(3.1415925f);
    for (int m = 0; m <= NQ; ++m) {
        const std::vector<std::string> rec = wordsOf(lines[at + 1 + static_cast<std::size_t>(m)]);
        double t = 0.0, rate = 0.0;
        if (rec.size() < 2 || !realOf(rec[0], t) || !realOf(rec[1], rate)) return "the pumping schedule";
        // Record m holds the start of step m (times with three decimals) and the
        // rate of the step before it; the end rows carry half the node rate.
        if (m >= 1 && m < NQ && !near(t, doc.pump.TQ[m], 0.0006 + 1e-9 * std::fabs(doc.pump.TQ[m])))
            return "the pumping schedule";
        if (m == 0 && !near(t, doc.pump.TQ[0], 0.0006 + 1e-9 * std::fabs(doc.pump.TQ[0])))
            return "the pumping schedule";
        const double Q = doc.pump.Q[m == 0 ? 0 : m - 1];
        const double expected = -Q / ((nwell - 1) * twoPi) / 2.0;
        // The fine model shares the rate among the well's rows by their part of
        // the screen, so the first profile's rate is not this share; its
        // schedule is still compared.
        if (nwell > 1 && !doc.analysisOptions.fineModel && !near(rate, expected, 1e-5 * std::fabs(expected) + 1e-30))
            return "the pumping rates";
    }
    return {};
}

} // namespace

PreparationInputs PreparationInputs::of(const wf::doc::ProjectDocument& doc) {
    PreparationInputs p;
    p.mesh = doc.mesh;
    p.THICK = doc.obsv.THICK;
    p.NOBS = doc.obsv.NOBS;
    std::memcpy(p.NODOBS, doc.obsv.NODOBS, sizeof p.NODOBS);
    p.IWLO = doc.pump.IWLO;
    p.NQ = doc.pump.NQ;
    p.IPUMP = doc.pump.IPUMP;
    p.IOPP = doc.pump.IOPP;
    std::memcpy(p.Q, doc.pump.Q, sizeof p.Q);
    std::memcpy(p.TQ, doc.pump.TQ, sizeof p.TQ);
    return p;
}

bool PreparationInputs::operator==(const PreparationInputs& o) const {
    return std::memcmp(&mesh, &o.mesh, sizeof mesh) == 0 && THICK == o.THICK && NOBS == o.NOBS &&
           std::memcmp(NODOBS, o.NODOBS, sizeof NODOBS) == 0 && IWLO == o.IWLO && NQ == o.NQ && IPUMP == o.IPUMP &&
           IOPP == o.IOPP && std::memcmp(Q, o.Q, sizeof Q) == 0 && std::memcmp(TQ, o.TQ, sizeof TQ) == 0;
}

std::optional<std::string> stalePreparation(const wf::doc::ProjectDocument& doc, const fs::path& folder) {
    const std::string obsName(doc.filename.obsName), timName(doc.filename.timName);
    const fs::path obs = findSide(folder, obsName), tim = findSide(folder, timName);
    const auto tObs = modified(obs), tTim = modified(tim);
    if (!tObs || !tTim) return std::nullopt;
    const fs::file_time_type prepared = std::min(*tObs, *tTim);
    const std::string files = obsName + " and " + timName;
    for (const std::string& name : {std::string(doc.filename.datName), std::string(doc.filename.femName)}) {
        const auto t = modified(findSide(folder, name));
        if (t && *t > prepared) return "The preparation files " + files + " are older than " + name;
    }
    try {
        const std::string what = controlFileDifference(doc, tim);
        if (!what.empty()) return "The model-control file " + timName + " was prepared for other values of " + what;
    } catch (const std::exception&) {
        // Not a file the preparation writes: the analysis run reports it.
    }
    return std::nullopt;
}

} // namespace wf::cli
