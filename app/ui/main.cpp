// Wellfit: analysis of pumping tests in a fractured confined aquifer.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "app_setup.h"
#include "document/project_document.h"
#include "screenshots.h"
#include "wellfit_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    wf::ui::setUpApplication();

    QCommandLineParser options;
    options.addHelpOption();
    options.addPositionalArgument(QStringLiteral("project"), QStringLiteral("Project file (.wft) to open."),
                                  QStringLiteral("[project]"));
    options.addVersionOption();
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Developer option: save pictures of the windows into <dir>."),
                                         QStringLiteral("dir"));
    const QCommandLineOption example(QStringLiteral("example"),
                                     QStringLiteral("Developer option: project folder used for the pictures."),
                                     QStringLiteral("folder"));
    options.addOption(screenshots);
    options.addOption(example);
    options.process(app);

    static wf::doc::ProjectDocument document;
    if (options.isSet(screenshots))
        return wf::ui::takeScreenshots(document, options.value(screenshots), options.value(example));

    wf::ui::TWellfit window(document);
    window.show();
    // Opened once the window is up, so that a message appears over it.
    const QStringList projects = options.positionalArguments();
    QTimer::singleShot(0, &window, [&window, projects] { wf::ui::openCommandLineProject(window, projects); });
    return app.exec();
}
