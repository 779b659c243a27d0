// One model run in a fresh working folder, with the messages, boxes, listing
// and diagnostics of the run captured for the test.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "fem/model_driver.h"
#include "fine/fine_model.h"
#include "fem/model_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace wf::test {

struct ModelRun {
    TempWorkDir dir;
    RunState rs;
    RecordingHost host;
    std::ostringstream listing, diag;
    RadialModel model;
    double P[4] = {1.0, 1.0, 1.0, 1.0};

    explicit ModelRun(RadialModel m, double K = 1.0e-4, double Ss = 1.0e-5) : model(std::move(m)) {
        rs.rep.setHost(host.host());
        rs.fem.listing = &listing;
        rs.fem.diagnostics = &diag;
        prepareRun(rs, model, K, Ss, 0);
        writeFiles(model.timText(), model.femText());
    }

    void writeFiles(const std::string& tim, const std::string& fem) const {
        dir.write("MODEL.tim", tim);
        dir.write("MODEL.fem", fem);
    }

    // Runs AQFESUB over the output times (seconds); the simulated values start
    // as `fill` so that untouched entries show.
    bool run(const std::vector<double>& times, double fill = 0.0) {
        arrays = RunArrays(static_cast<int>(model.obsNodes.size()), times);
        arrays.sim.fill(fill);
        rs.fem.nout = static_cast<int>(times.size());
        return AQFESUB(rs, P, arrays.sim, arrays.obs, arrays.times, wf::steppingOf(rs));
    }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> t;
        for (const auto& b : host.boxes) t.push_back(b.caption + ": " + b.text);
        return t;
    }

    RunArrays arrays{1, {0.0}};
};

// The text with its line n (1-based) replaced by the given record.
inline std::string replaceLine(const std::string& text, int n, const std::string& record) {
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find('\n', begin) + 1;
    const std::size_t end = text.find('\n', begin) + 1;
    return text.substr(0, begin) + record + text.substr(end);
}

// The text with a record inserted before its line n.
inline std::string insertLine(const std::string& text, int n, const std::string& record) {
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find('\n', begin) + 1;
    return text.substr(0, begin) + record + text.substr(begin);
}

// The twelve-integer problem record of the model-control file (line 4).
inline std::string problemRecord(std::vector<int> v) {
    std::vector<textio::FValue> values(v.begin(), v.end());
    return textio::format("(12i6)", values);
}

} // namespace wf::test
