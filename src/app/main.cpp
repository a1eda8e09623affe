#include <QApplication>

#include "app/platformchoice.h"
#include "app/splash.h"
#include "ui/windowregistry.h"

int main(int argc, char *argv[])
{
    PlatformChoice::apply(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagloom"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("tagloom"));

    WindowRegistry windows;
    windows.show<Splash>();
    return QApplication::exec();
}
