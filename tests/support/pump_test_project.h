// A whole pumping test through the solver's own run sequence: the records
// filled by hand, the test data written as the desktop program writes them,
// then the mesh, preparation and analysis runs on one run state, with or
// without the "Fine model" option. Used by the physics and recovery tests of
// the fine model and by its benchmarks.
#pragma once

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/solver_run.h"
#include "base/inverse_state.h"
#include "wfcore/wfcore.h"

namespace wf::test {

struct PumpTest {
    // Aquifer and mesh (metres)
    double thick = 10.0, ratio = 0.2, rmax = 1.0e5;
    std::vector<double> robs{10.0};
    int ipos = 1;         // observation position: 1 fracture, 2 matrix
    int ipump = 0;        // 0 whole thickness, 1 fracture, 2 matrix
    int iopp = 0;         // 0 no-flow, 1 constant head at rmax
    double q = 1.0e-3;    // abstraction, m3/s, from time 0
    // Reference properties (SI) and multipliers Kf, Km, S0f, S0m
    double scalt = 1.0e-5, scals = 1.0e-4;
    double p[4] = {1.0, 1.0, 1.0, 1.0};
    double lo[4] = {1e-3, 1e-3, 1e-3, 1e-3}, hi[4] = {1e3, 1e3, 1e3, 1e3};
    double peps = 0.01;   // derivative-step floor offset
    // Output times (s), the same for every observation point, and the data
    // that the test-data file carries (zero when empty).
    std::vector<double> times;
    std::vector<double> data;  // one series for every point, or all points' series one after another
    // Units of the project's records and test data (the fields above stay in
    // metres and seconds): distance 1 mm, 2 cm, 3 m, 4 km; time 1 s, 2 min, 3 h, 4 d, 5 y.
    int idist = 3, itin = 1;
    bool fine = false;
    bool fineMesh = true; // with fine: the mesh run too (false: a standard mesh under the fine runs)
    const WfOptions* options = nullptr;  // analysis options installed for the analysis run (none: the plain entry)
    int threads = 0;      // fine model: threads for the derivative models (0 all cores)
    int meshType = 0;     // mesh run type: 0 uniform rows, else graded (9 fracture rows)
    // Fine model: the pumped well, radii in metres (0: a line of sources on the axis).
    double wellRadius = 0.0, casingRadius = 0.0, skin = 0.0;
};

// Everything the runs showed and made.
struct PumpTestResult {
    std::vector<std::string> boxes;
    std::vector<std::vector<double>> s;  // drawdown per observation node and output time (from {base}.inv)
    std::vector<double> t;               // output times of the first node (s)
    PINIT pinit{};
    int modelRuns = 0;
    int passes = 0;
};

class PumpTestRunner {
public:
    explicit PumpTestRunner(const PumpTest& c) : c_(c) { fill(); }

