// The text view's clipboard, primary selection and context menu.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

#include "editor/text/linebreaks.h"
#include "editor/view/textview.h"

namespace {

QString withShortcut(const QString &text, const QKeySequence &sequence)
{
    if (sequence.isEmpty())
        return text;
    return text + QLatin1Char('\t') + sequence.toString(QKeySequence::NativeText);
}

} // namespace

void TextView::copy()
{
    if (m_model.hasSelection())
        QApplication::clipboard()->setText(m_model.selectedText());
}

void TextView::cut()
{
    if (!m_model.hasSelection())
        return;
    copy();
    deleteSelection();
}

void TextView::paste()
{
    if (const QMimeData *data = QApplication::clipboard()->mimeData())
        insertFromMimeData(data);
}

void TextView::selectAll()
{
    moveCaret(m_model.length(), 0, Follow::KeepView);
    m_stickyX = -1; // the next Up or Down starts from the caret at the end
    publishSelection();
}

void TextView::undo()
{
    m_model.undo();
}

void TextView::redo()
{
    m_model.redo();
}

void TextView::deleteSelection()
{
    if (m_model.hasSelection())
        m_model.replaceSelection(QStringView());
}

bool TextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void TextView::insertFromMimeData(const QMimeData *source)
{
    if (canInsertFromMimeData(source))
        m_model.replaceSelection(LineBreaks::fromOutside(source->text()),
                                 TextModel::EditStep::Pasting);
}

void TextView::publishSelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (clipboard->supportsSelection() && m_model.hasSelection())
        clipboard->setText(m_model.selectedText(), QClipboard::Selection);
}

QMenu *TextView::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const bool selected = m_model.hasSelection();
    const auto add = [this, menu](const char *name, const QString &text, bool enabled,
                                  void (TextView::*slot)()) {
        QAction *action = menu->addAction(text, this, slot);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
    };
    const QMimeData *clipboard = QApplication::clipboard()->mimeData();
    add("edit-undo", withShortcut(tr("&Undo"), QKeySequence::Undo), m_model.canUndo(),
        &TextView::undo);
    add("edit-redo", withShortcut(tr("&Redo"), QKeySequence::Redo), m_model.canRedo(),
        &TextView::redo);
    menu->addSeparator();
    add("edit-cut", withShortcut(tr("Cu&t"), QKeySequence::Cut), selected, &TextView::cut);
    add("edit-copy", withShortcut(tr("&Copy"), QKeySequence::Copy), selected, &TextView::copy);
    add("edit-paste", withShortcut(tr("&Paste"), QKeySequence::Paste),
        canInsertFromMimeData(clipboard), &TextView::paste);
    add("edit-delete", tr("Delete"), selected, &TextView::deleteSelection);
    menu->addSeparator();
    add("select-all", withShortcut(tr("Select All"), QKeySequence::SelectAll),
        m_model.length() > 0 &&
            m_model.selectionEnd() - m_model.selectionStart() < m_model.length(),
        &TextView::selectAll);
    menu->addSeparator();
    add("find-replace", withShortcut(tr("Find and Replace\u2026"), findShortcut(FindRequest::Find)),
        true, &TextView::requestFind);
    return menu;
}

void TextView::requestFind()
{
    emit findRequested(FindRequest::Find);
}

void TextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
