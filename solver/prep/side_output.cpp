#include "prep/side_output.h"

#include "textio/side_file.h"

namespace wf::prep {

bool writeSideFile(RunState& rs, const std::string& name, const std::string& text) {
    // Written through a temporary file: a failed write leaves the previous file.
    const std::string why = textio::writeSideFileText(name, text);
    if (why.empty()) return true;
    rs.error("The file " + name + " cannot be written (" + why + ")");
    return false;
}

} // namespace wf::prep
