// Progress lines, Cancel poll and message boxes of the solver, sent to the host.
#pragma once

#include <string>
#include <string_view>

#include "base/progress_list.h"
#include "wfcore/wfcore.h"

namespace wf {

class Reporter {
public:
    Reporter();

    // Installs a host; null restores the terminal host (prints, never blocks).
    void setHost(const WfHost* host);

    // Acts on the progress list by code (0, 1, 2 list operations; 3 information
    // box; negative: the same without repainting; anything else nothing).
    void addLine(int code, std::string_view text);
    // Cuts the text after count characters and adds it with addLine.
    void reportProgress(int code, int count, std::string_view text);
    // 1 when a press on "Cancel" was waiting, else 0.
    void checkCancel(int& flag);
    // The error box. With status != 0 the text is replaced by inputName and the
    // message is "End of File reached in input file : %s" (status < 0) or
    // "Data format error in input file : %s" (status > 0); count becomes the
    // length of the name. With status 0 the first count characters of text are
    // shown as they stand.
    void showError(int& count, std::string_view text, int status, std::string_view inputName);
    // Error box with the text as it stands (status 0).
    void error(std::string_view text);
    // Information box.
    void information(std::string_view text);
    // Shows the progress window.
    void showWindow();

    const ProgressList& list() const { return list_; }
    ProgressList& list() { return list_; }

private:
    void messageBox(const char* caption, const std::string& text);
    WfHost host_{};
    bool haveHost_ = false;
    ProgressList list_;
};

} // namespace wf
