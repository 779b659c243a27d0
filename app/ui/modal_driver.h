// Answers the next modal dialog or message box from inside its event loop:
// the developer's screenshot option and the tests use it to drive the real
// dialogs of the program without a person at the keyboard.
#pragma once

#include <functional>

class QLineEdit;
class QWidget;

namespace wf::ui {

// Calls action(dialog) once, as soon as a modal window other than `ignore`
// (for instance an outer dialog that is already open) is shown.
// Gives up after timeoutMs milliseconds.
void whenModalShows(std::function<void(QWidget*)> action, QWidget* ignore = nullptr, int timeoutMs = 20000);

// Lets queued events and timers run for ms milliseconds.
void settle(int ms);
// A dialog's line edit by object name (null when it has none).
QLineEdit* dialogEdit(QWidget* dialog, const char* name);
// Clicks the dialog's "OK" ("OKBtn") or "Cancel" ("CancelBtn") button.
void pressOk(QWidget* dialog);
void pressCancel(QWidget* dialog);

} // namespace wf::ui
