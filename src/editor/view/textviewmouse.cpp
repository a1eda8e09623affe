// Mouse, clipboard, context menu, drag and drop and input methods of the text view.
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBoundaryFinder>

#include "editor/text/linebreaks.h"
#include "editor/view/textview.h"

namespace {

QString withShortcut(const QString &text, QKeySequence::StandardKey key)
{
    const QKeySequence sequence(key);
    if (sequence.isEmpty())
        return text;
    return text + QLatin1Char('\t') + sequence.toString(QKeySequence::NativeText);
}

} // namespace

bool TextView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Editing keys belong to the box while it has the focus.
        auto *key = static_cast<QKeyEvent *>(event);
        static const QKeySequence::StandardKey owned[] = {QKeySequence::Copy,
                                                          QKeySequence::Cut,
                                                          QKeySequence::Paste,
                                                          QKeySequence::Undo,
                                                          QKeySequence::Redo,
                                                          QKeySequence::SelectAll,
                                                          QKeySequence::Delete,
                                                          QKeySequence::MoveToStartOfDocument,
                                                          QKeySequence::MoveToEndOfDocument,
                                                          QKeySequence::MoveToNextWord,
                                                          QKeySequence::MoveToPreviousWord,
                                                          QKeySequence::SelectStartOfDocument,
                                                          QKeySequence::SelectEndOfDocument,
                                                          QKeySequence::DeleteStartOfWord,
                                                          QKeySequence::DeleteEndOfWord};
        bool own = typesText(key) && key->key() != Qt::Key_Tab;
        for (QKeySequence::StandardKey sequence : owned)
            own = own || key->matches(sequence);
        if (own) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

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
    m_model.closeTyping();
    m_keepScroll = true;
    m_model.setSelection(m_model.length(), 0);
    m_keepScroll = false;
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
    m_model.closeTyping();
    if (m_model.hasSelection())
        m_model.replaceSelection(QStringView());
}

bool TextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void TextView::insertFromMimeData(const QMimeData *source)
{
    if (!canInsertFromMimeData(source))
        return;
    m_model.closeTyping();
    m_model.replaceSelection(LineBreaks::fromOutside(source->text()));
    m_model.closeTyping();
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
    return menu;
}

void TextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TextView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint() + viewport()->pos();
    const int position = positionAt(point);
    m_model.closeTyping();
    m_stickyX = -1;
    if (!m_blink.isActive())
        restartBlink();
    if (event->button() == Qt::MiddleButton) {
        QClipboard *clipboard = QApplication::clipboard();
        if (clipboard->supportsSelection()) {
            m_model.setSelection(position, position);
            insertFromMimeData(clipboard->mimeData(QClipboard::Selection));
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPoint = point;
    // A third click soon after a double click, and where it was, takes the line.
    const bool near =
        (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
    if (m_tripleClick.isActive() && near) {
        m_tripleClick.stop();
        const PieceTree &text = m_model.text();
        const int line = text.lineAt(position);
        m_model.setSelection(std::min(text.lineEnd(line) + 1, text.length()), text.lineStart(line));
        publishSelection();
        return;
    }
    const bool inSelection = position >= m_model.selectionStart() &&
                             position < m_model.selectionEnd() && m_model.hasSelection();
    if (event->modifiers() & Qt::ShiftModifier) {
        m_model.setSelection(position, m_model.anchor());
        m_selecting = true;
        publishSelection();
    } else if (inSelection) {
        m_mayDrag = true;
    } else {
        m_model.setSelection(position, position);
        m_selecting = true;
    }
}

void TextView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint() + viewport()->pos();
    m_lastMouse = point;
    if (m_mayDrag) {
        if ((point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            m_mayDrag = false;
            startDrag();
        }
        return;
    }
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    const QRect area = viewport()->geometry();
    if (point.y() < area.top() || point.y() > area.bottom()) {
        if (!m_autoScroll.isActive())
            m_autoScroll.start(50, this);
    } else {
        m_autoScroll.stop();
    }
    extendTo(positionAt(point));
}

void TextView::extendTo(int position)
{
    if (m_wordAnchor.first < 0) {
        m_model.setSelection(position, m_model.anchor());
        return;
    }
    // After a double click the selection grows by whole words and always
    // holds the word clicked first.
    const auto [first, last] = m_wordAnchor;
    if (position >= first && position <= last) {
        m_model.setSelection(last, first);
        return;
    }
    const auto [from, to] = wordAt(position);
    if (from < first)
        m_model.setSelection(from, last);
    else
        m_model.setSelection(std::max(to, last), first);
}

void TextView::autoScroll()
{
    const QRect area = viewport()->geometry();
    if (!m_selecting) {
        m_autoScroll.stop();
        return;
    }
    scrollRows(m_lastMouse.y() < area.top() ? -1 : m_lastMouse.y() > area.bottom() ? 1 : 0);
    const QPoint inside(m_lastMouse.x(), std::clamp(m_lastMouse.y(), area.top(), area.bottom()));
    extendTo(positionAt(inside));
}

void TextView::mouseReleaseEvent(QMouseEvent *event)
{
    m_autoScroll.stop();
    if (m_mayDrag) {
        // A click inside the selection without a drag places the caret.
        m_mayDrag = false;
        const int position = positionAt(event->position().toPoint() + viewport()->pos());
        m_model.setSelection(position, position);
    }
    if (m_selecting)
        publishSelection();
    m_selecting = false;
    m_wordAnchor = {-1, -1};
}

void TextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_doubleClickPoint = event->position().toPoint() + viewport()->pos();
    m_wordAnchor = wordAt(positionAt(m_doubleClickPoint));
    m_model.setSelection(m_wordAnchor.second, m_wordAnchor.first);
    m_selecting = true;
    m_tripleClick.start(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this);
    publishSelection();
}

std::pair<int, int> TextView::wordAt(int position) const
{
    const PieceTree &text = m_model.text();
    const int line = text.lineAt(position);
    const int start = std::max(text.lineStart(line), position - 1024);
    const int end = std::min(text.lineEnd(line), position + 1024);
    const QString window = text.text(start, end - start);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, window);
    finder.setPosition(position - start);
    qsizetype from =
        finder.isAtBoundary() && finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem
            ? finder.position()
            : finder.toPreviousBoundary();
    finder.setPosition(position - start);
    qsizetype to = finder.toNextBoundary();
    if (from < 0)
        from = 0;
    if (to < 0)
        to = window.size();
    return {start + int(from), start + int(to)};
}

