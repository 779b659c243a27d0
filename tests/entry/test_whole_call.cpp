// Mesh, preparation and analysis runs through the exported entry call, as the
// desktop program makes them one after the other.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/entry_records.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "wfcore/wfcore.h"

using wf::test::RecordingHost;
using wf::test::TempWorkDir;

namespace {

// A project "WELL" pumped at 86.4 m3/day with all multipliers 1 in 0.1..10.
struct Project : wf::test::ProjectRecords {
    Project() : ProjectRecords("WELL") {
        pump.Q[0] = 86.4f;  // m3/day
        for (int j = 0; j < 4; ++j) {
            guess.P0[j] = 1.0f;
            guess.PLO[j] = 0.1f;
            guess.PHI[j] = 10.0f;
        }
    }
};

} // namespace

TEST(WholeCall, FixedTimeRunWritesOnlyTheFourParametersBack) {
    TempWorkDir dir;
    RecordingHost host;
    wfSetHost(host.host());
    // Drawdowns in metres at times in minutes, as the desktop program writes them.
    dir.write("WELL.DAT",
              "WELL.wft\r\n\r\n5\r\n\r\n"
              " 1.00000000000000E+0000 1.00000000000000E-0002\r\n"
              " 2.00000000000000E+0000 2.00000000000000E-0002\r\n"
              " 5.00000000000000E+0000 3.00000000000000E-0002\r\n"
              " 1.00000000000000E+0001 4.00000000000000E-0002\r\n"
              " 2.00000000000000E+0001 5.00000000000000E-0002\r\n");
    Project p;
    p.call(4, 0);
    ASSERT_EQ(p.mesh.NR, 16);
    p.call(5, 0);
    ASSERT_TRUE(host.boxes.empty()) << host.boxes.front().text;

    p.pinit.TFMIN = 1.0f;
    p.pinit.TMMIN = 2.0f;
    p.pinit.SFMIN = 3.0f;
    p.pinit.SMMIN = 4.0f;
    p.pinit.TFMAX = 5.0f;
    p.pinit.TMMAX = 6.0f;
    p.pinit.SFMAX = 7.0f;
    p.pinit.SMMAX = 8.0f;
    const PINIT before = p.pinit;
    p.call(6, 1);
    wfSetHost(nullptr);

    EXPECT_TRUE(host.boxes.empty());
    ASSERT_GE(host.lines.size(), 3u);
    EXPECT_EQ(host.added.front(), "WELLFIT: Start Computation");
    // The pass line clears the list and starts it afresh.
    EXPECT_EQ(host.lines.front().rfind("Iteration   1: Error Estimate (RMSE) = ", 0), 0u) << host.lines.front();
    EXPECT_EQ(host.lines.back(), "WELLFIT: Computation Complete");
    EXPECT_EQ(host.windowShown, 1);
    // Multipliers of 1 on SCALT = 1e-5 m/s and SCALS = 1e-4 1/m over 40 m, 20 % fracture:
    // Tf = 1e-5 m/s x 86400 s/day x 8 m, Tm the same over 32 m; Sf = 1e-4 x 8, Sm = 1e-4 x 32.
    EXPECT_FLOAT_EQ(p.pinit.TF, 6.912f);
    EXPECT_FLOAT_EQ(p.pinit.TM, 27.648f);
    EXPECT_FLOAT_EQ(p.pinit.SF, 8.0e-4f);
    EXPECT_FLOAT_EQ(p.pinit.SM, 3.2e-3f);
    EXPECT_EQ(std::memcmp(&p.pinit.TFMIN, &before.TFMIN, 8 * sizeof(float)), 0);
    EXPECT_TRUE(dir.exists("WELL.res"));
    EXPECT_TRUE(dir.exists("WELL.inv"));
}
