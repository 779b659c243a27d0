// The project file's tagged-block codec.
#include "tagged_blocks.h"

#include "le_items.h"

namespace wf::doc {

namespace {

bool looksLikeTag(std::string_view t) {
    if (t.size() != 4) return false;
    for (const char c : t)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

std::string blockName(const std::string& tag) {
    if (const BlockKind* k = blockKind(tag)) return std::string(k->name);
    return "the block \"" + tag + "\"";
}

} // namespace

const BlockKind* blockKind(std::string_view tag) {
    for (const BlockKind& k : kBlockKinds)
        if (k.tag == tag) return &k;
    return nullptr;
}

std::string encodeBlock(std::string_view tag, int32_t version, std::string_view fields) {
    ItemWriter w;
    w.text(tag.substr(0, 4));
    w.i32(version);
    w.i32(static_cast<int32_t>(fields.size()));
    w.text(fields);
    return w.bytes();
}

Status readBlocks(std::string_view bytes, std::vector<TaggedBlock>& blocks, const std::string& fileName) {
    blocks.clear();
    std::size_t at = 0;
    while (bytes.size() - at >= 4 && looksLikeTag(bytes.substr(at, 4))) {
        const std::string tag(bytes.substr(at, 4));
        const std::string where = "Project file " + fileName + ": " + blockName(tag) + " ";
        ItemReader r(bytes.substr(at + 4));
        int32_t version = 0, length = 0;
        if (!r.i32(version) || !r.i32(length)) return Status::failure(where + "is cut short (no version and length)");
        if (version < 1) return Status::failure(where + "has version " + std::to_string(version) + " (not 1 or above)");
        const std::size_t available = bytes.size() - at - 12;
        if (length < 0 || static_cast<std::size_t>(length) > available)
            return Status::failure(where + "is cut short (" + std::to_string(available) + " of " +
                                   std::to_string(length) + " bytes)");
        blocks.push_back(TaggedBlock{tag, version, bytes.substr(at + 12, static_cast<std::size_t>(length))});
        at += 12 + static_cast<std::size_t>(length);
    }
    return Status::success();
}

uint32_t BlockFields::next() {
    ItemReader r(fields_.substr(pos_));
    uint32_t v = 0;
    r.u32(v);
    pos_ += 4;
    return v;
}

} // namespace wf::doc
