#include "model_options.h"

#include <cstring>

namespace wf::doc {

namespace {

void put(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

uint32_t get(const std::string& s, std::size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

} // namespace

std::string encodeModelOptions(const ModelOptions& o) {
    if (o.isDefault()) return {};
    std::string s(kModelOptionsTag, 4);
    put(s, kModelOptionsVersion);
    put(s, 4);  // one field
    put(s, o.fineModel ? 1u : 0u);
    return s;
}

Status decodeModelOptions(const std::string& bytes, const std::string& fileName, ModelOptions& o) {
    o = ModelOptions{};
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 12)
            return Status::failure("Project file " + fileName + ": the options block at byte " + std::to_string(at) +
                                   " after the name is cut short");
        const bool ours = std::memcmp(bytes.data() + at, kModelOptionsTag, 4) == 0;
        const uint32_t version = get(bytes, at + 4), length = get(bytes, at + 8);
        at += 12;
        if (bytes.size() - at < length)
            return Status::failure("Project file " + fileName + ": the options block is cut short (" +
                                   std::to_string(length) + " bytes announced, " + std::to_string(bytes.size() - at) +
                                   " present)");
        if (ours && version == kModelOptionsVersion && length >= 4) {
            const uint32_t fine = get(bytes, at);
            if (fine > 1)
                return Status::failure("Project file " + fileName + ": the \"Fine model\" option " +
                                       std::to_string(fine) + " is not 0 or 1");
            o.fineModel = fine == 1;
        }
        at += length;  // unknown tags and versions are skipped
    }
    return Status::success();
}

WfRunOptions solverRunOptions(const ModelOptions& o) {
    WfRunOptions r{};
    r.fineModel = o.fineModel ? 1 : 0;
    r.threads = 0;
    return r;
}

} // namespace wf::doc