    // Writes the test data and makes the mesh and preparation runs.
    bool prepare(PumpTestResult& out) {
        writeData();
        run(4, c_.meshType, out);
        run(5, 0, out);
        return out.boxes.empty();
    }
    // Analysis run: type 0 optimisation, 1 one model run at the multipliers.
    void analyse(int type, PumpTestResult& out) {
        run(6, type, out);
        out.pinit = pinit;
        readSimulation(out);
    }
    // The case of the later runs (the analysis options of the well, say).
    PumpTest& testCase() { return c_; }
    MESH mesh{};
    OBSV obsv{};
    PUMP pump{};
    GUESS guess{};
    PINIT pinit{};
    UNITS units{};
    NZERO nzero{};
    FILENAME filename{};

private:
    void fill() {
        filename.baseLength = 4;
        std::memcpy(filename.projectName, "PUMP.wft", 8);
        const double m = metres();
        mesh.RMAX = static_cast<float>(c_.rmax / m);
        obsv.THICK = static_cast<float>(c_.thick / m);
        obsv.RATIO = static_cast<float>(c_.ratio);
        obsv.NOBS = static_cast<int32_t>(c_.robs.size());
        for (std::size_t k = 0; k < c_.robs.size(); ++k) {
            obsv.ROBS[k] = static_cast<float>(c_.robs[k] / m);
            obsv.IPOS[k] = c_.ipos;
        }
        pump.NQ = 1;
        pump.Q[0] = static_cast<float>(c_.q);
        pump.TQ[0] = 0.0f;
        pump.IPUMP = c_.ipump;
        pump.IOPP = c_.iopp;
        guess.SCALT = static_cast<float>(c_.scalt);
        guess.SCALS = static_cast<float>(c_.scals);
        for (int j = 0; j < 4; ++j) {
            guess.P0[j] = static_cast<float>(c_.p[j]);
            guess.PLO[j] = static_cast<float>(c_.lo[j]);
            guess.PHI[j] = static_cast<float>(c_.hi[j]);
        }
        guess.PEPS = static_cast<float>(c_.peps);
        guess.RMSE = 0.0f;
        units = UNITS{c_.idist, c_.itin, c_.itin, 9, 9, 5};  // distance, times, m/s, m/s, m3/s
    }
    void writeData() {
        std::ofstream out("PUMP.dat");
        out << "PUMP.wft\n\n";
        for (std::size_t k = 0; k < c_.robs.size(); ++k) out << ' ' << c_.times.size();
        out << '\n';
        char buf[64];
        for (std::size_t k = 0; k < c_.robs.size(); ++k) {
            out << '\n';
            for (std::size_t i = 0; i < c_.times.size(); ++i) {
                const std::size_t at = c_.data.size() == c_.robs.size() * c_.times.size() ? k * c_.times.size() + i : i;
                const double v = at < c_.data.size() ? c_.data[at] : 0.0;
                // Seconds with six decimals; other units with every digit of the time.
                std::snprintf(buf, sizeof buf, c_.itin == 1 ? "%.6f %.9e\n" : "%.17g %.9e\n", c_.times[i] / seconds(), v);
                out << buf;
            }
        }
    }
    void run(int mode, int type, PumpTestResult& out) {
        RunState rs;
        WfHost h{};
        h.context = &out;
        h.messageBox = [](void* ctx, const char*, const char* text) {
            const std::string s(text);
            if (s != "SAVE to keep final Results") static_cast<PumpTestResult*>(ctx)->boxes.push_back(s);
        };
        h.progress = [](void* ctx, int32_t code, const char* text, const char* const*, int32_t) {
            if (code == 0 && std::string(text).rfind("Iteration ", 0) == 0) ++static_cast<PumpTestResult*>(ctx)->passes;
        };
        rs.rep.setHost(&h);
        rs.options.fineModel = c_.fine && (mode != 4 || c_.fineMesh);
        rs.options.threads = c_.threads;
        if (mode == 6 && c_.options) installOptions(rs.inv, c_.options);
        rs.options.wellRadius = c_.wellRadius / metres();
        rs.options.casingRadius = c_.casingRadius / metres();
        rs.options.skin = c_.skin;
        FILENAME_VIEW view = filenameView(filename);
        std::memcpy(view.baseName, "PUMP", 4);
        solverRun(rs, mode, type, view, mesh, obsv, pump, guess, pinit, units, nzero);
        if (mode == 6) out.modelRuns = rs.fem.callCount;
    }
    void readSimulation(PumpTestResult& out) {
        std::ifstream in("PUMP.inv");
        int nobs = 0, nt = 0;
        in >> nobs >> nt;
        std::string line;
        std::getline(in, line);
        std::getline(in, line);
        out.s.assign(static_cast<std::size_t>(nobs), {});
        out.t.clear();
        for (int k = 0; k < nobs; ++k)
            for (int i = 0; i < nt; ++i) {
                int node = 0;
                double t = 0.0, s = 0.0;
                in >> node >> t >> s;
                out.s[static_cast<std::size_t>(k)].push_back(s);
                if (k == 0) out.t.push_back(t * seconds());
            }
    }
    double metres() const {
        constexpr double f[4] = {0.001, 0.01, 1.0, 1000.0};
        return c_.idist >= 1 && c_.idist <= 4 ? f[c_.idist - 1] : 1.0;
    }
    double seconds() const {
        constexpr double f[5] = {1.0, 60.0, 3600.0, 86400.0, 31557600.0};
        return c_.itin >= 1 && c_.itin <= 5 ? f[c_.itin - 1] : 1.0;
    }
    PumpTest c_;
};

// n output times per decade from t0 to t1 (both included).
inline std::vector<double> decadeTimes(double t0, double t1, int perDecade) {
    std::vector<double> t;
    const int n = static_cast<int>(std::lround(std::log10(t1 / t0) * perDecade));
    for (int i = 0; i <= n; ++i) t.push_back(t0 * std::pow(10.0, static_cast<double>(i) / perDecade));
    return t;
}

} // namespace wf::test
