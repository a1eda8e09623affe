#include "ui/multilinebox.h"

#include <QKeyEvent>
#include <QTextCursor>

MultiLineBox::MultiLineBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

namespace {

QString withLineFeeds(QString text)
{
    // The raw text keeps no-break spaces; only the paragraph breaks need converting.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

QString MultiLineBox::text() const
{
    return withLineFeeds(document()->toRawText());
}

QString MultiLineBox::selectedText() const
{
    return withLineFeeds(textCursor().selectedText());
}

void MultiLineBox::keyPressEvent(QKeyEvent *event)
{
    // Shift+Enter would put a U+2028 line separator into the page; a page knows
    // only plain line breaks.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
