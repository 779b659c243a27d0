// Options of the flow model beyond the described system, owned by the
// project document and saved in the project file's extension block.
//
// The block follows the borehole-name block (which is then always written,
// length 0 when there is no name): a 4-byte tag, a version and the byte
// length of the fields, all little-endian 4-byte items, then the fields. A
// reader skips blocks whose tag or version it does not know by their length.
// A project whose options are all default is saved without the block, so its
// file keeps the described layout byte for byte.
#pragma once

#include <cstdint>
#include <string>

#include "status.h"
#include "wfcore/wfcore.h"

namespace wf::doc {

struct ModelOptions {
    bool fineModel = false;  // "Fine model"
    bool operator==(const ModelOptions&) const = default;
    bool isDefault() const { return *this == ModelOptions{}; }
};

// Tag of the block ("FINE" in file order) and its version.
inline constexpr char kModelOptionsTag[4] = {'F', 'I', 'N', 'E'};
inline constexpr uint32_t kModelOptionsVersion = 1;

// The block's bytes; empty for default options.
std::string encodeModelOptions(const ModelOptions& o);

// Reads the blocks in bytes (everything after the name block) into o, which
// starts from the defaults. A block cut short, or a field of a known block
// out of range, is refused with a message naming the file.
Status decodeModelOptions(const std::string& bytes, const std::string& fileName, ModelOptions& o);

// The solver's run options for these model options (install with wfSetRunOptions).
WfRunOptions solverRunOptions(const ModelOptions& o);

} // namespace wf::doc
