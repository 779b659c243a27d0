// The options beyond the standard model and search, owned by the project
// document next to the eight solver records: parameters held at their
// guesses, one aquifer (one conductivity and one specific storage for both
// layers), the search (plain, bound-aware with its two stop rules, or robust
// from several starts), and the
// fine model (a mesh and time steps chosen for accuracy, in the mesh,
// preparation and analysis runs). Each option is declared in the option
// schema (option_schema.h), which says its default, range, flag, dialog
// label and field in the project file.
//
// A default-constructed record is the standard system. Only a record whose
// stored options differ from it is written to the project file, as the tagged
// block "WFOP" (version 1) after the borehole-name block: one 4-byte field per
// stored option in the schema's field order (int32 hold mask with bit 0 TF,
// 1 TM, 2 SF, 3 SM; int32 one aquifer 0/1; int32 search 0 plain, 1 bound-aware,
// 2 robust; float32 stop tolerance; int32 maximum passes; int32 fine model 0/1;
// int32 starts of the robust search; later fields appended). A block shorter
// than the fields it should hold leaves the missing ones at their defaults; a longer one is read as far as this program
// knows it; a block of another version is skipped by its length.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "option_schema.h"
#include "status.h"
#include "wfcore/options.h"

namespace wf::doc {

inline constexpr std::string_view kOptionsTag{"WFOP", 4};
inline constexpr int32_t kOptionsVersion = 1;

struct AnalysisOptions {
    std::array<bool, 4> hold{};  // TF, TM, SF, SM held at the guess
    bool oneAquifer = false;
    int32_t search = WF_SEARCH_PLAIN;  // WF_SEARCH_...
    float stopTolerance = 1e-5f;  // relative fall of the error estimate in a pass
    int32_t maxPasses = 200;
    bool fineModel = false;  // "Fine model"
    int32_t starts = 8;      // robust search: starts (stored)
    int32_t threads = 0;     // threads of the model runs, 0 one per core (a run setting, not stored)
    // The pumped well of the fine model, block "WFWL": radii in the project's
    // distance unit (0: a line of sources on the axis), skin dimensionless.
    float wellRadius = 0.0f, casingRadius = 0.0f, skin = 0.0f;
    // The well's skin and casing radius held at those values instead of
    // estimated (block "WFWH": int32 mask, bit 0 skin, bit 1 casing radius).
    std::array<bool, 2> holdWell{};

    bool operator==(const AnalysisOptions&) const = default;
    // Every option stored in the project file at its default.
    bool isDefault() const;

    // The solver's record for wfSetOptions (every run: the fine model applies
    // to the mesh and preparation runs too); report may be null.
    WfOptions toSolver(WfFitReport* report) const;
};

// The fields of one options block (without tag, version and length): the
// stored options of the schema whose block it is, in field order.
std::string encodeOptionsFields(const AnalysisOptions& options, std::string_view tag = kOptionsTag);

// Every options block whose options are not all at their defaults, whole
// (tag, version, length, fields), in the order of the block kinds.
std::string encodeOptionBlocks(const AnalysisOptions& options);

// Whether some option of the schema is stored in the block of this tag.
bool isOptionBlock(std::string_view tag);

// Reads the fields of an options block of this program's version into the
// options of its tag. A field out of range is refused naming the file and the
// field; options then keep their value.
Status decodeOptionsFields(std::string_view fields, AnalysisOptions& options, const std::string& fileName,
                           std::string_view tag = kOptionsTag);

} // namespace wf::doc
