// Whether the preparation files of a project (stem.OBS and stem.TIM) still
// belong to its test data and parameters, before an analysis runs on them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "document/project_document.h"

namespace wf::cli {

// The record values a data preparation turns into its files.
struct PreparationInputs {
    MESH mesh{};
    float THICK = 0.0f;
    int32_t NOBS = 0;
    int32_t NODOBS[4] = {};
    int32_t IWLO = 0, NQ = 0, IPUMP = 0, IOPP = 0;
    float Q[20] = {}, TQ[20] = {};

    static PreparationInputs of(const wf::doc::ProjectDocument& doc);
    bool operator==(const PreparationInputs& other) const;
};

// Why the preparation files in `folder` (empty: the working directory) cannot
// be the output of a preparation of the document as it stands, or nothing when
// they can. Compared are the file times (the test-data and mesh files must
// not be newer than the preparation files) and the pumping schedule, the
// opposite boundary and the aquifer thickness that the model-control file
// holds. Missing preparation files are left to the analysis run to report.
std::optional<std::string> stalePreparation(const wf::doc::ProjectDocument& doc,
                                            const std::filesystem::path& folder = {});

} // namespace wf::cli
