#pragma once

#include <QByteArray>
#include <QList>

// A Wayland compositor ignores the positions that windows ask for, so the
// palettes and the text size window would not open below their buttons. On a
// Wayland desktop that also offers X11 (XWayland) the program therefore runs
// on X11, unless the user chose a platform with QT_QPA_PLATFORM or -platform.
namespace PlatformChoice {

struct Environment
{
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray display;        // DISPLAY
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
};

// The platform list to put into QT_QPA_PLATFORM, or empty to leave Qt's choice.
QByteArray choose(const Environment &environment, const QList<QByteArray> &arguments);

// Applies the choice to this process's environment; call before QApplication.
void apply(int argc, char **argv);

} // namespace PlatformChoice
