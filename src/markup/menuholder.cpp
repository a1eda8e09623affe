#include "markup/menuholder.h"

#include <QMenu>
#include <QMouseEvent>
#include <QWindow>

#include "ui/twips.h"

MenuHolder::MenuHolder(WindowRegistry &registry, WindowId id)
    : Window(registry, id, WindowIds::name(id), Border::Sizable, 4680, 3195),
      m_menu(new QMenu(QStringLiteral("file"), this))
{
    m_menu->setObjectName(QStringLiteral("f"));
    m_menu->installEventFilter(this);
}

QAction *MenuHolder::newEntry(const char *name, const QString &caption)
{
    QAction *entry = m_menu->addAction(caption);
    entry->setObjectName(QString::fromLatin1(name));
    return entry;
}

void MenuHolder::popUp(QWidget *button)
{
    // The menu belongs to the main window while it is up, so that the window
    // system places it against that window and not against this hidden one.
    m_menu->winId();
    if (QWindow *menuWindow = m_menu->windowHandle())
        menuWindow->setTransientParent(button->window()->windowHandle());

    const QPoint lowerLeft(button->x(), button->y() + button->height());
    m_menu->exec(button->parentWidget()->mapToGlobal(lowerLeft));
}

bool MenuHolder::eventFilter(QObject *watched, QEvent *event)
{
    // Entries are chosen with the left mouse button only; other buttons do
    // nothing over the menu, and outside it they still dismiss it.
    if (watched == m_menu &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton &&
            m_menu->rect().contains(mouse->position().toPoint()))
            return true;
    }
    return Window::eventFilter(watched, event);
}
