// Side files of a project (base + extension) in the working directory.
//
// The desktop program names them with upper-case extensions (".DAT", ".INV"),
// the solver with lower-case ones (".dat", ".inv"); both must address one file
// on a case-sensitive file system. Every open of a side file goes through here.
#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace wf::textio {

// The path that the bare name addresses inside dir: the file of exactly that
// name if it exists, otherwise an existing file whose name differs only in
// letter case, otherwise a new name whose extension is in lower case.
std::filesystem::path sideFilePath(std::string_view name,
                                   const std::filesystem::path& dir = std::filesystem::current_path());

// Opens the side file for reading; false when it does not exist or cannot be read.
bool openSideRead(std::ifstream& in, std::string_view name,
                  const std::filesystem::path& dir = std::filesystem::current_path());
// Creates or overwrites the side file; false when it cannot be written.
bool openSideWrite(std::ofstream& out, std::string_view name,
                   const std::filesystem::path& dir = std::filesystem::current_path());

} // namespace wf::textio
