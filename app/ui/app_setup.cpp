#include "app_setup.h"

#include <clocale>

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QUrl>

#include "solver_call.h"
#include "wellfit_window.h"
#include "wellfit_version.h"

namespace wf::ui {

void setApplicationNames() {
    // The application title. No display name: Qt would append it to every
    // window caption, and the captions are exactly those of the windows.
    QCoreApplication::setApplicationName(QStringLiteral("Wellfit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WELLFIT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(WELLFIT_APP_ID));
}

void setUpApplication() {
    setApplicationNames();
    // The installed icon of the theme, else the same picture built into the program.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(WELLFIT_APP_ID), QIcon(QStringLiteral(":/wellfit/wellfit.svg"))));
    // The side files and dialog fields use the decimal point; QApplication
    // takes the user's locale, so the numeric part is set back.
    std::setlocale(LC_NUMERIC, "C");
    progressWindow();
}

ProgramOptions addProgramOptions(QCommandLineParser& parser) {
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("Project file (.wft) to open."),
                                 QStringLiteral("[project]"));
    parser.addVersionOption();
    ProgramOptions names{
        QCommandLineOption(QStringLiteral("screenshots"),
                           QStringLiteral("Developer option: save pictures of the windows into <dir>."),
                           QStringLiteral("dir")),
        QCommandLineOption(QStringLiteral("example"),
                           QStringLiteral("Developer option: project folder used for the pictures."),
                           QStringLiteral("folder"))};
    parser.addOption(names.screenshots);
    parser.addOption(names.example);
    return names;
}

void answerWithoutDisplay(int& argc, char** argv) {
    // A plain QCoreApplication needs no platform plugin. The options of the
    // window system (-platform, -style ...) are unknown to it, so a parse error
    // here is left to the QApplication's own parse.
    QCoreApplication probe(argc, argv);
    setApplicationNames();
    QCommandLineParser parser;
    addProgramOptions(parser);
    parser.parse(probe.arguments());
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
}

QString projectArgument(const QString& argument) {
    // File managers pass a path, or a file URL when they are asked for one.
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return argument;
}

void openCommandLineProject(TWellfit& window, const QStringList& arguments) {
    if (arguments.isEmpty()) return;
    window.openChosen(projectArgument(arguments.first()));
}

} // namespace wf::ui
