// ConvertParameters: unit factors, guesses and bounds of the analysis dialog,
// and the scaled multipliers handed to the solver.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "document/project_document.h"
#include "document/units.h"

namespace wf::doc {
namespace {

// Relative tolerance of single-precision results worked out in extended precision.
constexpr double kRel = 1e-6;
#define EXPECT_REL(actual, expected) EXPECT_NEAR((actual), (expected), kRel * std::fabs(expected))

TEST(UnitFactors, TransmissivityAndDischargeTablesTurnUnitsIntoSI) {
    const auto t = transmissivityFactors();
    EXPECT_REL(t[11], 1.0 / 86400.0); // m/day
    EXPECT_REL(t[0], 1e-6);           // mm/s
    EXPECT_EQ(t[8], 1.0L);            // m/s ("ms/s")
    EXPECT_REL(t[5], 1e-4 / 60.0);    // cm/min
    EXPECT_REL(t[2], 1e-6 / 3600.0);  // mm/h
    const auto q = dischargeFactors();
    EXPECT_REL(q[0], 1e-3);           // L/s
    EXPECT_REL(q[3], 1e-3 / 86400.0); // L/day
    EXPECT_EQ(q[4], 1.0L);            // m3/s
    // Held in extended precision: the litre factor is 0.001 to the last digit
    // of a long double, not the single-precision 0.00100000005.
    EXPECT_EQ(q[0], 0.001L);
    EXPECT_REL(q[7], 1.0 / 86400.0);  // m3/day
}

TEST(ConvertParameters, DialogOpeningDerivesTheFractureGuessFromTheFirstRate) {
    ProjectDocument doc;
    doc.pump.Q[0] = 86.4f;
    ASSERT_TRUE(doc.ConvertParameters(1, 12, 8).ok());
    EXPECT_EQ(doc.pinit.TF, 15.0f);
    EXPECT_FLOAT_EQ(doc.pinit.TFMIN, 7.5f);
    EXPECT_FLOAT_EQ(doc.pinit.TFMAX, 60.0f);

    ProjectDocument litres;
    litres.pump.Q[0] = 1.0f;
    ASSERT_TRUE(litres.ConvertParameters(1, 12, 1).ok());
    EXPECT_EQ(litres.pinit.TF, 15.0f);  // exactly, not 15.000001
    ProjectDocument reset;
    reset.pump.Q[0] = 1.0f;
    ASSERT_TRUE(reset.ConvertParameters(4, 12, 1).ok());
    EXPECT_EQ(reset.pinit.TF, 15.0f);

    // A guess already given is kept; only the bounds follow it.
    litres.pinit.TF = 40.0f;
    ASSERT_TRUE(litres.ConvertParameters(1, 12, 1).ok());
    EXPECT_FLOAT_EQ(litres.pinit.TF, 40.0f);
    EXPECT_FLOAT_EQ(litres.pinit.TFMIN, 20.0f);
    EXPECT_FLOAT_EQ(litres.pinit.TFMAX, 160.0f);
}

TEST(ConvertParameters, SetBoundariesFromTheDefaultGuesses) {
    ProjectDocument doc;
    ASSERT_TRUE(doc.ConvertParameters(3, 12, 8).ok());
    EXPECT_REL(doc.pinit.TMMIN, 1e-7);
    EXPECT_FLOAT_EQ(doc.pinit.SFMIN, 1e-8f); // 1e-10 raised
    EXPECT_REL(doc.pinit.SMMIN, 3e-6);
    EXPECT_REL(doc.pinit.TMMAX, 1.0);
    EXPECT_REL(doc.pinit.SFMAX, 1e-5);
    EXPECT_REL(doc.pinit.SMMAX, 0.3);
}

TEST(ConvertParameters, ResetGivesFreshGuessesWithoutTheStorageFloor) {
    ProjectDocument doc;
    doc.pump.Q[0] = 788.0f;
    doc.pinit = PINIT{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(doc.ConvertParameters(4, 12, 8).ok());
    EXPECT_REL(doc.pinit.TF, 788.0 / 86400.0 * 15000.0);
    EXPECT_FLOAT_EQ(doc.pinit.TM, 0.001f);
    EXPECT_FLOAT_EQ(doc.pinit.SF, 1e-6f);
    EXPECT_FLOAT_EQ(doc.pinit.SM, 0.003f);
    EXPECT_REL(doc.pinit.SFMIN, 1e-10);
    EXPECT_REL(doc.pinit.SMMIN, 3e-6);
    EXPECT_REL(doc.pinit.TFMIN, 0.5 * 788.0 / 86400.0 * 15000.0);
}

TEST(ConvertParameters, StorativitiesBelowOneTenMillionthAreRaisedInEveryMode) {
    for (int mode : {1, 2, 3}) {
        ProjectDocument doc;
        doc.pinit.TF = 10.0f;
        doc.pinit.SF = 0.0f;
        doc.pinit.SM = 1e-7f; // equal to the floor: stays
        ASSERT_TRUE(doc.ConvertParameters(mode, 12, 8).ok());
        EXPECT_EQ(doc.pinit.SF, 1e-7f) << mode;
        EXPECT_EQ(doc.pinit.SM, 1e-7f) << mode;
    }
}

TEST(ConvertParameters, SolverMultipliersAreLayerConductivitiesAndStoragesOverTheScales) {
    ProjectDocument doc; // ICOND 12 (m/day), THICK 40, RATIO 0.2, SCALT 1e-5, SCALS 1e-4
    doc.pinit = PINIT{15, 0.001f, 1e-6f, 0.003f, 7.5f, 1e-7f, 1e-8f, 3e-6f, 60, 1, 1e-5f, 0.3f};
    ASSERT_TRUE(doc.ConvertParameters(2, 12, 8).ok());
    // K = T / (layer thickness) in m/s, Ss = S / (layer thickness); fracture 8 m, matrix 32 m.
    const auto kf = [](double t) { return t / 86400.0 / 8.0 / 1e-5; };
    const auto km = [](double t) { return t / 86400.0 / 32.0 / 1e-5; };
    const auto sf = [](double s) { return s / 8.0 / 1e-4; };
    const auto sm = [](double s) { return s / 32.0 / 1e-4; };
    EXPECT_REL(doc.guess.P0[0], kf(15));
    EXPECT_REL(doc.guess.P0[1], km(0.001));
    EXPECT_REL(doc.guess.P0[2], sf(1e-6));
    EXPECT_REL(doc.guess.P0[3], sm(0.003));
    EXPECT_REL(doc.guess.PLO[0], kf(7.5));
    EXPECT_REL(doc.guess.PLO[1], km(1e-7));
    EXPECT_REL(doc.guess.PLO[2], sf(1e-8));
    EXPECT_REL(doc.guess.PLO[3], sm(3e-6));
    EXPECT_REL(doc.guess.PHI[0], kf(60));
    EXPECT_REL(doc.guess.PHI[1], km(1));
    EXPECT_REL(doc.guess.PHI[2], sf(1e-5));
    EXPECT_REL(doc.guess.PHI[3], sm(0.3));
    // The bounds in PINIT are not touched by the conversion.
    EXPECT_FLOAT_EQ(doc.pinit.TFMAX, 60.0f);
}

TEST(ConvertParameters, FractureStorageMultipliersHaveAFloor) {
    ProjectDocument doc;
    doc.obsv.THICK = 1e5f;
    doc.obsv.RATIO = 0.5f;
    doc.pinit.TF = 1.0f;
    doc.pinit.SF = 1e-7f;   // 1e-7 / 1e-4 / 5e4 = 2e-8
    doc.pinit.SFMIN = 0.0f; // 0 as well
    doc.pinit.SMMIN = 0.0f; // the matrix has no floor
    ASSERT_TRUE(doc.ConvertParameters(2, 12, 8).ok());
    EXPECT_EQ(doc.guess.P0[2], 1e-7f);
    EXPECT_EQ(doc.guess.PLO[2], 1e-7f);
    EXPECT_EQ(doc.guess.PLO[3], 0.0f);
    // Modes other than 1, 3 and 4 convert as mode 2 does.
    ProjectDocument other = doc;
    other.guess = GUESS{};
    other.guess.SCALT = doc.guess.SCALT;
    other.guess.SCALS = doc.guess.SCALS;
    other.guess.PEPS = doc.guess.PEPS;
    ASSERT_TRUE(other.ConvertParameters(7, 12, 8).ok());
    EXPECT_EQ(0, std::memcmp(&other.guess, &doc.guess, sizeof(GUESS)));
}

TEST(ConvertParameters, UnusableUnitsOrGeometryAreRefusedAndNothingChanges) {
    ProjectDocument doc;
    doc.pinit.SF = 0.0f;
    const PINIT p = doc.pinit;
    const GUESS g = doc.guess;
    const auto unchanged = [&] {
        EXPECT_EQ(0, std::memcmp(&doc.pinit, &p, sizeof(PINIT)));
        EXPECT_EQ(0, std::memcmp(&doc.guess, &g, sizeof(GUESS)));
    };
    EXPECT_EQ(doc.ConvertParameters(2, 13, 8).error,
              "Cannot convert the parameters: the conductivity unit code 13 is not between 1 and 12");
    EXPECT_EQ(doc.ConvertParameters(1, 0, 8).error,
              "Cannot convert the parameters: the conductivity unit code 0 is not between 1 and 12");
    EXPECT_EQ(doc.ConvertParameters(1, 12, 9).error,
              "Cannot convert the parameters: the discharge unit code 9 is not between 1 and 8");
    unchanged();
    for (float r : {0.0f, 1.0f}) {
        doc.obsv.RATIO = r;
        EXPECT_EQ(doc.ConvertParameters(2, 12, 8).error,
                  "Cannot convert the parameters: the ratio of the fracture must be greater than 0 and less than 1 (it is " +
                      std::string(r == 0.0f ? "0" : "1") + ")");
        unchanged();
    }
    doc.obsv.RATIO = 0.2f;
    doc.obsv.THICK = 0.0f;
    EXPECT_EQ(doc.ConvertParameters(2, 12, 8).error,
              "Cannot convert the parameters: the thickness of the aquifer must be greater than 0 (it is 0)");
    unchanged();
}

// Only the conversion for the solver divides by r b and (1 - r) b: the dialog
// opening, Set Boundaries and Reset derive guesses and bounds whatever the geometry.
TEST(ConvertParameters, GuessesAndBoundsNeedNoUsableGeometry) {
    for (float r : {0.0f, 1.0f}) {
        for (int mode : {1, 3, 4}) {
            ProjectDocument doc;
            doc.obsv.RATIO = r;
            doc.obsv.THICK = 0.0f;
            doc.pump.Q[0] = 86.4f;
            ASSERT_TRUE(doc.ConvertParameters(mode, 12, 8).ok()) << "mode " << mode << " ratio " << r;
            EXPECT_REL(doc.pinit.TMMAX, 1.0);
            if (mode != 3) {
                EXPECT_EQ(doc.pinit.TF, 15.0f);
            }
        }
    }
}

} // namespace
} // namespace wf::doc
