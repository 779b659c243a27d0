// Cancel during an optimisation, with the click and the keys delivered by a
// real X server (xdotool under Xvfb), while the solver computes: events that
// reach the program only if it lets the window system's events flow.
// ctest runs these as test_ui_real_events under xvfb-run; on the offscreen
// platform of test_ui they are skipped.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include <QApplication>
#include <QPushButton>

#include "progress_window.h"
#include "solver_call.h"
#include "ui_support.h"

namespace wf::uitest {
namespace {

using Clock = std::chrono::steady_clock;

// A seven-reading test fitted with the fine model and a fit requirement of 0:
// without Cancel the search runs for several seconds (about 300 passes).
class CancelRunTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        ASSERT_TRUE(doc.newProject(path(QStringLiteral("LONG.wft")).toStdString()));
        ASSERT_TRUE(doc.acceptTestData("PB", {"1", "2", "5", "10", "20", "50", "100"},
                                       {"0.2", "0.3", "0.5", "0.62", "0.71", "0.9", "1.0"}));
        doc.obsv.ROBS[0] = 30.0f;
        doc.pump.Q[0] = 788.0f;
        doc.pump.TQ[0] = 0.0f;
        doc.pump.NQ = 1;
        doc.analysisOptions.fineModel = true;
        ASSERT_TRUE(wf::ui::callWithOptions(WF_MODE_MESH, 0, records(), doc.analysisOptions));
        ASSERT_TRUE(wf::ui::callWithOptions(WF_MODE_PREPARE, 0, records(), doc.analysisOptions));
        doc.pinit.TF = 0.0f;
        ASSERT_TRUE(doc.convertParameters(4));
        ASSERT_TRUE(doc.convertParameters(2));
        doc.guess.RMSE = 0.0f;
    }
    wf::ui::SolverRecords records() {
        return {&doc.filename, &doc.mesh, &doc.obsv, &doc.pump, &doc.guess, &doc.pinit, &doc.units, &doc.nzero};
    }
    // Runs the optimisation; `during` is called on another thread once the
    // first pass is listed, as a person would click while passes scroll by.
    // Returns the time from the click to the end of the run.
    double runAndCancel(const std::function<void(unsigned long window, QPoint)>& during, WfFitReport& fit,
                        const char* button = "CancelBtn") {
        wf::ui::ProgressWindow* progress = wf::ui::progressWindow();
        progress->show();
        pump(300);
        auto* cancel = progress->findChild<QPushButton*>(QString::fromLatin1(button));
        cancel->setFocus();
        const unsigned long window = static_cast<unsigned long>(progress->winId());
        const QPoint at = cancel->mapToGlobal(cancel->rect().center());
        std::atomic<bool> clicked{false};
        std::atomic<bool> done{false};
        Clock::time_point clickTime{};
        std::thread person([&] {
            // Wait until the run has listed some passes.
            const auto start = Clock::now();
            while (!done && Clock::now() - start < std::chrono::milliseconds(600))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (done) return;
            clickTime = Clock::now();
            during(window, at);
            clicked = true;
        });
        BoxCatcher boxes;
        wf::ui::callWithSolverOptions(WF_MODE_ANALYSIS, 0, records(), doc.solverOptions(&fit));
        const auto end = Clock::now();
        done = true;
        person.join();
        progress->hide();
        if (!clicked) return -1.0;
        return std::chrono::duration<double>(end - clickTime).count();
    }

    wf::doc::ProjectDocument doc;
};

bool onRealDisplay() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

void xdotool(const std::string& arguments) {
    const std::string command = "xdotool " + arguments;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// A press and release of the left button over Cancel, from the X server.
void clickAt(unsigned long, QPoint at) {
    xdotool("mousemove --sync " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 1");
}

// Escape typed into the progress window while "Cancel" has the focus.
void escapeInto(unsigned long window, QPoint) {
    xdotool("windowfocus --sync " + std::to_string(window) + " key Escape");
}

// Other keys and a click on "OK" do not end the run.
void otherInput(unsigned long window, QPoint at) {
    xdotool("windowfocus --sync " + std::to_string(window) + " key a Tab");
    xdotool("mousemove --sync " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 1");
}

TEST_F(CancelRunTest, AClickOnCancelEndsTheOptimisationWithinASecond) {
    if (!onRealDisplay()) GTEST_SKIP() << "needs a real X server: run by test_ui_real_events under xvfb-run";
    WfFitReport fit{};
    const double afterClick = runAndCancel(clickAt, fit);
    ASSERT_GE(afterClick, 0.0) << "the run ended before the click";
    EXPECT_LT(afterClick, 1.0);
    ASSERT_TRUE(fit.valid);
    EXPECT_EQ(fit.stopRule, WF_STOP_CANCEL);
    EXPECT_GE(fit.passes, 1);
}

TEST_F(CancelRunTest, EscapeEndsTheOptimisationWithinASecond) {
    if (!onRealDisplay()) GTEST_SKIP() << "needs a real X server: run by test_ui_real_events under xvfb-run";
    WfFitReport fit{};
    const double afterKey = runAndCancel(escapeInto, fit);
    ASSERT_GE(afterKey, 0.0) << "the run ended before the key";
    EXPECT_LT(afterKey, 1.0);
    ASSERT_TRUE(fit.valid);
    EXPECT_EQ(fit.stopRule, WF_STOP_CANCEL);
}

TEST_F(CancelRunTest, KeysAndOkDoNotEndTheRun) {
    if (!onRealDisplay()) GTEST_SKIP() << "needs a real X server: run by test_ui_real_events under xvfb-run";
    WfFitReport fit{};
    ASSERT_GE(runAndCancel(otherInput, fit, "OKBtn"), 0.0) << "the run ended before the input";
    ASSERT_TRUE(fit.valid);
    EXPECT_NE(fit.stopRule, WF_STOP_CANCEL);
}

} // namespace
} // namespace wf::uitest
