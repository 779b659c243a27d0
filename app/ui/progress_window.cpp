#include "progress_window.h"

#include <algorithm>
#include <cstdio>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "message_boxes.h"

namespace wf::ui {

namespace {

ProgressWindow* self(void* context) { return static_cast<ProgressWindow*>(context); }

void hostProgress(void* context, int32_t code, const char* text, const char* const* lines, int32_t count) {
    QStringList all;
    all.reserve(count);
    for (int32_t i = 0; i < count; ++i) all << QString::fromLocal8Bit(lines[i]);
    self(context)->applyProgress(code, QString::fromLocal8Bit(text), all);
}
void hostShowWindow(void* context) { self(context)->showForRun(); }
int32_t hostPollCancel(void* context) { return self(context)->takeCancel() ? 1 : 0; }
void hostMessageBox(void* context, const char* caption, const char* text) {
    self(context)->showBox(QString::fromLocal8Bit(caption), QString::fromLocal8Bit(text));
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
    owner_ = owner;
    QCoreApplication::instance()->installEventFilter(this);
}

void ProgressWindow::endRun() {
    QCoreApplication::instance()->removeEventFilter(this);
    running_ = false;
    cancelRequested_ = false;
    owner_ = nullptr;
}

bool ProgressWindow::eventFilter(QObject* watched, QEvent* event) {
    // Only while a run computes: events aimed at this window (not at the
    // message boxes it owns, which are windows of their own).
    if (!running_ || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The press is consumed here and does not reach the button.
        if (mouse->button() == Qt::LeftButton && watched == cancelButton_) cancelRequested_ = true;
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    case QEvent::Close:
        event->ignore();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void ProgressWindow::applyProgress(int code, const QString& text, const QStringList& lines) {
    // The solver keeps the list and has already carried out the code; the
    // window only mirrors the result: an appended line, a replaced last line,
    // or (after a clear) the whole list anew.
    const int shown = list_->count();
    const int common = std::min(shown, static_cast<int>(lines.size()));
    int same = 0;
    while (same < common && list_->item(same)->text() == lines[same]) ++same;
    while (list_->count() > same) delete list_->takeItem(list_->count() - 1);
    for (int i = same; i < lines.size(); ++i) list_->addItem(lines[i]);
    // Every line also goes to the run log (standard output is the project's
    // log file while a run computes), so nothing the solver reported is lost.
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    list_->scrollToBottom();
    if (code >= 0) {
        // The run keeps the thread busy: paint now, take no user input here.
        list_->repaint();
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void ProgressWindow::showForRun() {
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ProgressWindow::takeCancel() {
    // During a run every other window is disabled, so the only input that can
    // reach anything here is a click on this window's buttons.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    const bool requested = cancelRequested_;
    cancelRequested_ = false;
    return requested;
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

void ProgressWindow::reject() { cancelRequested_ = true; }

void ProgressWindow::accept() {
    if (running_) return;
    if (list_->currentItem()) selectedText_ = list_->currentItem()->text();
    hide();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    hide();
    event->accept();
}

void ProgressWindow::cancelClicked() { cancelRequested_ = true; }

} // namespace wf::ui
