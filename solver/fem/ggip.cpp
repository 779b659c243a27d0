// GGIP: the model input of one model run, and the problem header before it.
#include "fem/ggip.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "base/run_state.h"
#include "fem/ggip_checks.h"
#include "base/unit_tables.h"

namespace wf {

namespace {

constexpr std::string_view kHeadsMismatch =
    "(14X,'The number of piezometer level values supplied',' NVS = ',I4,/,14X,"
    "'Does not match the number of nodes',16X,'NN = ',I4)";
constexpr std::string_view kBaseMismatch =
    "(14X,'The number of storativity values supplied',' NVS = ',I4,/,14X,"
    "'Does not match the number of nodes',16X,'NN = ',I4)";

// A count that must not exceed the storage of its array.
bool fits(RunState& rs, std::string_view what, int count, int capacity) {
    if (count >= 0 && count <= capacity) return true;
    rejectInput(rs, "(2X,A,' = ',I8,' in ',A,' does not fit the model arrays, which hold',I8)",
                {what, count, rs.file(".tim"), capacity});
    return false;
}

// The connectivity of NEL elements of nodesPerElement nodes must fit the
// storage of the element array (sized for the four-node elements of the mesh
// of NR x NZ nodes); it is then laid out as NEL rows of that many nodes.
bool fitsConnectivity(RunState& rs, Mat1<int>& con) {
    const FemState& fs = rs.fem;
    const long long capacity = static_cast<long long>(con.rows()) * con.cols();
    if (fs.NEL < 0 || static_cast<long long>(fs.NEL) * fs.nodesPerElement > capacity) {
        rejectInput(rs, "(2X,'Number of elements = ',I8,' of',I2,' nodes in ',A,' does not fit the model arrays,',"
                        "' which hold',I8,' element nodes')",
                    {fs.NEL, fs.nodesPerElement, rs.file(".tim"), static_cast<int>(capacity)});
        return false;
    }
    if (con.rows() != fs.NEL || con.cols() != fs.nodesPerElement) con.reshape(fs.NEL, fs.nodesPerElement);
    return true;
}

// A unit index that the reading needs.
bool unitKnown(RunState& rs, std::string_view field, int index, double factor) {
    if (factor != 0.0) return true;
    rejectInput(rs, "(2X,'Unit index ',A,' = ',I4,' lies outside its unit table')", {field, index});
    return false;
}

// Mesh file: node records (node, r, z, material), coordinates in metres.
int readNodes(RunState& rs, ModelFile& fem) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    const int nmat = std::max(fs.npar / 2, 1);
    for (int n = 1; n <= fs.NN; ++n) {
        textio::ListRead r = fem.reader().begin();
        int k = 0, mat = 0;
        double x = 0.0, y = 0.0;
        r.get(k);
        r.get(x);
        r.get(y);
        r.get(mat);
        if (!fem.ok(rs, r.status())) return kInputUnreadable;
        if (!checkNode(rs, k, "node records", fem.name())) return kInputRejected;
        if (mat < 1 || mat > nmat) {
            rejectInput(rs, "(2X,'Node',I8,' in the node records of ',A,' has material',I4,"
                            "'; the parameters cover materials 1 to',I2)",
                        {k, fem.name(), mat, nmat});
            return kInputRejected;
        }
        m.X(k) = x * fs.lengthFactor;
        m.Y(k) = y * fs.lengthFactor;
        m.MAT(k) = mat;
    }
    return kInputGood;
}

// Mesh file: element records (element, nodes); the true bandwidth is the
// largest node span of an element plus one.
int readElements(RunState& rs, ModelFile& fem) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    fs.bandwidth = 0;
    // NEL records of distinct elements: an element given twice would leave
    // another without its nodes.
    std::vector<bool> given(static_cast<std::size_t>(std::max(fs.NEL, 0)) + 1, false);
    for (int n = 1; n <= fs.NEL; ++n) {
        textio::ListRead r = fem.reader().begin();
        int e = 0;
        int nodes[9] = {};
        r.get(e);
        for (int j = 0; j < fs.nodesPerElement; ++j) r.get(nodes[j]);
        if (!fem.ok(rs, r.status())) return kInputUnreadable;
        if (!checkElement(rs, e, "element records", fem.name())) return kInputRejected;
        if (given[static_cast<std::size_t>(e)]) {
            rejectInput(rs, "(2X,'Element',I8,' is given twice in the element records of ',A)", {e, fem.name()});
            return kInputRejected;
        }
        given[static_cast<std::size_t>(e)] = true;
        int lo = nodes[0], hi = nodes[0];
        for (int j = 0; j < fs.nodesPerElement; ++j) {
            if (!checkNode(rs, nodes[j], "element records", fem.name())) return kInputRejected;
            m.CON(e, j + 1) = nodes[j];
            lo = std::min(lo, nodes[j]);
            hi = std::max(hi, nodes[j]);
        }
        fs.bandwidth = std::max(fs.bandwidth, hi - lo + 1);
    }
    return kInputGood;
}

