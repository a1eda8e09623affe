// The text view under the mouse: clicks, selecting by dragging, the wheel.
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include "editor/view/textview.h"

TextView::ClickedSpan TextView::ClickedSpan::followed(int start, int removed, int added,
                                                      bool keepStart) const
{
    const auto follow = [=](int position) {
        if (position < start)
            return position;
        const int left = std::max(start, position - removed);
        return left == start && keepStart ? start : left + added;
    };
    const ClickedSpan span{follow(from), follow(to), x};
    return span.from < span.to ? span : ClickedSpan{};
}

void TextView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint() + viewport()->pos();
    const int position = positionAt(point);
    m_mayDrag = false;
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
    m_leftDown = true;
    m_selecting = true;
    // A third click soon after a double click, and where it was, takes the line.
    const bool near =
        (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
    if (m_tripleClick.isActive() && near) {
        m_tripleClick.stop();
        const PieceTree &text = m_model.text();
        const int line = text.lineAt(m_model.caret());
        m_clickedLine =
            selectClicked(text.lineStart(line), std::min(text.lineEnd(line) + 1, text.length()));
        ensureCaretVisible();
        publishSelection();
        return;
    }
    // A press anywhere in the selection, its ends included, may start a drag.
    const bool inSelection = m_model.hasSelection() && position >= m_model.selectionStart() &&
                             position <= m_model.selectionEnd();
    if (inSelection && event->modifiers() != Qt::ShiftModifier) {
        m_mayDrag = true;
        return;
    }
    if (event->modifiers() == Qt::ShiftModifier) {
        extendTo(position, point.x());
        publishSelection();
    } else {
        // Only a plain click forgets the word or line clicked last.
        m_clickedWord = m_clickedLine = {};
        placeCaret(position, position);
    }
    ensureCaretVisible();
}

void TextView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint() + viewport()->pos();
    m_lastMouse = point;
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (m_mayDrag) {
        if ((point - m_pressPoint).manhattanLength() > QApplication::startDragDistance()) {
            m_mayDrag = false;
            startDrag();
        }
        return;
    }
    if (!m_selecting && !m_clickedWord.isSet() && !m_clickedLine.isSet())
        return;
    const QRect area = viewport()->geometry();
    if (point.y() < area.top() || point.y() > area.bottom()) {
        if (!m_autoScroll.isActive())
            m_autoScroll.start(50, this);
    } else {
        m_autoScroll.stop();
    }
    extendTo(positionAt(point), point.x());
}

// The mouse moves the caret without scrolling, as in Qt's own box: a press
// shows the caret, and a drag past the edge scrolls by itself.
void TextView::placeCaret(int caret, int anchor)
{
    moveCaret(caret, anchor, Follow::KeepView);
    m_stickyX = -1;
}

TextView::ClickedSpan TextView::selectClicked(int from, int to)
{
    placeCaret(to, from);
    if (from == to)
        return {};
    return {from, to, caretX(m_rows.rowAt(to), to)};
}

void TextView::reselect(const ClickedSpan &span)
{
    // As the clicked span was when clicked, the caret's x for moves up and down included.
    moveCaret(span.to, span.from);
    m_stickyX = span.x;
}

void TextView::extendTo(int position, int x)
{
    if (m_clickedLine.isSet())
        extendByLines(position);
    else if (m_clickedWord.isSet())
        extendByWords(position, x - viewport()->x() - Margin);
    else if (m_selecting)
        placeCaret(position, m_model.anchor());
}

void TextView::extendByWords(int position, qreal x)
{
    // The selection keeps the word double-clicked, and its free end goes to
    // the nearer edge of the word under the pointer, as in Qt's own box.
    const int first = m_clickedWord.from;
    const int last = m_clickedWord.to;
    if (position >= first && position <= last) {
        reselect(m_clickedWord);
        return;
    }
    const PieceTree &text = m_model.text();
    const int start = CaretMotion::startOfWord(text, position);
    const int end = start < 0 ? -1 : CaretMotion::endOfWord(text, start);
    if (end < 0)
        return;
    const RowMap::Row row = m_rows.rowAt(start);
    if (m_rows.rowAt(end).start != row.start)
        return;
    const qreal startX = CaretMotion::xOf(m_rows, row, start);
    const qreal endX = CaretMotion::xOf(m_rows, row, end);
    // Off the word, as over the space between words, it stays as it was.
    if (x < startX || x > endX)
        return;
    placeCaret(x - startX < endX - x ? start : end, position < last ? last : first);
}

void TextView::extendByLines(int position)
{
    const int first = m_clickedLine.from;
    const int last = m_clickedLine.to;
    if (position >= first && position <= last) {
        reselect(m_clickedLine);
        return;
    }
    const PieceTree &text = m_model.text();
    const int line = text.lineAt(position);
    if (position < first)
        placeCaret(text.lineStart(line), last);
    else
        placeCaret(std::min(text.lineEnd(line) + 1, text.length()), first);
}

void TextView::followClickedSpans(int start, int removed, int added)
{
    const bool keepStart = m_model.restoringAhead();
    if (m_clickedWord.isSet())
        m_clickedWord = m_clickedWord.followed(start, removed, added, keepStart);
    if (m_clickedLine.isSet())
        m_clickedLine = m_clickedLine.followed(start, removed, added, keepStart);
}

void TextView::autoScroll()
{
    const QRect area = viewport()->geometry();
    if (!m_leftDown) {
        m_autoScroll.stop();
        return;
    }
    scrollRows(m_lastMouse.y() < area.top() ? -1 : m_lastMouse.y() > area.bottom() ? 1 : 0);
    const QPoint inside(m_lastMouse.x(), std::clamp(m_lastMouse.y(), area.top(), area.bottom()));
    extendTo(positionAt(inside), inside.x());
}

void TextView::mouseReleaseEvent(QMouseEvent *event)
{
    m_autoScroll.stop();
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = false;
    if (m_mayDrag) {
        // A click inside the selection without a drag places the caret.
        m_mayDrag = false;
        const int position = positionAt(event->position().toPoint() + viewport()->pos());
        placeCaret(position, position);
    }
    if (m_selecting || m_clickedWord.isSet() || m_clickedLine.isSet())
        publishSelection();
    m_selecting = false;
}

void TextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mayDrag = false;
    m_leftDown = true;
    m_doubleClickPoint = event->position().toPoint() + viewport()->pos();
    // Dragging on from here grows the selection by words, as does a Shift+click later.
    const auto [from, to] = CaretMotion::wordAt(m_model.text(), positionAt(m_doubleClickPoint));
    m_clickedWord = selectClicked(from, to);
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
