#include "editor/view/caretmotion.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cstring>
#include <limits>

#include "editor/text/piecetree.h"

namespace {

// How far each move looks around the caret in a long line: no grapheme is
// longer than a character move's window in the text a person writes, and
// words and the word under the pointer are found within theirs.
constexpr int GraphemeWindow = 64;
constexpr int WordWindow = 1024;

// The characters Qt's text engine takes for word separators: a double click
// stops at them, so "l'\u00e9cole" gives "\u00e9cole" and the ">" of "</b>" itself.
bool isWordSeparator(QChar c)
{
    return c.unicode() < 0x80 &&
           std::strchr(".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\", char(c.unicode())) && c.unicode() != 0;
}

} // namespace

namespace CaretMotion {

int characterRight(const PieceTree &text, int position)
{
    if (position >= text.length())
        return text.length();
    const int end = std::min(text.length(), position + GraphemeWindow);
    const QString window = text.text(position, end - position);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.setPosition(0);
    const qsizetype next = finder.toNextBoundary();
    return position + int(next > 0 ? next : 1);
}

int characterLeft(const PieceTree &text, int position)
{
    if (position <= 0)
        return 0;
    const int start = std::max(0, position - GraphemeWindow);
    const QString window = text.text(start, position - start);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.toEnd();
    const qsizetype previous = finder.toPreviousBoundary();
    return start + int(previous >= 0 && start + previous < position ? previous : window.size() - 1);
}

int erasedBefore(const PieceTree &text, int position)
{
    if (position <= 0)
        return 0;
    const QChar last = text.at(position - 1);
    const bool pair =
        last.isLowSurrogate() && position > 1 && text.at(position - 2).isHighSurrogate();
    const bool crLf = last == u'\n' && position > 1 && text.at(position - 2) == u'\r';
    return position - (pair || crLf ? 2 : 1);
}

int wordRight(const PieceTree &text, int position)
{
    const int line = text.lineAt(position);
    const int lineEnd = text.lineEnd(line);
    if (position >= lineEnd)
        return std::min(text.length(), position + 1);
    const int start = std::max(text.lineStart(line), position - WordWindow);
    const int end = std::min(lineEnd, position + WordWindow);
    QTextLayout layout(text.text(start, end - start));
    return start + layout.nextCursorPosition(position - start, QTextLayout::SkipWords);
}

int wordLeft(const PieceTree &text, int position)
{
    const int line = text.lineAt(position);
    const int lineStart = text.lineStart(line);
    if (position <= lineStart)
        return std::max(0, position - 1);
    const int start = std::max(lineStart, position - WordWindow);
    const int end = std::min(text.lineEnd(line), position + WordWindow);
    QTextLayout layout(text.text(start, end - start));
    return start + layout.previousCursorPosition(position - start, QTextLayout::SkipWords);
}

int startOfWord(const PieceTree &text, int position)
{
    const int line = text.lineAt(position);
    const int lineStart = text.lineStart(line);
    const int lineEnd = text.lineEnd(line);
    if (position == lineStart)
        return -1;
    const QChar before = text.at(position - 1);
    if (position == lineEnd && (before.isSpace() || isWordSeparator(before)))
        return -1;
    // The word start before the character after `position`, so a word's
    // own start stays put.
    const int from = std::max(lineStart, position - WordWindow);
    const int to = std::min(lineEnd, position + WordWindow);
    QTextLayout layout(text.text(from, to - from));
    const int after = position < lineEnd ? position + 1 : position;
    return from + layout.previousCursorPosition(after - from, QTextLayout::SkipWords);
}

int endOfWord(const PieceTree &text, int position)
{
    const int lineEnd = text.lineEnd(text.lineAt(position));
    const QString window = text.text(position, std::min(lineEnd, position + WordWindow) - position);
    const int length = int(window.size());
    // Over a run of separators, or up to the next space or separator.
    int end = 0;
    if (end < length && isWordSeparator(window.at(end))) {
        while (end < length && isWordSeparator(window.at(end)))
            ++end;
    } else {
        while (end < length && !window.at(end).isSpace() && !isWordSeparator(window.at(end)))
            ++end;
    }
    return end == 0 ? -1 : position + end;
}

std::pair<int, int> wordAt(const PieceTree &text, int position)
{
    int start = startOfWord(text, position);
    if (start < 0)
        start = position;
    const int end = endOfWord(text, start);
    return {start, end < 0 ? start : end};
}

int rowStart(RowMap &rows, int position)
{
    return rows.rowAt(position).start;
}

int rowEnd(RowMap &rows, const PieceTree &text, int position)
{
    const RowMap::Row row = rows.rowAt(position);
    // A wrapped row's end is the next row's start; stop before its break.
    if (!row.lastInLine() && row.end > row.start && text.at(row.end - 1).isSpace())
        return row.end - 1;
    return row.end;
}

qreal xOf(RowMap &rows, const RowMap::Row &row, int position)
{
    const RowMap::Shaped shaped = rows.shape(row);
    return shaped.line.cursorToX(position - shaped.start);
}

int positionAtX(RowMap &rows, const RowMap::Row &row, qreal x)
{
    const RowMap::Shaped shaped = rows.shape(row);
    const int position = shaped.start + shaped.line.xToCursor(x);
    return std::clamp(position, row.start, row.end);
}

int vertical(RowMap &rows, int position, int count, qreal x)
{
    RowMap::Row row = rows.rowAt(position);
    if (rows.walk(row, count) == 0)
        return -1;
    return positionAtX(rows, row, x);
}

int rowsFrom(RowMap &rows, int top, int offset, int limit)
{
    const int target = rows.rowAt(offset).start;
    RowMap::Row row = rows.rowAt(top);
    if (target < row.start)
        return -1;
    int index = 0;
    while (row.start < target && index < limit && rows.next(row))
        ++index;
    return index;
}

int scroll(RowMap &rows, Screen &screen, int count)
{
    RowMap::Row row = rows.rowAt(screen.top);
    int moved = 0;
    // Down only as far as maxTop, whose row may end a long line's rows.
    while (moved < count && row.start < screen.maxTop && rows.next(row))
        ++moved;
    if (count < 0)
        moved = rows.walk(row, count);
    // Both are row starts.
    screen.top = std::clamp(row.start, 0, std::max(0, screen.maxTop));
    return moved;
}

int page(RowMap &rows, Screen &screen, int caret, bool down, qreal &caretY, qreal x)
{
    const qreal height = screen.rowHeight;
    const qreal bottom = screen.height;
    RowMap::Row row = rows.rowAt(caret);
    const int caretRow = row.start;
    int index = std::max(0, rowsFrom(rows, screen.top, caret, std::numeric_limits<int>::max()));
    if (caretY < 0)
        caretY = screen.topY() + index * height;
    qreal targetY = caretY;
    if (down) {
        // The rows shown whole; the page's last row needs the bottom margin too.
        RowMap::Row last = rows.rowAt(screen.top);
        int whole = 0;
        bool atEnd = false;
        for (qreal y = screen.topY();; y += height, ++whole) {
            RowMap::Row probe = last;
            const bool more = rows.next(probe);
            if (more ? y + height > bottom : y + height + screen.margin >= bottom)
                break;
            if (!more) {
                atEnd = true;
                targetY = bottom;
                break;
            }
            last = probe;
        }
        if (!atEnd)
            index -= scroll(rows, screen, whole);
        // Down by one row at least, until the caret's row reaches its place.
        int step = 1;
        while (screen.topY() + (index + step) * height < targetY)
            ++step;
        rows.walk(row, step);
    } else {
        if (screen.top == 0)
            targetY = 0;
        else
            index -= scroll(rows, screen, -std::max(1, int(bottom / height)));
        int step = 1;
        while (screen.topY() + (index - step) * height > targetY)
            ++step;
        rows.walk(row, -step);
    }
    return row.start == caretRow ? -1 : positionAtX(rows, row, x);
}

} // namespace CaretMotion
