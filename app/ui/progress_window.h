// The solver's progress window: "Progress Report" with its list, "OK" and "Cancel".
//
// The solver keeps the list itself; this window mirrors it through the host
// hook (wfSetHost) and owns the solver's "Error" and "Information" boxes.
#pragma once

#include <QDialog>
#include <QPointer>

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

    // A run starts or ends. While a run computes the window takes only a press
    // of the left mouse button on "Cancel"; "OK", the keys (Escape) and closing
    // the window do nothing. `owner`, given for the runs that do not show
    // this window (mesh and preparation), is the window that started the run:
    // the solver's message boxes then appear over it.
    void beginRun(QWidget* owner = nullptr);
    void endRun();
    bool running() const { return running_; }
    // "Error" boxes the solver showed since the run began.
    int errorBoxes() const { return errorBoxes_; }

    // Host operations (public so that they can be driven directly).
    void applyProgress(int code, const QString& text, const QStringList& lines);
    void showForRun();
    bool takeCancel();
    void showBox(const QString& caption, const QString& text);

    bool cancelRequested() const { return cancelRequested_; }
    QListWidget* list() const { return list_; }

    // The window's one text member bound to the list's selection, read back on OK.
    QString selectedText() const { return selectedText_; }

public slots:
    void reject() override;  // Escape or Cancel: only sets the flag
    void accept() override;  // OK: hides the window, the object stays

protected:
    void closeEvent(QCloseEvent* event) override;  // system menu: hide, like "OK"
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cancelClicked();

    QListWidget* list_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool cancelRequested_ = false;
    bool running_ = false;
    int errorBoxes_ = 0;
    QPointer<QWidget> owner_;
    QString selectedText_;
};

} // namespace wf::ui
