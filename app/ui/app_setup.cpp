#include "app_setup.h"

#include <clocale>

#include <QApplication>

#include "solver_call.h"
#include "wellfit_version.h"

namespace wf::ui {

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Wellfit"));
    QApplication::setApplicationDisplayName(QStringLiteral("Wellfit"));
    QApplication::setApplicationVersion(QStringLiteral(WELLFIT_VERSION));
    // The side files and dialog fields use the decimal point; QApplication
    // takes the user's locale, so the numeric part is set back.
    std::setlocale(LC_NUMERIC, "C");
    progressWindow();
}

} // namespace wf::ui
