// The shared library exports the solver entry, the host hook, the options hook, the verdict and the live model, nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> exportedFunctions(const std::string& library) {
    std::set<std::string> names;
    const std::string cmd = "nm -D --defined-only '" + library + "'";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return names;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe)) {
        std::istringstream line(buf);
        std::string address, kind, name;
        if (!(line >> address >> kind >> name)) continue;
        // Text (code) and data symbols both count as exports.
        if (kind == "T" || kind == "W" || kind == "D" || kind == "B" || kind == "R" || kind == "V" || kind == "i")
            names.insert(name);
    }
    pclose(pipe);
    return names;
}

} // namespace

TEST(Exports, LibraryExportsOnlyEntryAndHooks) {
    const std::set<std::string> names = exportedFunctions(WF_CORE_LIBRARY);
    EXPECT_EQ(names, (std::set<std::string>{"wftDLL", "wfSetHost", "wfSetOptions", "wfFitVerdict", "wfLiveOpen", "wfLiveShape", "wfLiveRun", "wfLiveMessage", "wfLiveClose", "wfLiveSetWell"}));
}
