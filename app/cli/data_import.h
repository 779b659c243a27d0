// Reading measured time/value pairs from a plain text file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "document/status.h"

namespace wf::cli {

struct ImportedPoints {
    std::vector<std::string> times;  // input-time unit, as written in the file
    std::vector<std::string> values; // drawdowns (positive downward) or water levels
};

// Two columns separated by blanks or tabs; empty lines and lines starting
// with '#' are skipped; further columns are ignored. A line with one column
// or a non-numeric entry is refused with the file and line named, and so are
// a folder and a file without any point.
wf::doc::Status importPoints(const std::filesystem::path& file, ImportedPoints& out);

} // namespace wf::cli
