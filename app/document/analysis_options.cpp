// Analysis options: the solver record and the project file's extension block.
#include "analysis_options.h"

#include <bit>
#include <cmath>

namespace wf::doc {

namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

uint32_t get32(std::string_view s, std::size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

} // namespace

WfOptions AnalysisOptions::toSolver(WfFitReport* report) const {
    WfOptions o{};
    for (std::size_t j = 0; j < 4; ++j) o.hold[j] = hold[j] ? 1 : 0;
    o.oneAquifer = oneAquifer ? 1 : 0;
    o.boundAware = boundAware ? 1 : 0;
    o.stopTolerance = static_cast<double>(stopTolerance);
    o.maxPasses = maxPasses;
    o.fineModel = fineModel ? 1 : 0;
    o.report = report;
    return o;
}

std::string encodeOptionsBlock(const AnalysisOptions& o) {
    std::string s(kOptionsTag);
    put32(s, static_cast<uint32_t>(kOptionsVersion));
    put32(s, static_cast<uint32_t>(kOptionsLength));
    uint32_t mask = 0;
    for (std::size_t j = 0; j < 4; ++j)
        if (o.hold[j]) mask |= 1u << j;
    put32(s, mask);
    put32(s, o.oneAquifer ? 1u : 0u);
    put32(s, o.boundAware ? 1u : 0u);
    put32(s, std::bit_cast<uint32_t>(o.stopTolerance));
    put32(s, static_cast<uint32_t>(o.maxPasses));
    put32(s, o.fineModel ? 1u : 0u);
    return s;
}

Status decodeOptionsBlock(std::string_view bytes, AnalysisOptions& options, const std::string& fileName) {
    const std::string where = "Project file " + fileName + ": the analysis options block ";
    if (bytes.size() < kOptionsTag.size() || bytes.substr(0, kOptionsTag.size()) != kOptionsTag) {
        options = AnalysisOptions{};
        return Status::success();
    }
    if (bytes.size() < 12) return Status::failure(where + "is cut short (no version and length)");
    const auto version = static_cast<int32_t>(get32(bytes, 4));
    const auto length = static_cast<int32_t>(get32(bytes, 8));
    if (length < 0 || static_cast<std::size_t>(length) > bytes.size() - 12)
        return Status::failure(where + "is cut short (" + std::to_string(bytes.size() - 12) + " of " +
                               std::to_string(length) + " bytes)");
    if (version != kOptionsVersion) {
        // Written by a later program: skipped by its length.
        options = AnalysisOptions{};
        return Status::success();
    }
    if (length < kOptionsLength)
        return Status::failure(where + "version 1 is " + std::to_string(length) + " bytes long, not " +
                               std::to_string(kOptionsLength));
    AnalysisOptions o;
    const uint32_t mask = get32(bytes, 12);
    if (mask > 15u) return Status::failure(where + "has an unknown held-parameter mask " + std::to_string(mask));
    for (std::size_t j = 0; j < 4; ++j) o.hold[j] = (mask >> j) & 1u;
    const uint32_t one = get32(bytes, 16), aware = get32(bytes, 20);
    if (one > 1u) return Status::failure(where + "has the one-aquifer flag " + std::to_string(one) + " (not 0 or 1)");
    if (aware > 1u)
        return Status::failure(where + "has the bound-aware flag " + std::to_string(aware) + " (not 0 or 1)");
    o.oneAquifer = one == 1u;
    o.boundAware = aware == 1u;
    o.stopTolerance = std::bit_cast<float>(get32(bytes, 24));
    if (!(std::isfinite(o.stopTolerance) && o.stopTolerance > 0.0f && o.stopTolerance < 1.0f))
        return Status::failure(where + "has a stop tolerance that is not between 0 and 1");
    o.maxPasses = static_cast<int32_t>(get32(bytes, 28));
    if (o.maxPasses < 1 || o.maxPasses > 999)
        return Status::failure(where + "has a maximum number of passes " + std::to_string(o.maxPasses) +
                               " that is not between 1 and 999");
    const uint32_t fine = get32(bytes, 32);
    if (fine > 1u) return Status::failure(where + "has the fine-model flag " + std::to_string(fine) + " (not 0 or 1)");
    o.fineModel = fine == 1u;
    options = o;
    return Status::success();
}

} // namespace wf::doc
