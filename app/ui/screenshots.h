// Developer option --screenshots DIR: builds a project, runs the whole use
// through the real windows and saves pictures of the main window and of every
// dialog as PNG files (main-window.png, dialog-*.png).
#pragma once

#include <QString>

#include "document/project_document.h"

namespace wf::ui {

// exampleFolder: a folder with a project (*.wft) and its .DAT to use; empty:
// a synthetic test of 86.4 m3/day. Returns the process exit code.
int takeScreenshots(wf::doc::ProjectDocument& document, const QString& dir, const QString& exampleFolder);

} // namespace wf::ui
