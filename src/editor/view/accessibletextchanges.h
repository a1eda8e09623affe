#pragma once

#include <QObject>
#include <QString>

class PieceTree;
class TextModel;
class QWidget;

// Tells assistive technology of every change of a text view's text, with the
// event class Qt documents for it: an insertion, a removal, or a replacement
// carrying both texts. Bridges read those texts from the event, so a plain
// event of these types must never be sent.
class AccessibleTextChanges : public QObject
{
    Q_OBJECT

public:
    // At most this much of an inserted or removed text goes with its event:
    // a screen reader speaks no more of a change than a line piece it reads
    // at once, and a whole page would put megabytes on the bus at every
    // opening, Replace All or Select All and Delete. A change of more is sent
    // with its first characters only, not parting a surrogate pair.
    static constexpr int TextLimit = 1024;

    AccessibleTextChanges(TextModel &model, QWidget *view);

    // The first TextLimit characters of [start, start + count), whole characters only.
    static QString head(const PieceTree &text, int start, int count);
    // Tells that `removed` at `position` of `object`'s text became
    // `inserted`, in the event class for the kind of change.
    static void send(QObject *object, int position, const QString &removed,
                     const QString &inserted);

private:
    void aboutToChange(int start, int removed);
    void changed(int start, int removed, int added);

    TextModel &m_model;
    QWidget *m_view;
    QString m_removed; // the head of the text being replaced, while a listener is there
};
