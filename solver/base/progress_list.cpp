#include "base/progress_list.h"

#include <cstdlib>

namespace wf {

bool ProgressList::apply(int code, std::string_view text) {
    switch (std::abs(code)) {
    case 0:
        lines_.clear();
        lines_.emplace_back(text);
        return true;
    case 1:
        // Replace the last line; on an empty list there is none to delete.
        if (!lines_.empty()) lines_.pop_back();
        lines_.emplace_back(text);
        return true;
    case 2:
        if (static_cast<int>(lines_.size()) >= capacity_) lines_.clear();  // out of space
        lines_.emplace_back(text);
        return true;
    default:
        return false;
    }
}

} // namespace wf
