#include "editor/rowmap.h"

#include <QFontMetricsF>
#include <QTextOption>

#include <algorithm>

#include "editor/controlpictures.h"
#include "editor/piecetree.h"

namespace {

// Lines longer than this are wrapped chunk by chunk.
constexpr int LongLine = 4096;
// A chunk holds this many rows' worth of characters: Qt's line breaking
// slows with the length of a run it cannot break, so chunks stay short.
constexpr int ChunkRows = 24;
// A long line is drawn from blocks of this many rows.
constexpr int RowsPerBlock = 64;
// Past this many remembered lines, short lines are forgotten.
constexpr std::size_t MaxLines = 4096;
constexpr std::size_t MaxBlocks = 512;

} // namespace

RowMap::RowMap(const PieceTree &text) : m_text(text) {}

void RowMap::setFormat(const QFont &font, qreal width, qreal tabStop)
{
    m_font = font;
    m_width = std::max<qreal>(width, 1);
    m_tabStop = tabStop;
    const QFontMetricsF metrics(font);
    m_charWidth = std::max<qreal>(metrics.horizontalAdvance(QLatin1Char('x')), 1);
    QTextLayout probe(QStringLiteral("x"), font);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(1000);
    m_rowHeight = std::max<qreal>(line.height(), 1);
    probe.endLayout();
    m_lines.clear();
    m_blocks.clear();
}

int RowMap::charsPerRow() const
{
    return std::max(1, int(m_width / m_charWidth));
}

