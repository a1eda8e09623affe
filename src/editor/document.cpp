#include "editor/document.h"

#include "editor/sourcebox.h"

Document::Document(QWidget *container)
    : QObject(container), m_box(new SourceBox(container)), m_model(m_box->model())
{
    connect(m_box, &SourceBox::filesDropped, this, &Document::filesDropped);
    connect(&m_model, &TextModel::editRefused, this, &Document::editRefused);
}

QWidget *Document::widget() const
{
    return m_box;
}

void Document::insertFragment(const QString &fragment)
{
    if (fragment.isEmpty() && !m_model.hasSelection())
        return;
    m_model.closeTyping();
    m_model.replaceSelection(fragment);
    m_model.closeTyping();
}

void Document::wrapSelection(const QString &open, const QString &close)
{
    const int start = m_model.selectionStart();
    const int end = m_model.selectionEnd();
    m_model.closeTyping();
    if (!m_model.allowsEdit(0, open.size() + close.size()))
        return;
    if (open.isEmpty() && close.isEmpty()) {
        m_model.setSelection(m_model.caret(), m_model.caret());
        return;
    }
    // A short selection is replaced by open + S + close, one change for the
    // view to follow; a long one gets the two tags inserted around it, which
    // leaves the same text without copying S.
    m_model.beginStep();
    if (end - start <= ShortSelection) {
        m_model.replace(start, end - start, open + m_model.selectedText() + close);
    } else {
        m_model.replace(end, 0, close);
        m_model.replace(start, 0, open);
    }
    const int caret = end + int(open.size() + close.size());
    m_model.setSelection(caret, caret);
    m_model.endStep();
    m_model.closeTyping();
}

QString Document::selectedText() const
{
    return m_model.selectedText();
}

QString Document::text() const
{
    return m_model.text().text();
}

int Document::length() const
{
    return m_model.length();
}

void Document::readText(const std::function<void(QStringView)> &chunk) const
{
    m_model.text().read(0, m_model.length(), chunk);
}

void Document::setText(const QString &text)
{
    m_model.setText(text);
}

void Document::setPage(const QString &text, const PageFormat &format)
{
    if (!m_model.setText(text))
        return;
    m_format = format;
    setUnmodified();
}

int Document::caretPosition() const
{
    return m_model.caret();
}

int Document::selectionStart() const
{
    return m_model.selectionStart();
}

int Document::selectionLength() const
{
    return m_model.selectionEnd() - m_model.selectionStart();
}

void Document::select(int start, int length)
{
    m_model.closeTyping();
    m_model.setSelection(start + length, start);
}

bool Document::isModified() const
{
    return m_model.isModified();
}

void Document::setUnmodified()
{
    m_model.setUnmodified();
}

void Document::undo()
{
    m_model.undo();
}

void Document::redo()
{
    m_model.redo();
}
