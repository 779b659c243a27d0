// The preparation run: RTIM turns the measured test data of base + ".dat"
// into the observation file base + ".obs" and the model-control file
// base + ".tim". Times stay in the input-time unit and discharges in the
// discharge unit; the flow model converts them when it reads.
#include "prep/preparation_run.h"
#include "fine/fine_mesh.h"
#include "prep/prep_files.h"
#include "prep/side_output.h"
#include "prep/test_data.h"
#include "prep/time_selection.h"
#include "prep/value_text.h"
#include "textio/fortran_format.h"

namespace wf {

namespace {

using namespace prep;

// The mesh counts of the records must describe one mesh of the mesh run.
bool checkMesh(RunState& rs) {
    const Inputs& in = rs.in;
    if (in.NR == 0) {
        rs.error("No mesh has been built (NR = 0): do the mesh construction first");
        return false;
    }
    // In 64 bits: counts from a damaged project must not overflow the products.
    const long long NR = in.NR, NZ = in.NZ;
    const bool fits = NR >= 2 && NZ >= 2 && in.NZF >= 0 && in.NZM >= 0 &&
                      static_cast<long long>(in.NZF) + in.NZM == NZ && in.NN == NR * NZ &&
                      in.NE == (NR - 1) * (NZ - 1) && in.NB == 2 * (NR - 1) + 2 * (NZ - 1);
    if (!fits) {
        rs.error("The mesh counts NR " + valueText(in.NR) + ", NZ " + valueText(in.NZ) + ", NN " + valueText(in.NN) +
                 ", NE " + valueText(in.NE) + ", NB " + valueText(in.NB) + ", NZF " + valueText(in.NZF) + ", NZM " +
                 valueText(in.NZM) + " do not describe one mesh: do the mesh construction again");
        return false;
    }
    for (int k = 1; k <= in.NOBS; ++k)
        if (in.NODOBS[k] < 1 || in.NODOBS[k] > in.NN) {
            rs.error("Observation node " + valueText(in.NODOBS[k]) + " of observation point " + valueText(k) +
                     " lies outside the mesh of " + valueText(in.NN) + " nodes: do the mesh construction again");
            return false;
        }
    return true;
}

// Input of the records, checked before the test data are read.
bool checkInput(RunState& rs, int NSEL, const PumpedRows& w) {
    const Inputs& in = rs.in;
    if (in.NOBS < 1 || in.NOBS > 4) {
        rs.error("Number of observation points " + valueText(in.NOBS) + " must be between 1 and 4");
        return false;
    }
    if (!checkMesh(rs)) return false;
    // The rate share divides by NWELL - 1.
    if (w.NWELL < 2) {
        rs.error("Number of pumped node rows " + valueText(w.NWELL) + " must be at least 2");
        return false;
    }
    // Fine model: the node rates are the screen shares of the fine rows, so
    // the mesh must be the fine mesh of THICK and RATIO.
    if (rs.options.fineModel && fine::fineRateShares(in, w.KW1, w.KW2).empty()) {
        rs.error("The fine model cannot be prepared on the mesh of " + valueText(in.NZ) + " node rows (" +
                 valueText(in.NZF) + " in the fracture): it is not the fine mesh of the thickness " +
                 valueText(in.THICK) + " and fracture ratio " + valueText(in.RATIO) +
                 ": do the mesh construction with the fine model first");
        return false;
    }
    if (in.NQ < 1 || in.NQ > 20) {
        rs.error("Number of pumping steps " + valueText(in.NQ) + " must be between 1 and 20");
        return false;
    }
    // The pumping profiles carry the step starts in "(f18.3,1pe18.6)" records.
    for (int k = 1; k <= in.NQ; ++k)
        if (textio::formatLine("(f18.3)", {in.TQ[k]}).find('*') != std::string::npos) {
            rs.error("Start of pumping step " + valueText(k) + " (TQ " + valueText(k) + " = " + valueText(in.TQ[k]) +
                     ") does not fit the model-control file " + rs.file(".tim") +
                     " (at most 99999999999999.999)");
            return false;
        }
    // The index step divides by NSEL - 1.
    if (NSEL < 0 || NSEL == 1) {
        rs.error("Number of times to select " + valueText(NSEL) + " must be 0 (all times) or at least 2");
        return false;
    }
    return true;
}

// The data, checked against the subset and the level kind.
bool checkData(RunState& rs, int NSEL, const TestData& d) {
    const Inputs& in = rs.in;
    const std::string name = rs.file(".dat");
    if (NSEL != 0) {
        // More times than points would repeat the first point.
        if (NSEL > d.NPJ[1]) {
            rs.error("Number of times to select " + valueText(NSEL) + " must not exceed the " +
                     valueText(d.NPJ[1]) + " data points in " + name);
            return false;
        }
        if (rs.prep.IDX.size() < NSEL + 3) {
            rs.error(" Dimension to small for pumptest data");
            return false;
        }
    }
    // Levels are turned into drawdowns from the level at time 0.
    if (in.IWLO == 1)
        for (int j = 1; j <= in.NOBS; ++j)
            if (d.FLAG[j] == 1) {
                rs.error(" Pziometric Heads must start at time 0.0");
                return false;
            }
    return true;
}

} // namespace

void RTIM(RunState& rs, int& type) {
    const int NSEL = type;
    const PumpedRows w = pumpedRows(rs.in);
    if (!checkInput(rs, NSEL, w)) {
        type = 0;
        return;
    }

    TestData d;
    if (readTestData(rs, d) != ReadOutcome::ok || !checkData(rs, NSEL, d)) {
        type = 0;
        return;
    }

    TimeSubset sel{NSEL, d.NPJ[1], {}};
    if (NSEL != 0) {
        sel.NSELCNT = selectTimes(NSEL, d.NPJ[1], rs.prep.IDX);
        // Each further point's subset from its own data: points read at other
        // times or in other numbers keep their first and last readings and
        // the same spread in between.
        for (int j = 2; j <= rs.in.NOBS; ++j) sel.further.push_back(selectOwnTimes(NSEL, d.NPJ[j]));
    }

    // Both texts are complete before either file is touched: a refused or
    // unreadable data set leaves the files of the previous preparation run.
    const std::string obs = observationFileText(rs, d, sel);
    const std::string tim = controlFileText(rs, d, sel, w);
    if (!writeSideFiles(rs, rs.file(".obs"), obs, rs.file(".tim"), tim)) type = 0;
}

} // namespace wf
