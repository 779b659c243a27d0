#include "fit_output.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "wfcore/wfcore.h"

namespace wf::cli {

void printFitReport(std::ostream& out, const std::string& stem) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::current_path(), ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() != stem.size() + 4 || name.compare(0, stem.size(), stem) != 0) continue;
        std::string ext = name.substr(stem.size());
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".fit") continue;
        std::ifstream in(e.path());
        std::ostringstream text;
        text << in.rdbuf();
        out << '\n' << text.str();
        return;
    }
}

} // namespace wf::cli