void TextView::startDrag()
{
    auto *data = new QMimeData;
    data->setText(m_model.selectedText());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const int start = m_model.selectionStart();
    const int end = m_model.selectionEnd();
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // A move to another program takes the text away; within the box the drop did it.
    if (action == Qt::MoveAction && drag->target() != viewport() && drag->target() != this) {
        m_model.beginStep();
        m_model.replace(start, end - start, QStringView());
        m_model.endStep();
    }
}

void TextView::dragEnterEvent(QDragEnterEvent *event)
{
    if (canInsertFromMimeData(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TextView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    m_dropCaret = positionAt(event->position().toPoint() + viewport()->pos());
    viewport()->update();
    event->acceptProposedAction();
}

void TextView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropCaret = -1;
    viewport()->update();
}

void TextView::dropEvent(QDropEvent *event)
{
    m_dropCaret = -1;
    const int position = positionAt(event->position().toPoint() + viewport()->pos());
    const bool inside = event->source() == this;
    const int start = m_model.selectionStart();
    const int end = m_model.selectionEnd();
    if (inside && position >= start && position <= end) {
        event->ignore();
        viewport()->update();
        return;
    }
    m_model.closeTyping();
    m_model.beginStep();
    if (inside) {
        // The page's own text keeps every character, a lone CR too, and is
        // shared rather than copied. A move is one step: into the new place,
        // out of the old.
        if (m_model.copyWithin(start, end - start, position) &&
            event->dropAction() == Qt::MoveAction) {
            const int shift = position < start ? end - start : 0;
            m_model.replace(start + shift, end - start, QStringView());
            event->setDropAction(Qt::CopyAction); // the source must not remove it again
        }
    } else {
        m_model.setSelection(position, position);
        insertFromMimeData(event->mimeData());
    }
    m_model.endStep();
    event->accept();
    setFocus();
}

void TextView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    const QPoint pixels = event->pixelDelta();
    int rows = 0;
    if (!pixels.isNull()) {
        m_wheelRemainder += pixels.y();
        rows = -int(m_wheelRemainder / m_rows.rowHeight());
        m_wheelRemainder += int(rows * m_rows.rowHeight());
    } else {
        m_wheelRemainder += delta * QApplication::wheelScrollLines();
        rows = -m_wheelRemainder / 120;
        m_wheelRemainder += rows * 120;
    }
    if (rows != 0)
        scrollRows(rows);
    event->accept();
}

void TextView::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = LineBreaks::fromOutside(event->commitString());
    const int replaced = std::max(0, event->replacementLength());
    const bool replacing = replaced > 0 || event->replacementStart() != 0;
    const int removed = replacing ? replaced : m_model.selectionEnd() - m_model.selectionStart();
    // A commit too long for the page changes nothing, the text it replaces included.
    if ((!commit.isEmpty() || replaced > 0) && m_model.allowsEdit(removed, commit.size())) {
        m_model.beginStep();
        if (replacing) {
            const int from = m_model.caret() + event->replacementStart();
            m_model.replace(from, replaced, QStringView());
            m_model.setSelection(from, from);
        }
        m_model.replaceSelection(commit, true);
        m_model.endStep(true);
    }
    m_preedit = event->preeditString();
    m_preeditCursor = int(m_preedit.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor)
            m_preeditCursor = attribute.start;
    }
    if (!m_preedit.isEmpty() && m_model.hasSelection())
        deleteSelection();
    m_rows.setPreedit(m_model.caret(), m_preedit);
    viewport()->update();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const PieceTree &text = m_model.text();
    const int caret = m_model.caret();
    // The text around the caret: its line, or a window of a long one.
    const int line = text.lineAt(caret);
    const int around = std::max(text.lineStart(line), caret - 512);
    const int aroundEnd = std::min(text.lineEnd(line), caret + 512);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
        return caretRect();
    case Qt::ImAnchorRectangle:
        return caretRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return caret - around;
    case Qt::ImAnchorPosition:
        return std::clamp(m_model.anchor(), around, aroundEnd) - around;
    case Qt::ImAbsolutePosition:
        return caret;
    case Qt::ImSurroundingText:
        return text.text(around, aroundEnd - around);
    case Qt::ImCurrentSelection:
        return m_model.selectedText();
    case Qt::ImTextBeforeCursor:
        return text.text(around, caret - around);
    case Qt::ImTextAfterCursor:
        return text.text(caret, aroundEnd - caret);
    case Qt::ImMaximumTextLength:
        return QVariant();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
