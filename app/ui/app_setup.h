// Process-wide settings of the program, made once after the QApplication exists,
// and the project named on the command line.
#pragma once

#include <QString>
#include <QStringList>

namespace wf::ui {

class TWellfit;

// Application title "Wellfit", numbers read and written with a decimal point
// whatever the user's locale, and the solver's progress window installed.
void setUpApplication();

// The project file a command-line argument names: a path, or a "file:" URL.
QString projectArgument(const QString& argument);
// `Wellfit PROJECT.wft` (as a file manager starts it): opens the project named
// by the first argument exactly as Open does with that file.
void openCommandLineProject(TWellfit& window, const QStringList& arguments);

} // namespace wf::ui
