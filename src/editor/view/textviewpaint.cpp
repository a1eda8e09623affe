// Drawing the text view: only the rows on screen are looked for and shaped.
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>

#include "editor/view/textview.h"

void TextView::drawRow(QPainter &painter, const RowMap::Row &row, qreal y, bool selection)
{
    const RowMap::Shaped shaped = m_rows.shape(row);
    const QPointF origin(Margin, y - shaped.line.y());
    const int from = selection ? std::max(m_model.selectionStart(), row.start) : 0;
    const int to = selection ? std::min(m_model.selectionEnd(), row.end) : 0;
    if (from >= to) {
        shaped.line.draw(&painter, origin);
        return;
    }
    QTextLayout::FormatRange range;
    range.start = from - shaped.start;
    range.length = to - from;
    range.format.setBackground(palette().brush(QPalette::Highlight));
    range.format.setForeground(palette().brush(QPalette::HighlightedText));
    // The layout draws the rows next to the clip as well; the painter's clip
    // keeps them from being drawn twice.
    const QRectF clip(0, y, viewport()->width(), m_rows.rowHeight());
    painter.save();
    painter.setClipRect(clip);
    shaped.layout->draw(&painter, origin, {range}, clip);
    painter.restore();
}

void TextView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QRect dirty = event->rect();
    const bool focused = hasFocus();
    const bool selection = focused && m_model.hasSelection();
    int caret = -1;
    if (m_dropCaret >= 0)
        caret = m_dropCaret;
    else if (focused && m_caretShown)
        caret = m_model.caret();
    const qreal height = m_rows.rowHeight();
    // Rows below the dirty area are not even looked for: they may need wrapping.
    const qreal bottom = std::min<qreal>(viewport()->height(), dirty.bottom() + 1);
    RowMap::Row row = m_rows.rowAt(m_top);
    for (qreal y = topY();; y += height) {
        if (y + height > dirty.top()) {
            drawRow(painter, row, y, selection);
            if (caret >= row.start && (caret < row.end || (row.lastInLine() && caret == row.end))) {
                const RowMap::Shaped shaped = m_rows.shape(row);
                const int at = caret - shaped.start + (m_preedit.isEmpty() ? 0 : m_preeditCursor);
                shaped.layout->drawCursor(&painter, QPointF(Margin, y - shaped.line.y()), at, 1);
            }
        }
        if (y + height >= bottom || !m_rows.next(row))
            break;
    }
}
