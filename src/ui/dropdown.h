#pragma once

#include <QPoint>

class QWidget;

// Small windows that belong to a toolbar button (the palettes and the text
// size window) open just below that button.
namespace DropDown {

// Where such a window opens, in pixels on the screen: the main window's outer
// top-left corner plus the button's place in the main window's client area,
// 1000 twips lower. No allowance is made for title bar, menu bar or borders,
// and the result is not kept on the screen.
QPoint belowButton(const QWidget &button);

// Moves `window`, which has no title bar, below `button`, from the positions
// of this moment.
void place(QWidget &window, const QWidget &button);

} // namespace DropDown
