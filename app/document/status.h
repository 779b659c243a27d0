// Outcome of a document operation: success, or the message to show the user.
#pragma once

#include <string>
#include <utility>

namespace wf::doc {

// Every operation that can fail returns a Status. A failed operation leaves the
// document (and any file already on disk) as it was; `error` names the file or
// field and says what is wrong, ready to be shown as it stands.
struct [[nodiscard]] Status {
    std::string error; // empty on success

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }

    static Status success() { return {}; }
    static Status failure(std::string message) { return Status{std::move(message)}; }
};

} // namespace wf::doc
