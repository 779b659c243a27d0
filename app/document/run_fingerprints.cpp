// Fingerprints of the mesh and preparation runs, and the checks made with them.
#include "run_fingerprints.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "replace_file.h"
#include "textio/side_file.h"

namespace wf::doc {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "WELLFIT run fingerprints 1";

// 64-bit FNV-1a over the bytes fed to it.
class Fingerprint {
public:
    template <class T>
    Fingerprint& add(const T& value) {
        return bytes(reinterpret_cast<const char*>(&value), sizeof value);
    }
    Fingerprint& bytes(const char* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            h_ ^= static_cast<unsigned char>(p[i]);
            h_ *= 1099511628211ull;
        }
        return *this;
    }
    std::string hex() const {
        char buf[20];
        std::snprintf(buf, sizeof buf, "%016" PRIx64, h_);
        return buf;
    }

private:
    uint64_t h_ = 14695981039346656037ull;
};

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "(missing)";
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

std::string geometryHash(const ProjectDocument& d) {
    Fingerprint f;
    f.add(d.obsv.THICK).add(d.obsv.RATIO).add(d.mesh.RMAX).add(d.obsv.NOBS);
    for (int l = 0; l < d.obsv.NOBS && l < 4; ++l) f.add(d.obsv.ROBS[l]).add(d.obsv.IPOS[l]);
    return f.hex();
}

std::string recordsHash(const ProjectDocument& d) {
    Fingerprint f;
    f.add(d.mesh.NR).add(d.mesh.NZ).add(d.mesh.NMAT).add(d.mesh.NZF).add(d.mesh.NZM).add(d.mesh.NN);
    f.add(d.mesh.NE).add(d.mesh.NB);
    for (int l = 0; l < d.obsv.NOBS && l < 4; ++l) f.add(d.obsv.NODOBS[l]);
    return f.hex();
}

const char* modelWord(const ProjectDocument& d) { return d.analysisOptions.fineModel ? "fine" : "standard"; }

std::string dataHash(const ProjectDocument& d, const fs::path& folder) {
    const std::string dat = fileBytes(wf::textio::sideFilePath(d.filename.datName, folder));
    return Fingerprint().bytes(dat.data(), dat.size()).hex();
}

std::string pumpingHash(const ProjectDocument& d) {
    Fingerprint f;
    f.add(d.pump.IWLO).add(d.pump.NQ).add(d.pump.Q).add(d.pump.TQ).add(d.pump.IPUMP).add(d.pump.IOPP);
    // The fine model prepares other files from the same data.
    f.add(d.analysisOptions.fineModel);
    return f.hex();
}

// The words of each line of stem.fpr after its header, by their first word.
struct Recorded {
    std::vector<std::string> mesh, preparation;
};

fs::path fingerprintFile(const ProjectDocument& d, const fs::path& folder) {
    return wf::textio::sideFilePath(d.stem() + ".FPR", folder);
}

std::optional<Recorded> readRecorded(const ProjectDocument& d, const fs::path& folder) {
    std::ifstream in(fingerprintFile(d, folder));
    std::string line;
    if (!in || !std::getline(in, line) || line != kHeader) return std::nullopt;
    Recorded r;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.size() == 4 && w[0] == "mesh") r.mesh = w;
        if (w.size() == 4 && w[0] == "preparation") r.preparation = w;
    }
    return r;
}

std::string meshLine(const ProjectDocument& d) {
    return std::string("mesh ") + modelWord(d) + " " + geometryHash(d) + " " + recordsHash(d);
}

Status writeRecorded(const ProjectDocument& d, const fs::path& folder, const std::string& mesh,
                     const std::string& preparation) {
    std::string text = std::string(kHeader) + "\n";
    if (!mesh.empty()) text += mesh + "\n";
    if (!preparation.empty()) text += preparation + "\n";
    return replaceFile(fingerprintFile(d, folder), text, "run fingerprint file");
}

bool olderThan(const fs::path& a, const fs::path& b) {
    std::error_code ea, eb;
    const auto ta = fs::last_write_time(a, ea);
    const auto tb = fs::last_write_time(b, eb);
    return !ea && !eb && ta < tb;
}

} // namespace

std::string meshFingerprint(const ProjectDocument& doc) { return meshLine(doc); }

