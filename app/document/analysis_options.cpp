// Analysis options: the solver record and the fields of the project file's
// options block, both driven by the option schema.
#include "analysis_options.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "le_items.h"
#include "tagged_blocks.h"

namespace wf::doc {

bool AnalysisOptions::isDefault() const {
    const AnalysisOptions plain;
    for (const OptionSpec& s : optionSchema())
        if (s.field >= 0 && s.get(*this) != s.get(plain)) return false;
    return true;
}

WfOptions AnalysisOptions::toSolver(WfFitReport* report) const {
    WfOptions o{};
    for (const OptionSpec& s : optionSchema()) s.toSolver(o, s.get(*this));
    o.report = report;
    return o;
}

namespace {

// The stored options of one block in the order of their fields.
std::vector<const OptionSpec*> storedOptions(std::string_view tag) {
    std::vector<const OptionSpec*> stored;
    for (const OptionSpec& s : optionSchema())
        if (s.field >= 0 && s.block == tag) stored.push_back(&s);
    std::sort(stored.begin(), stored.end(), [](const OptionSpec* a, const OptionSpec* b) { return a->field < b->field; });
    return stored;
}

} // namespace

std::string encodeOptionsFields(const AnalysisOptions& options, std::string_view tag) {
    ItemWriter w;
    for (const OptionSpec* s : storedOptions(tag)) {
        const double v = s->get(options);
        if (s->kind == OptionKind::Real)
            w.f32(static_cast<float>(v));
        else
            w.i32(static_cast<int32_t>(v));
    }
    return w.bytes();
}

bool isOptionBlock(std::string_view tag) { return !storedOptions(tag).empty(); }

std::string encodeOptionBlocks(const AnalysisOptions& options) {
    const AnalysisOptions plain;
    std::string bytes;
    for (const BlockKind& kind : kBlockKinds) {
        bool differs = false;
        for (const OptionSpec* s : storedOptions(kind.tag)) differs = differs || s->get(options) != s->get(plain);
        if (differs) bytes += encodeBlock(kind.tag, kind.version, encodeOptionsFields(options, kind.tag));
    }
    return bytes;
}

Status decodeOptionsFields(std::string_view bytes, AnalysisOptions& options, const std::string& fileName,
                           std::string_view tag) {
    // Only this block's options are read; the others keep their values.
    AnalysisOptions o = options;
    for (const OptionSpec* s : storedOptions(tag)) s->set(o, s->get(AnalysisOptions{}));
    BlockFields fields(bytes);
    const std::string blockName(blockKind(tag) ? blockKind(tag)->name : std::string_view("the options block"));
    for (const OptionSpec* s : storedOptions(tag)) {
        if (!fields.has()) break;  // written before the option existed: its default
        const uint32_t raw = fields.next();
        const double v = s->kind == OptionKind::Real ? static_cast<double>(std::bit_cast<float>(raw))
                                                     : static_cast<double>(static_cast<int32_t>(raw));
        const std::string shown = s->kind == OptionKind::Real ? optionValueText(*s, v)
                                                              : std::to_string(static_cast<int32_t>(raw));
        if (!optionValueAllowed(*s, v))
            return Status::failure("Project file " + fileName + ": " + blockName + " has the " +
                                   std::string(s->noun) + " " + shown + " (it " + optionRule(*s) + ")");
        s->set(o, v);
    }
    options = o;
    return Status::success();
}

} // namespace wf::doc
