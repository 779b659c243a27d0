#include "live_runner.h"

#include <QMetaObject>
#include <QPointer>

#include "document/project_document.h"

namespace wf::ui {

LiveSession::LiveSession(const wf::doc::ProjectDocument& doc) {
    const WfOptions options = doc.solverOptions(nullptr);
    model_ = wfLiveOpen(&doc.filename, &doc.mesh, &doc.obsv, &doc.pump, &doc.guess, &doc.pinit, &doc.units,
                        &doc.nzero, &options);
    int32_t points = 0, levels = 0;
    if (model_ && wfLiveShape(model_, &points, &levels) == 1) {
        points_ = points;
        levels_ = levels;
        return;
    }
    char buf[512] = {};
    if (model_) wfLiveMessage(model_, buf, sizeof buf);
    message_ = model_ ? QString::fromUtf8(buf) : QStringLiteral("Not enough memory for the live model");
}

LiveSession::~LiveSession() { wfLiveClose(model_); }

LiveResult LiveSession::run(const LiveRequest& request) {
    LiveResult r;
    r.generation = request.generation;
    r.values = request.values;
    if (!isOpen()) {
        r.message = message_;
        return r;
    }
    char buf[512] = {};
    if (request.well && wfLiveSetWell(model_, request.skin, request.casingRadius) != 1) {
        wfLiveMessage(model_, buf, sizeof buf);
        r.message = QString::fromUtf8(buf);
        return r;
    }
    const std::size_t n = static_cast<std::size_t>(points_) * static_cast<std::size_t>(levels_);
    r.times.resize(n);
    r.drawdowns.resize(n);
    const int32_t made = wfLiveRun(model_, request.multipliers.data(), r.times.data(), r.drawdowns.data(),
                                   static_cast<int32_t>(n), &r.errorEstimate);
    if (wfLiveMessage(model_, buf, sizeof buf) > 0) r.message = QString::fromUtf8(buf);
    r.ok = made == static_cast<int32_t>(n);
    r.points = points_;
    r.levels = levels_;
    return r;
}

LiveRunner::LiveRunner(RunFunction run, QObject* parent) : QObject(parent), run_(std::move(run)) {
    qRegisterMetaType<wf::ui::LiveResult>();
    thread_ = std::thread([this] { work(); });
}

LiveRunner::~LiveRunner() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

std::uint64_t LiveRunner::request(LiveRequest r) {
    r.generation = ++latest_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_ = std::move(r);  // a request still waiting is replaced
    }
    wake_.notify_one();
    return latest_;
}

int LiveRunner::runsMade() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return runs_;
}

bool LiveRunner::idle() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !busy_ && !waiting_ && inFlight_ == 0;
}

void LiveRunner::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || waiting_.has_value(); });
        if (stop_) return;
        LiveRequest r = std::move(*waiting_);
        waiting_.reset();
        busy_ = true;
        lock.unlock();
        LiveResult result = run_(r);
        lock.lock();
        busy_ = false;
        ++runs_;
        ++inFlight_;
        // Handed to the owner's thread; a runner destroyed meanwhile drops it.
        QMetaObject::invokeMethod(
            this, [this, res = std::move(result)]() mutable { arrived(std::move(res)); }, Qt::QueuedConnection);
    }
}

void LiveRunner::arrived(LiveResult result) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --inFlight_;
    }
    // A newer request was made after this run started: its curve is stale.
    if (result.generation != latest_) {
        ++dropped_;
        return;
    }
    ++delivered_;
    emit curveReady(result);
}

} // namespace wf::ui
