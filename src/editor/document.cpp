#include "editor/document.h"

#include "editor/sourcebox.h"
#include "editor/text/pagesearch.h"
#include "editor/text/textmodel.h"

Document::Document(QWidget *container)
    : QObject(container), m_model(new TextModel(this)),
      m_search(std::make_unique<PageSearch>(*m_model)), m_box(new SourceBox(*m_model, container))
{
    m_box->setMarks(m_search.get());
    connect(m_box, &SourceBox::filesDropped, this, &Document::filesDropped);
    connect(m_box, &SourceBox::findRequested, this, &Document::answerFindKey);
    connect(m_model, &TextModel::editRefused, this, &Document::editRefused);
    connect(m_model, &TextModel::changed, this, &Document::textChanged);
    connect(m_search.get(), &PageSearch::nothingFound, this,
            [this] { emit searchFoundNothing(m_search->status()); });
}

Document::~Document()
{
    // The box observes the text and the search, which go with this object.
    delete m_box;
}

void Document::answerFindKey(FindRequest request)
{
    const bool again = request == FindRequest::FindNext || request == FindRequest::FindPrevious;
    if (!again || m_search->settings().pattern.isEmpty())
        emit findRequested(again ? FindRequest::Find : request);
    else if (request == FindRequest::FindNext)
        m_search->findNext();
    else
        m_search->findPrevious();
}

QWidget *Document::widget() const
{
    return m_box;
}

void Document::insertFragment(const QString &fragment)
{
    if (fragment.isEmpty() && !m_model->hasSelection())
        return;
    m_model->replaceSelection(fragment);
}

void Document::wrapSelection(const QString &open, const QString &close)
{
    m_model->wrapSelection(open, close);
}

QString Document::selectedText() const
{
    return m_model->selectedText();
}

QString Document::text() const
{
    return m_model->text().text();
}

int Document::length() const
{
    return m_model->length();
}

void Document::readText(const std::function<void(QStringView)> &chunk) const
{
    m_model->text().read(0, m_model->length(), chunk);
}

void Document::setText(const QString &text)
{
    m_model->setText(text);
}

bool Document::setPage(const QString &text, const PageFormat &format, const QString &path)
{
    if (!m_model->setText(text))
        return false;
    m_format = format;
    m_path = path;
    setUnmodified();
    return true;
}

int Document::caretPosition() const
{
    return m_model->caret();
}

int Document::selectionStart() const
{
    return m_model->selectionStart();
}

int Document::selectionLength() const
{
    return m_model->selectionEnd() - m_model->selectionStart();
}

void Document::select(int start, int length)
{
    m_model->setSelection(start + length, start);
}

QRect Document::selectionOnScreen() const
{
    const QRect first = m_box->caretRect(m_model->selectionStart());
    const QRect last = m_box->caretRect(m_model->selectionEnd());
    const QRect viewport = m_box->viewport()->geometry();
    QRect around = first.united(last);
    // Over several rows the rows between run the box's whole width.
    if (first.top() != last.top()) {
        around.setLeft(viewport.left());
        around.setRight(viewport.right());
    }
    const QRect shown = around & viewport;
    if (shown.isEmpty() || !m_box->isVisible())
        return {};
    return {m_box->mapToGlobal(shown.topLeft()), shown.size()};
}

bool Document::isModified() const
{
    return m_model->isModified();
}

void Document::setUnmodified()
{
    m_model->setUnmodified();
    emit settled();
}

void Document::setSaved(const QString &path)
{
    m_path = path;
    setUnmodified();
}

void Document::setModified()
{
    m_model->setModified();
}

std::shared_ptr<const PieceTree> Document::snapshot()
{
    return m_model->snapshot();
}

void Document::undo()
{
    m_model->undo();
}

void Document::redo()
{
    m_model->redo();
}
