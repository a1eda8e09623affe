#pragma once

#include <QString>

class QToolButton;

// Puts the picture `resource` (an SVG) on `button`. A picture drawn in
// currentColor takes the button-text colour of the button's palette, again
// whenever the palette changes, so that it stays readable on light and dark
// button faces; any other picture keeps its own colours.
namespace ToolbarPicture {

void apply(QToolButton *button, const QString &resource);

} // namespace ToolbarPicture
