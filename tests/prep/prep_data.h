// Test-data files and the mesh records of the preparation-run tests.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "prep/prep_fixture.h"
#include "prep/preparation_run.h"

namespace wf::test {

using Series = std::vector<std::pair<double, double>>;  // (time, value)

// A test-data file as the desktop program writes it: project name, empty
// second title, the point counts, then per observation point an empty name
// line and its points.
inline std::string datFile(const std::vector<Series>& points) {
    std::string s = "test.wft\n\n";
    for (std::size_t j = 0; j < points.size(); ++j) s += (j ? " " : "") + std::to_string(points[j].size());
    s += "\n";
    char buf[64];
    for (const Series& p : points) {
        s += "\n";
        for (const auto& [t, v] : p) {
            std::snprintf(buf, sizeof buf, "%.6g %.8g\n", t, v);
            s += buf;
        }
    }
    return s;
}

// 40 drawdowns 0.01 m ... 0.40 m at 0.5 ... 20.0 (first time not zero).
inline Series fortyPoints() {
    Series p;
    for (int m = 1; m <= 40; ++m) p.push_back({0.5 * m, 0.01 * m});
    return p;
}

// The preparation run on the default mesh (NR 16, NZF 4, observation node 22)
// with one pumping step of 0.01 from time 0, fracture pumping, constant head.
class PrepareRun : public PrepRun {
protected:
    PrepareRun() {
        Inputs& in = rs.in;
        in.NR = 16;
        in.NZ = 20;
        in.NN = 320;
        in.NE = 285;
        in.NB = 68;
        in.NMAT = 2;
        in.NZF = 4;
        in.NZM = 16;
        in.NODOBS[1] = 22;
        in.IWLO = 0;
        in.NQ = 1;
        in.Q[1] = 0.01f;
        in.TQ[1] = 0.0f;
        in.IPUMP = 1;
        in.IOPP = 1;
    }

    // Writes test.dat and runs RTIM with arrays sized as the run driver sizes
    // them (first count of line 3 times NOBS); returns the type afterwards.
    int prepare(const std::vector<Series>& points, int type) {
        dir.write("test.dat", datFile(points));
        const long long npts = points.empty() ? 0 : static_cast<long long>(points[0].size());
        return prepareFile(npts, type);
    }
    int prepareFile(long long npts, int type) {
        rs.prep.allocate(npts, std::max(1, std::min(rs.in.NOBS, 4)));
        RTIM(rs, type);
        rs.prep.release();
        return type;
    }

    std::vector<std::string> obs() const { return records(dir.read("test.obs")); }
    std::vector<std::string> tim() const { return records(dir.read("test.tim")); }
};

// An observation data record "(I6,F15.3,1P,E18.6)": node, time, drawdown.
struct ObsRecord {
    int node;
    double t, s;
};

inline ObsRecord obsRecord(const std::string& r) {
    EXPECT_EQ(r.size(), 39u) << r;
    return {intField(r, 0, 6), realField(r, 6, 21), realField(r, 21, 39)};
}

} // namespace wf::test
