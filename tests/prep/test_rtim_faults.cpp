// Preparation input that cannot give model input is refused: one box with the
// exact text, type 0, and the files of an earlier preparation run untouched.
#include <functional>

#include "prep/prep_data.h"

using namespace wf::test;

namespace {

struct Fault {
    const char* what;
    std::function<void(wf::Inputs&)> set;
    std::vector<Series> data;
    int type;
    std::string message;
};

Series startingAt(double t0) { return {{t0, 100.0}, {t0 + 1, 99.0}, {t0 + 2, 98.0}}; }

} // namespace

class PrepareFaults : public PrepareRun {};

TEST_F(PrepareFaults, RefusedWithMessageAndNoFile) {
    auto same = [](wf::Inputs&) {};
    const std::vector<Fault> faults = {
        {"no observation point", [](wf::Inputs& in) { in.NOBS = 0; }, {fortyPoints()}, 0,
         "Number of observation points 0 must be between 1 and 4"},
        {"five observation points", [](wf::Inputs& in) { in.NOBS = 5; }, {fortyPoints()}, 0,
         "Number of observation points 5 must be between 1 and 4"},
        {"no mesh", [](wf::Inputs& in) { in.NR = 0; }, {fortyPoints()}, 0,
         "No mesh has been built (NR = 0): do the mesh construction first"},
        {"counts of different meshes", [](wf::Inputs& in) { in.NN = 300; }, {fortyPoints()}, 0,
         "The mesh counts NR 16, NZ 20, NN 300, NE 285, NB 68, NZF 4, NZM 16 do not describe one mesh: "
         "do the mesh construction again"},
        {"observation node outside the mesh", [](wf::Inputs& in) { in.NODOBS[1] = 321; }, {fortyPoints()}, 0,
         "Observation node 321 of observation point 1 lies outside the mesh of 320 nodes: "
         "do the mesh construction again"},
        {"one pumped fracture row",
         [](wf::Inputs& in) {
             in.NZF = 1;
             in.NZM = 19;
         },
         {fortyPoints()}, 0, "Number of pumped node rows 1 must be at least 2"},
        {"one pumped matrix row",
         [](wf::Inputs& in) {
             in.NZF = 19;
             in.NZM = 1;
             in.IPUMP = 2;
         },
         {fortyPoints()}, 0, "Number of pumped node rows 1 must be at least 2"},
        {"no pumping step", [](wf::Inputs& in) { in.NQ = 0; }, {fortyPoints()}, 0,
         "Number of pumping steps 0 must be between 1 and 20"},
        {"subset of one", same, {fortyPoints()}, 1,
         "Number of times to select 1 must be 0 (all times) or at least 2"},
        {"negative subset", same, {fortyPoints()}, -3,
         "Number of times to select -3 must be 0 (all times) or at least 2"},
        {"subset larger than the data", same, {fortyPoints()}, 41,
         "Number of times to select 41 must not exceed the 40 data points in test.dat"},
        {"negative count", [](wf::Inputs& in) { in.NOBS = 2; in.NODOBS[2] = 151; },
         {fortyPoints(), Series(2, {0.0, 0.0})}, 0,
         "Number of data points -2 of observation point 2 in test.dat must not be negative"},
        {"levels after time 0", [](wf::Inputs& in) { in.IWLO = 1; }, {startingAt(0.5)}, 0,
         " Pziometric Heads must start at time 0.0"},
        {"second point's levels after time 0", [](wf::Inputs& in) { in.IWLO = 1; in.NOBS = 2; in.NODOBS[2] = 151; },
         {startingAt(0.0), startingAt(2.0)}, 0, " Pziometric Heads must start at time 0.0"},
    };
    const wf::Inputs defaults = rs.in;
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.what);
        rs.in = defaults;
        f.set(rs.in);
        host.boxes.clear();
        dir.write("test.obs", "earlier observations\n");
        dir.write("test.tim", "earlier control\n");
        std::string text = datFile(f.data);
        if (std::string(f.what) == "negative count") text.replace(text.find("40 2"), 4, "40 -2");
        dir.write("test.dat", text);
        EXPECT_EQ(prepareFile(static_cast<long long>(f.data[0].size()), f.type), 0);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error: " + f.message});
        EXPECT_EQ(rs.IOS, 0);
        EXPECT_EQ(dir.read("test.obs"), "earlier observations\n");
        EXPECT_EQ(dir.read("test.tim"), "earlier control\n");
    }
}

