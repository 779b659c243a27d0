// The project document of Wellfit: the eight solver records, the measured
// points of one observation borehole (as text) and the borehole name.
//
// Plain C++ without any user-interface types, shared by the desktop program
// and the command-line runner. The records keep their solver layout so that
// their addresses can be handed to wftDLL as they stand. Side files are
// addressed by their bare derived names inside a project folder (the desktop
// program makes that folder the working directory; every call that touches a
// side file takes the folder, defaulting to the working directory, which an
// empty path stands for: the bare names are then used as they stand, so a
// working directory that was removed makes the call fail with the file named).
//
// Units: distances in the IDIST unit, times in the ITIN unit, discharges in the
// IDISCH unit, transmissivities in the (length unit)^2/(time unit) of ICOND,
// storativities dimensionless; drawdowns positive downward.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis_options.h"
#include "observation_points.h"
#include "status.h"
#include "wfcore/records.h"

namespace wf::doc {

// Most points a test-data file can hold and still be read back (count + 3 <= 255).
inline constexpr int kMaxTestDataPoints = 252;
// Most characters of the borehole name.
inline constexpr std::size_t kMaxBoreholeName = 50;
// Most pumping steps of the discharge table.
inline constexpr int kMaxPumpingSteps = 20;

// Result of opening a project: the project file itself, then its test data.
struct OpenOutcome {
    // Failure: the project file could not be loaded; nothing in the document changed.
    Status project;
    // Failure (with project ok): the project is open, but its test-data file could
    // not be read; the point count is 0 and the point lists are as they were.
    Status testData;
    // Not empty when the project file ended before its last fixed item (see loadProject).
    std::string warning;
};

class ProjectDocument {
public:
    // Program start: every record zero, then the defaults; no points, empty name.
    ProjectDocument();

    // ---- The eight solver records (hand their addresses to wftDLL) ----
    FILENAME filename{};
    MESH mesh{};
    UNITS units{};
    OBSV obsv{};
    PUMP pump{};
    GUESS guess{};
    PINIT pinit{};
    NZERO nzero{};

    // ---- Options beyond the plain analysis (stored only when not default) ----
    AnalysisOptions analysisOptions{};

    // ---- Defaults and names ----

    // The defaults of a new project (fields not in the defaults table keep
    // their values), with one observation point. Leaves the first point's
    // data and the borehole name alone.
    void applyDefaults();

    // Fills baseLength (name length minus 4), projectName (NUL-terminated; a
    // name of 20 or more characters is cut to 19 there, the solver refuses
    // such names anyway) and the six derived names stem + ".FEM", ".DAT",
    // ".TIM", ".OBS", ".RES", ".INV" from the project file name without folder
    // (e.g. "DEMO.wft"). The stem is the whole name without its last 4
    // characters. The full name is kept for Save.
    void setDerivedNames(std::string_view fileNameWithoutFolder);

    // The project file name given to setDerivedNames (empty before).
    const std::string& projectName() const { return fileName_; }
    // The stem of the derived names (the name without its last 4 characters).
    std::string stem() const;

    // ---- Project file (.wft) ----

    // Writes the project file: a temporary file beside it first, then renamed
    // over it, so a failed save never destroys the previous file.
    Status saveProject(const std::filesystem::path& path) const;
    // Save: the file named by projectName() inside folder (refused before a name is set).
    Status saveToProjectName(const std::filesystem::path& folder = {}) const;
    // Reads the project file into the records (FILENAME is not in the file).
    // A file that ends early is not an error: the items after its end keep
    // their values, and warning (when given) receives "Warning: NAME ends
    // after N bytes: FIELD and the later fields were not read" (empty for a
    // file that holds every fixed item). A real that is not a finite number
    // is refused with the field named. On failure nothing changes.
    Status loadProject(const std::filesystem::path& path, std::string* warning = nullptr);

    // New: defaults, derived names from the file name, save at once, point count 0.
    // On failure (the file cannot be written) the document is unchanged.
    Status newProject(const std::filesystem::path& path);
    // Open: load the project, set derived names, read its test data from the
    // project's folder. See OpenOutcome.
    OpenOutcome openProject(const std::filesystem::path& path);

    // ---- Measured points ----

