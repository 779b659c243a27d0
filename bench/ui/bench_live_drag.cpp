// A drag on the "Match" panel of the desktop program, on the bundled example
// (examples/oude-korendijk): 100 slider steps at screen rate (argument 16:
// one step every 16 ms, a 60 Hz pointer) and as fast as the event loop
// takes them (argument 0: most positions are replaced before they run), the
// model curve redrawn as runs arrive. Reported:
// curves drawn per second, runs made and dropped as stale, and the longest
// time the program's thread was blocked - measured by a zero-interval timer
// that notes the gap between its own firings (any event handling, the slider
// moves and the redraws of the chart included). Goal: no block over 20 ms.
// Run with QT_QPA_PLATFORM=offscreen (set here when unset).
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include "drawdown_chart.h"
#include "match_panel.h"
#include "modal_driver.h"
#include "wellfit_window.h"

namespace {

QApplication* application() {
    static int argc = 1;
    static char name[] = "bench_live_drag";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return &app;
}

// The example in a scratch folder with its mesh and preparation made through the windows.
struct Example {
    QTemporaryDir dir;
    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
    bool ok = false;

    explicit Example(bool fine) {
        const QDir example(QStringLiteral(WF_SOURCE_DIR "/examples/oude-korendijk"));
        for (const QString& n : example.entryList(QDir::Files)) QFile::copy(example.filePath(n), dir.filePath(n));
        wf::ui::TWellfit::defaultAskToSaveChanges() = [] { return static_cast<int>(QMessageBox::Discard); };
        window = std::make_unique<wf::ui::TWellfit>(doc, dir.filePath(QStringLiteral("mru.ini")));
        window->resize(1100, 640);
        window->show();
        window->openChosen(dir.filePath(QStringLiteral("OKORENDIJK.wft")));
        doc.analysisOptions.fineModel = fine;
        wf::ui::whenModalShows([](QWidget* w) { wf::ui::pressOk(w); });
        window->Mesh1Click();
        wf::ui::whenModalShows([](QWidget* w) { wf::ui::pressOk(w); });
        window->Parameters1Click();
        if (!doc.convertParameters(1)) return;
        window->matchPanel()->show();
        wf::ui::settle(200);
        ok = window->matchPanel()->runner() != nullptr;
    }
};

void drag(benchmark::State& state, bool fine) {
    const int interval = static_cast<int>(state.range(0));
    application();
    Example ex(fine);
    if (!ex.ok) {
        state.SkipWithError(ex.window->matchPanel()->problem().toUtf8().constData());
        return;
    }
    wf::ui::MatchPanel* panel = ex.window->matchPanel();
    QSlider* slider = panel->slider(0);
    double longest = 0.0, seconds = 0.0;
    long drawn = 0, runs = 0, dropped = 0;
    for (auto _ : state) {
        const int drawnBefore = panel->curvesDrawn();
        const int runsBefore = panel->runner()->runsMade(), droppedBefore = panel->runner()->dropped();
        slider->setValue(100);
        int steps = 0;
        QTimer mover;
        mover.setInterval(interval);
        QObject::connect(&mover, &QTimer::timeout, [&] {
            slider->setValue(slider->value() + 2);
            if (++steps == 100) mover.stop();
        });
        // The thread's blocks: the gaps between the firings of an idle timer.
        QElapsedTimer clock, total;
        QTimer idle;
        idle.setInterval(0);
        double worst = 0.0;
        clock.start();
        QObject::connect(&idle, &QTimer::timeout, [&] {
            worst = std::max(worst, static_cast<double>(clock.nsecsElapsed()) * 1e-6);
            clock.restart();
        });
        total.start();
        mover.start();
        idle.start();
        while (mover.isActive() || !panel->runner()->idle()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        idle.stop();
        seconds += static_cast<double>(total.nsecsElapsed()) * 1e-9;
        longest = std::max(longest, worst);
        drawn += panel->curvesDrawn() - drawnBefore;
        runs += panel->runner()->runsMade() - runsBefore;
        dropped += panel->runner()->dropped() - droppedBefore;
    }
    state.counters["curves_per_s"] = seconds > 0.0 ? static_cast<double>(drawn) / seconds : 0.0;
    state.counters["runs"] = static_cast<double>(runs);
    state.counters["dropped"] = static_cast<double>(dropped);
    state.counters["longest_block_ms"] = longest;
}

void BM_DragStandard(benchmark::State& state) { drag(state, false); }
void BM_DragFine(benchmark::State& state) { drag(state, true); }
BENCHMARK(BM_DragStandard)->Arg(16)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DragFine)->Arg(16)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