namespace {

// Runs the preparation through the entry call on a fresh default mesh.
std::vector<RecordedBox> prepareThroughEntry(const TempWorkDir& dir, const std::string& dat) {
    EntryRecords r;
    r.call(4, 0);
    dir.write("test.dat", dat);
    r.call(5, 0);
    return r.host.boxes;
}

} // namespace

// Read failures of the test-data file: exactly one input-file box, no output.
TEST(PrepareReadErrors, OneBoxAndNoFiles) {
    struct Case {
        const char* what;
        std::string dat;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"two lines only", "test.wft\n\n", "End of File reached in input file : test.dat"},
        {"points end early", "test.wft\n\n40\n\n0.5 0.01\n1.0 0.02\n", "End of File reached in input file : test.dat"},
        {"name line missing", "test.wft\n\n3\n", "End of File reached in input file : test.dat"},
        {"value not a number", "test.wft\n\n3\n\n0.5 0.01\n1.0 abc\n1.5 0.03\n",
         "Data format error in input file : test.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempWorkDir dir;
        EXPECT_EQ(prepareThroughEntry(dir, c.dat), (std::vector<RecordedBox>{{"Error", c.message}}));
        EXPECT_FALSE(dir.exists("test.obs"));
        EXPECT_FALSE(dir.exists("test.tim"));
    }
}

// Called on its own, the run leaves the box to the run driver: status and name only.
TEST_F(PrepareFaults, ReadFailureSetsStatusAndName) {
    dir.write("test.dat", "test.wft\n\n40\n\n0.5 0.01\n");
    EXPECT_EQ(prepareFile(40, 0), 0);
    EXPECT_LT(rs.IOS, 0);
    EXPECT_EQ(rs.INNAME, "test.dat");
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(dir.exists("test.obs"));
    EXPECT_FALSE(dir.exists("test.tim"));
}