std::string preparationFingerprint(const ProjectDocument& doc, const fs::path& folder) {
    return "preparation " + dataHash(doc, folder) + " " + pumpingHash(doc) + " " +
           Fingerprint().bytes(meshLine(doc).data(), meshLine(doc).size()).hex();
}

Status recordMeshRun(const ProjectDocument& doc, const fs::path& folder) {
    // The preparation line stays: it names the mesh it was made on, so a later
    // analysis says that the mesh was made again since.
    std::string preparation;
    if (const std::optional<Recorded> rec = readRecorded(doc, folder); rec && !rec->preparation.empty())
        preparation = rec->preparation[0] + " " + rec->preparation[1] + " " + rec->preparation[2] + " " +
                      rec->preparation[3];
    return writeRecorded(doc, folder, meshLine(doc), preparation);
}

Status recordPreparationRun(const ProjectDocument& doc, const fs::path& folder) {
    return writeRecorded(doc, folder, meshLine(doc), preparationFingerprint(doc, folder));
}

std::optional<std::string> meshProblem(const ProjectDocument& doc, const RunNames& names, const fs::path& folder) {
    const std::string fem(doc.filename.femName);
    const std::string again = ": run the mesh construction (" + names.mesh + ") again";
    if (!fileExists(wf::textio::sideFilePath(fem, folder)))
        return "The mesh file " + fem + " does not exist: run the mesh construction (" + names.mesh + ") first";
    const std::optional<Recorded> rec = readRecorded(doc, folder);
    if (!rec || rec->mesh.empty()) return std::nullopt;  // made before fingerprints: judged by the solver
    if (rec->mesh[1] != modelWord(doc))
        return "The mesh file " + fem + " was made for the " + rec->mesh[1] + " model, but the project uses the " +
               modelWord(doc) + " model" + again;
    if (rec->mesh[2] != geometryHash(doc))
        return "The mesh file " + fem +
               " was made for another geometry (thickness, fracture ratio, distance to the opposite boundary or "
               "observation points)" + again;
    if (rec->mesh[3] != recordsHash(doc))
        return "The project's mesh (" + std::to_string(doc.mesh.NR) + " x " + std::to_string(doc.mesh.NZ) +
               " nodes) is not that of the mesh file " + fem + ", which a later run made without saving the project" +
               again + ", or save the results of the runs (" + names.save + ")";
    return std::nullopt;
}

std::optional<std::string> preparationProblem(const ProjectDocument& doc, const RunNames& names,
                                              const fs::path& folder) {
    if (std::optional<std::string> mesh = meshProblem(doc, names, folder)) return mesh;
    const std::string obsName(doc.filename.obsName), timName(doc.filename.timName);
    const std::string files = obsName + " and " + timName;
    const std::string again = "; run the data preparation (" + names.prepare + ") before the analysis";
    const fs::path obs = wf::textio::sideFilePath(obsName, folder), tim = wf::textio::sideFilePath(timName, folder);
    if (!fileExists(obs) || !fileExists(tim))
        return "The preparation files " + files + " do not exist: run the data preparation (" + names.prepare +
               ") first";
    const std::optional<Recorded> rec = readRecorded(doc, folder);
    if (rec && !rec->preparation.empty()) {
        std::istringstream now(preparationFingerprint(doc, folder));
        std::vector<std::string> w;
        for (std::string s; now >> s;) w.push_back(s);
        if (rec->preparation[3] != w[3])
            return "The mesh file " + std::string(doc.filename.femName) + " was made again after the preparation files " +
                   files + " were made" + again;
        if (rec->preparation[1] != w[1])
            return "The test data were changed after the preparation files " + files + " were made" + again;
        if (rec->preparation[2] != w[2])
            return "The pumping parameters were changed after the preparation files " + files + " were made" + again;
        return std::nullopt;
    }
    // Made before fingerprints, or by a run that did not record them: the files' ages.
    for (const std::string& name : {std::string(doc.filename.datName), std::string(doc.filename.femName)}) {
        const fs::path p = wf::textio::sideFilePath(name, folder);
        if (fileExists(p) && (olderThan(obs, p) || olderThan(tim, p)))
            return "The preparation files " + files + " are older than " + name + again;
    }
    return std::nullopt;
}

} // namespace wf::doc
