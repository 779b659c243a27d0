// Test support for the inversion driver: a project in a fresh temporary
// directory with hand-made .tim/.obs files, a recording host, and stand-in
// simulations that write {base}.inv the way the flow model writes it.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/run_state.h"
#include "inverse/aqfeinv.h"
#include "textio/fortran_format.h"
#include "textio/list_directed.h"

namespace wfinv {

// Everything the solver showed: progress lines with their codes, and boxes.
struct Event {
    char what;  // 'P' progress line, 'B' message box
    int code;   // list code of a progress line
    std::string caption, text;
    bool operator==(const Event&) const = default;
};

struct Recorder {
    std::vector<Event> events;
    int cancelAfter = -1;  // pollCancel returns 1 from this poll on (0 = at once); -1 never
    int polls = 0;

    WfHost host() {
        WfHost h{};
        h.context = this;
        h.progress = [](void* c, int32_t code, const char* text, const char* const*, int32_t) {
            static_cast<Recorder*>(c)->events.push_back({'P', code, "", text});
        };
        h.messageBox = [](void* c, const char* caption, const char* text) {
            static_cast<Recorder*>(c)->events.push_back({'B', 0, caption, text});
        };
        h.pollCancel = [](void* c) -> int32_t {
            auto* r = static_cast<Recorder*>(c);
            const int n = r->polls++;
            return r->cancelAfter >= 0 && n >= r->cancelAfter ? 1 : 0;
        };
        return h;
    }
    std::vector<Event> boxes() const {
        std::vector<Event> b;
        for (const Event& e : events)
            if (e.what == 'B') b.push_back(e);
        return b;
    }
    std::vector<Event> lines() const {
        std::vector<Event> b;
        for (const Event& e : events)
            if (e.what == 'P') b.push_back(e);
        return b;
    }
};

inline Event line(int code, const std::string& text) { return {'P', code, "", text}; }
inline Event box(const std::string& caption, const std::string& text) { return {'B', 0, caption, text}; }

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A project "TEST" in a fresh temporary directory (the working directory
// while the test runs). The mesh is the default one: 16 x 20 nodes, four
// fracture rows, observation node 22; pumping in the fracture.
class InverseProject : public ::testing::Test {
public:
    std::filesystem::path dir, oldCwd;
    wf::RunState rs;
    Recorder rec;
    WfHost host{};
    int simulations = 0;
    std::vector<double> lastLevels;  // time levels (s) of the last simulation

    void SetUp() override {
        oldCwd = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() /
              ("wf_inverse_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        host = rec.host();
        rs.rep.setHost(&host);
        std::memcpy(rs.BASE, "TEST        ", 12);
        rs.NBASE = 4;
        wf::Inputs& in = rs.in;
        in.NR = 16;
        in.NZ = 20;
        in.NN = 320;
        in.NZF = 4;
        in.NZM = 16;
        in.IPUMP = 1;
        in.THICK = 10.0;
        in.RATIO = 0.2;
        in.NOBS = 1;
        in.NODOBS[1] = 22;
        in.NQ = 1;
        in.TQ[1] = 0.0;
        in.Q[1] = 788.0;
        in.SCALT = 1e-5;
        in.SCALS = 1e-4;
        for (int j = 1; j <= 4; ++j) {
            in.P0[j] = 1.0;
            in.PLO[j] = 1e-3;
            in.PHI[j] = 1e3;
        }
        in.PEPS = 0.01;
        in.RMSE = 0.0;
        in.ITIN = 2;   // minutes
        in.ICOND = 12; // m/day
        writeTim(320, 4);
    }
    void TearDown() override {
        std::filesystem::current_path(oldCwd);
        std::filesystem::remove_all(dir);
    }

    // The counts line is what the driver checks: nodes and pumped nodes.
    void writeTim(int nn, int pumped) {
        std::ofstream out("TEST.tim");
        out << " TEST\n \n" << wf::textio::format("(4x,a,i5)", {"L", 2});
        out << wf::textio::format("(12i6)", {nn, 285, 4, 20, 0, 68, 0, 0, pumped, 18, 0, 40});
        out << "XXXXXX\n";
    }
    // Observation file with one point: times (minutes) and drawdowns (m).
    void writeObs(const std::vector<double>& t, const std::vector<double>& s) {
        std::ofstream out("TEST.obs");
        out << " TEST\n" << wf::textio::format("(1x,a,1pe10.3,a,i5)", {"Pumping rate = ", 788.0, " ...:", 1});
        out << wf::textio::listRecord({1, static_cast<int>(t.size())});
        for (std::size_t i = 0; i < t.size(); ++i) out << wf::textio::format("(I6,F15.3,1P,E18.6)", {22, t[i], s[i]});
    }
    // The arrays as the run driver allocates them for the .obs header.
    void allocate(int nt) {
        rs.NT = nt;
        rs.NOBSF = 1;
        rs.NTIM = nt + 6;
        if (static_cast<double>(nt) < rs.in.NSTEP) rs.NTIM = static_cast<int>(rs.in.NSTEP);
        rs.est.allocate(rs.NTIM, 1, 4);
    }

    // A stand-in simulation: writes {base}.inv for the model's time levels
    // with drawdown(P, t_seconds, level index).
    using Drawdown = std::function<double(const double* P, double t, int level)>;
    wf::SimulationRun simulation(Drawdown s, int failAt = 0, int records = -1) {
        return [this, s, failAt, records](wf::RunState& r, const double* P) {
            ++simulations;
            if (simulations == failAt) {
                r.error("model failed");  // the model shows its own box
                return false;
            }
            const int nt = r.fem.nout;
            lastLevels.assign(r.est.TG.data(), r.est.TG.data() + nt);
            std::ofstream out("TEST.inv");
            out << wf::textio::listRecord({1, nt});
            out << wf::textio::format("(5X,A,9I6)", {"Node: ", 22});
            const int n = records < 0 ? nt : records;
            for (int i = 1; i <= n; ++i)
                out << wf::textio::format("(5X,I6,F15.4,1P,E18.10)",
                                          {22, r.est.TG(i) / r.inv.ft, s(P, r.est.TG(i), i)});
            return true;
        };
    }
    void run(int type, const wf::SimulationRun& sim) { wf::AQFEINV(rs, type, 4, sim); }
};

// Two exponential storage responses, one per material: identifiable in all
// four multipliers over times from seconds to hours.
inline double twoReservoirs(const double* P, double t, int) {
    return (1.0 / P[0]) * (1.0 - std::exp(-t / (600.0 * P[2]))) +
           (0.5 / P[1]) * (1.0 - std::exp(-t / (6000.0 * P[3])));
}

} // namespace wfinv
