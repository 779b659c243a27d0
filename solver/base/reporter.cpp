#include "base/reporter.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace wf {

namespace {

// Terminal host: progress lines and boxes go to standard error so that they do
// not mix with the model's listing on standard output; nothing ever blocks.
void terminalProgress(void*, int32_t code, const char* text, const char* const*, int32_t) {
    std::fprintf(stderr, "%s%s\n", std::abs(code) == 1 ? "  (replaced) " : "", text);
}
void terminalBox(void*, const char* caption, const char* text) { std::fprintf(stderr, "[%s] %s\n", caption, text); }

} // namespace

Reporter::Reporter() { setHost(nullptr); }

void Reporter::setHost(const WfHost* host) {
    if (host) {
        host_ = *host;
        haveHost_ = true;
    } else {
        host_ = WfHost{};
        host_.progress = terminalProgress;
        host_.messageBox = terminalBox;
        haveHost_ = false;
    }
}

void Reporter::addLine(int code, std::string_view text) {
    if (std::abs(code) == 3) {
        // Code 3 shows the text in an information box; -3 likewise.
        messageBox("Information", std::string(text));
        return;
    }
    if (!list_.apply(code, text)) return;
    if (!host_.progress) return;
    const std::string line(text);
    std::vector<const char*> ptrs;
    ptrs.reserve(list_.lines().size());
    for (const std::string& l : list_.lines()) ptrs.push_back(l.c_str());
    host_.progress(host_.context, code, line.c_str(), ptrs.data(), static_cast<int32_t>(ptrs.size()));
}

void Reporter::reportProgress(int code, int count, std::string_view text) {
    if (count < 0) count = 0;
    if (static_cast<std::size_t>(count) < text.size()) text = text.substr(0, static_cast<std::size_t>(count));
    addLine(code, text);
}

void Reporter::checkCancel(int& flag) { flag = (host_.pollCancel && host_.pollCancel(host_.context) != 0) ? 1 : 0; }

void Reporter::showError(int& count, std::string_view text, int status, std::string_view inputName) {
    if (status != 0) {
        text = inputName;
        count = static_cast<int>(inputName.size());
    }
    if (count < 0) count = 0;
    if (static_cast<std::size_t>(count) < text.size()) text = text.substr(0, static_cast<std::size_t>(count));
    std::string message;
    if (status < 0)
        message = "End of File reached in input file : " + std::string(text);
    else if (status > 0)
        message = "Data format error in input file : " + std::string(text);
    else
        message = std::string(text);
    messageBox("Error", message);
}

void Reporter::error(std::string_view text) {
    int count = static_cast<int>(text.size());
    showError(count, text, 0, {});
}

void Reporter::information(std::string_view text) { addLine(3, text); }

void Reporter::showWindow() {
    if (host_.showWindow) host_.showWindow(host_.context);
}

void Reporter::messageBox(const char* caption, const std::string& text) {
    if (host_.messageBox) host_.messageBox(host_.context, caption, text.c_str());
}

} // namespace wf
