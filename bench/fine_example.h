// The bundled example project (examples/oude-korendijk) for the fine-model
// benchmarks: a copy in a fresh folder with its fine mesh and preparation
// runs made, and one solver run on its records with the fine model.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/project_document.h"
#include "quiet_host.h"
#include "support/solver_run.h"

namespace wf::bench {

// One solver run with the fine model on the document's records, on threads
// threads (0: one per core); the run state keeps its counters.
inline void fineRun(wf::RunState& rs, wf::doc::ProjectDocument& doc, int mode, int type, Counts& counts,
                    int threads) {
    const WfHost h = quietHost(&counts);
    rs.rep.setHost(&h);
    rs.options.fineModel = true;
    rs.options.threads = threads;
    wf::test::solverRun(rs, mode, type, doc);
    rs.rep.setHost(nullptr);
}

// Opens a copy of the example in a fresh folder (the working directory while
// it lives) and makes its fine mesh and preparation runs; why says what failed.
class FineExample {
public:
    FineExample(const std::string& tag) : old_(std::filesystem::current_path()) {
        namespace fs = std::filesystem;
        dir_ = fs::temp_directory_path() / ("wf_bench_" + tag + std::to_string(::getpid()));
        const fs::path example = fs::path(WF_SOURCE_DIR) / "examples" / "oude-korendijk";
        fs::create_directories(dir_);
        fs::copy(example, dir_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::current_path(dir_);
        const wf::doc::OpenOutcome opened = doc.openProject("OKORENDIJK.wft");
        if (!opened.project || !opened.testData || doc.pointCount() == 0) {
            why = "example project could not be opened";
            return;
        }
        if (!doc.convertParameters(1) || !doc.convertParameters(2)) {
            why = "parameter conversion refused";
            return;
        }
        Counts c;
        wf::RunState rs;
        fineRun(rs, doc, 4, 0, c, 0);
        wf::RunState rs2;
        fineRun(rs2, doc, 5, 0, c, 0);
        if (c.boxes != 0) why = "project set-up failed: " + c.lastBox;
    }
    ~FineExample() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    FineExample(const FineExample&) = delete;
    FineExample& operator=(const FineExample&) = delete;

    wf::doc::ProjectDocument doc;
    std::string why;

private:
    std::filesystem::path old_, dir_;
};

} // namespace wf::bench
