// Process-wide settings of the program, made once after the QApplication exists,
// its command-line options, and the project named on the command line.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace wf::ui {

class TWellfit;

// Application name "Wellfit" (also the window class on X11, StartupWMClass of
// the desktop entry), version, and the desktop file name (the window's app id
// on Wayland). Usable before any window system is opened.
void setApplicationNames();

// The names above, the window icon, numbers read and written with a decimal
// point whatever the user's locale, and the solver's progress window installed.
void setUpApplication();

// The developer options of the program beyond --help, --version and [project].
struct ProgramOptions {
    QCommandLineOption screenshots;
    QCommandLineOption example;
};
// Adds every option and the project argument to the parser.
ProgramOptions addProgramOptions(QCommandLineParser& parser);

// `Wellfit --help` and `Wellfit --version`: prints the answer and ends the
// program, without opening the window system (on a machine without a display).
// Returns when neither is asked for.
void answerWithoutDisplay(int& argc, char** argv);

// The project file a command-line argument names: a path, or a "file:" URL.
QString projectArgument(const QString& argument);
// `Wellfit PROJECT.wft` (as a file manager starts it): opens the project named
// by the first argument exactly as Open does with that file.
void openCommandLineProject(TWellfit& window, const QStringList& arguments);

} // namespace wf::ui
