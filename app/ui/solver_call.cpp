#include "solver_call.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <thread>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include "message_boxes.h"
#include "progress_window.h"

namespace wf::ui {

namespace {

// Sends fds 1 and 2 to the log file for the lifetime of the object.
class OutputToLog {
public:
    OutputToLog(const QString& path, const QString& title) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::cout.flush();
        std::cerr.flush();
        fd_ = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd_ < 0) return;
        const QByteArray stamp =
            "\n==== " + QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() +
            (title.isEmpty() ? QByteArray() : " " + title.toLocal8Bit()) + " ====\n";
        (void)!::write(fd_, stamp.constData(), static_cast<size_t>(stamp.size()));
        saved1_ = ::dup(1);
        saved2_ = ::dup(2);
        ::dup2(fd_, 1);
        ::dup2(fd_, 2);
    }
    ~OutputToLog() {
        if (fd_ < 0) return;
        std::cout.flush();
        std::cerr.flush();
        std::fflush(stdout);
        std::fflush(stderr);
        if (saved1_ >= 0) {
            ::dup2(saved1_, 1);
            ::close(saved1_);
        }
        if (saved2_ >= 0) {
            ::dup2(saved2_, 2);
            ::close(saved2_);
        }
        ::close(fd_);
    }
    OutputToLog(const OutputToLog&) = delete;
    OutputToLog& operator=(const OutputToLog&) = delete;

private:
    int fd_ = -1;
    int saved1_ = -1;
    int saved2_ = -1;
};

// Disables every top-level window except the progress window while a run computes.
class InputBlock {
public:
    explicit InputBlock(QWidget* keep) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w == keep || !w->isEnabled()) continue;
            w->setEnabled(false);
            disabled_.append(QPointer<QWidget>(w));
        }
    }
    ~InputBlock() {
        for (const QPointer<QWidget>& w : disabled_)
            if (w) w->setEnabled(true);
    }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

private:
    QList<QPointer<QWidget>> disabled_;
};

// Runs f on a worker thread while this thread keeps taking the window
// system's events (painting, the progress window's Cancel, the solver's
// message boxes, which the worker waits for). A failure that escapes f is
// raised again here once the worker has ended.
void runOnWorker(const std::function<void()>& f) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            f();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted after every line and box of the run, so they come first.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

// The solver keeps one run state: one run at a time.
bool runActive = false;

} // namespace

ProgressWindow* progressWindow() {
    static QPointer<ProgressWindow> window;
    if (!window) {
        window = new ProgressWindow;
        window->install();
    }
    return window;
}

// The kind of run, for the log.
QString runTitle(int mode, int type) {
    static const char* const analyses[3] = {"Optimization", "Fixed time", "Prediction"};
    switch (mode) {
    case WF_MODE_MESH: return QStringLiteral("Mesh construction");
    case WF_MODE_PREPARE: return QStringLiteral("Data preparation, %1 times selected").arg(type);
    case WF_MODE_ANALYSIS:
        if (type >= 0 && type <= 2) return QStringLiteral("Analysis: ") + QLatin1String(analyses[type]);
        return QStringLiteral("Analysis, type %1").arg(type);
    default: return QStringLiteral("Run of mode %1").arg(mode);
    }
}

QString logFileName(const FILENAME& filename) {
    const QByteArray name(filename.projectName, static_cast<int>(qstrnlen(filename.projectName, 20)));
    QString stem = QString::fromLocal8Bit(name);
    stem.chop(4);
    return stem + QStringLiteral(".LOG");
}

void runWithOutputLogged(const QString& logPath, const std::function<void()>& f, const QString& title) {
    OutputToLog log(logPath, title);
    f();
}

bool callSolver(int mode, int type, const SolverRecords& r, QWidget* owner) {
    if (runActive) {
        showError(owner, QStringLiteral("A computation is still running: wait for it to end or press Cancel"));
        return false;
    }
    runActive = true;
    struct Active {
        ~Active() { runActive = false; }
    } active;
    ProgressWindow* progress = progressWindow();
    InputBlock block(progress);
    // The analysis shows the progress window, which owns its boxes; the mesh
    // and preparation runs do not, and their boxes appear over the caller.
    progress->beginRun(mode == WF_MODE_ANALYSIS ? nullptr : owner);
    // The run ends also when a failure escapes it: the window takes input again.
    struct RunEnd {
        ProgressWindow* window;
        ~RunEnd() { window->endRun(); }
    } end{progress};
    runWithOutputLogged(logFileName(*r.filename), [&] {
        runOnWorker([&] { wftDLL(mode, type, r.filename, r.mesh, r.obsv, r.pump, r.guess, r.pinit, r.units, r.nzero); });
    }, runTitle(mode, type));
    return progress->errorBoxes() == 0;
}

bool callWithOptions(int mode, int type, const SolverRecords& records, const wf::doc::AnalysisOptions& options,
                     WfFitReport* report, QWidget* owner) {
    return callWithSolverOptions(mode, type, records, options.toSolver(report), owner);
}

bool callWithSolverOptions(int mode, int type, const SolverRecords& records, const WfOptions& solverOptions,
                           QWidget* owner) {
    wfSetOptions(&solverOptions);
    struct PlainSearchAgain {
        ~PlainSearchAgain() { wfSetOptions(nullptr); }
    } restore;
    return callSolver(mode, type, records, owner);
}

} // namespace wf::ui
