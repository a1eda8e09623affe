#include "markup/dropdown.h"

#include <QWidget>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"

QPoint DropDown::belowButton(const QWidget &button)
{
    const QRect mainFrame = button.window()->frameGeometry();
    const int left = Twips::fromPixels(mainFrame.left()) + Twips::fromPixels(button.x());
    const int top = Twips::fromPixels(mainFrame.top()) + Twips::fromPixels(button.y()) + 1000;
    return Twips::point(left, top);
}

void DropDown::place(QWidget &window, const WindowRegistry &registry, const QString &buttonName)
{
    const Main *main = registry.find<Main>();
    const QWidget *button = main ? main->findChild<QWidget *>(buttonName) : nullptr;
    // Without a title bar, move() places the client area itself.
    if (button)
        window.move(belowButton(*button));
}
