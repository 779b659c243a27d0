// The options beyond the standard model and search, owned by the project document next
// to the eight solver records: parameters held at their guesses, one aquifer
// (one conductivity and one specific storage for both layers), the bound-aware
// search with its two stop rules, and the fine model (a mesh and time steps
// chosen for accuracy, in the mesh, preparation and analysis runs). A default-constructed record is
// the plain search; only a record that differs from it is stored in the
// project file, as an extension block after the borehole-name block:
//
//   4 bytes tag "WFOP", int32 version, int32 byte length of the fields, fields
//   version 1 (24 bytes, little-endian): int32 hold mask (bit 0 TF, 1 TM,
//   2 SF, 3 SM), int32 one aquifer (0/1), int32 bound-aware (0/1),
//   float32 stop tolerance, int32 maximum passes, int32 fine model (0/1).
//
// A block of another version is skipped by its length (the options stay at
// their defaults); bytes after the name block that do not start with the tag
// are left alone, as a reader of the plain layout leaves them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "status.h"
#include "wfcore/options.h"

namespace wf::doc {

inline constexpr std::string_view kOptionsTag{"WFOP", 4};
inline constexpr int32_t kOptionsVersion = 1;
inline constexpr int32_t kOptionsLength = 24;

struct AnalysisOptions {
    std::array<bool, 4> hold{};  // TF, TM, SF, SM held at the guess
    bool oneAquifer = false;
    bool boundAware = false;
    float stopTolerance = 1e-5f;  // relative fall of the error estimate in a pass
    int32_t maxPasses = 200;
    bool fineModel = false;  // "Fine model"

    bool operator==(const AnalysisOptions&) const = default;
    bool isDefault() const { return *this == AnalysisOptions{}; }

    // The solver's record for wfSetOptions (every run: the fine model applies
    // to the mesh and preparation runs too); report may be null.
    WfOptions toSolver(WfFitReport* report) const;
};

// The extension block of options (tag, version, length, fields).
std::string encodeOptionsBlock(const AnalysisOptions& options);

// Reads the bytes that follow the borehole-name block of fileName. No bytes,
// bytes without the tag, or a block of another version: options = defaults.
// A block cut short or with a field out of range is refused, naming the file
// and the field; options then keep their value.
Status decodeOptionsBlock(std::string_view bytes, AnalysisOptions& options, const std::string& fileName);

} // namespace wf::doc