// Mesh file: boundary sides (element, side nodes in the side's order).
int readBoundarySides(RunState& rs, ModelFile& fem) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    for (int b = 1; b <= fs.NBS; ++b) {
        textio::ListRead r = fem.reader().begin();
        int e = 0;
        int nodes[3] = {};
        r.get(e);
        for (int j = 0; j < fs.nodesPerSide; ++j) r.get(nodes[j]);
        if (!fem.ok(rs, r.status())) return kInputUnreadable;
        if (!checkElement(rs, e, "boundary sides", fem.name())) return kInputRejected;
        m.BSIDE(b, 1) = e;
        for (int j = 0; j < fs.nodesPerSide; ++j) {
            if (!checkNode(rs, nodes[j], "boundary sides", fem.name())) return kInputRejected;
            m.BSIDE(b, j + 2) = nodes[j];
        }
    }
    return kInputGood;
}

} // namespace

int readModelHeader(RunState& rs, ModelFile& tim) {
    FemState& fs = rs.fem;
    textio::RecordReader& rd = tim.reader();
    if (!tim.ok(rs, rd.skip(2))) return kInputUnreadable;
    char family = ' ';
    int perSide = 0;
    if (!tim.ok(rs, rd.readLetterInt(family, perSide))) return kInputUnreadable;
    int v[12] = {};
    textio::ListRead r = rd.begin();
    for (int& x : v) r.get(x);
    if (!tim.ok(rs, r.status())) return kInputUnreadable;
    int profile = 0, unused = 0;
    if (!tim.ok(rs, rd.read(profile, unused))) return kInputUnreadable;

    fs.family = family;
    fs.nodesPerSide = perSide;
    // Only linear and quadratic sides are known (checked with the array
    // capacity); the derived counts of any other value would not fit an int.
    const bool knownSide = perSide == 2 || perSide == 3;
    fs.degree = knownSide ? perSide - 1 : 0;
    fs.gaussPerDir = 2 * fs.degree;
    fs.gaussPoints = fs.gaussPerDir * fs.gaussPerDir;
    fs.NN = v[0];
    fs.NEL = v[1];
    fs.nodesPerElement = v[2];
    fs.NDN = v[3];
    fs.NTDN = v[4];
    fs.NBS = v[5];
    fs.NNS = v[6];
    fs.NNN = v[7];
    fs.NSRC = v[8];
    fs.bandEstimate = v[9];
    fs.satSwitch = v[10];
    fs.profileLength = profile;
    return kInputGood;
}

