// Whole solver runs through the entry call wftDLL on a fuzzed side file.
//
// At start the bundled example project is loaded and its mesh (.FEM), time
// and observation files (.TIM, .OBS) and a fixed-time analysis (.INV, .RES)
// are made in a scratch folder, as the desktop program makes them. Each input
// then replaces one side file and makes one run:
//   byte 0 % 5: 0 .FEM, 1 .TIM, 2 .OBS, 3 .INV  -> analysis (mode 6)
//               4 .DAT                          -> data preparation (mode 5)
//   byte 1 % 2: analysis type 1 fixed time, 2 prediction (the optimisation
//               makes about a hundred model runs and is left to the tests)
//   the rest:   the contents of the file.
//
// Invariants: no crash and no sanitizer report; the run writes only the output
// fields of the records (PINIT slots 0-3 after an analysis, nothing after a
// preparation); the files a run reads are never changed; a preparation that
// fails leaves the time and observation files as they were.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <strings.h>
#include <vector>

#include "document/project_document.h"
#include "fuzz_support.h"
#include "wfcore/wfcore.h"

namespace {

namespace fs = std::filesystem;
using wf::doc::ProjectDocument;

struct Host {
    std::vector<std::string> errors;
    static void box(void* context, const char* caption, const char* text) {
        if (std::strcmp(caption, "Error") == 0) static_cast<Host*>(context)->errors.emplace_back(text);
    }
};

Host host;
ProjectDocument project;  // the records after the example's mesh and preparation runs
std::map<std::string, std::string> baseline;  // side file -> bytes
const char* const kSideFiles[] = {"FUZZ.FEM", "FUZZ.TIM", "FUZZ.OBS", "FUZZ.INV", "FUZZ.DAT", "FUZZ.RES"};

void call(ProjectDocument& d, int mode, int type) {
    wftDLL(mode, type, &d.filename, &d.mesh, &d.obsv, &d.pump, &d.guess, &d.pinit, &d.units, &d.nzero);
}

// The side file as the solver names it (lower-case extension) in the scratch folder.
fs::path sidePath(const std::string& name) {
    for (const auto& entry : fs::directory_iterator(wf::fuzz::scratchFolder()))
        if (entry.path().filename().string().size() == name.size() &&
            strncasecmp(entry.path().filename().c_str(), name.c_str(), name.size()) == 0)
            return entry.path();
    return wf::fuzz::scratchFolder() / name;
}

void restoreBaseline() {
    for (const auto& [name, bytes] : baseline) wf::fuzz::writeBytes(sidePath(name), bytes);
}

std::string recordsExceptPinitEstimates(const ProjectDocument& d) {
    std::string s;
    auto add = [&s](const auto& r) { s.append(reinterpret_cast<const char*>(&r), sizeof r); };
    add(d.filename);
    add(d.mesh);
    add(d.units);
    add(d.obsv);
    add(d.pump);
    add(d.guess);
    add(d.nzero);
    s.append(reinterpret_cast<const char*>(&d.pinit.TFMIN), 8 * sizeof(float));
    return s;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path& folder = wf::fuzz::scratchFolder();
    fs::copy_file(fs::path(WF_EXAMPLE_DIR) / "OKORENDIJK.wft", folder / "FUZZ.wft");
    fs::copy_file(fs::path(WF_EXAMPLE_DIR) / "OKORENDIJK.DAT", folder / "FUZZ.DAT");
    fs::current_path(folder);
    WfHost h{};
    h.context = &host;
    h.messageBox = &Host::box;
    wfSetHost(&h);

    const wf::doc::OpenOutcome opened = project.openProject(folder / "FUZZ.wft");
    if (!opened.project) wf::fuzz::broken("the example project does not open", opened.project.error);
    call(project, WF_MODE_MESH, 0);
    call(project, WF_MODE_PREPARE, 0);
    if (!project.convertParameters(1) || !project.convertParameters(2))
        wf::fuzz::broken("the example's parameters do not convert");
    ProjectDocument analysed = project;
    call(analysed, WF_MODE_ANALYSIS, 1);
    if (!host.errors.empty()) wf::fuzz::broken("the example does not run", host.errors.front());
    for (const char* name : kSideFiles) baseline[name] = wf::fuzz::readBytes(sidePath(name));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int which = data[0] % 5;
    const int type = 1 + data[1] % 2;
    const std::string contents(reinterpret_cast<const char*>(data + 2), size - 2);

    restoreBaseline();
    wf::fuzz::writeBytes(sidePath(kSideFiles[which]), contents);
    std::map<std::string, std::string> before;
    for (const char* name : kSideFiles) before[name] = wf::fuzz::readBytes(sidePath(name));

    ProjectDocument d = project;
    host.errors.clear();
    const bool preparation = which == 4;
    call(d, preparation ? WF_MODE_PREPARE : WF_MODE_ANALYSIS, preparation ? 0 : type);
    const bool failed = !host.errors.empty();
    const std::string detail = failed ? host.errors.front() : std::string("run without an error box");

    WF_FUZZ_CHECK(recordsExceptPinitEstimates(d) == recordsExceptPinitEstimates(project), detail);
    if (preparation)
        WF_FUZZ_CHECK(std::memcmp(&d.pinit, &project.pinit, sizeof d.pinit) == 0, detail);
    const std::vector<std::string> inputs =
        preparation ? std::vector<std::string>{"FUZZ.FEM", "FUZZ.DAT", "FUZZ.INV", "FUZZ.RES"}
                    : std::vector<std::string>{"FUZZ.FEM", "FUZZ.TIM", "FUZZ.OBS", "FUZZ.DAT"};
    for (const std::string& name : inputs)
        WF_FUZZ_CHECK(wf::fuzz::readBytes(sidePath(name)) == before[name], name + " changed; " + detail);
    if (preparation && failed)
        for (const char* name : {"FUZZ.TIM", "FUZZ.OBS"})
            WF_FUZZ_CHECK(wf::fuzz::readBytes(sidePath(name)) == before[name],
                          std::string(name) + " changed by a failed preparation; " + detail);
    return 0;
}
