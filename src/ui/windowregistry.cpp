#include "ui/windowregistry.h"

#include "editor/document.h"

WindowRegistry::WindowRegistry(QObject *parent) : QObject(parent) {}

WindowRegistry::~WindowRegistry()
{
    // Windows have no parent; whatever is still alive at the end is ours to delete.
    for (const QPointer<QWidget> &window : std::as_const(m_windows))
        delete window.data();
}

QStringList WindowRegistry::closingOrder()
{
    QStringList order;
    for (int id = 0; id < WindowIds::Count; ++id)
        order.append(WindowIds::name(WindowId(id)));
    return order;
}

QStringList WindowRegistry::openWindows() const
{
    QStringList open;
    for (int id = 0; id < WindowIds::Count; ++id) {
        if (find(WindowId(id)))
            open.append(WindowIds::name(WindowId(id)));
    }
    return open;
}

Document &WindowRegistry::document() const
{
    // Every other window closes before the main window, so a window that
    // writes into the page always finds it.
    Q_ASSERT(m_document);
    return *m_document;
}

void WindowRegistry::setDocument(Document *document)
{
    m_document = document;
}

void WindowRegistry::close(WindowId id)
{
    if (QWidget *window = find(id)) {
        emit closing(WindowIds::name(id));
        window->close();
    }
}

void WindowRegistry::closeOtherWindows()
{
    for (int id = 0; id < int(WindowId::Main); ++id)
        close(WindowId(id));
}

void WindowRegistry::closeAllWindows()
{
    closeOtherWindows();
    close(WindowId::Main);
}

void WindowRegistry::release(WindowId id, const QWidget *window)
{
    // A window closing late must not take the place of a fresh one.
    QPointer<QWidget> &slot = m_windows[std::size_t(id)];
    if (slot == window)
        slot.clear();
}

void WindowRegistry::bringToFront(QWidget *window)
{
    // A window manager may give a window a minimize button it did not ask
    // for, and a tool window has no taskbar button to get it back by.
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
