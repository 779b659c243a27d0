// The binary project file (.wft): little-endian 4-byte items without header,
// in a fixed order, the discharge table sized by NQ, then an optional block
// with the borehole name.
#include <algorithm>
#include <cmath>
#include <exception>
#include <system_error>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "project_document.h"
#include "replace_file.h"

namespace wf::doc {

namespace {

class ItemWriter {
public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    void byte(unsigned char b) { bytes_.push_back(static_cast<char>(b)); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads items while bytes remain; an item cut off by the end of the file is
// not read and its field keeps its value.
class ItemReader {
public:
    explicit ItemReader(std::string bytes) : bytes_(std::move(bytes)) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    bool u32(uint32_t& v) {
        if (bytes_.size() - pos_ < 4) {
            pos_ = bytes_.size();
            return false;
        }
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u;
        if (!u32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool f32(float& v) {
        uint32_t u;
        if (!u32(u)) return false;
        v = std::bit_cast<float>(u);
        return true;
    }
    bool byte(unsigned char& b) {
        if (atEnd()) return false;
        b = static_cast<unsigned char>(bytes_[pos_++]);
        return true;
    }
    // Everything not read yet.
    std::string_view rest() const { return std::string_view(bytes_).substr(std::min(pos_, bytes_.size())); }
    // Up to n bytes, fewer when the file ends first.
    std::string text(std::size_t n) {
        const std::size_t take = std::min(n, bytes_.size() - pos_);
        std::string s = bytes_.substr(pos_, take);
        pos_ += take;
        return s;
    }

private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

// Steps stored in the discharge table: NQ, at least one pair.
int storedSteps(int32_t NQ) { return NQ <= 1 ? 1 : NQ; }

std::string stepCountError(const std::filesystem::path& path, int32_t NQ) {
    return "Project file " + path.string() + ": the number of pumping steps " + std::to_string(NQ) +
           " is not between 0 and 20";
}

} // namespace

Status ProjectDocument::saveProject(const std::filesystem::path& path) const {
    if (pump.NQ < 0 || pump.NQ > kMaxPumpingSteps)
        return Status::failure("Cannot save the project file " + path.string() + ": the number of pumping steps " +
                               std::to_string(pump.NQ) + " is not between 0 and 20");
    ItemWriter w;
    w.i32(mesh.NR);
    w.i32(mesh.NZ);
    w.i32(mesh.NMAT);
    w.i32(mesh.NZF);
    w.i32(mesh.NZM);
    w.i32(mesh.NN);
    w.i32(mesh.NE);
    w.i32(mesh.NB);
    w.f32(mesh.RMAX);
    w.i32(units.IDIST);
    w.i32(units.ITIN);
    w.i32(units.ITOUT);
    w.i32(units.ICOND);
    w.i32(units.IFLUX);
    w.i32(units.IDISCH);
    w.f32(obsv.THICK);
    w.f32(obsv.RATIO);
    w.i32(obsv.NOBS);
    w.i32(obsv.NODOBS[0]);
    w.i32(obsv.IPOS[0]);
    w.f32(obsv.ROBS[0]);
    w.i32(pump.NQ);
    w.i32(pump.IWLO);
    w.f32(pump.NSTEP);
    w.f32(pump.TSIM);
    w.i32(pump.IPUMP);
    w.i32(pump.IOPP);
    for (int k = 0; k < storedSteps(pump.NQ); ++k) {
        w.f32(pump.Q[k]);
        w.f32(pump.TQ[k]);
    }
    w.f32(pinit.TF);
    w.f32(pinit.TM);
    w.f32(pinit.SF);
    w.f32(pinit.SM);
    // A file with the options block or the observation points block always
    // carries the name block before them.
    const bool options = !analysisOptions.isDefault();
    const bool points = !furtherPoints_.empty();
    if (!boreholeName_.empty() || options || points) {
        // Length byte and 50 character bytes; the bytes after the name are zero.
        w.byte(static_cast<unsigned char>(boreholeName_.size()));
        for (std::size_t i = 0; i < kMaxBoreholeName; ++i)
            w.byte(i < boreholeName_.size() ? static_cast<unsigned char>(boreholeName_[i]) : 0);
    }
    std::string bytes = w.bytes();
    if (options) bytes += encodeOptionsBlock(analysisOptions);
    if (points) {
        PointSettings settings;
        settings.firstName = firstPointName_;
        settings.firstWeight = firstPointWeight_;
        for (std::size_t k = 0; k < furtherPoints_.size(); ++k) {
            ObservationPoint p;
            p.name = furtherPoints_[k].name;
            p.weight = furtherPoints_[k].weight;
            p.distance = obsv.ROBS[k + 1];
            p.position = obsv.IPOS[k + 1];
            p.node = obsv.NODOBS[k + 1];
            settings.further.push_back(std::move(p));
        }
        bytes += encodePointsBlock(settings);
    }
    return replaceFile(path, bytes, "project file");
}

Status ProjectDocument::saveToProjectName(const std::filesystem::path& folder) const {
    if (fileName_.empty()) return Status::failure("The project has no file name yet; use Save as");
    return saveProject(folder / fileName_);
}

namespace {

std::string floatText(float v) {
    if (std::isnan(v)) return "NaN";
    return v > 0 ? "Infinity" : "-Infinity";
}

// The whole file; an empty text and the reason when it cannot be read.
bool readAllBytes(const std::filesystem::path& path, std::string& bytes, std::string& reason) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(st)) {
        reason = "it is a folder";
        return false;
    }
    if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st)) {
        reason = "it is not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::filesystem::exists(st) ? "it cannot be opened" : "it does not exist";
        return false;
    }
    try {
        bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    } catch (const std::exception& e) {
        reason = e.what();
        return false;
    }
    if (in.bad()) {
        reason = "read error";
        return false;
    }
    return true;
}

// The first real of the file that is not a finite number, by its field name.
std::string nonFiniteField(const ProjectDocument& d, int steps) {
    const std::pair<const char*, float> fields[] = {
        {"RMAX (distance to the opposite boundary)", d.mesh.RMAX}, {"THICK (thickness)", d.obsv.THICK},
        {"RATIO (fracture ratio)", d.obsv.RATIO},                  {"ROBS 1 (observation distance)", d.obsv.ROBS[0]},
        {"NSTEP (number of time steps)", d.pump.NSTEP},            {"TSIM (simulation time)", d.pump.TSIM},
        {"TF", d.pinit.TF}, {"TM", d.pinit.TM}, {"SF", d.pinit.SF}, {"SM", d.pinit.SM}};
    for (const auto& [name, v] : fields)
        if (!std::isfinite(v)) return std::string(name) + " is not a finite number (" + floatText(v) + ")";
    for (int k = 0; k < steps; ++k) {
        if (!std::isfinite(d.pump.Q[k]))
            return "the discharge Q " + std::to_string(k + 1) + " is not a finite number (" + floatText(d.pump.Q[k]) + ")";
        if (!std::isfinite(d.pump.TQ[k]))
            return "the step start TQ " + std::to_string(k + 1) + " is not a finite number (" +
                   floatText(d.pump.TQ[k]) + ")";
    }
    return {};
}

} // namespace

Status ProjectDocument::loadProject(const std::filesystem::path& path) {
    std::string bytes, reason;
    if (!readAllBytes(path, bytes, reason))
        return Status::failure("Cannot open the project file " + path.string() + " (" + reason + ")");

    // Everything is read into a copy and taken over only when the whole file is sound.
    ProjectDocument d = *this;
    ItemReader r(std::move(bytes));
    int32_t NQ = d.pump.NQ;
    bool more = r.i32(d.mesh.NR) && r.i32(d.mesh.NZ) && r.i32(d.mesh.NMAT) && r.i32(d.mesh.NZF) &&
                r.i32(d.mesh.NZM) && r.i32(d.mesh.NN) && r.i32(d.mesh.NE) && r.i32(d.mesh.NB) &&
                r.f32(d.mesh.RMAX) && r.i32(d.units.IDIST) && r.i32(d.units.ITIN) && r.i32(d.units.ITOUT) &&
                r.i32(d.units.ICOND) && r.i32(d.units.IFLUX) && r.i32(d.units.IDISCH) && r.f32(d.obsv.THICK) &&
                r.f32(d.obsv.RATIO) && r.i32(d.obsv.NOBS) && r.i32(d.obsv.NODOBS[0]) && r.i32(d.obsv.IPOS[0]) &&
                r.f32(d.obsv.ROBS[0]) && r.i32(NQ);
    if (more) {
        if (NQ < 0 || NQ > kMaxPumpingSteps) return Status::failure(stepCountError(path, NQ));
        d.pump.NQ = NQ;
        more = r.i32(d.pump.IWLO) && r.f32(d.pump.NSTEP) && r.f32(d.pump.TSIM) && r.i32(d.pump.IPUMP) &&
               r.i32(d.pump.IOPP);
    }
    for (int k = 0; more && k < storedSteps(NQ); ++k) more = r.f32(d.pump.Q[k]) && r.f32(d.pump.TQ[k]);
    more = more && r.f32(d.pinit.TF) && r.f32(d.pinit.TM) && r.f32(d.pinit.SF) && r.f32(d.pinit.SM);
    unsigned char length = 0;
    if (more && r.byte(length)) {
        if (length > kMaxBoreholeName)
            return Status::failure("Project file " + path.string() + ": the borehole name length " +
                                   std::to_string(length) + " is above 50");
        d.boreholeName_ = r.text(length);
        r.text(kMaxBoreholeName - length);  // the rest of the 50 character bytes
        const std::string_view rest = r.rest();
        if (Status st = decodeOptionsBlock(rest, d.analysisOptions, path.string()); !st) return st;
        if (Status st = d.loadPointsBlock(rest, path.string()); !st) return st;
    } else {
        d.analysisOptions = AnalysisOptions{};
        d.clearFurtherPoints();
    }
    if (const std::string bad = nonFiniteField(d, storedSteps(d.pump.NQ)); !bad.empty())
        return Status::failure("Project file " + path.string() + ": " + bad);
    *this = std::move(d);
    return Status::success();
}

} // namespace wf::doc
