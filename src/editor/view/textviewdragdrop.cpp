// Dragging text out of the text view and dropping text into it.
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

#include "editor/view/textview.h"

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
    if (action == Qt::MoveAction && drag->target() != viewport() && drag->target() != this)
        m_model.replace(start, end - start, QStringView());
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
    const TextModel::EditStep step(m_model);
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
        moveCaret(position, position);
        insertFromMimeData(event->mimeData());
    }
    event->accept();
    setFocus();
}
