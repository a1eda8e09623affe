#include "ui/statusline.h"

#include <QAccessible>

#include "ui/accessibility.h"

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    // A message may quote what the user typed: never read it as markup.
    setTextFormat(Qt::PlainText);
    Accessibility::install();
}

void StatusLine::setStatus(const QString &status, Announce announce)
{
    const QString before = text();
    if (status == before)
        return;
    setText(status);
    setToolTip(status);
    if (announce == Announce::Yes)
        sendChange(before, status);
}

void StatusLine::sendChange(const QString &before, const QString &after)
{
    // A status that does not show is not heard, as of a window closing.
    if (!QAccessible::isActive() || !isVisible())
        return;
    // Each with the event class its type is documented with: bridges read
    // the texts from it.
    if (before.isEmpty()) {
        QAccessibleTextInsertEvent event(this, 0, after);
        QAccessible::updateAccessibility(&event);
    } else if (after.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, 0, before);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, 0, before, after);
        QAccessible::updateAccessibility(&event);
    }
}
