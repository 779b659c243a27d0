// Wellfit: analysis of pumping tests in a fractured confined aquifer.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "app_setup.h"
#include "document/project_document.h"
#include "screenshots.h"
#include "wellfit_window.h"

int main(int argc, char** argv) {
    // --help and --version (and a wrong option) are answered before the window
    // system is opened, so that they work on a machine without a display.
    wf::ui::answerWithoutDisplay(argc, argv);

    QApplication app(argc, argv);
    wf::ui::setUpApplication();

    QCommandLineParser options;
    const wf::ui::ProgramOptions names = wf::ui::addProgramOptions(options);
    options.process(app);

    static wf::doc::ProjectDocument document;
    if (options.isSet(names.screenshots))
        return wf::ui::takeScreenshots(document, options.value(names.screenshots), options.value(names.example));

    wf::ui::TWellfit window(document);
    window.show();
    // Opened once the window is up, so that a message appears over it.
    const QStringList projects = options.positionalArguments();
    QTimer::singleShot(0, &window, [&window, projects] { wf::ui::openCommandLineProject(window, projects); });
    return app.exec();
}
