#include "modal_driver.h"

#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace wf::ui {

void whenModalShows(std::function<void(QWidget*)> action, QWidget* ignore, int timeoutMs) {
    auto timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action = std::move(action), ignore, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != ignore && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QLineEdit* dialogEdit(QWidget* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

void pressOk(QWidget* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click(); }

void pressCancel(QWidget* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click(); }

} // namespace wf::ui
