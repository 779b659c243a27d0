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
#include <type_traits>
#include <utility>

#include "project_document.h"
#include "le_items.h"
#include "replace_file.h"
#include "tagged_blocks.h"

namespace wf::doc {

namespace {

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
    if (options) bytes += encodeOptionBlocks(analysisOptions);
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
        bytes += encodeBlock(kPointsTag, kPointsVersion, encodePointsFields(settings));
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


// Reads the fixed items in order and remembers the first one the file ends in.
class FixedItems {
public:
    explicit FixedItems(std::string_view bytes) : r_(bytes) {}
    template <class T>
    FixedItems& item(const std::string& name, T& field) {
        if (!missing_.empty()) return *this;
        bool read = false;
        if constexpr (std::is_same_v<T, float>)
            read = r_.f32(field);
        else
            read = r_.i32(field);
        if (!read)
            missing_ = name;
        else
            ++read_;
        return *this;
    }
    // Fixed items read so far.
    int read() const { return read_; }
    bool complete() const { return missing_.empty(); }
    const std::string& missing() const { return missing_; }
    ItemReader& reader() { return r_; }

private:
    ItemReader r_;
    std::string missing_;
    int read_ = 0;
};

// NOBS is the 18th fixed item.
constexpr int kItemsThroughNOBS = 18;

} // namespace

Status ProjectDocument::loadProject(const std::filesystem::path& path, std::string* warning) {
    std::string bytes, reason;
    if (!readAllBytes(path, bytes, reason))
        return Status::failure("Cannot open the project file " + path.string() + " (" + reason + ")");

    // Everything is read into a copy and taken over only when the whole file is sound.
    ProjectDocument d = *this;
    FixedItems f(bytes);
    int32_t NQ = d.pump.NQ;
    f.item("NR", d.mesh.NR).item("NZ", d.mesh.NZ).item("NMAT", d.mesh.NMAT).item("NZF", d.mesh.NZF);
    f.item("NZM", d.mesh.NZM).item("NN", d.mesh.NN).item("NE", d.mesh.NE).item("NB", d.mesh.NB);
    f.item("RMAX", d.mesh.RMAX).item("IDIST", d.units.IDIST).item("ITIN", d.units.ITIN);
    f.item("ITOUT", d.units.ITOUT).item("ICOND", d.units.ICOND).item("IFLUX", d.units.IFLUX);
    f.item("IDISCH", d.units.IDISCH).item("THICK", d.obsv.THICK).item("RATIO", d.obsv.RATIO);
    f.item("NOBS", d.obsv.NOBS).item("NODOBS", d.obsv.NODOBS[0]).item("IPOS", d.obsv.IPOS[0]);
    f.item("ROBS", d.obsv.ROBS[0]).item("NQ", NQ);
    if (f.complete()) {
        if (NQ < 0 || NQ > kMaxPumpingSteps) return Status::failure(stepCountError(path, NQ));
        d.pump.NQ = NQ;
    }
    f.item("IWLO", d.pump.IWLO).item("NSTEP", d.pump.NSTEP).item("TSIM", d.pump.TSIM);
    f.item("IPUMP", d.pump.IPUMP).item("IOPP", d.pump.IOPP);
    for (int k = 0; k < storedSteps(NQ); ++k) {
        const std::string n = "(" + std::to_string(k + 1) + ")";
        f.item("Q" + n, d.pump.Q[k]).item("TQ" + n, d.pump.TQ[k]);
    }
    f.item("TF", d.pinit.TF).item("TM", d.pinit.TM).item("SF", d.pinit.SF).item("SM", d.pinit.SM);
    ItemReader& r = f.reader();
    unsigned char length = 0;
    d.analysisOptions = AnalysisOptions{};
    d.clearFurtherPoints();
    bool pointsBlock = false;
    if (f.complete() && r.byte(length)) {
        if (length > kMaxBoreholeName)
            return Status::failure("Project file " + path.string() + ": the borehole name length " +
                                   std::to_string(length) + " is above 50");
        d.boreholeName_ = r.text(length);
        r.text(kMaxBoreholeName - length);  // the rest of the 50 character bytes
        std::vector<TaggedBlock> blocks;
        if (Status st = readBlocks(r.rest(), blocks, path.string()); !st) return st;
        for (const TaggedBlock& b : blocks) {
            const BlockKind* kind = blockKind(b.tag);
            if (kind && b.version == kind->version && isOptionBlock(b.tag)) {
                if (Status st = decodeOptionsFields(b.fields, d.analysisOptions, path.string(), b.tag); !st) return st;
            } else if (b.tag == kPointsTag && b.version == kPointsVersion) {
                if (Status st = d.takePointsBlock(b.fields, path.string()); !st) return st;
                pointsBlock = true;
            } else if (b.tag == kPointsTag) {
                // Points of a later program's layout: the project opens with its first point.
                d.obsv.NOBS = 1;
                pointsBlock = true;
            }
            // Blocks of other tags or versions: written by a later program, skipped.
        }
    }
    // Also in a file that ends early: a project saved from it would not load.
    if (!pointsBlock && f.read() >= kItemsThroughNOBS && d.obsv.NOBS != 1)
        return Status::failure("Project file " + path.string() + ": NOBS (number of observation points) is " +
                               std::to_string(d.obsv.NOBS) +
                               ", but the file holds the settings of one point (no observation points block)");
    if (const std::string bad = nonFiniteField(d, storedSteps(d.pump.NQ)); !bad.empty())
        return Status::failure("Project file " + path.string() + ": " + bad);
    if (warning) {
        warning->clear();
        if (!f.complete())
            *warning = "Warning: " + path.filename().string() + " ends after " + std::to_string(bytes.size()) +
                       " bytes: " + f.missing() + " and the later fields were not read";
    }
    *this = std::move(d);
    return Status::success();
}

} // namespace wf::doc