std::unique_ptr<QTextLayout> RowMap::layout(int start, int count, bool withPreedit) const
{
    auto result = std::make_unique<QTextLayout>(
        ControlPictures::displayed(m_text.text(start, count)), m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
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

RowMap::LineRows &RowMap::rowsOf(int lineStart, int lineEnd)
{
    auto found = m_lines.find(lineStart);
    if (found != m_lines.end() && found->second.length == lineEnd - lineStart)
        return found->second;
    if (m_lines.size() >= MaxLines) {
        for (auto it = m_lines.begin(); it != m_lines.end();)
            it = it->second.length > LongLine ? std::next(it) : m_lines.erase(it);
    }
    LineRows &rows = m_lines[lineStart];
    rows = LineRows();
    rows.length = lineEnd - lineStart;
    rows.starts.push_back(0);
    return rows;
}

void RowMap::wrapUntil(int lineStart, LineRows &rows, std::size_t needed, int offset)
{
    while (!rows.complete && (rows.starts.size() < needed || rows.starts.back() <= offset))
        wrapChunk(lineStart, rows);
}

void RowMap::wrapChunk(int lineStart, LineRows &rows)
{
    if (rows.length <= LongLine) {
        std::unique_ptr<QTextLayout> whole = layout(lineStart, rows.length, false);
        rows.starts.clear();
        for (int i = 0; i < whole->lineCount(); ++i)
            rows.starts.push_back(whole->lineAt(i).textStart());
        if (rows.starts.empty())
            rows.starts.push_back(0);
        rows.complete = true;
        const bool preeditHere =
            m_preeditPosition >= lineStart && m_preeditPosition <= lineStart + rows.length;
        if (!preeditHere && m_blocks.size() < MaxBlocks)
            m_blocks[lineStart] = std::move(whole);
        return;
    }
    const int from = rows.starts.back();
    for (int chunk = ChunkRows * charsPerRow();; chunk *= 2) {
        const int end = std::min(rows.length, from + chunk);
        std::unique_ptr<QTextLayout> part = layout(lineStart + from, end - from, false);
        const int lines = part->lineCount();
        if (end == rows.length) {
            for (int i = 1; i < lines; ++i)
                rows.starts.push_back(from + part->lineAt(i).textStart());
            rows.complete = true;
            return;
        }
        // The last two rows may depend on the text cut off at the chunk's end.
        if (lines >= 3) {
            for (int i = 1; i < lines - 1; ++i)
                rows.starts.push_back(from + part->lineAt(i).textStart());
            return;
        }
    }
}

RowMap::Row RowMap::rowOf(int lineStart, LineRows &rows, std::size_t index)
{
    wrapUntil(lineStart, rows, index + 2, -1);
    index = std::min(index, rows.starts.size() - 1);
    Row row;
    row.lineStart = lineStart;
    row.lineEnd = lineStart + rows.length;
    row.index = int(index);
    row.start = lineStart + rows.starts[index];
    row.end = index + 1 < rows.starts.size() ? lineStart + rows.starts[index + 1] : row.lineEnd;
    return row;
}

RowMap::Row RowMap::rowAt(int offset)
{
    offset = std::clamp(offset, 0, m_text.length());
    const int line = m_text.lineAt(offset);
    const int lineStart = m_text.lineStart(line);
    LineRows &rows = rowsOf(lineStart, m_text.lineEnd(line));
    const int relative = offset - lineStart;
    wrapUntil(lineStart, rows, 0, relative);
    const auto after = std::upper_bound(rows.starts.begin(), rows.starts.end(), relative);
    return rowOf(lineStart, rows, std::size_t(after - rows.starts.begin() - 1));
}

bool RowMap::next(Row &row)
{
    if (!row.lastInLine()) {
        row = rowOf(row.lineStart, rowsOf(row.lineStart, row.lineEnd), std::size_t(row.index) + 1);
        return true;
    }
    if (row.lineEnd >= m_text.length())
        return false;
    const int lineStart = row.lineEnd + 1;
    row = rowOf(lineStart, rowsOf(lineStart, m_text.lineEnd(m_text.lineAt(lineStart))), 0);
    return true;
}

bool RowMap::previous(Row &row)
{
    if (row.index > 0) {
        row = rowOf(row.lineStart, rowsOf(row.lineStart, row.lineEnd), std::size_t(row.index) - 1);
        return true;
    }
    if (row.lineStart == 0)
        return false;
    const int lineEnd = row.lineStart - 1;
    row = lastRowOf(m_text.lineStart(m_text.lineAt(lineEnd)), lineEnd);
    return true;
}

RowMap::Row RowMap::lastRowOf(int lineStart, int lineEnd)
{
    LineRows &rows = rowsOf(lineStart, lineEnd);
    wrapUntil(lineStart, rows, std::size_t(-1), rows.length);
    return rowOf(lineStart, rows, rows.starts.size() - 1);
}

bool RowMap::wrapped(int lineStart)
{
    const auto found = m_lines.find(lineStart);
    return found != m_lines.end() && found->second.complete;
}

RowMap::Shaped RowMap::shape(const Row &row)
{
    LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    int blockStart = row.lineStart;
    int blockEnd = row.lineEnd;
    int index = row.index;
    if (rows.length > LongLine) {
        const std::size_t first = std::size_t(row.index / RowsPerBlock * RowsPerBlock);
        wrapUntil(row.lineStart, rows, first + RowsPerBlock + 1, -1);
        blockStart = row.lineStart + rows.starts[first];
        if (first + RowsPerBlock < rows.starts.size())
            blockEnd = row.lineStart + rows.starts[first + RowsPerBlock];
        index -= int(first);
    }
    auto found = m_blocks.find(blockStart);
    if (found == m_blocks.end()) {
        if (m_blocks.size() >= MaxBlocks)
            m_blocks.clear();
        found = m_blocks.emplace(blockStart, layout(blockStart, blockEnd - blockStart, true)).first;
    }
    const QTextLayout *shaped = found->second.get();
    Shaped result;
    result.layout = shaped;
    result.start = blockStart;
    result.line = shaped->lineAt(std::clamp(index, 0, shaped->lineCount() - 1));
    return result;
}

void RowMap::setPreedit(int position, const QString &text)
{
    m_preeditPosition = text.isEmpty() ? -1 : position;
    m_preedit = text;
    m_blocks.clear();
}

void RowMap::textChanged(int start, int removed, int added)
{
    m_blocks.clear();
    const int delta = added - removed;
    std::map<int, LineRows> kept;
    for (auto &[lineStart, rows] : m_lines) {
        const int lineEnd = lineStart + rows.length;
        if (lineEnd < start) {
            kept.emplace(lineStart, std::move(rows));
        } else if (lineStart > start + removed) {
            kept.emplace(lineStart + delta, std::move(rows));
        } else if (rows.length > LongLine && lineStart <= start && start + removed <= lineEnd &&
                   m_text.lineEnd(m_text.lineAt(lineStart)) == lineEnd + delta) {
            LineRows &line = kept[lineStart];
            line = std::move(rows);
            rewrap(lineStart, line, start - lineStart, removed, added);
        }
    }
    m_lines.swap(kept);
}

void RowMap::rewrap(int lineStart, LineRows &rows, int at, int removed, int added)
{
    std::vector<int> &starts = rows.starts;
    const int delta = added - removed;
    // The row before the changed one may take in text the change freed.
    const auto changed = std::upper_bound(starts.begin(), starts.end(), at) - 1;
    const auto keep = changed == starts.begin() ? changed : changed - 1;
    std::vector<int> old;
    for (auto it = changed + 1; it != starts.end(); ++it) {
        if (*it > at + removed)
            old.push_back(*it + delta);
    }
    const bool oldComplete = rows.complete;
    starts.erase(keep + 1, starts.end());
    rows.length += delta;
    rows.complete = false;
    if (rows.length <= LongLine) {
        starts.assign(1, 0);
        return;
    }
    // Wrap on until a new row starts where an old one did: from there on the
    // rows are the old ones. Stop a little past the change if they never do.
    const int enough = at + added + 4 * ChunkRows * charsPerRow();
    while (!rows.complete && starts.back() <= enough) {
        const std::size_t first = starts.size();
        wrapChunk(lineStart, rows);
        for (std::size_t i = first - 1; i < starts.size(); ++i) {
            const auto same = std::lower_bound(old.begin(), old.end(), starts[i]);
            if (same != old.end() && *same == starts[i]) {
                starts.erase(starts.begin() + std::ptrdiff_t(i) + 1, starts.end());
                starts.insert(starts.end(), same + 1, old.end());
                rows.complete = oldComplete;
                return;
            }
        }
    }
}
