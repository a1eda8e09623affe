#include "ui/dropdown.h"

#include <QWidget>

#include "ui/twips.h"

QPoint DropDown::belowButton(const QWidget &button)
{
    const QRect mainFrame = button.window()->frameGeometry();
    const int left = Twips::fromPixels(mainFrame.left()) + Twips::fromPixels(button.x());
    const int top = Twips::fromPixels(mainFrame.top()) + Twips::fromPixels(button.y()) + 1000;
    return Twips::point(left, top);
}

void DropDown::place(QWidget &window, const QWidget &button)
{
    // Without a title bar, move() places the window's outer corner.
    window.move(belowButton(button));
}
