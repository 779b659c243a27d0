#include "prep/side_output.h"

#include "textio/side_file.h"

namespace wf::prep {

bool writeSideFiles(RunState& rs, const std::string& name1, const std::string& text1, const std::string& name2,
                    const std::string& text2) {
    std::string failed;
    const std::string why = textio::writeSideFileTexts({{name1, text1}, {name2, text2}}, failed);
    if (why.empty()) return true;
    rs.error("The file " + failed + " cannot be written (" + why + ")");
    return false;
}

} // namespace wf::prep
