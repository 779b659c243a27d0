// The progress window that mirrors the solver's list, its Cancel rule, and the
// run log that keeps the model's standard output and standard error.
#include <cstdio>
#include <iostream>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "log_dialog.h"
#include "modal_driver.h"
#include "progress_window.h"
#include "solver_call.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

QStringList listLines(const wf::ui::ProgressWindow& w) {
    QStringList l;
    for (int i = 0; i < w.list()->count(); ++i) l << w.list()->item(i)->text();
    return l;
}

TEST(ProgressWindow, MirrorsTheSolversListByCode) {
    wf::ui::ProgressWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Progress Report"));
    w.applyProgress(1, "first", {"first"});  // code 1 on an empty list adds the line
    EXPECT_EQ(listLines(w), QStringList{"first"});
    w.applyProgress(0, "start", {"start"});
    w.applyProgress(2, "pass 1", {"start", "pass 1"});
    w.applyProgress(-1, "pass 1 again", {"start", "pass 1 again"});
    w.applyProgress(2, "end", {"start", "pass 1 again", "end"});
    EXPECT_EQ(listLines(w), (QStringList{"start", "pass 1 again", "end"}));
    // A list that drifted from the solver's is taken over whole.
    w.applyProgress(2, "x", {"a", "b"});
    EXPECT_EQ(listLines(w), (QStringList{"a", "b"}));
}

TEST(ProgressWindow, CancelCountsOnlyDuringARun) {
    wf::ui::ProgressWindow w;
    w.show();
    auto* cancel = w.findChild<QPushButton*>(QStringLiteral("CancelBtn"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    // Outside a run a click only sets the flag; the next run starts without it.
    cancel->click();
    EXPECT_TRUE(w.cancelRequested());
    EXPECT_TRUE(w.isVisible());
    w.beginRun();
    EXPECT_FALSE(w.takeCancel());
    // A click waiting in the queue during a run is seen by the poll, once.
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(w.takeCancel());
    EXPECT_FALSE(w.takeCancel());
    auto* press = new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), cancel->mapToGlobal(QPointF(5, 5)),
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5), cancel->mapToGlobal(QPointF(5, 5)),
                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::postEvent(cancel, press);
    QCoreApplication::postEvent(cancel, release);
    EXPECT_TRUE(w.takeCancel());
    w.endRun();
    // OK hides the window; the object stays.
    w.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    EXPECT_FALSE(w.isVisible());
}

TEST(ProgressWindow, BoxesAreOwnedByTheWindow) {
    wf::ui::ProgressWindow w;
    QWidget* parent = nullptr;
    wf::ui::whenModalShows([&parent](QWidget* box) {
        parent = box->parentWidget();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
        static_cast<QDialog*>(box)->accept();
    });
    w.showBox(QStringLiteral("Error"), QStringLiteral(" Dimension to small for Mesh Size"));
    EXPECT_EQ(parent, &w);
}

class RunLogTest : public ProjectFolderTest {};

TEST_F(RunLogTest, StandardOutputAndErrorGoToTheLogAndComeBack) {
    const QString log = path(QStringLiteral("DEMO.LOG"));
    for (int run = 0; run < 2; ++run) {
        wf::ui::runWithOutputLogged(log, [run] {
            std::printf("listing line %d\n", run);
            std::cout << "stream line " << run << std::endl;
            std::fprintf(stderr, "diagnostic %d\n", run);
            std::cerr << "cerr " << run << '\n';
        });
    }
    const QByteArray text = readFile(QStringLiteral("DEMO.LOG"));
    for (const char* expected : {"listing line 0\n", "stream line 0\n", "diagnostic 0\n", "cerr 0\n", "listing line 1\n",
                                 "diagnostic 1\n"})
        EXPECT_TRUE(text.contains(expected)) << expected;
    EXPECT_EQ(text.count("\n==== "), 2);  // one time stamp per run, appended
    // The descriptors are back on their own files: later output misses the log.
    std::printf("after the run\n");
    std::fflush(stdout);
    EXPECT_EQ(readFile(QStringLiteral("DEMO.LOG")), text);

    wf::ui::LogDialog dialog(log);
    EXPECT_EQ(dialog.text().toUtf8(), text);
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("memoLog"))->isReadOnly());
}

TEST_F(RunLogTest, ASolverRunShowsItsStartAndEndLinesAndLogs) {
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, path(QStringLiteral("mru.ini")));
    const QString demo = path(QStringLiteral("DEMO.wft"));
    w.chooseSaveFile = [demo] { return demo; };
    w.New1Click();
    // A mode that computes nothing still shows the window with both lines.
    bool mainDisabled = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { mainDisabled = mainDisabled || !w.isEnabled(); });
    probe.start(0);
    wf::ui::callSolver(7, 0, {&doc.filename, &doc.mesh, &doc.obsv, &doc.pump, &doc.guess, &doc.pinit, &doc.units,
                              &doc.nzero});
    probe.stop();
    wf::ui::ProgressWindow* progress = wf::ui::progressWindow();
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(listLines(*progress),
              (QStringList{"WELLFIT: Start Computation", "WELLFIT: Computation Complete"}));
    EXPECT_TRUE(mainDisabled);  // no input to other windows while the run computes
    EXPECT_TRUE(w.isEnabled());
    // The log names the run and keeps the solver's progress lines.
    const QByteArray log = readFile(QStringLiteral("DEMO.LOG"));
    EXPECT_TRUE(log.contains(" Run of mode 7 ====\n")) << log.constData();
    EXPECT_TRUE(log.contains("\nWELLFIT: Start Computation\nWELLFIT: Computation Complete\n")) << log.constData();
    progress->hide();
}

} // namespace
} // namespace wf::uitest
