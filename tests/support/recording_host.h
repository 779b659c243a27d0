// A solver host for tests: records every progress-list change and message box,
// and answers the Cancel poll from a scripted value.
#pragma once

#include <string>
#include <vector>

#include "wfcore/wfcore.h"

namespace wf::test {

struct RecordedBox {
    std::string caption;
    std::string text;
    bool operator==(const RecordedBox&) const = default;
};

class RecordingHost {
public:
    RecordingHost() {
        host_.context = this;
        host_.progress = [](void* c, int32_t code, const char* text, const char* const* lines, int32_t count) {
            auto* self = static_cast<RecordingHost*>(c);
            self->codes.push_back(code);
            self->added.emplace_back(text);
            self->lines.assign(lines, lines + count);
        };
        host_.showWindow = [](void* c) { ++static_cast<RecordingHost*>(c)->windowShown; };
        host_.pollCancel = [](void* c) {
            auto* self = static_cast<RecordingHost*>(c);
            ++self->cancelPolls;
            return self->cancel ? 1 : 0;
        };
        host_.messageBox = [](void* c, const char* caption, const char* text) {
            static_cast<RecordingHost*>(c)->boxes.push_back({caption, text});
        };
    }
    const WfHost* host() const { return &host_; }

    std::vector<int> codes;            // list codes in the order they came
    std::vector<std::string> added;    // the line of each change
    std::vector<std::string> lines;    // the whole list after the last change
    std::vector<RecordedBox> boxes;    // message boxes in order
    int windowShown = 0;
    int cancelPolls = 0;
    int cancel = 0;                    // what pollCancel answers

private:
    WfHost host_{};
};

} // namespace wf::test
