// Whether the observation file and the parameter file of the project (stem +
// ".OBS" and ".TIM", written by the data preparation run) still belong to the
// project's test data and parameters.
//
// The analysis reads those two files, not the document: after a failed
// preparation, or after the data, the discharge table, the pump position, the
// boundary, the water-level type or the mesh changed, they describe an older
// state of the project, and an analysis on them would fit the wrong data.
#pragma once

#include <filesystem>

#include <QByteArray>
#include <QString>

#include "document/project_document.h"

namespace wf::ui {

// Everything the preparation run reads: the record fields it uses and the
// bytes of the test-data file.
QByteArray preparationInputs(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder);

class PreparationState {
public:
    // A project was created or opened: no preparation run of this session yet;
    // the files on disk are judged by their age against the test-data file.
    void projectOpened(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder);
    // A preparation run ended; `succeeded` when it showed no error.
    void preparationRan(bool succeeded, const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder);
    // Empty when the analysis may read the files; otherwise the message that
    // asks for the preparation to be run again. Missing files are left to the
    // solver, which names them.
    QString staleMessage(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder) const;

private:
    QByteArray opened_;     // inputs when the project was opened
    QByteArray prepared_;   // inputs of the last successful preparation of this session
    bool preparedHere_ = false;
    bool lastFailed_ = false;
};

} // namespace wf::ui
