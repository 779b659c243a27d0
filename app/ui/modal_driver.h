// Answers the next modal dialog or message box from inside its event loop:
// the developer's screenshot option and the tests use it to drive the real
// dialogs of the program without a person at the keyboard.
#pragma once

#include <functional>

class QWidget;

namespace wf::ui {

// Calls action(dialog) once, as soon as a modal window other than `ignore`
// (for instance an outer dialog that is already open) is shown.
// Gives up after timeoutMs milliseconds.
void whenModalShows(std::function<void(QWidget*)> action, QWidget* ignore = nullptr, int timeoutMs = 20000);

} // namespace wf::ui
