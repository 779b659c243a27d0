// The program's message boxes: a caption, a text and one "OK" button.
#pragma once

#include <QMessageBox>
#include <QString>

namespace wf::ui {

// Shows a modal box and returns when the user closes it.
void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);
// "Error" box.
void showError(QWidget* parent, const QString& text);
// A plain box captioned with the application title ("Wellfit").
void showPlain(QWidget* parent, const QString& text);

} // namespace wf::ui
