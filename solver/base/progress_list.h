// The lines of the solver's progress window, without any window toolkit.
// Every addLine code is carried out here, once; hosts only mirror the list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wf {

class ProgressList {
public:
    // Most lines the list holds; appending beyond it is the list box running out of space.
    static constexpr int kCapacity = 32767;

    // Applies a list code: 0 clear and add as first line, 1 replace the last line,
    // 2 append (clear first when out of space); negative codes act as their absolute
    // value. Returns true when the list changed (codes 0, 1, 2).
    bool apply(int code, std::string_view text);

    const std::vector<std::string>& lines() const { return lines_; }
    void setCapacity(int capacity) { capacity_ = capacity; }  // for tests of the out-of-space rule

private:
    std::vector<std::string> lines_;
    int capacity_ = kCapacity;
};

} // namespace wf
