#include "message_boxes.h"

namespace wf::ui {

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

void showError(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::Critical, QStringLiteral("Error"), text);
}

void showPlain(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::NoIcon, QStringLiteral("Wellfit"), text);
}

} // namespace wf::ui
