// The solver's progress window: "Progress Report" with its list, "OK" and "Cancel".
//
// The solver keeps the list itself; this window mirrors it through the host
// hook (wfSetHost) and owns the solver's "Error" and "Information" boxes.
#pragma once

#include <atomic>
#include <mutex>

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "wfcore/wfcore.h"

class QListWidget;
class QPushButton;

namespace wf::ui {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // The host functions that route the solver's calls to this window.
    WfHost host();
    // Installs this window as the solver's host.
    void install();

    // A run starts or ends. The solver computes on a worker thread while this
    // window takes its events as usual: "Cancel" (a click, or Escape, Enter
    // or Space while the button has the focus) asks the run to stop after the
    // current pass; "OK" and closing the window do nothing until the run
    // ends. `owner`, given for the runs that do not show this window (mesh
    // and preparation), is the window that started the run: the solver's
    // message boxes then appear over it.
    void beginRun(QWidget* owner = nullptr);
    void endRun();
    bool running() const { return running_; }
    // "Error" boxes the solver showed since the run began.
    int errorBoxes() const { return errorBoxes_; }

    // Host operations (public so that they can be driven directly). Called on
    // the window's own thread they act at once; the solver's worker thread
    // goes through the host functions, which hand them to this thread.
    void applyProgress(int code, const QString& text, const QStringList& lines);
    void showForRun();
    bool takeCancel();
    void showBox(const QString& caption, const QString& text);

    // The worker's side of the host: the latest list is kept and shown by the
    // window's thread at its next turn (lines that follow faster than they
    // can be painted are shown together); window and boxes block the worker
    // until the window's thread has carried them out.
    void progressFromWorker(int code, const QString& text, const QStringList& lines);
    void showForRunFromWorker();
    void showBoxFromWorker(const QString& caption, const QString& text);

    bool cancelRequested() const { return cancelRequested_; }
    QListWidget* list() const { return list_; }

    // The window's one text member bound to the list's selection, read back on OK.
    QString selectedText() const { return selectedText_; }

public slots:
    void reject() override;  // Escape: only sets the flag (during a run: when "Cancel" has the focus)
    void accept() override;  // OK: hides the window, the object stays

protected:
    void closeEvent(QCloseEvent* event) override;  // system menu: hide, like "OK" (not during a run)

private:
    void cancelClicked();
    // Shows the solver's list: an appended line, a replaced last line, or
    // (after a clear) the whole list anew.
    void mirror(const QStringList& lines);
    void showPendingLines();
    // The pass counter of "Iteration nnn:" lines: a pass beyond 999 comes as
    // "Iteration ***" from the solver's three-digit field and is shown with
    // its number.
    QString countedLine(const QString& line);

    QListWidget* list_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::atomic<bool> cancelRequested_{false};
    std::mutex pendingMutex_;
    QStringList pendingLines_;
    bool pendingShown_ = true;  // no list waits to be shown
    int lastPass_ = 0;
    QString passRaw_;      // the last pass line as the solver wrote it
    QString passCounted_;  // and as it is shown
    bool running_ = false;
    int errorBoxes_ = 0;
    QPointer<QWidget> owner_;
    QString selectedText_;
};

} // namespace wf::ui
