#include "ui/statusline.h"

#include <QAccessible>

#include "editor/view/accessibletextchanges.h"
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
    // A status that does not show is not heard, as of a window closing.
    if (announce == Announce::Yes && QAccessible::isActive() && isVisible())
        AccessibleTextChanges::send(this, 0, before, status);
}
