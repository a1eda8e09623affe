#include "editor/document.h"

#include <QAbstractUndoItem>
#include <QTextCursor>

#include "editor/sourcebox.h"

namespace {

// Closes a command's undo step. Without it, typing right after a command's
// inserted text would merge into the command's step.
class CommandBoundary : public QAbstractUndoItem
{
public:
    void undo() override {}
    void redo() override {}
};

} // namespace

Document::Document(QWidget *container) : QObject(container), m_box(new SourceBox(container))
{
    connect(m_box, &SourceBox::filesDropped, this, &Document::filesDropped);
}

QWidget *Document::widget() const
{
    return m_box;
}

void Document::insertFragment(const QString &fragment)
{
    QTextCursor cursor = m_box->textCursor();
    if (fragment.isEmpty() && !cursor.hasSelection())
        return;
    cursor.beginEditBlock();
    cursor.insertText(fragment);
    finishCommand(cursor);
}

void Document::wrapSelection(const QString &open, const QString &close)
{
    QTextCursor cursor = m_box->textCursor();
    if (open.isEmpty() && close.isEmpty()) {
        cursor.clearSelection();
        m_box->setTextCursor(cursor);
        return;
    }
    // Inserting the two tags around the selection leaves the same text as
    // replacing S by open + S + close, without copying S: a selection of a
    // whole large page costs no more than an empty one.
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    cursor.beginEditBlock();
    cursor.setPosition(end);
    cursor.insertText(close);
    cursor.setPosition(start);
    cursor.insertText(open);
    cursor.setPosition(end + open.size() + close.size());
    finishCommand(cursor);
}

void Document::finishCommand(QTextCursor &cursor)
{
    m_box->document()->appendUndoItem(new CommandBoundary);
    cursor.endEditBlock();
    m_box->setTextCursor(cursor);
}

QString Document::selectedText() const
{
    return m_box->selectedText();
}

QString Document::text() const
{
    return m_box->text();
}

void Document::setText(const QString &text)
{
    m_box->setPlainText(text);
    QTextCursor cursor = m_box->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_box->setTextCursor(cursor);
}

void Document::setPage(const QString &text, const PageFormat &format)
{
    setText(text);
    m_format = format;
    setUnmodified();
}

int Document::caretPosition() const
{
    return m_box->textCursor().position();
}

int Document::selectionStart() const
{
    return m_box->textCursor().selectionStart();
}

int Document::selectionLength() const
{
    const QTextCursor cursor = m_box->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void Document::select(int start, int length)
{
    QTextCursor cursor = m_box->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    m_box->setTextCursor(cursor);
}

bool Document::isModified() const
{
    return m_box->document()->isModified();
}

void Document::setUnmodified()
{
    m_box->document()->setModified(false);
}

void Document::undo()
{
    m_box->undo();
}

void Document::redo()
{
    m_box->redo();
}
