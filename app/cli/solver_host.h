// The terminal host of the solver's progress window and message boxes.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace wf::cli {

// Installs itself with wfSetHost for its lifetime: progress lines go to `out`,
// "Error" boxes to `err`, "Information" boxes to `out`. Remembers every error
// box so that a run can be reported as failed. Unless `verbose`, the detail
// lines of each optimisation pass (multipliers, conductivities, totals) are
// left out; the pass lines and the final report are always shown.
class SolverHost {
public:
    SolverHost(std::ostream& out, std::ostream& err, bool verbose = false);
    ~SolverHost();
    SolverHost(const SolverHost&) = delete;
    SolverHost& operator=(const SolverHost&) = delete;

    const std::vector<std::string>& errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }

private:
    static void progress(void* context, int code, const char* text, const char* const* lines, int count);
    static void messageBox(void* context, const char* caption, const char* text);

    std::ostream& out_;
    std::ostream& err_;
    bool verbose_;
    std::vector<std::string> errors_;
};

} // namespace wf::cli
