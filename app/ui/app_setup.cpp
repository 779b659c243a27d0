#include "app_setup.h"

#include <clocale>

#include <QApplication>
#include <QUrl>

#include "solver_call.h"
#include "wellfit_window.h"
#include "wellfit_version.h"

namespace wf::ui {

void setUpApplication() {
    // The application title. No display name: Qt would append it to every
    // window caption, and the captions are exactly those of the windows.
    QApplication::setApplicationName(QStringLiteral("Wellfit"));
    QApplication::setApplicationVersion(QStringLiteral(WELLFIT_VERSION));
    // The side files and dialog fields use the decimal point; QApplication
    // takes the user's locale, so the numeric part is set back.
    std::setlocale(LC_NUMERIC, "C");
    progressWindow();
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
