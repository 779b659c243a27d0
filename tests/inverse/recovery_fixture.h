// A project on the real flow model for the recovery tests: a fixed-time run
// with known multipliers makes the drawdowns, they become the project's test
// data, and an optimisation finds the multipliers again.
#pragma once

#include <cstdio>

#include "entry/run_driver.h"
#include "inverse_fixture.h"

namespace wfinv {

// The times of the Oude Korendijk test (minutes).
inline const std::vector<double> kKorendijkTimes{0.1, 0.25, 0.5, 0.7, 1.0, 1.4, 1.9, 2.33, 2.8, 3.36, 4.0,
                                                 5.35, 6.8, 8.3, 10, 13.1, 18, 27, 33, 41, 48, 59,
                                                 80, 95, 139, 181, 245, 300, 360, 480, 600, 728, 830};

// The inputs of a project in the style of the Oude Korendijk test: 7 m thick,
// 20 % fracture, Q = 788 m3/day from time 0, RMAX = 4000 m with constant head,
// pumped in the fracture; minutes, m/day. The observation points are the
// caller's.
inline wf::Inputs korendijkStyleInputs() {
    wf::Inputs in{};
    in.RMAX = 4000.0;
    in.THICK = 7.0;
    in.RATIO = 0.2;
    in.IWLO = 0;
    in.NQ = 1;
    in.Q[1] = 788.0;
    in.TQ[1] = 0.0;
    in.IPUMP = 1;
    in.IOPP = 1;
    in.SCALT = 1e-5;
    in.SCALS = 1e-4;
    in.PEPS = 0.01;
    in.IDIST = 3;
    in.ITIN = 2;
    in.ITOUT = 2;
    in.ICOND = 12;
    in.IFLUX = 12;
    in.IDISCH = 8;
    for (int j = 1; j <= 4; ++j) {
        in.PLO[j] = 1e-4;
        in.PHI[j] = 1e5;
    }
    return in;
}

// That project with its observation point in the fracture at r = 30 m.
class Recovery : public InverseProject {
public:
    MESH mesh{};
    OBSV obsv{};
    PINIT pinit{};
    const std::vector<double> times = kKorendijkTimes;

    void SetUp() override {
        InverseProject::SetUp();
        wf::Inputs& in = rs.in;
        in = korendijkStyleInputs();
        in.NOBS = 1;
        in.ROBS[1] = 30.0;
        in.IPOS[1] = 1;
        mesh.RMAX = 4000.0f;
        wf::WFRUN(rs, 4, 0, mesh, obsv, pinit);
        ASSERT_TRUE(rec.boxes().empty());
        ASSERT_GT(rs.in.NR, 0);
    }
    void writeData(const std::vector<double>& s) {
        std::ofstream out("TEST.dat");
        out << "TEST.wft\n\n" << times.size() << "\n\n";
        for (std::size_t i = 0; i < times.size(); ++i) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.6g %.9g\n", times[i], s[i]);
            out << buf;
        }
    }
    // Preparation run, then an analysis run of the given type.
    void analyse(int type) {
        wf::WFRUN(rs, 5, 0, mesh, obsv, pinit);
        ASSERT_TRUE(rec.boxes().empty());
        wf::WFRUN(rs, 6, type, mesh, obsv, pinit);
    }
    // The series of the first observation node in TEST.inv.
    std::vector<double> simulated() {
        std::ifstream in("TEST.inv");
        wf::textio::RecordReader r(in);
        int nobs = 0, nt = 0;
        EXPECT_EQ(r.read(nobs, nt), 0);
        r.skip(1);
        std::vector<double> s;
        for (int i = 0; i < nt; ++i) {
            wf::textio::ListRead rec = r.begin();
            int node = 0;
            double t = 0, v = 0;
            EXPECT_TRUE(rec.get(node) && rec.get(t) && rec.get(v));
            s.push_back(v);
        }
        return s;
    }
};

} // namespace wfinv
