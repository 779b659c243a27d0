// The tagged blocks that follow the borehole-name block of the project file:
//
//   4 bytes tag (upper-case letters and digits), int32 version (>= 1),
//   int32 byte length of the fields, the fields (little-endian)
//
// one after another. Every block is read and written by this one codec; a
// block of a tag or version the program does not know is skipped by its
// length, so an older program still opens a file written by a newer one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace wf::doc {

// The blocks this program writes, with the version it writes and the name
// messages give them: the options blocks of the option schema
// (option_schema.h) and the observation points block.
struct BlockKind {
    std::string_view tag;
    int32_t version;
    std::string_view name;
};
inline constexpr BlockKind kBlockKinds[] = {
    {"WFOP", 1, "the analysis options block"},
    {"WFPT", 1, "the observation points block"},
    {"WFWL", 1, "the well block"},
    {"WFWH", 1, "the well's held-parameters block"},
};
// The kind of a tag; null for a tag of another program.
const BlockKind* blockKind(std::string_view tag);

struct TaggedBlock {
    std::string tag;
    int32_t version = 0;
    std::string_view fields;
};

// tag, version, length and the fields.
std::string encodeBlock(std::string_view tag, int32_t version, std::string_view fields);

// The blocks at the start of bytes, in order. Reading stops, without error,
// at bytes that do not start with a tag (they are left alone, as a reader of
// the plain layout leaves them); a block that is cut short is refused, naming
// the file and the block.
Status readBlocks(std::string_view bytes, std::vector<TaggedBlock>& blocks, const std::string& fileName);

// Reads the 4-byte fields of one block in order; a field past the block's end
// is missing (the caller keeps its default).
class BlockFields {
public:
    explicit BlockFields(std::string_view fields) : fields_(fields) {}
    bool has() const { return pos_ + 4 <= fields_.size(); }
    uint32_t next();
    // The bytes not read yet (for fields of their own length).
    std::string_view rest() const { return fields_.substr(pos_ < fields_.size() ? pos_ : fields_.size()); }
    void skip(std::size_t n) { pos_ += n; }

private:
    std::string_view fields_;
    std::size_t pos_ = 0;
};

} // namespace wf::doc
