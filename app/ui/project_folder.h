// The project's folder. The program keeps the working directory there, and the
// program and the solver address the side files by their bare names inside it.
// The folder can vanish while the program runs (removed or unmounted); then
// the working directory cannot be determined any more, and every command that
// touches a file says so instead of failing deep inside.
#pragma once

#include <filesystem>
#include <optional>

#include <QString>

namespace wf::ui {

// The working directory; empty when it cannot be determined (its folder is gone).
std::optional<std::filesystem::path> workingFolder();
// Records the folder just made the working directory, for the messages below.
void rememberProjectFolder(const QString& folder);
// "Cannot <action> <file>: the project's folder <folder> no longer exists".
QString folderGoneMessage(const QString& action, const QString& file);

} // namespace wf::ui
