// The Match panel: live curves equal the fixed-time run's simulation file,
// stale runs never draw, Keep and its undo, nothing written by slider moves.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QSlider>
#include <QUndoStack>

#include "drawdown_chart.h"
#include "live_runner.h"
#include "match_panel.h"
#include "solver_call.h"
#include "ui_support.h"

namespace wf::uitest {
namespace {

using wf::ui::LiveRequest;
using wf::ui::LiveResult;
using wf::ui::LiveRunner;
using wf::ui::MatchPanel;

// Lets the worker and the event loop finish every run asked for.
bool waitIdle(const LiveRunner* runner, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (runner && !runner->idle()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCoreApplication::processEvents();
    return true;
}

QList<QPointF> fitPoints(wf::ui::DrawdownChart* chart) { return chart->fit()->points(); }

class MatchPanelTest : public ProjectFolderTest {
protected:
    // The bundled example with its mesh and preparation made (fine: with the
    // fine model), the panel shown with its first curve drawn.
    void openExample(bool fine, bool prepare = true, const QString& folder = QStringLiteral("oude-korendijk"),
                     const QString& project = QStringLiteral("OKORENDIJK.wft")) {
        const QDir example(QStringLiteral(WF_SOURCE_DIR "/examples/") + folder);
        for (const QString& name : example.entryList({QStringLiteral("*.wft"), QStringLiteral("*.DAT"),
                                                      QStringLiteral("*.dat")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(example.filePath(name), path(name)));
        window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
        window->resize(1100, 640);
        window->show();
        window->openChosen(path(project));
        ASSERT_GT(doc.pointCount(), 0);
        doc.analysisOptions.fineModel = fine;
        if (prepare) {
            onDialog([](QWidget* w) { clickOk(w); });
            window->Mesh1Click();
            onDialog([](QWidget* w) { clickOk(w); });
            window->Parameters1Click();
            ASSERT_TRUE(doc.convertParameters(1));  // guesses as the analysis dialog opens them
        }
        panel = window->matchPanel();
        ASSERT_NE(panel, nullptr);
        panel->show();
        ASSERT_TRUE(waitIdle(panel->runner()));
    }
    void TearDown() override {
        window.reset();
        ProjectFolderTest::TearDown();
    }
    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
    MatchPanel* panel = nullptr;
};

// A curve dragged to new values, then the fixed-time run (mode 6, type 1) at
// the same TF, TM, SF, SM: the chart's live curve and the curve read from
// the run's simulation file are the same doubles, point by point.
void expectLiveCurveIsFixedTimeRun(MatchPanelTest& t, wf::ui::TWellfit& window, wf::doc::ProjectDocument& doc,
                                   MatchPanel* panel, const std::vector<std::pair<std::size_t, double>>& moves = {
                                                          {0, 1.7}, {3, 0.4}}) {
    ASSERT_TRUE(panel->problem().isEmpty()) << panel->problem().toStdString();
    ASSERT_EQ(panel->parameters().size(), 4u);
    const int before = panel->curvesDrawn();
    for (const auto& [i, factor] : moves) panel->setValue(i, panel->values()[i] * factor);
    ASSERT_TRUE(waitIdle(panel->runner()));
    EXPECT_GT(panel->curvesDrawn(), before);
    const QList<QPointF> live = fitPoints(window.chart());
    ASSERT_GT(live.size(), 10);
    EXPECT_TRUE(window.chart()->liveCurveShown());

    panel->keep();  // the values become PINIT, as the fixed-time run reads them
    BoxCatcher boxes;
    ASSERT_TRUE(doc.convertParameters(2));
    WfFitReport report{};
    wf::ui::SolverRecords records{&doc.filename, &doc.mesh, &doc.obsv, &doc.pump,
                                  &doc.guess,    &doc.pinit, &doc.units, &doc.nzero};
    wf::ui::callWithSolverOptions(WF_MODE_ANALYSIS, 1, records, doc.solverOptions(&report), &window);
    ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('\n').toStdString();
    window.chart()->clearFit();
    ASSERT_TRUE(window.chart()->DrawFit().isEmpty());
    const QList<QPointF> file = fitPoints(window.chart());
    ASSERT_EQ(file.size(), live.size());
    for (int i = 0; i < file.size(); ++i) {
        EXPECT_EQ(live[i].x(), file[i].x()) << "point " << i;
        EXPECT_EQ(live[i].y(), file[i].y()) << "point " << i;
    }
    (void)t;
}

TEST_F(MatchPanelTest, LiveCurveEqualsTheFixedTimeRunStandardModel) {
    openExample(false);
    expectLiveCurveIsFixedTimeRun(*this, *window, doc, panel);
}

TEST_F(MatchPanelTest, LiveCurveEqualsTheFixedTimeRunFineModel) {
    openExample(true);
    expectLiveCurveIsFixedTimeRun(*this, *window, doc, panel);
}

// A single-well test (one aquifer, the fine model with a well): T, S, the
// skin factor and the casing radius on the panel; the live curve at a new
// skin and casing radius equals the fixed-time run with those values, which
// Keep writes into the project's well block and undo takes back.
TEST_F(MatchPanelTest, SingleWellOffersTheSkinAndTheCasingRadius) {
    openExample(true, true, QStringLiteral("single-well"), QStringLiteral("SINGLEWELL.wft"));
    ASSERT_EQ(panel->parameters().size(), 4u);
    EXPECT_EQ(panel->parameters()[2].name, QStringLiteral("Sk"));
    EXPECT_EQ(panel->parameters()[3].name, QStringLiteral("rc"));
    const float skin = doc.analysisOptions.skin, rc = doc.analysisOptions.casingRadius;
    ASSERT_GT(skin, 0.0f);
    EXPECT_EQ(panel->values()[2], skin);
    // The skin's slider is linear: its middle is half its range.
    EXPECT_DOUBLE_EQ(panel->valueAt(2, wf::ui::MatchPanel::kSteps / 2),
                     0.5 * (panel->parameters()[2].low + panel->parameters()[2].high));
    expectLiveCurveIsFixedTimeRun(*this, *window, doc, panel, {{2, 0.4}, {3, 2.0}});
    EXPECT_FLOAT_EQ(doc.analysisOptions.skin, static_cast<float>(skin * 0.4));
    EXPECT_FLOAT_EQ(doc.analysisOptions.casingRadius, static_cast<float>(rc * 2.0));
    ASSERT_TRUE(panel->undoStack()->canUndo());
    panel->undoStack()->undo();
    EXPECT_EQ(doc.analysisOptions.skin, skin);
    EXPECT_EQ(doc.analysisOptions.casingRadius, rc);
}

TEST_F(MatchPanelTest, ViewMenuAndToolbarShowThePanel) {
    openExample(false);
    panel->hide();
    auto* item = window->findChild<QAction*>(QStringLiteral("Match1"));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(item->isChecked());
    // The sliders start at the project's values.
    ASSERT_EQ(panel->parameters().size(), 4u);
    EXPECT_EQ(panel->parameters()[0].name, QStringLiteral("TF"));
    EXPECT_FLOAT_EQ(static_cast<float>(panel->values()[0]), doc.pinit.TF);
    EXPECT_FLOAT_EQ(static_cast<float>(panel->values()[3]), doc.pinit.SM);
    EXPECT_TRUE(panel->errorLabel()->text().startsWith(QStringLiteral("RMSE = ")));
}

TEST_F(MatchPanelTest, SliderMovesWriteNoFileAndKeepUndoRoundTrip) {
    openExample(false);
    // A fit first, so that the simulation, result and report files exist.
    BoxCatcher boxes;
    onDialog([](QWidget* w) { clickOk(w); });
    window->Analysis2Click();
    ASSERT_TRUE(waitIdle(panel->runner()));
    const QStringList files = QDir(dir_->path()).entryList(QDir::Files);
    std::map<QString, std::pair<QByteArray, QDateTime>> before;
    for (const QString& f : files) before[f] = {readFile(f), QFileInfo(path(f)).lastModified()};

    const float start[4] = {doc.pinit.TF, doc.pinit.TM, doc.pinit.SF, doc.pinit.SM};
    window->setModified(false);
    QSlider* tf = panel->slider(0);
    ASSERT_NE(tf, nullptr);
    for (int step = 0; step < 40; ++step) tf->setValue(tf->value() + 3);  // a drag
    ASSERT_TRUE(waitIdle(panel->runner()));
    EXPECT_NE(panel->values()[0], static_cast<double>(start[0]));
    EXPECT_EQ(doc.pinit.TF, start[0]) << "a slider move changed the project";
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(QDir(dir_->path()).entryList(QDir::Files), files);
    for (const QString& f : files) {
        EXPECT_EQ(readFile(f), before[f].first) << f.toStdString();
        EXPECT_EQ(QFileInfo(path(f)).lastModified(), before[f].second) << f.toStdString();
    }

    // Keep: the project takes the values (in memory; the file only on Save).
    panel->keep();
    EXPECT_EQ(doc.pinit.TF, static_cast<float>(panel->values()[0]));
    EXPECT_EQ(doc.pinit.TM, start[1]);
    EXPECT_TRUE(window->isModified());
    EXPECT_EQ(readFile(QStringLiteral("OKORENDIJK.wft")), before[QStringLiteral("OKORENDIJK.wft")].first);
    ASSERT_TRUE(panel->undoStack()->canUndo());
    panel->undoStack()->undo();
    EXPECT_EQ(doc.pinit.TF, start[0]);
    EXPECT_EQ(doc.pinit.TM, start[1]);
    EXPECT_EQ(doc.pinit.SF, start[2]);
    EXPECT_EQ(doc.pinit.SM, start[3]);
    panel->undoStack()->redo();
    EXPECT_EQ(doc.pinit.TF, static_cast<float>(panel->values()[0]));

    // Back to fitted: the values of the fit, whatever was kept.
    panel->backToFitted();
    EXPECT_EQ(static_cast<float>(panel->values()[0]), start[0]);
    ASSERT_TRUE(waitIdle(panel->runner()));
}

// Closing the panel: the chart shows the project's curve again - the
// simulation file's while nothing was kept, the kept values' curve after Keep.
TEST_F(MatchPanelTest, ClosingThePanelGivesTheChartBackToTheProject) {
    openExample(false);
    BoxCatcher boxes;
    onDialog([](QWidget* w) { clickOk(w); });
    window->Analysis2Click();
    ASSERT_TRUE(waitIdle(panel->runner()));
    window->chart()->clearFit();
    ASSERT_TRUE(window->chart()->DrawFit().isEmpty());
    const QList<QPointF> fileCurve = fitPoints(window->chart());

    panel->setValue(1, panel->values()[1] * 0.5);
    ASSERT_TRUE(waitIdle(panel->runner()));
    EXPECT_NE(fitPoints(window->chart()), fileCurve);
    panel->hide();
    EXPECT_FALSE(window->chart()->liveCurveShown());
    EXPECT_EQ(fitPoints(window->chart()), fileCurve);

    panel->show();
    ASSERT_TRUE(waitIdle(panel->runner()));
    panel->setValue(1, panel->values()[1] * 0.5);
    ASSERT_TRUE(waitIdle(panel->runner()));
    const QList<QPointF> kept = fitPoints(window->chart());
    panel->keep();
    panel->setValue(1, panel->values()[1] * 3.0);  // moved on after Keep
    ASSERT_TRUE(waitIdle(panel->runner()));
    panel->hide();
    ASSERT_TRUE(waitIdle(panel->runner()));
    EXPECT_TRUE(window->chart()->liveCurveShown());
    EXPECT_EQ(fitPoints(window->chart()), kept);
    ASSERT_TRUE(window->chart()->curveParameters().has_value());
    EXPECT_EQ((*window->chart()->curveParameters())[1], doc.pinit.TM);
}

TEST_F(MatchPanelTest, FitFromHereStartsTheSearchFromThePanelValues) {
    openExample(false);
    panel->setValue(0, panel->values()[0] * 3.0);
    ASSERT_TRUE(waitIdle(panel->runner()));
    const double moved = panel->lastErrorEstimate();
    BoxCatcher boxes;
    panel->findChild<QPushButton*>(QStringLiteral("btnFit"))->click();
    ASSERT_TRUE(waitIdle(panel->runner()));
    ASSERT_TRUE(window->lastFitReport().valid) << boxes.texts().join('\n').toStdString();
    // The fit lowered the error of the moved curve, and the panel now starts there.
    EXPECT_LT(panel->lastErrorEstimate(), moved);
    EXPECT_FLOAT_EQ(static_cast<float>(panel->fittedValues()[0]), doc.pinit.TF);
}

TEST_F(MatchPanelTest, NamesTheRunToMakeWithoutMeshAndPreparation) {
    openExample(false, false);
    EXPECT_EQ(panel->runner(), nullptr);
    EXPECT_FALSE(panel->problem().isEmpty());
    EXPECT_TRUE(panel->problem().contains(QStringLiteral("Analysis / Mesh")) ||
                panel->problem().contains(QStringLiteral("Analysis / Parameters")))
        << panel->problem().toStdString();
    EXPECT_EQ(panel->statusLabel()->text(), panel->problem());
    EXPECT_FALSE(panel->slider(0)->isEnabled());
}

TEST_F(MatchPanelTest, OneAquiferOffersTotalsSharedByThickness) {
    openExample(false);
    doc.analysisOptions.oneAquifer = true;
    panel->refresh();
    ASSERT_EQ(panel->parameters().size(), 2u);
    EXPECT_EQ(panel->parameters()[0].name, QStringLiteral("T"));
    EXPECT_DOUBLE_EQ(panel->values()[0], static_cast<double>(doc.pinit.TF) + doc.pinit.TM);
    panel->setValue(0, 500.0);
    panel->setValue(1, 2e-4);
    panel->keep();
    const double r = doc.obsv.RATIO;
    EXPECT_EQ(doc.pinit.TF, static_cast<float>(r * 500.0));
    EXPECT_EQ(doc.pinit.TM, static_cast<float>((1.0 - r) * 500.0));
    EXPECT_EQ(doc.pinit.SF, static_cast<float>(r * 2e-4));
    EXPECT_EQ(doc.pinit.SM, static_cast<float>((1.0 - r) * 2e-4));
    ASSERT_TRUE(waitIdle(panel->runner()));
}

// Three positions asked for while a run is busy: the busy run's curve is
// stale when it ends, the two first waiting ones are replaced, and only the
// last position is drawn.
TEST(LiveRunnerTest, OnlyTheLatestPositionDraws) {
    std::mutex m;
    std::condition_variable cv;
    bool started = false, release = false;
    std::vector<double> ran;
    LiveRunner runner([&](const LiveRequest& r) {
        std::unique_lock<std::mutex> lock(m);
        ran.push_back(r.values.at(0));
        started = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
        LiveResult out;
        out.generation = r.generation;
        out.ok = true;
        out.values = r.values;
        return out;
    });
    std::vector<double> drawn;
    QObject::connect(&runner, &LiveRunner::curveReady, [&](const LiveResult& r) { drawn.push_back(r.values.at(0)); });

    LiveRequest a;
    a.values = {1.0};
    runner.request(a);
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return started; }));
    }
    for (double v : {2.0, 3.0, 4.0}) {
        LiveRequest r;
        r.values = {v};
        runner.request(r);
    }
    {
        std::lock_guard<std::mutex> lock(m);
        release = true;
    }
    cv.notify_all();
    ASSERT_TRUE(waitIdle(&runner));
    EXPECT_EQ(ran, (std::vector<double>{1.0, 4.0}));  // 2 and 3 never ran
    EXPECT_EQ(drawn, (std::vector<double>{4.0}));     // 1 ran but was stale
    EXPECT_EQ(runner.delivered(), 1);
    EXPECT_EQ(runner.dropped(), 1);
    EXPECT_EQ(runner.runsMade(), 2);
}

// A drag of 100 slider steps on the real panel: every curve drawn is the
// latest position's at the time it arrived, and the last one drawn is the
// last position's (the same doubles as a run of its own).
TEST_F(MatchPanelTest, ADragEndsOnTheLastPositionsCurve) {
    openExample(false);
    QSlider* sm = panel->slider(3);
    for (int step = 0; step < 100; ++step) sm->setValue(sm->value() + (step % 2 ? 1 : 2));
    ASSERT_TRUE(waitIdle(panel->runner()));
    const QList<QPointF> dragged = fitPoints(window->chart());
    LiveRunner* runner = panel->runner();
    EXPECT_EQ(runner->delivered() + runner->dropped(), runner->runsMade());
    EXPECT_LE(runner->runsMade(), 101);
    // Drawn again from the same values alone.
    const std::vector<double> last = panel->values();
    panel->refresh();
    for (std::size_t i = 0; i < last.size(); ++i) panel->setValue(i, last[i]);
    ASSERT_TRUE(waitIdle(panel->runner()));
    EXPECT_EQ(fitPoints(window->chart()), dragged);
}

} // namespace
} // namespace wf::uitest
