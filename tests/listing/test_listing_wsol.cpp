// The paged solution listing WSOL: when a run writes it, its page layout and
// its fixed records.
#include <gtest/gtest.h>

#include <sstream>

#include "fem/model_run.h"
#include "listing/wsol.h"

namespace wf {
namespace {

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

const std::string kBanner = "1\n AQFE Version 1.01 May 1989\n\n";

// A listing written by WSOL for a model state built by the test.
struct Listing {
    RunState rs;
    Vec1<double> hnew, hold, dhead, none;
    Vec1<int> dnode;
    Mat1<int> nside;
    Mat1<double> nflux;
    int first = 0;
    explicit Listing(int nn) {
        rs.fem.NN = nn;
        rs.fem.nsteps = 10;
        rs.fem.step = 5;
        rs.fem.dt = 120.0;
        rs.fem.t = 600.0;
        rs.in.ITOUT = 2;
        hnew.allocate(nn);
        hold.allocate(nn);
        for (int n = 1; n <= nn; ++n) {
            hnew(n) = 40.0 - 0.01 * n;
            hold(n) = 40.0;
        }
    }
    std::string write() {
        std::ostringstream out;
        WSOL(rs, out, hnew, hold, dnode, dhead, nside, nflux, first);
        return out.str();
    }
};

TEST(ListingWsol, RunsOf999To1997StepsWriteOneListing) {
    test::RadialModel m;
    m.r = {0.0, 1.0};
    m.z = {0.0, 1.0};
    m.obsNodes = {2};
    struct Case {
        int steps, listings;
    };
    for (const Case c : {Case{998, 0}, Case{999, 1}, Case{1997, 1}}) {
        test::ModelRun run(m);
        std::vector<double> times;
        for (int i = 0; i <= c.steps; ++i) times.push_back(static_cast<double>(i));
        ASSERT_TRUE(run.run(times));
        const std::string text = run.listing.str();
        EXPECT_EQ(count(text, "SOLUTION OF THE GROUND WATER FLOW EQUATION"), c.listings) << c.steps;
        EXPECT_EQ(count(run.diag.str(), "     Time step.......     999\n"), c.listings) << c.steps;
        if (c.steps == 999) {
            // Table 1 at step 999 (t = 999 s, dt = 1 s); Table 2's pumped volume
            // is the source rate times the step, -Q/2pi x 1 s.
            EXPECT_NE(text.find("   Time step ................................  999\n"
                                "   Time increment ...........................  1.000000000D+00 (s)\n"
                                "   Time .....................................  9.990000000D+02 (s)\n"),
                      std::string::npos);
            EXPECT_NEAR(run.rs.fem.pumpedVolume, -0.01 / (2.0 * M_PI), 5e-7 * 0.01 / (2.0 * M_PI));
            EXPECT_NE(text.find(textio::format("(3X,'Prescribed flow from external sources/sinks ...',1X,1P,D16.9,"
                                               "' (m**3/m)')",
                                               {run.rs.fem.pumpedVolume})),
                      std::string::npos);
            EXPECT_EQ(count(text, "Output Table 3"), 1);
        }
    }
}

TEST(ListingWsol, OpeningRecordsOfATransientLagrangeProblem) {
    Listing l(4);
    std::fill(std::begin(l.rs.TITLE1), std::end(l.rs.TITLE1), ' ');
    std::copy_n("Pumping test A", 14, l.rs.TITLE1);
    const std::string text = l.write();
    const std::string blank72(72, ' ');
    const std::string expected =
        kBanner + " Pumping test A" + std::string(58, ' ') + "\n " + blank72 + "\n" +
        "         SOLUTION OF THE GROUND WATER FLOW EQUATION : A CONFINED MODEL\n\n\n\n"
        "                         The problem is Time Dependent  \n\n"
        "         The piecewise polynomial used in the simulation consisted of a \n"
        "                        1 st degree Lagrange polynomial\n\n\n\n\n"
        "   Output Table 1   Time parameters\n"
        "   ___________\n\n"
        "   Time step ................................    5\n"
        "   Time increment ...........................  2.000000000D+00 (m)\n"
        "   Time .....................................  1.000000000D+01 (m)\n\n\n\n"
        "   Output Table 2   Flow and Mass balance parameters\n"
        "   ___________\n\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_EQ(l.first, 1);
    // No sources, sides or Neumann boundaries: Table 2 starts with the zero-flux line.
    EXPECT_NE(text.find("   ___________\n\n   Computed flow across zero flux boundaries .....  0.000000000D+00 (m**3/m)\n"),
              std::string::npos);
}

TEST(ListingWsol, SteadyProblemShowsOnlyTheTimeIncrementInSeconds) {
    Listing l(2);
    l.rs.fem.nsteps = 0;
    l.rs.fem.dt = 86400.0;
    const std::string text = l.write();
    EXPECT_NE(text.find("The problem is Time Independent\n"), std::string::npos);
    EXPECT_NE(text.find("   Output Table 1   Time parameters\n   ___________\n\n"
                        "   Time increment used ..........  8.640000000D+04 (s)\n\n\n\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Time step ..."), std::string::npos);
}

// Head lines of Table 3, page by page (lines between a page heading and the banner).
std::vector<int> headPageLines(const std::string& text) {
    std::vector<int> pages;
    const std::vector<std::string> all = lines(text);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] != "   Output Table 3   Present  Ground-Water Level") continue;
        std::size_t j = i + 6;  // heading: title, rule, blank, two column lines, blank
        int n = 0;
        while (all[j] != "1") ++j, ++n;
        pages.push_back(n);
    }
    return pages;
}

