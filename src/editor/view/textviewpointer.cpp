// The text view under the mouse: clicks, selecting by dragging, the wheel.
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include "editor/view/textview.h"

void TextView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint() + viewport()->pos();
    const int position = positionAt(point);
    m_stickyX = -1;
    if (!m_blink.isActive())
        restartBlink();
    if (event->button() == Qt::MiddleButton) {
        QClipboard *clipboard = QApplication::clipboard();
        if (clipboard->supportsSelection()) {
            moveCaret(position, position);
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
        moveCaret(std::min(text.lineEnd(line) + 1, text.length()), text.lineStart(line));
        publishSelection();
        return;
    }
    const bool inSelection = position >= m_model.selectionStart() &&
                             position < m_model.selectionEnd() && m_model.hasSelection();
    if (event->modifiers() & Qt::ShiftModifier) {
        moveCaret(position, m_model.anchor());
        m_selecting = true;
        publishSelection();
    } else if (inSelection) {
        m_mayDrag = true;
    } else {
        moveCaret(position, position);
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
        moveCaret(position, m_model.anchor());
        return;
    }
    // After a double click the selection grows by whole words and always
    // holds the word clicked first.
    const auto [first, last] = m_wordAnchor;
    if (position >= first && position <= last) {
        moveCaret(last, first);
        return;
    }
    const auto [from, to] = CaretMotion::wordAt(m_model.text(), position);
    if (from < first)
        moveCaret(from, last);
    else
        moveCaret(std::max(to, last), first);
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
        moveCaret(position, position);
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
    m_wordAnchor = CaretMotion::wordAt(m_model.text(), positionAt(m_doubleClickPoint));
    moveCaret(m_wordAnchor.second, m_wordAnchor.first);
    m_selecting = true;
    m_tripleClick.start(QGuiApplication::styleHints()->mouseDoubleClickInterval(), this);
    publishSelection();
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
