#include "editor/sourcebox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

SourceBox::SourceBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("htmlsource"));
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

// The local files among dropped or pasted data, in their order.
QStringList localFiles(const QMimeData *source)
{
    QStringList paths;
    for (const QUrl &url : source->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

QString SourceBox::text() const
{
    return withLineFeeds(document()->toRawText());
}

QString SourceBox::selectedText() const
{
    return withLineFeeds(textCursor().selectedText());
}

void SourceBox::keyPressEvent(QKeyEvent *event)
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

bool SourceBox::canInsertFromMimeData(const QMimeData *source) const
{
    return !localFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void SourceBox::insertFromMimeData(const QMimeData *source)
{
    // Files are the program's to handle; pasted as text they would be their
    // file: addresses. During a drop the caret stands at the drop point.
    const QStringList paths = localFiles(source);
    if (paths.isEmpty())
        QPlainTextEdit::insertFromMimeData(source);
    else
        emit filesDropped(paths, textCursor().position());
}
