// The Oude Korendijk test (piezometer at 30 m) on the standard or the fine
// model, for fits of the robust search: the measured drawdowns of the
// bundled example, pumped over the whole thickness as the example is.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "base/inverse_state.h"
#include "recovery_fixture.h"

namespace wfinv {

struct Drawdowns {
    std::vector<double> t, s;  // minutes, metres
};

// The 34 measurements of examples/oude-korendijk/OKORENDIJK.DAT.
inline Drawdowns korendijkMeasurements() {
    std::ifstream in(std::string(WF_SOURCE_DIR) + "/examples/oude-korendijk/OKORENDIJK.DAT");
    std::string line;
    std::getline(in, line);  // project name
    int n = 0;
    in >> n;
    Drawdowns d;
    for (int i = 0; i < n; ++i) {
        double t = 0, s = 0;
        in >> t >> s;
        d.t.push_back(t);
        d.s.push_back(s);
    }
    return d;
}

// Multipliers of the published fit (T = 462 m2/day, S = 1.78e-4 over 7 m):
// K = 66 m/day = P x 1e-5 m/s, Ss = 2.54e-5 1/m = P x 1e-4 1/m in both layers.
inline constexpr double kKorendijkK = 66.0 / 0.864;
inline constexpr double kKorendijkSs = 0.254;

class RobustProject : public InverseProject {
public:
    MESH mesh{};
    OBSV obsv{};
    PINIT pinit{};
    WfFitReport report{};
    WfOptions options{};
    bool fine = false;

    void SetUp() override {
        InverseProject::SetUp();
        rs.options.fineModel = fine;
        rs.in = korendijkStyleInputs();
        rs.in.IPUMP = 0;
        rs.in.NOBS = 1;
        rs.in.ROBS[1] = 30.0;
        rs.in.IPOS[1] = 1;
        mesh.RMAX = 4000.0f;
        wf::WFRUN(rs, 4, 0, mesh, obsv, pinit);
        ASSERT_TRUE(rec.boxes().empty());
        const Drawdowns d = korendijkMeasurements();
        ASSERT_EQ(d.t.size(), 34u);
        writeData(d);
        wf::WFRUN(rs, 5, 0, mesh, obsv, pinit);
        ASSERT_TRUE(rec.boxes().empty());
        options.search = WF_SEARCH_ROBUST;
        options.report = &report;
    }
    void writeData(const Drawdowns& d) {
        std::ofstream out("TEST.dat");
        out << "TEST.wft\n\n" << d.t.size() << "\n\n";
        for (std::size_t i = 0; i < d.t.size(); ++i) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.9g %.9g\n", d.t[i], d.s[i]);
            out << buf;
        }
    }
    // An optimisation from the multipliers P0 with the options installed.
    void fit(const double P0[4]) {
        for (int j = 1; j <= 4; ++j) rs.in.P0[j] = P0[j - 1];
        rs.in.RMSE = 0.0;
        rec.events.clear();
        wf::installOptions(rs.inv, &options);
        wf::WFRUN(rs, 6, 0, mesh, obsv, pinit);
    }
    std::string errors() const {
        std::string s;
        for (const Event& b : rec.boxes())
            if (b.caption == "Error") s += b.text + "\n";
        return s;
    }
};

class FineRobustProject : public RobustProject {
public:
    void SetUp() override {
        fine = true;
        RobustProject::SetUp();
    }
};

} // namespace wfinv
