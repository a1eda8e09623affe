#include "app/windowregistry.h"

#include "app/mainwindow.h"

WindowRegistry::WindowRegistry(QObject *parent) : QObject(parent) {}

WindowRegistry::~WindowRegistry()
{
    // Windows have no parent; whatever is still alive at the end is ours to delete.
    for (const QPointer<QWidget> &window : std::as_const(m_windows))
        delete window.data();
}

const QStringList &WindowRegistry::closingOrder()
{
    static const QStringList order = {
        QStringLiteral("AboutHTML"),   QStringLiteral("AboutKorvaneTech"),
        QStringLiteral("addlinkform"), QStringLiteral("addtitle"),
        QStringLiteral("bgcolor"),     QStringLiteral("faqForm"),
        QStringLiteral("Form2"),       QStringLiteral("Form3"),
        QStringLiteral("Form4"),       QStringLiteral("fxform"),
        QStringLiteral("hlightcolor"), QStringLiteral("ipreview"),
        QStringLiteral("mform"),       QStringLiteral("openform"),
        QStringLiteral("piccomp"),     QStringLiteral("picinternet"),
        QStringLiteral("saveform"),    QStringLiteral("saveform2"),
        QStringLiteral("sform"),       QStringLiteral("sout"),
        QStringLiteral("splash"),      QStringLiteral("textcolor"),
        QStringLiteral("txtsize"),     QStringLiteral("Main"),
    };
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

Document &WindowRegistry::document()
{
    return window<Main>()->document();
}

void WindowRegistry::closeOtherWindows()
{
    for (const QString &name : closingOrder()) {
        QWidget *window = find(name);
        if (window && name != Main::windowName()) {
            emit closing(name);
            window->close();
        }
    }
}

void WindowRegistry::closeAllWindows()
{
    closeOtherWindows();
    if (QWidget *main = find(Main::windowName())) {
        emit closing(Main::windowName());
        main->close();
    }
}

void WindowRegistry::release(QWidget *window)
{
    auto it = m_windows.find(window->objectName());
    if (it != m_windows.end() && it->data() == window)
        m_windows.erase(it);
}

void WindowRegistry::bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
