// Process-wide settings of the program, made once after the QApplication exists.
#pragma once

namespace wf::ui {

// Application title "Wellfit", numbers read and written with a decimal point
// whatever the user's locale, and the solver's progress window installed.
void setUpApplication();

} // namespace wf::ui
