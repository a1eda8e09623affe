#include "app/platformchoice.h"

#include <QtGlobal>

QByteArray PlatformChoice::choose(const Environment &environment,
                                  const QList<QByteArray> &arguments)
{
    if (environment.waylandDisplay.isEmpty() || environment.display.isEmpty() ||
        !environment.qpaPlatform.isEmpty())
        return {};
    // Qt reads "-platform" and "--platform" alike.
    for (const QByteArray &argument : arguments) {
        if (argument == "-platform" || argument == "--platform")
            return {};
    }
    // Should XWayland refuse the connection, Qt falls back to Wayland.
    return QByteArrayLiteral("xcb;wayland");
}

void PlatformChoice::apply(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const QByteArray platform = choose(
        {qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")}, arguments);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
