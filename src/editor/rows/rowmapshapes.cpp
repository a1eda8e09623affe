// The shaped text rows are drawn from: short lines whole, long lines from the
// chunks their wrapping laid out, or row by row.
#include "editor/rows/rowmap.h"

#include <algorithm>

#include "editor/rows/controlpictures.h"
#include "editor/text/piecetree.h"

std::shared_ptr<QTextLayout> RowMap::layout(int start, int count, bool withPreedit,
                                            QTextOption::WrapMode wrap,
                                            Qt::LayoutDirection direction) const
{
    auto result = std::make_shared<QTextLayout>(
        ControlPictures::displayed(m_text.text(start, count)), m_font);
    QTextOption option;
    option.setWrapMode(wrap);
    option.setTextDirection(direction);
    option.setTabStopDistance(m_tabStop);
    result->setTextOption(option);
    result->setCacheEnabled(true);
    if (withPreedit && m_preeditPosition >= start && m_preeditPosition <= start + count &&
        !m_preedit.isEmpty())
        result->setPreeditArea(m_preeditPosition - start, m_preedit);
    result->beginLayout();
    qreal y = 0;
    for (QTextLine line = result->createLine(); line.isValid(); line = result->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        y += m_rowHeight;
    }
    result->endLayout();
    return result;
}

Qt::LayoutDirection RowMap::directionOf(int lineStart, int length) const
{
    // The first character with a strong direction decides, as for a
    // paragraph; a long line is read only so far.
    const QString text = m_text.text(lineStart, std::min(length, LongLine));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ucs = text.at(i).unicode();
        if (QChar::isHighSurrogate(ucs) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ucs = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        switch (QChar::direction(ucs)) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::LeftToRight;
}

Qt::LayoutDirection RowMap::direction(const Row &row)
{
    return rowsOf(row.lineStart, row.lineEnd).direction;
}

bool RowMap::holdsPreedit(int at, int length) const
{
    return m_preeditPosition >= at && m_preeditPosition <= at + length;
}

void RowMap::keepBlock(int at, Block block)
{
    if (m_blocks.size() >= MaxBlocks)
        m_blocks.clear();
    m_blocks[at] = std::move(block);
}

RowMap::Shaped RowMap::shape(const Row &row)
{
    // A long line is shaped row by row, so that an edit re-shapes only the
    // rows it changed and the rows below it stay shaped.
    const LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    const bool alone = isLong(rows);
    const int at = alone ? row.start : row.lineStart;
    const int length = alone ? row.end - row.start : row.lineEnd - row.lineStart;
    const Block *found = m_blocks.find(at);
    if (!found || found->length != length || (found->line >= 0) != alone) {
        if (alone)
            keepBlock(at, rowBlock(row, rows.direction));
        else
            keepBlock(at, {layout(at, length, true, Wrapped, rows.direction), at, -1, length});
        found = m_blocks.find(at);
    }
    const Block &block = *found;
    Shaped result;
    result.layout = block.layout.get();
    result.start = block.start;
    const int line = alone ? block.line : row.index;
    result.line = block.layout->lineAt(std::clamp(line, 0, block.layout->lineCount() - 1));
    return result;
}

RowMap::Block RowMap::rowBlock(const Row &row, Qt::LayoutDirection direction)
{
    const int length = row.end - row.start;
    // Right-to-left text is shaped with the rows around it, so that it
    // reorders as within its paragraph; the row is drawn from its own line.
    if (direction == Qt::RightToLeft) {
        Row before = row;
        Row after = row;
        const int from = row.start > row.lineStart && previous(before) ? before.start : row.start;
        const int to = !row.lastInLine() && next(after) ? after.end : row.end;
        auto shaped = layout(from, to - from, true, Wrapped, direction);
        for (int i = 0; i < shaped->lineCount(); ++i) {
            const QTextLine line = shaped->lineAt(i);
            if (from + line.textStart() == row.start && line.textLength() == length)
                return {std::move(shaped), from, i, length};
        }
    }
    // Wrapped as in its chunk, so that spaces at its end hang the same way;
    // a row that does not fit alone is drawn unwrapped.
    auto shaped = layout(row.start, length, true, Wrapped, direction);
    if (shaped->lineCount() > 1)
        shaped = layout(row.start, length, true, QTextOption::NoWrap, direction);
    return {std::move(shaped), row.start, 0, length};
}

void RowMap::setPreedit(int position, const QString &text)
{
    m_preeditPosition = text.isEmpty() ? -1 : position;
    m_preedit = text;
    m_blocks.clear();
}
