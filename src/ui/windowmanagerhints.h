#pragma once

class QWidget;

// What a window asks of an X11 window manager, through every hint one reads:
// the window type, the Motif hints for the title bar, its buttons and the
// things the user may do with the window, the allowed actions, and whether
// the window has a taskbar button. Qt's own hints let a window manager add
// minimize and maximize buttons that a window should not have. Other
// platforms take the window flags alone.
namespace WindowManagerHints {

enum class Kind {
    Normal,
    Utility, // a small tool window that belongs to the program
    Splash,
};

struct Request
{
    Kind kind;
    bool titleBar; // without one, the window manager draws no border either
    bool systemMenu;
    bool minimizeButton;
    bool closeBox;
    bool taskbarButton;
};

// Sets the hints on `window`, which is created but not yet shown.
void apply(QWidget &window, const Request &request);

} // namespace WindowManagerHints
