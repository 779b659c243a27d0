// Side files of a project (base + extension) in the working directory.
//
// The desktop program names them with upper-case extensions (".DAT", ".INV"),
// the solver with lower-case ones (".dat", ".inv"); both must address one file
// on a case-sensitive file system. Every open of a side file goes through here.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wf::textio {

// An empty dir stands for the working directory: the bare name is used as it
// stands (so a working directory that was removed only makes the open fail).

// The path that the bare name addresses inside dir: the file of exactly that
// name if it exists, otherwise an existing file whose name differs only in
// letter case, otherwise a new name whose extension is in lower case.
std::filesystem::path sideFilePath(std::string_view name, const std::filesystem::path& dir = {});

// Opens the side file for reading; false when it does not exist or cannot be read.
bool openSideRead(std::ifstream& in, std::string_view name, const std::filesystem::path& dir = {});
// Creates or overwrites the side file in place; false when it cannot be written.
bool openSideWrite(std::ofstream& out, std::string_view name, const std::filesystem::path& dir = {});

// Called with the finished temporary file before it replaces the target (for
// example to force it to the disk); returns an empty text or the reason of a failure.
using BeforeReplace = std::function<std::string(const std::filesystem::path& temporary)>;

// Replaces the contents of `target` with `bytes` so that a failed write leaves
// the previous file as it was: the bytes go to a new temporary file of a
// unique name in the target's folder, which is then renamed over the target.
// A symbolic link is followed (its final target is replaced, the link stays);
// an existing target keeps its permission bits; a target that is not a regular
// file or not writable is refused and left alone. Returns an empty text on
// success, otherwise the reason (the temporary file is then removed).
std::string replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                                const BeforeReplace& beforeReplace = {});

// The same for a side file named as for openSideWrite.
std::string writeSideFileText(std::string_view name, std::string_view text, const std::filesystem::path& dir = {});

// Several side files (name, text) that belong together: every temporary file
// is written before the first one replaces its file, so a failed write leaves
// all of them as they were. On failure returns the reason and sets failedName.
std::string writeSideFileTexts(const std::vector<std::pair<std::string, std::string>>& files,
                               std::string& failedName, const std::filesystem::path& dir = {});

} // namespace wf::textio
