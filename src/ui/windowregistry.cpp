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

QWidget *WindowRegistry::find(const QString &name) const
{
    return m_windows.value(name).data();
}

QStringList WindowRegistry::openWindows() const
{
    QStringList open;
    for (const QString &name : closingOrder()) {
        if (find(name))
            open.append(name);
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
    const QString name = WindowIds::name(id);
    if (QWidget *window = find(name)) {
        emit closing(name);
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

void WindowRegistry::release(QWidget *window)
{
    auto it = m_windows.find(window->objectName());
    if (it != m_windows.end() && it->data() == window)
        m_windows.erase(it);
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
