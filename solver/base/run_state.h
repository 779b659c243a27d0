// The solver's module data: one object that every routine works on. The
// library keeps one instance of it behind wftDLL; tests make their own.
#pragma once

#include <string>
#include <string_view>

#include "base/inputs.h"
#include "base/reporter.h"
#include "base/run_options.h"
#include "base/work_sets.h"
#include "base/fem_state.h"
#include "base/inverse_state.h"

namespace wf {

// A 72-character title field as text (unset characters written as blanks).
inline std::string titleText(const char (&title)[72]) {
    std::string text(title, 72);
    for (char& c : text)
        if (c == '\0') c = ' ';
    return text;
}

struct RunState {
    // Run control
    char BASE[12] = {};      // base name, blank-padded
    int NBASE = 0;           // significant characters of BASE, 1..12
    char TITLE1[72] = {};    // first title line
    char TITLE2[72] = {};    // second title line (preparation run)
    std::string INNAME;      // input file being read, for the error box
    int IOS = 0;             // status of the last read: 0 ok, > 0 format error, < 0 end of file
    int NPAR = 4;            // estimated parameters
    int NTIM = 0;            // length of the analysis time axis
    int NPTS = 0;            // data points from the test-data header
    int NOBSF = 0;           // observation points from the observation-file header
    int NT = 0;              // observation times of the first point

    Inputs in;               // module copy of the records
    RunOptions options;      // options beyond the standard model and search (wfSetOptions)

    MeshSet meshSet;
    PrepSet prep;
    EstimationSet est;
    ModelSet model;

    FemState fem;
    InverseState inv;

    Reporter rep;

    // The base name (first NBASE characters of BASE).
    std::string base() const { return std::string(BASE, static_cast<std::size_t>(NBASE > 0 ? NBASE : 0)); }
    // A side-file name: base + ext (ext in lower case, e.g. ".dat").
    std::string file(std::string_view ext) const { return base() + std::string(ext); }
    std::string title1() const { return std::string(TITLE1, 72); }
    std::string title2() const { return std::string(TITLE2, 72); }

    // Error box with the text as it stands.
    void error(std::string_view text) { rep.error(text); }
    // Input-file error box for INNAME by IOS (nothing when IOS is 0).
    void ioError() {
        if (IOS == 0) return;
        int count = static_cast<int>(INNAME.size());
        rep.showError(count, INNAME, IOS, INNAME);
    }
};

} // namespace wf
