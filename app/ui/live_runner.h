// The model runs behind the "Match" panel: one worker thread that runs the
// project's model in memory (the library's wfLive calls) while the user
// drags a slider. The latest position wins: a request made while a run is
// busy replaces any request still waiting, and a run that finishes after a
// newer request was made is dropped, never drawn.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <QObject>
#include <QString>

#include "wfcore/wfcore.h"

namespace wf::doc {
class ProjectDocument;
}

namespace wf::ui {

// One model run asked for: the solver's multipliers and the panel's values they came from.
struct LiveRequest {
    std::uint64_t generation = 0;
    std::array<double, 4> multipliers{};
    // The pumped well of the fine model: its skin factor and casing radius
    // (distance unit) for this run.
    bool well = false;
    double skin = 0.0, casingRadius = 0.0;
    std::vector<double> values;
};

// What a run made: the simulation file's records (every point's time levels
// one after another, times in the input-time unit), the error estimate, or
// the message of a failure.
struct LiveResult {
    std::uint64_t generation = 0;
    bool ok = false;
    QString message;
    int points = 0, levels = 0;
    std::vector<double> times, drawdowns;
    double errorEstimate = 0.0;
    std::vector<double> values;
};

// The project's model held open in the library (one wfLive handle).
class LiveSession {
public:
    // Opens the model of the document's records and options from the side
    // files of the working directory; message() says why when it cannot.
    explicit LiveSession(const wf::doc::ProjectDocument& doc);
    ~LiveSession();
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    bool isOpen() const { return points_ > 0; }
    const QString& message() const { return message_; }
    // One run; thread-safe against nothing else: one thread at a time.
    LiveResult run(const LiveRequest& request);

private:
    WfLiveModel* model_ = nullptr;
    int points_ = 0, levels_ = 0;
    QString message_;
};

class LiveRunner : public QObject {
    Q_OBJECT
public:
    using RunFunction = std::function<LiveResult(const LiveRequest&)>;
    explicit LiveRunner(RunFunction run, QObject* parent = nullptr);
    // Waits for the run that is busy, drops the waiting request.
    ~LiveRunner() override;

    // Asks for a run (generation set here); returns its generation.
    std::uint64_t request(LiveRequest r);
    std::uint64_t latest() const { return latest_; }

    // Results delivered (curveReady), dropped as stale, runs made.
    int delivered() const { return delivered_; }
    int dropped() const { return dropped_; }
    int runsMade() const;
    // True when no run is busy or waiting and every result has been handled.
    bool idle() const;

signals:
    // The latest request's result, on the thread of the runner's owner.
    void curveReady(const wf::ui::LiveResult& result);

private:
    void work();
    void arrived(LiveResult result);

    RunFunction run_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<LiveRequest> waiting_;
    bool busy_ = false, stop_ = false;
    int runs_ = 0;
    int inFlight_ = 0;  // results posted and not yet handled
    std::uint64_t latest_ = 0;
    int delivered_ = 0, dropped_ = 0;
    std::thread thread_;
};

} // namespace wf::ui

Q_DECLARE_METATYPE(wf::ui::LiveResult)
