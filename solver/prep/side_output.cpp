#include "prep/side_output.h"

#include <fstream>

#include "textio/side_file.h"

namespace wf::prep {

bool writeSideFile(RunState& rs, const std::string& name, const std::string& text) {
    std::ofstream out;
    if (textio::openSideWrite(out, name)) {
        out << text;
        out.close();
        if (out) return true;
    }
    rs.error("The file " + name + " cannot be written");
    return false;
}

} // namespace wf::prep
