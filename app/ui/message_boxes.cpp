#include "message_boxes.h"

#include <exception>

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace wf::ui {

int captionRoom(const QString& caption) {
    // The caption's text in the title-bar font, plus the frame's icon and buttons.
    const QFontMetrics fm(QApplication::font("QMdiSubWindowTitleBar"));
    return fm.horizontalAdvance(caption) + kCaptionFrame;
}

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    // A box with a short text would be narrower than its caption, and the
    // window frame would cut the caption.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionRoom(caption), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

void showError(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void showPlain(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::NoIcon, QStringLiteral("Wellfit"), text);
}

void guarded(QWidget* parent, const QString& command, const std::function<void()>& handler) {
    QString failure;
    try {
        handler();
        return;
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failure = QStringLiteral("an unexpected failure");
    }
    showError(parent, QStringLiteral("%1 could not be completed: %2").arg(command, failure));
}

} // namespace wf::ui
