// Whether the side files of the mesh run (stem.FEM, stem.PLT) and of the data
// preparation (stem.OBS, stem.TIM) still belong to the project as it stands,
// checked before a later run reads them, by the desktop program and the
// command-line runner alike.
//
// After each successful mesh or preparation run the program records a
// fingerprint of everything that run read in the side file stem.fpr:
//
//   WELLFIT run fingerprints 1
//   mesh MODEL GEOMETRY RECORDS
//   preparation INPUTS MESH
//
// (MODEL "standard" or "fine"; the others 16 hexadecimal digits of a 64-bit
// FNV-1a hash: GEOMETRY of the mesh inputs (thickness, fracture ratio,
// distance to the opposite boundary, the observation points' distances and
// positions), RECORDS of the mesh counts and observation nodes the run
// returned, INPUTS of the pumping settings, the fine-model flag and the bytes
// of the test-data file, MESH of the mesh line the preparation was made on).
// A project whose folder has no stem.fpr (made before it existed) is judged by
// the files' ages alone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "project_document.h"

namespace wf::doc {

// Fingerprints of the document as it stands (folder: where the test-data file is).
std::string meshFingerprint(const ProjectDocument& doc);
std::string preparationFingerprint(const ProjectDocument& doc, const std::filesystem::path& folder = {});

// Records a successful mesh run (the preparation line stays, naming the mesh
// it was made on) or preparation run in stem.fpr.
Status recordMeshRun(const ProjectDocument& doc, const std::filesystem::path& folder = {});
Status recordPreparationRun(const ProjectDocument& doc, const std::filesystem::path& folder = {});

// What keeps the next run from reading the mesh files as they are, in words
// that name what to run: `meshRun` and `prepareRun` are how the caller names
// the runs ("--mesh" or "Model / Mesh"); empty when the files belong to the
// project.
struct RunNames {
    std::string mesh, prepare, save;
};
std::optional<std::string> meshProblem(const ProjectDocument& doc, const RunNames& names,
                                       const std::filesystem::path& folder = {});
// The same for the preparation files (the mesh is checked first).
std::optional<std::string> preparationProblem(const ProjectDocument& doc, const RunNames& names,
                                              const std::filesystem::path& folder = {});

} // namespace wf::doc