// Points that a model run cannot use are refused by the preparation run with
// the file, the line and the value; the files of the last good preparation stay.
TEST(PrepareBadPoints, NamedWithFileLineAndValue) {
    struct Case {
        const char* what;
        std::string body;  // line 3 on
        std::string message;
    };
    const std::string at = "Test data file test.dat, line ";
    const std::vector<Case> cases = {
        {"no points", "0\n\n", at + "3: observation point 1 has no data points (the number of points is 0)"},
        {"infinite time", "3\n\n0 0\ninf 0.02\n2 0.03\n", at + "6: the time Infinity is not a finite number"},
        {"value not a number", "3\n\n0 0\n1 nan\n2 0.03\n", at + "6: the value NaN is not a finite number"},
        {"value beyond double", "3\n\n0 0\n1 0.02\n2 1e400\n", at + "7: the value Infinity is not a finite number"},
        {"negative time", "3\n\n-5 0\n1 0.02\n2 0.03\n", at + "5: the time -5 is negative"},
        {"decreasing time", "3\n\n0 0\n20 0.02\n10 0.03\n",
         at + "7: the time 10 is earlier than the time 20 of the line before; times must not decrease"},
        {"time beyond the observation file", "2\n\n0 0\n1e300 0.02\n",
         at + "6: the time 1.0000000000000001e+300 is too large for the observation file (at most 99999999999.999)"},
        // Minutes: three decimals would write 0.000; from 1e9 on the simulation
        // file's time runs into the node number.
        {"time that three decimals make 0", "3\n\n0 0\n0.0001 0.02\n2 0.03\n",
         at + "6: the time 0.0001 is below 0.0005 minutes, the smallest time after 0 that the observation file "
              "holds (3 decimals): enter the times in seconds"},
        {"time that runs into the node number", "2\n\n0 0\n2e9 0.02\n",
         at + "6: the time 2000000000 is above 999999999.999 minutes, the largest time that the simulation file "
              "holds: enter the times in hours"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempWorkDir dir;
        EntryRecords r;
        r.call(4, 0);
        dir.write("test.obs", "earlier observations\n");
        dir.write("test.tim", "earlier control\n");
        dir.write("test.dat", "test.wft\n\n" + c.body);
        r.call(5, 0);
        EXPECT_EQ(r.host.boxes, (std::vector<RecordedBox>{{"Error", c.message}}));
        EXPECT_EQ(dir.read("test.obs"), "earlier observations\n");
        EXPECT_EQ(dir.read("test.tim"), "earlier control\n");
    }
}

// With no smaller (seconds) or larger (years) unit left, the advice is to
// leave the reading out; the limits themselves are held and written.
TEST(PrepareBadPoints, TimesBeyondTheSmallestAndLargestTimeUnit) {
    struct Case {
        int unit;
        std::string body;
        std::string message;  // empty: prepared
    };
    const std::string at = "Test data file test.dat, line ";
    const std::vector<Case> cases = {
        {1, "2\n\n0 0\n0.00001 0.02\n",
         at + "6: the time 1.0000000000000001e-05 is below 0.0005 seconds, the smallest time after 0 that the "
              "observation file holds (3 decimals): leave out the readings before that time"},
        {5, "2\n\n0 0\n1e10 0.02\n",
         at + "6: the time 10000000000 is above 999999999.999 years, the largest time that the simulation file "
              "holds: leave out the readings after that time"},
        {1, "3\n\n0 0\n0.0005 0.02\n999999999.999 0.03\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        TempWorkDir dir;
        EntryRecords r;
        r.units.ITIN = c.unit;
        r.call(4, 0);
        dir.write("test.dat", "test.wft\n\n" + c.body);
        r.call(5, 0);
        if (c.message.empty()) {
            EXPECT_TRUE(r.host.boxes.empty());
            const std::string obs = dir.read("test.obs");
            EXPECT_NE(obs.find("          0.001"), std::string::npos) << obs;  // 0.0005 rounds up, not to 0.000
            EXPECT_NE(obs.find("  999999999.999"), std::string::npos) << obs;
        } else {
            EXPECT_EQ(r.host.boxes, (std::vector<RecordedBox>{{"Error", c.message}}));
            EXPECT_FALSE(dir.exists("test.obs"));
        }
    }
}

TEST(PrepareBadPoints, PumpingStepStartTooLargeForTheControlFileIsRefused) {
    TempWorkDir dir;
    EntryRecords r;
    r.call(4, 0);
    dir.write("test.dat", datFile({fortyPoints()}));
    r.pump.NQ = 2;
    r.pump.TQ[1] = 1.0e15f;
    r.call(5, 0);
    ASSERT_EQ(r.host.boxes.size(), 1u);
    EXPECT_EQ(r.host.boxes[0].text,
              "Start of pumping step 2 (TQ 2 = 1e+15) does not fit the model-control file test.tim "
              "(at most 99999999999999.999)");
    EXPECT_FALSE(dir.exists("test.tim"));
    EXPECT_FALSE(dir.exists("test.obs"));
}

// A model-control file that cannot be replaced keeps the observation file of
// the same earlier preparation too: the two are replaced together or not at all.
TEST(PrepareOutput, FailedControlFileLeavesBothPreviousFiles) {
    TempWorkDir dir;
    EntryRecords r;
    r.call(4, 0);
    dir.write("test.dat", datFile({fortyPoints()}));
    dir.write("test.obs", "earlier observations\n");
    dir.write("test.tim", "earlier control\n");
    std::filesystem::permissions(dir.path() / "test.tim", std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    r.call(5, 0);
    EXPECT_EQ(r.host.boxes,
              (std::vector<RecordedBox>{{"Error", "The file test.tim cannot be written (the file is read-only)"}}));
    EXPECT_EQ(dir.read("test.obs"), "earlier observations\n");
    EXPECT_EQ(dir.read("test.tim"), "earlier control\n");
}
