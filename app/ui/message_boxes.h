// The program's message boxes: a caption, a text and one "OK" button.
#pragma once

#include <functional>

#include <QMessageBox>
#include <QString>

namespace wf::ui {

// Room for a window frame's icon and buttons beside the caption text, in pixels.
inline constexpr int kCaptionFrame = 160;
// The width a window needs so that its frame shows the whole caption.
int captionRoom(const QString& caption);

// Shows a modal box and returns when the user closes it.
void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);
// "Error" box.
void showError(QWidget* parent, const QString& text);
// A plain box captioned with the application title ("Wellfit").
void showPlain(QWidget* parent, const QString& text);

// Runs a command's handler. A failure that escapes it (an exception of the
// file system or the streams) is shown in an "Error" box naming the command,
// and the program carries on with the document as the handler left it.
void guarded(QWidget* parent, const QString& command, const std::function<void()>& handler);

} // namespace wf::ui
