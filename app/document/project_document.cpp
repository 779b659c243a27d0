#include "project_document.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace wf::doc {

namespace {

// Copies text into a fixed NUL-terminated field, cut to fit with its terminator;
// the rest of the field is zero.
template <std::size_t N>
void putText(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// The first `limit` bytes of text without splitting a UTF-8 sequence.
std::string_view cutBytes(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0u) == 0x80u) --n;
    return text.substr(0, n);
}

} // namespace

ProjectDocument::ProjectDocument() { applyDefaults(); }

void ProjectDocument::applyDefaults() {
    analysisOptions = AnalysisOptions{};
    filename.baseLength = 0;
    mesh = wf::defaults::mesh();
    units = wf::defaults::units();

    const OBSV o = wf::defaults::obsv();
    obsv.THICK = o.THICK;
    obsv.RATIO = o.RATIO;
    obsv.NOBS = o.NOBS;
    obsv.ROBS[0] = o.ROBS[0];
    obsv.IPOS[0] = o.IPOS[0];
    obsv.NODOBS[0] = o.NODOBS[0];
    // One observation point, as a new project has.
    for (int l = 1; l < 4; ++l) {
        obsv.ROBS[l] = 0.0f;
        obsv.IPOS[l] = 0;
        obsv.NODOBS[l] = 0;
    }
    clearFurtherPoints();

    const PUMP p = wf::defaults::pump();
    pump.IWLO = p.IWLO;
    pump.NQ = p.NQ;
    pump.Q[0] = p.Q[0];
    pump.TQ[0] = p.TQ[0];
    pump.NSTEP = p.NSTEP;
    pump.TSIM = p.TSIM;
    pump.IPUMP = p.IPUMP;
    pump.IOPP = p.IOPP;

    const GUESS g = wf::defaults::guess();
    guess.SCALT = g.SCALT;
    guess.SCALS = g.SCALS;
    guess.PEPS = g.PEPS;

    const PINIT q = wf::defaults::pinit();
    pinit.TF = q.TF;
    pinit.TM = q.TM;
    pinit.SF = q.SF;
    pinit.SM = q.SM;
}

void ProjectDocument::setDerivedNames(std::string_view fileNameWithoutFolder) {
    fileName_ = std::string(fileNameWithoutFolder);
    const std::size_t length = fileName_.size();
    filename.baseLength = length >= 4 ? static_cast<int32_t>(std::min<std::size_t>(length - 4, INT32_MAX)) : 0;
    putText(filename.projectName, fileName_);
    const std::string s = stem();
    putText(filename.femName, s + ".FEM");
    putText(filename.datName, s + ".DAT");
    putText(filename.timName, s + ".TIM");
    putText(filename.obsName, s + ".OBS");
    putText(filename.resName, s + ".RES");
    putText(filename.invName, s + ".INV");
}

std::string ProjectDocument::stem() const {
    return fileName_.size() >= 4 ? fileName_.substr(0, fileName_.size() - 4) : std::string();
}

void ProjectDocument::setBoreholeName(std::string_view name) {
    boreholeName_ = std::string(cutBytes(name, kMaxBoreholeName));
}

Status ProjectDocument::newProject(const std::filesystem::path& path) {
    ProjectDocument d = *this;
    d.applyDefaults();
    d.setDerivedNames(path.filename().string());
    if (Status st = d.saveProject(path); !st) return st;
    d.pointCount_ = 0;
    *this = std::move(d);
    return Status::success();
}

OpenOutcome ProjectDocument::openProject(const std::filesystem::path& path) {
    OpenOutcome outcome;
    ProjectDocument d = *this;
    outcome.project = d.loadProject(path, &outcome.warning);
    if (!outcome.project) return outcome;
    d.setDerivedNames(path.filename().string());
    // A bare file name: the working directory, named by the bare side-file names.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path();
    outcome.testData = d.readTestData(folder);
    if (!outcome.testData) d.pointCount_ = 0;
    *this = std::move(d);
    return outcome;
}

Status ProjectDocument::acceptTestData(std::string_view boreholeName, std::vector<std::string> times,
                                       std::vector<std::string> values, const std::filesystem::path& folder) {
    if (times.size() != values.size())
        return Status::failure("Test data: " + std::to_string(times.size()) + " times but " +
                               std::to_string(values.size()) + " values");
    ProjectDocument d = *this;
    d.setBoreholeName(boreholeName);
    d.pointCount_ = static_cast<int32_t>(std::min<std::size_t>(times.size(), INT32_MAX));
    d.times_ = std::move(times);
    d.values_ = std::move(values);
    d.testDataProblem_.clear();  // written only when every point is a number
    if (Status st = d.writeTestData(folder); !st) return st;
    *this = std::move(d);
    return Status::success();
}

void ProjectDocument::updateStepCount() {
    for (int k = 0; k < kMaxPumpingSteps; ++k)
        if (pump.TQ[k] != 0.0f || pump.Q[k] != 0.0f) pump.NQ = k + 1;
}

std::filesystem::path resolveProjectLink(const std::filesystem::path& projectPath) {
    std::error_code ec;
    std::filesystem::path p = projectPath;
    // A chain of links ends at the file itself; at most a few steps are followed.
    for (int step = 0; step < 8 && std::filesystem::is_symlink(p, ec); ++step) {
        const std::filesystem::path target = std::filesystem::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

Status enterProjectFolder(const std::filesystem::path& projectPath) {
    if (!projectPath.has_parent_path()) return Status::success();
    std::error_code ec;
    std::filesystem::current_path(projectPath.parent_path(), ec);
    if (ec)
        return Status::failure("Cannot enter the project folder " + projectPath.parent_path().string() + " (" +
                               ec.message() + ")");
    return Status::success();
}

} // namespace wf::doc