TEST(ListingWsol, HeadTablePagesHoldOneHundredNodes) {
    Listing l(250);
    EXPECT_EQ(headPageLines(l.write()), (std::vector<int>{50, 50, 25}));
    // Each page ends with the banner block: three pages plus the banner after
    // Table 2 and the one that opens the listing.
    EXPECT_EQ(count(l.write(), kBanner), 5);
}

TEST(ListingWsol, NodeAfterAFullPageStandsAlone) {
    Listing l(101);
    const std::string text = l.write();
    EXPECT_EQ(headPageLines(text), (std::vector<int>{50, 1}));
    const std::string pair = textio::format("(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))",
                                            {99, l.hnew(99), -0.99, 100, l.hnew(100), -1.0});
    const std::string alone = textio::format("(1X,2(I4,2X,1P,D16.9,5X,0P,F5.1,4X))", {101, l.hnew(101), -1.01});
    EXPECT_EQ(alone, "  101   3.899000000D+01      -1.0\n");
    EXPECT_NE(text.find(pair + kBanner), std::string::npos);
    EXPECT_NE(text.find("(m)         New - Old\n\n" + alone + kBanner), std::string::npos);
}

TEST(ListingWsol, NeumannTablePagesHoldFiftyOrTwentyFiveSides) {
    for (int nps : {2, 3}) {
        Listing l(4);
        l.rs.fem.outputType = 0;
        l.rs.fem.nodesPerSide = nps;
        l.rs.fem.NNS = 60;
        l.rs.fem.fluxType = 2;
        l.nside.allocate(60, 4);
        l.nflux.allocate(60, 3);
        for (int b = 1; b <= 60; ++b) {
            l.nside(b, 1) = b;
            for (int j = 1; j <= nps; ++j) {
                l.nside(b, j + 1) = b + j;
                l.nflux(b, j) = 1.0e-6 * j;
            }
        }
        const std::string text = l.write();
        EXPECT_EQ(count(text, "TIME-DEPENDENT NEUMANN BOUNDARY CONDITIONS"), 1);
        const int pages = count(text, "   Output Table 6   Prescribed Time Dependent   Neumann Fluxes\n");
        EXPECT_EQ(pages, nps == 2 ? 2 : 3) << nps;
        // One side: element and two node-flux pairs on one line; a third pair
        // continues on the next line indented 23 columns.
        const std::string side1 = nps == 2 ? "              1           2    1.000000000D-06      3    2.000000000D-06\n"
                                            : "              1           2    1.000000000D-06      3    2.000000000D-06\n"
                                              "                             4    3.000000000D-06\n";
        EXPECT_NE(text.find(side1), std::string::npos) << nps;
    }
}

TEST(ListingWsol, TimeDependentPrescribedHeadsAreListedInPairs) {
    Listing l(4);
    l.rs.fem.outputType = 0;
    l.rs.fem.NDN = 3;
    l.rs.fem.headType = 2;
    l.dnode.allocate(3);
    l.dhead.allocate(3);
    for (int d = 1; d <= 3; ++d) {
        l.dnode(d) = 10 * d;
        l.dhead(d) = 40.0;
    }
    const std::string text = l.write();
    EXPECT_NE(text.find("                   TIME-DEPENDENT DIRICHLET BOUNDARY CONDITIONS\n\n\n"
                        "   Output Table 5   Prescribed Time Dependent   Dirichlet Heads\n"
                        "   ___________\n\n"
                        "             Node       Head (m)              Node       Head (m)\n\n"
                        "               10    4.000000000D+01            20    4.000000000D+01\n"
                        "               30    4.000000000D+01\n" +
                        kBanner),
              std::string::npos);
}

} // namespace
} // namespace wf