int checkArrayCapacity(RunState& rs, const Mat1<double>& sim, const Vec1<int>& obsNodes,
                       const Vec1<double>& times) {
    const FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    if (fs.nodesPerSide != 2 && fs.nodesPerSide != 3) {
        rejectInput(rs, "(2X,'Nodes per element side = ',I6,' in ',A,' must be 2 or 3')",
                    {fs.nodesPerSide, rs.file(".tim")});
        return kInputRejected;
    }
    // Quadratic sides: the Lagrange element ("L") has nine nodes, the
    // serendipity element (any other letter) eight.
    const int expectedNodes = fs.nodesPerSide == 2 ? 4 : fs.family == 'L' ? 9 : 8;
    if (fs.nodesPerElement != expectedNodes) {
        rejectInput(rs, "(2X,'Nodes per element = ',I4,' in ',A,' does not fit family ',A,' with',I2,"
                        "' nodes per side, which has',I2)",
                    {fs.nodesPerElement, rs.file(".tim"), std::string(1, fs.family), fs.nodesPerSide, expectedNodes});
        return kInputRejected;
    }
    // The simulation file's "Node: " record holds nine observation nodes.
    if (fs.nobsNodes > 9) {
        rejectInput(rs, "(2X,'Number of observation nodes = ',I8,' is more than the 9 the simulation file',"
                        "' ',A,' can list')",
                    {fs.nobsNodes, rs.file(".inv")});
        return kInputRejected;
    }
    const bool ok = fits(rs, "Number of nodes NN", fs.NN, m.X.size()) &&
                    fitsConnectivity(rs, m.CON) &&
                    fits(rs, "Number of Dirichlet nodes NDN", fs.NDN, m.DNODE.size()) &&
                    fits(rs, "Number of boundary sides", fs.NBS, m.BSIDE.rows()) &&
                    fits(rs, "Nodes per boundary side", fs.nodesPerSide + 1, m.BSIDE.cols()) &&
                    fits(rs, "Number of Neumann sides", fs.NNS, m.NSIDE.rows()) &&
                    fits(rs, "Nodes per Neumann side", fs.nodesPerSide, m.NFLUX.cols()) &&
                    fits(rs, "Number of point sources", fs.NSRC, m.SRC.rows()) &&
                    fits(rs, "Number of observation nodes", fs.nobsNodes, std::min(obsNodes.size(), sim.rows())) &&
                    fits(rs, "Number of output times", fs.nout, std::min(times.size(), sim.cols()));
    if (!ok) return kInputRejected;
    if (fs.nobsNodes < 1 || fs.nout < 1) {
        rejectInput(rs, "(2X,'A model run needs at least one observation node and one output time;',"
                        "' it was given',I4,' and',I6)",
                    {fs.nobsNodes, fs.nout});
        return kInputRejected;
    }
    return kInputGood;
}