    int32_t pointCount() const { return pointCount_; }
    // Times and values (drawdowns or water levels) exactly as entered. After New
    // the lists keep their old content while the count is 0: only the first
    // pointCount() entries belong to the project.
    const std::vector<std::string>& times() const { return times_; }
    const std::vector<std::string>& values() const { return values_; }
    const std::string& boreholeName() const { return boreholeName_; }
    // Keeps the first 50 characters.
    void setBoreholeName(std::string_view name);

    // Reads the test-data file (datName) in folder into the point lists and
    // the point count. A missing file is not an error (count 0, lists as they
    // were). The words of the point lines are taken as text (a missing word is
    // an empty text); a bad count, or a file that ends before its last point,
    // is refused with the file and line named, and nothing changes.
    Status readTestData(const std::filesystem::path& folder = {});
    // The first word of the test-data file read last that is not a number, with
    // the file and line ("Test data file X, line 6: the value \"abc\" is not a
    // number"); empty when every one is, or once the data were written anew.
    const std::string& testDataProblem() const { return testDataProblem_; }
    // Writes the current points to the test-data file (datName) in folder.
    // Refused (file untouched) when a point is not a number or there are more
    // than 252 points.
    Status writeTestData(const std::filesystem::path& folder = {}) const;
    // OK of the data editor: takes over the borehole name (first 50 characters),
    // the points (count = number of times; both lists must be the same length)
    // and writes the test-data file. Every point is checked first; on failure
    // nothing changes and no file is written.
    Status acceptTestData(std::string_view boreholeName, std::vector<std::string> times,
                          std::vector<std::string> values,
                          const std::filesystem::path& folder = {});

    // ---- Observation points (one as in the standard program; up to four) ----

    // Number of observation points (NOBS).
    int observationPointCount() const { return 1 + static_cast<int>(furtherPoints_.size()); }
    // Every point, the first from the standard records and point lists.
    std::vector<ObservationPoint> observationPoints() const;
    // Takes over 1..4 points (checked, then sorted by distance: note gets the
    // sorting note, or an empty text) into OBSV (NOBS, ROBS, IPOS, NODOBS; the
    // slots of absent points 0), the point lists and the further points, and
    // writes the test-data file. On failure nothing changes.
    Status setObservationPoints(std::vector<ObservationPoint> points, std::string* note = nullptr,
                                const std::filesystem::path& folder = {});
    // The options record for wfSetOptions: the analysis options and the
    // points' weights.
    WfOptions solverOptions(WfFitReport* report) const;

    // ---- Parameter conversion ----

    // ConvertParameters: mode 1 prepares the analysis dialog (TF from the first
    // pumping rate when 0, bounds from guesses, 1e-8 floors), 2 converts guesses
    // and bounds into the solver's multipliers in GUESS (also any mode other
    // than 1, 3, 4), 3 bounds from the guesses, 4 reset guesses and bounds.
    // Refused, with the document unchanged, for ICOND outside 1..12, IDISCH
    // outside 1..8 and, in the conversion for the solver (which divides by the
    // layer thicknesses), a fracture ratio not strictly between 0 and 1 or a
    // thickness not above 0.
    Status ConvertParameters(int mode, int32_t ICOND, int32_t IDISCH);
    // The same with the document's own units.
    Status convertParameters(int mode) { return ConvertParameters(mode, units.ICOND, units.IDISCH); }

    // Parameters-dialog rule for the discharge table: NQ becomes the last row
    // (1..20) whose time TQ or rate Q is non-zero; when every row is zero NQ
    // stays as it was.
    void updateStepCount();

private:
    std::string fileName_;
    int32_t pointCount_ = 0;
    std::vector<std::string> times_;
    std::vector<std::string> values_;
    std::string boreholeName_;
    std::string testDataProblem_;
    std::string firstPointName_;
    float firstPointWeight_ = 1.0f;
    // The 2nd..4th point: name, weight and data (distance, position and node
    // live in OBSV slots 1..3, as for the first point in slot 0).
    std::vector<ObservationPoint> furtherPoints_;
    // Takes the fields of the observation points block (checked against NOBS
    // and the first point's distance); without the block the project has one point.
    Status takePointsBlock(std::string_view fields, const std::string& fileName);
    void clearFurtherPoints();
};

// The file a project path names: a symbolic link is followed to its target,
// so that the side files are read and written beside the project file itself.
std::filesystem::path resolveProjectLink(const std::filesystem::path& projectPath);

// Makes the folder of the project file the working directory (as New and Open do).
Status enterProjectFolder(const std::filesystem::path& projectPath);

} // namespace wf::doc
