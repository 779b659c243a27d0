#include "progress_window.h"

#include <algorithm>
#include <cstdio>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "message_boxes.h"

namespace wf::ui {

namespace {

ProgressWindow* self(void* context) { return static_cast<ProgressWindow*>(context); }

bool onWindowThread(const ProgressWindow* w) { return QThread::currentThread() == w->thread(); }

void hostProgress(void* context, int32_t code, const char* text, const char* const* lines, int32_t count) {
    QStringList all;
    all.reserve(count);
    for (int32_t i = 0; i < count; ++i) all << QString::fromLocal8Bit(lines[i]);
    ProgressWindow* w = self(context);
    if (onWindowThread(w))
        w->applyProgress(code, QString::fromLocal8Bit(text), all);
    else
        w->progressFromWorker(code, QString::fromLocal8Bit(text), all);
}
void hostShowWindow(void* context) {
    ProgressWindow* w = self(context);
    if (onWindowThread(w))
        w->showForRun();
    else
        w->showForRunFromWorker();
}
int32_t hostPollCancel(void* context) { return self(context)->takeCancel() ? 1 : 0; }
void hostMessageBox(void* context, const char* caption, const char* text) {
    ProgressWindow* w = self(context);
    if (onWindowThread(w))
        w->showBox(QString::fromLocal8Bit(caption), QString::fromLocal8Bit(text));
    else
        w->showBoxFromWorker(QString::fromLocal8Bit(caption), QString::fromLocal8Bit(text));
}

} // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProgressReport"));
    setWindowTitle(QStringLiteral("Progress Report"));
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);
    // 402 x 121 dialog units of an 8-point font are about 600 x 200 pixels.
    resize(600, 200);
    move(0, 0);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List1001"));
    list_->setUniformItemSizes(true);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(okButton_, &QPushButton::clicked, this, &ProgressWindow::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::cancelClicked);
}

WfHost ProgressWindow::host() {
    WfHost h{};
    h.context = this;
    h.progress = hostProgress;
    h.showWindow = hostShowWindow;
    h.pollCancel = hostPollCancel;
    h.messageBox = hostMessageBox;
    return h;
}

void ProgressWindow::install() {
    const WfHost h = host();
    wfSetHost(&h);
}

void ProgressWindow::beginRun(QWidget* owner) {
    running_ = true;
    cancelRequested_ = false;  // a click before the run does not stop it
    errorBoxes_ = 0;
    lastPass_ = 0;
    passRaw_.clear();
    passCounted_.clear();
    owner_ = owner;
}

void ProgressWindow::endRun() {
    showPendingLines();  // the last lines of the run, before the window takes input again
    running_ = false;
    cancelRequested_ = false;
    owner_ = nullptr;
}

QString ProgressWindow::countedLine(const QString& line) {
    static const QRegularExpression pass(QStringLiteral("^(Iteration +)(\\d+|\\*+)(:.*)$"));
    const QRegularExpressionMatch m = pass.match(line);
    if (!m.hasMatch()) return line;
    bool number = false;
    const int n = m.captured(2).toInt(&number);
    lastPass_ = number ? n : lastPass_ + 1;
    passRaw_ = line;
    passCounted_ = number ? line : m.captured(1) + QString::number(lastPass_) + m.captured(3);
    return passCounted_;
}

void ProgressWindow::mirror(const QStringList& lines) {
    const int shown = list_->count();
    const int common = std::min(shown, static_cast<int>(lines.size()));
    int same = 0;
    while (same < common && list_->item(same)->text() == lines[same]) ++same;
    while (list_->count() > same) delete list_->takeItem(list_->count() - 1);
    for (int i = same; i < lines.size(); ++i) list_->addItem(lines[i]);
    list_->scrollToBottom();
}

namespace {

// The counted form of a pass line replaces its raw form in the list.
QStringList withCountedLine(QStringList lines, const QString& raw, const QString& counted) {
    if (raw != counted) std::replace(lines.begin(), lines.end(), raw, counted);
    return lines;
}

} // namespace

void ProgressWindow::applyProgress(int code, const QString& text, const QStringList& lines) {
    // The solver keeps the list and has already carried out the code; the
    // window only mirrors the result.
    const QString line = countedLine(text);
    mirror(withCountedLine(lines, passRaw_, passCounted_));
    // Every line also goes to the run log (standard output is the project's
    // log file while a run computes), so nothing the solver reported is lost.
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    if (code >= 0) {
        // The run keeps the thread busy: paint now, take no user input here.
        list_->repaint();
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void ProgressWindow::progressFromWorker(int, const QString& text, const QStringList& lines) {
    const QString line = countedLine(text);
    // The log line is written by the worker, inside the run's log redirection.
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    bool post = false;
    {
        const std::lock_guard<std::mutex> lock(pendingMutex_);
        pendingLines_ = withCountedLine(lines, passRaw_, passCounted_);
        post = pendingShown_;
        pendingShown_ = false;
    }
    if (post) QMetaObject::invokeMethod(this, [this] { showPendingLines(); }, Qt::QueuedConnection);
}

void ProgressWindow::showPendingLines() {
    QStringList lines;
    {
        const std::lock_guard<std::mutex> lock(pendingMutex_);
        if (pendingShown_) return;
        lines = pendingLines_;
        pendingShown_ = true;
    }
    mirror(lines);
}

void ProgressWindow::showForRunFromWorker() {
    QMetaObject::invokeMethod(this, [this] { showForRun(); }, Qt::BlockingQueuedConnection);
}

void ProgressWindow::showBoxFromWorker(const QString& caption, const QString& text) {
    // Lines listed before the box are shown before it.
    QMetaObject::invokeMethod(this, [this, caption, text] {
        showPendingLines();
        showBox(caption, text);
    }, Qt::BlockingQueuedConnection);
}

void ProgressWindow::showForRun() {
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ProgressWindow::takeCancel() {
    // On the window's own thread (a run computing there, or a direct call)
    // the waiting events are taken first; the worker of a run only reads the
    // flag that the window's thread sets. During a run every other window is
    // disabled, so the only input that reaches anything is this window's.
    if (QThread::currentThread() == thread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return cancelRequested_.exchange(false);
}

void ProgressWindow::showBox(const QString& caption, const QString& text) {
    std::fprintf(stdout, "[%s] %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    std::fflush(stdout);
    const bool error = caption == QLatin1String("Error");
    if (error) ++errorBoxes_;
    const QMessageBox::Icon icon = error ? QMessageBox::Critical : QMessageBox::Information;
    // The boxes belong to this window, except in the runs that do not show it
    // (mesh and preparation): those show them over the window that started the
    // run, which is disabled for the run and so is enabled while the modal box
    // is open.
    QWidget* owner = owner_ ? owner_.data() : static_cast<QWidget*>(this);
    const bool wasEnabled = owner->isEnabled();
    owner->setEnabled(true);
    showMessage(owner, icon, caption, text);
    owner->setEnabled(wasEnabled);
}

void ProgressWindow::reject() {
    // During a run Escape stops it only when it is aimed at "Cancel" (the
    // button has the focus), so that a key meant for another window does not
    // end a long fit.
    if (running_ && !cancelButton_->hasFocus()) return;
    cancelRequested_ = true;
}

void ProgressWindow::accept() {
    if (running_) return;
    if (list_->currentItem()) selectedText_ = list_->currentItem()->text();
    hide();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();  // the window stays while the run computes
        return;
    }
    hide();
    event->accept();
}

void ProgressWindow::cancelClicked() { cancelRequested_ = true; }

} // namespace wf::ui
