#include "editor/view/accessibletextchanges.h"

#include <QAccessible>
#include <QWidget>

#include <algorithm>
#include <utility>

#include "editor/text/textmodel.h"

AccessibleTextChanges::AccessibleTextChanges(TextModel &model, QWidget *view)
    : QObject(view), m_model(model), m_view(view)
{
    connect(&model, &TextModel::aboutToChange, this, &AccessibleTextChanges::aboutToChange);
    connect(&model, &TextModel::changed, this, &AccessibleTextChanges::changed);
}

QString AccessibleTextChanges::head(const PieceTree &text, int start, int count)
{
    QString head = text.text(start, std::min(count, TextLimit + 1));
    if (head.size() > TextLimit)
        head.truncate(head.at(TextLimit).isLowSurrogate() ? TextLimit - 1 : TextLimit);
    return head;
}

void AccessibleTextChanges::aboutToChange(int start, int removed)
{
    // Read before the text goes; nothing is read while nobody listens.
    m_removed = QAccessible::isActive() ? head(m_model.text(), start, removed) : QString();
}

void AccessibleTextChanges::changed(int start, int removed, int added)
{
    const QString removedText = std::exchange(m_removed, QString());
    if (!QAccessible::isActive() || (removed == 0 && added == 0))
        return;
    send(m_view, start, removedText, head(m_model.text(), start, added));
}

void AccessibleTextChanges::send(QObject *object, int position, const QString &removed,
                                 const QString &inserted)
{
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(object, position, inserted);
        QAccessible::updateAccessibility(&event);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(object, position, removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(object, position, removed, inserted);
        QAccessible::updateAccessibility(&event);
    }
}
