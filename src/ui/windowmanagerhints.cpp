#include "ui/windowmanagerhints.h"

#include <QGuiApplication>
#include <QList>
#include <QWidget>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace WindowManagerHints {

namespace {

// The Motif window manager hints, as every X11 window manager reads them.
enum : quint32 {
    MwmHintsFunctions = 1 << 0,
    MwmHintsDecorations = 1 << 1,

    MwmFuncMove = 1 << 2,
    MwmFuncMinimize = 1 << 3,
    MwmFuncClose = 1 << 5,

    MwmDecorBorder = 1 << 1,
    MwmDecorTitle = 1 << 3,
    MwmDecorMenu = 1 << 4,
    MwmDecorMinimize = 1 << 5,
};

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, false, quint16(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

QList<xcb_atom_t> atoms(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    QList<xcb_atom_t> list;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, false, window, property, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        list = QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return list;
}

void setAtoms(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
              const QList<xcb_atom_t> &list)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        quint32(list.size()), list.constData());
}

} // namespace

void apply(QWidget &window, const Request &request)
{
    // The offscreen platform answers for X11 too, without a connection.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection)
        return;
    const auto id = xcb_window_t(window.winId());

    // Qt marks a window without a frame as an override, which some window
    // managers keep out of the taskbar; the palettes belong in it.
    QList<xcb_atom_t> types{atom(connection, "_NET_WM_WINDOW_TYPE_NORMAL")};
    if (request.kind == Kind::Utility)
        types.prepend(atom(connection, "_NET_WM_WINDOW_TYPE_UTILITY"));
    else if (request.kind == Kind::Splash)
        types.prepend(atom(connection, "_NET_WM_WINDOW_TYPE_SPLASH"));
    setAtoms(connection, id, atom(connection, "_NET_WM_WINDOW_TYPE"), types);

    // Without a title bar the user neither moves nor closes the window through
    // decorations; a fixed size leaves nothing to resize or maximize.
    quint32 functions = 0;
    quint32 decorations = 0;
    QList<xcb_atom_t> actions;
    if (request.titleBar) {
        decorations |= MwmDecorBorder | MwmDecorTitle;
        functions |= MwmFuncMove;
        actions.append(atom(connection, "_NET_WM_ACTION_MOVE"));
        if (request.systemMenu)
            decorations |= MwmDecorMenu;
        if (request.minimizeButton) {
            decorations |= MwmDecorMinimize;
            functions |= MwmFuncMinimize;
            actions.append(atom(connection, "_NET_WM_ACTION_MINIMIZE"));
        }
        if (request.closeBox) {
            functions |= MwmFuncClose;
            actions.append(atom(connection, "_NET_WM_ACTION_CLOSE"));
        }
    }
    const xcb_atom_t motif = atom(connection, "_MOTIF_WM_HINTS");
    const quint32 hints[5] = {MwmHintsFunctions | MwmHintsDecorations, functions, decorations, 0,
                              0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, 5, hints);

    // The window manager keeps this list once it manages the window; one that
    // does not finds the window's own.
    setAtoms(connection, id, atom(connection, "_NET_WM_ALLOWED_ACTIONS"), actions);

    // Before the window is mapped its state is its own to set; Qt adds to it.
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    QList<xcb_atom_t> states = atoms(connection, id, state);
    states.removeAll(skipTaskbar);
    if (!request.taskbarButton)
        states.append(skipTaskbar);
    setAtoms(connection, id, state, states);

    xcb_flush(connection);
}

} // namespace WindowManagerHints