int GGIP(RunState& rs, ModelFiles& files, Vec1<int>& obsNodes, const Vec1<double>& times) {
    FemState& fs = rs.fem;
    ModelSet& m = rs.model;
    ModelFile& tim = files.tim;

    // 1. Listing and store intervals, output type.
    fs.printInterval = 999;
    fs.storeInterval = 999;
    fs.outputType = 2;
    setUnitFactors(fs, rs.in);
    if (!unitKnown(rs, "IDIST", rs.in.IDIST, fs.lengthFactor) ||
        !unitKnown(rs, "ITIN", rs.in.ITIN, fs.inTimeFactor))
        return kInputRejected;
    // The output-time unit is used only by the listings of the steps at the
    // listing and store intervals; a run that reaches none does not need it.
    const bool listed = fs.nout - 1 >= std::min(fs.printInterval, fs.storeInterval);
    if (listed && !unitKnown(rs, "ITOUT", rs.in.ITOUT, fs.outTimeFactor)) return kInputRejected;

    // 2. Time parameters, kept for the listings (the steps come from the output times).
    if (!tim.ok(rs, tim.reader().read(fs.nsteps))) return kInputUnreadable;
    if (fs.nsteps != 0) {
        textio::ListRead r = tim.reader().begin();
        r.get(fs.dtInitial);
        r.get(fs.dtMultiplier);
        r.get(fs.dtMax);
        r.get(fs.tStart);
        r.get(fs.tEnd);
        if (!tim.ok(rs, r.status())) return kInputUnreadable;
        fs.dtInitial *= fs.inTimeFactor;
        fs.dtMax *= fs.inTimeFactor;
        fs.tStart *= fs.inTimeFactor;
        fs.tEnd *= fs.inTimeFactor;
        fs.dt = fs.dtInitial;
    } else {
        fs.dt = 86400.0;
        fs.tEnd = 86400.0;
        fs.tStart = 0.0;
    }

    // 3. Observation nodes, read on every call.
    {
        textio::ListRead r = tim.reader().begin();
        for (int k = 1; k <= fs.nobsNodes; ++k) r.get(obsNodes(k));
        if (!tim.ok(rs, r.status())) return kInputUnreadable;
        for (int k = 1; k <= fs.nobsNodes; ++k)
            if (!checkNode(rs, obsNodes(k), "observation nodes", tim.name())) return kInputRejected;
    }

    // 4. Later calls of a run keep what the first call read.
    if (fs.callCount != 1) return kInputGood;

    // 5.-8. Mesh file: nodes, elements, base levels, boundary sides.
    ModelFile& fem = files.fem;
    if (!fem.ok(rs, fem.reader().skip(2))) return kInputUnreadable;
    if (int st = readNodes(rs, fem); st != kInputGood) return st;
    if (int st = readElements(rs, fem); st != kInputGood) return st;
    if (fs.satSwitch == 1)
        if (int st = readNodalValues(rs, fem, m.BASELEV, kBaseMismatch); st != kInputGood) return st;
    if (int st = readBoundarySides(rs, fem); st != kInputGood) return st;

    // 9. Initial heads (metres).
    if (int st = readNodalValues(rs, tim, m.H0, kHeadsMismatch); st != kInputGood) return st;

    // 10. Prescribed heads.
    if (fs.NDN >= 1)
        if (int st = GDBC(rs, tim); st != kInputGood) return st;

    // 11. Prescribed fluxes, read once after arming.
    if (fs.NNS > 0) {
        fs.gnbcArmed = true;
        if (int st = GNBC(rs, tim); st != kInputGood) return st;
    }

    // 12. Point sources.
    if (fs.NSRC > 0 && !unitKnown(rs, "IDISCH", rs.in.IDISCH, fs.rateFactor)) return kInputRejected;
    if (int st = readPointSources(rs, tim, times); st != kInputGood) return st;

    // 13. Dirichlet sides.
    return findDirichletSides(rs);
}

int readGeneratorRecord(RunState& rs, ModelFile& file, std::string_view what, GeneratorRecord& g) {
    textio::ListRead r = file.reader().begin();
    r.get(g.first);
    r.get(g.value);
    r.get(g.last);
    r.get(g.step);
    if (!file.ok(rs, r.status())) return kInputUnreadable;
    if (g.step <= 0) g.step = 1;
    if (g.last <= g.first) g.last = g.first;
    if (!checkNode(rs, g.first, what, file.name()) || !checkNode(rs, g.last, what, file.name())) return kInputRejected;
    return kInputGood;
}

int readNodalValues(RunState& rs, ModelFile& file, Vec1<double>& values, std::string_view mismatchFormat) {
    const int nn = rs.fem.NN;
    int nvs = 0;
    if (!file.ok(rs, file.reader().read(nvs))) return kInputUnreadable;
    if (nvs == nn) {
        // One read of NN pairs (node, value), in any node order.
        textio::ListRead r = file.reader().begin();
        for (int k = 1; k <= nn; ++k) {
            int node = 0;
            double value = 0.0;
            r.get(node);
            r.get(value);
            if (!file.ok(rs, r.status())) return kInputUnreadable;
            if (!checkNode(rs, node, "nodal values", file.name())) return kInputRejected;
            values(node) = value;
        }
        return kInputGood;
    }
    // Generator records (first node, value, last node, step).
    long long count = 0;
    for (int k = 1; k <= nvs; ++k) {
        GeneratorRecord g;
        if (const int status = readGeneratorRecord(rs, file, "nodal values", g); status != kInputGood) return status;
        for (long long node = g.first; node <= g.last; node += g.step) values(static_cast<int>(node)) = g.value;
        count += g.count();
    }
    if (count != nn) {
        rejectInput(rs, mismatchFormat, {static_cast<int>(std::min<long long>(count, INT_MAX)), nn});
        return kInputRejected;
    }
    return kInputGood;
}

} // namespace wf
