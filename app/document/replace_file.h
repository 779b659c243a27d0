// Writing a file so that a failure never destroys the file it replaces.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "status.h"

namespace wf::doc {

// Writes `bytes` to a temporary file of a unique name in the folder of
// `target`, forces it to the disk, then renames it over `target`. A symbolic
// link is written through to its target, the old file's permission bits are
// kept, and a read-only file or a folder is refused. On failure the temporary
// file is removed, `target` is left as it was and the message reads
// "Cannot write the <what> <target> (<reason>); the file on disk is unchanged".
Status replaceFile(const std::filesystem::path& target, const std::string& bytes, std::string_view what);

} // namespace wf::doc
