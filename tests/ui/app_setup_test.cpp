// The process-wide names and the window icon that the desktop entry and the
// window manager match against the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSettings>

#include "app_setup.h"

namespace wf::uitest {
namespace {

TEST(ApplicationNames, MatchTheDesktopEntry) {
    // StartupWMClass=Wellfit is the X11 window class, which Qt takes from the
    // application name; on Wayland the app id is the desktop file name.
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Wellfit"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.wellfit.Wellfit"));
}

TEST(ApplicationNames, WindowIconDrawsWithoutAnIconTheme) {
    // The offscreen platform has no icon theme: the built-in picture is used.
    const QPixmap icon = QApplication::windowIcon().pixmap(32, 32);
    EXPECT_FALSE(icon.isNull());
}

} // namespace
} // namespace wf::uitest
