// The settings of the command line taken over into the project document, as
// the dialogs of the desktop program take them over: units, geometry,
// pumping schedule, guesses, the analysis and model options, the test data
// and the observation points.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "document/project_document.h"
#include "options.h"

namespace wf::cli {

// Units, mesh and pumping settings, guesses, options and the borehole name.
void applySettings(const Options& o, wf::doc::ProjectDocument& doc);
// The four guesses (project values, kept by --save).
void applyGuesses(const Options& o, wf::doc::ProjectDocument& doc);

// What taking over the test data and the points did.
struct DataTaken {
    wf::doc::Status status;
    bool imported = false;  // new test data were written
};

// Imports the first point's data file (already made absolute).
DataTaken importData(const std::filesystem::path& file, wf::doc::ProjectDocument& doc, std::ostream& out);
// The observation points: further points from the command line, and the first
// point's name and weight; checked and sorted by distance whenever the project
// has more than one. files are the further points' data files (absolute).
DataTaken applyPoints(const Options& o, const std::vector<std::filesystem::path>& files,
                      wf::doc::ProjectDocument& doc, std::ostream& out, std::ostream& err);

} // namespace wf::cli
