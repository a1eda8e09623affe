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
constexpr int ChunkRows = 16;
// A long line is drawn from blocks of this many rows.
constexpr int RowsPerBlock = 16;
// Past this many remembered lines, short lines are forgotten.
constexpr std::size_t MaxLines = 4096;
constexpr std::size_t MaxBlocks = 512;
// A run wraps on to a place at most this many chunks ahead; farther, a run
// of its own starts there.
constexpr int JumpChunks = 16;

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
            it = isLong(it->second) ? std::next(it) : m_lines.erase(it);
    }
    LineRows &rows = m_lines[lineStart];
    rows = LineRows();
    rows.length = lineEnd - lineStart;
    rows.runs[0].starts.push_back(0);
    return rows;
}

bool RowMap::isLong(const LineRows &rows) const
{
    return rows.length > LongLine;
}

void RowMap::wrapChunk(int lineStart, int length, Run &run)
{
    if (length <= LongLine) {
        std::unique_ptr<QTextLayout> whole = layout(lineStart, length, false);
        run.starts.clear();
        for (int i = 0; i < whole->lineCount(); ++i)
            run.starts.push_back(whole->lineAt(i).textStart());
        if (run.starts.empty())
            run.starts.push_back(0);
        run.complete = true;
        const bool preeditHere =
            m_preeditPosition >= lineStart && m_preeditPosition <= lineStart + length;
        if (!preeditHere && m_blocks.size() < MaxBlocks)
            m_blocks[lineStart] = std::move(whole);
        return;
    }
    const int from = run.starts.back();
    for (int chunk = ChunkRows * charsPerRow();; chunk *= 2) {
        const int end = std::min(length, from + chunk);
        std::unique_ptr<QTextLayout> part = layout(lineStart + from, end - from, false);
        const int lines = part->lineCount();
        if (end == length) {
            for (int i = 1; i < lines; ++i)
                run.starts.push_back(from + part->lineAt(i).textStart());
            run.complete = true;
            return;
        }
        // The last two rows may depend on the text cut off at the chunk's end.
        if (lines >= 3) {
            for (int i = 1; i < lines - 1; ++i)
                run.starts.push_back(from + part->lineAt(i).textStart());
            return;
        }
    }
}

void RowMap::extend(int lineStart, LineRows &rows, Runs::iterator run)
{
    const std::size_t known = run->second.starts.size();
    wrapChunk(lineStart, rows.length, run->second);
    join(rows, run, known - 1);
}

void RowMap::join(LineRows &rows, Runs::iterator run, std::size_t from)
{
    std::vector<int> &starts = run->second.starts;
    for (auto next = std::next(run); next != rows.runs.end(); next = std::next(run)) {
        if (!run->second.complete && starts.back() < next->first)
            return;
        // Where a row of this run starts as one of the next run did, the rest
        // of that run is this run's rest.
        const std::vector<int> &later = next->second.starts;
        bool joined = false;
        for (std::size_t i = from; i < starts.size() && !joined; ++i) {
            const auto same = std::lower_bound(later.begin(), later.end(), starts[i]);
            if (same != later.end() && *same == starts[i]) {
                starts.resize(i + 1);
                starts.insert(starts.end(), same + 1, later.end());
                run->second.complete = next->second.complete;
                from = i;
                joined = true;
            }
        }
        // Rows that never line up give way once this run is well past them.
        const bool past = run->second.complete || starts.back() >= later.back() ||
                          starts.back() > next->first + ChunkRows * charsPerRow();
        if (!joined && !past)
            return;
        rows.runs.erase(next);
    }
}

int RowMap::resyncPoint(int lineStart, int relative) const
{
    // A little before the place, after a space if there is one near: a row
    // starts there in all likelihood.
    const int at = std::max(0, relative - ChunkRows * charsPerRow());
    const int from = std::max(0, at - 256);
    const QString before = m_text.text(lineStart + from, at - from);
    const qsizetype space = before.lastIndexOf(QLatin1Char(' '));
    return space >= 0 ? from + int(space) + 1 : at;
}

RowMap::Runs::iterator RowMap::runFor(int lineStart, LineRows &rows, int relative)
{
    auto run = std::prev(rows.runs.upper_bound(relative));
    for (;;) {
        const Run &rowsSoFar = run->second;
        if (rowsSoFar.complete || relative < rowsSoFar.starts.back())
            return run;
        const int distance = relative - rowsSoFar.starts.back();
        if (isLong(rows) && distance > JumpChunks * ChunkRows * charsPerRow()) {
            const int start = resyncPoint(lineStart, relative);
            run = rows.runs.emplace(start, Run{{start}, false}).first;
            continue;
        }
        extend(lineStart, rows, run);
    }
}

RowMap::Row RowMap::rowOf(int lineStart, LineRows &rows, Runs::iterator run, std::size_t index)
{
    Run &found = run->second;
    while (!found.complete && found.starts.size() < index + 2)
        extend(lineStart, rows, run);
    index = std::min(index, found.starts.size() - 1);
    Row row;
    row.lineStart = lineStart;
    row.lineEnd = lineStart + rows.length;
    row.run = run->first;
    row.index = int(index);
    row.start = lineStart + found.starts[index];
    row.end = index + 1 < found.starts.size() ? lineStart + found.starts[index + 1] : row.lineEnd;
    return row;
}

RowMap::Row RowMap::rowAt(int offset)
{
    offset = std::clamp(offset, 0, m_text.length());
    const int line = m_text.lineAt(offset);
    const int lineStart = m_text.lineStart(line);
    LineRows &rows = rowsOf(lineStart, m_text.lineEnd(line));
    const int relative = offset - lineStart;
    const auto run = runFor(lineStart, rows, relative);
    const std::vector<int> &starts = run->second.starts;
    const auto after = std::upper_bound(starts.begin(), starts.end(), relative);
    return rowOf(lineStart, rows, run, std::size_t(after - starts.begin() - 1));
}

bool RowMap::next(Row &row)
{
    if (row.lastInLine()) {
        if (row.lineEnd >= m_text.length())
            return false;
        const int lineStart = row.lineEnd + 1;
        LineRows &rows = rowsOf(lineStart, m_text.lineEnd(m_text.lineAt(lineStart)));
        row = rowOf(lineStart, rows, rows.runs.begin(), 0);
        return true;
    }
    const int end = row.end;
    // On along the row's own run, which joins the runs it reaches.
    LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    const auto run = rows.runs.find(row.run);
    if (row.run >= 0 && run != rows.runs.end()) {
        const std::vector<int> &starts = run->second.starts;
        const std::size_t index = std::size_t(row.index);
        if (index < starts.size() && row.lineStart + starts[index] == row.start) {
            row = rowOf(row.lineStart, rows, run, index + 1);
            if (row.start == end)
                return true;
        }
    }
    row = rowAt(end);
    // Where two runs meet, the rows between them are stitched.
    if (row.start < end) {
        row.start = end;
        row.run = -1;
    }
    return true;
}

bool RowMap::previous(Row &row)
{
    if (row.start == row.lineStart) {
        if (row.lineStart == 0)
            return false;
        const int lineEnd = row.lineStart - 1;
        row = rowAt(lineEnd);
        return true;
    }
    const int start = row.start;
    LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    const auto run = rows.runs.find(row.run);
    if (row.run >= 0 && row.index > 0 && run != rows.runs.end()) {
        const std::vector<int> &starts = run->second.starts;
        const std::size_t index = std::size_t(row.index);
        if (index < starts.size() && row.lineStart + starts[index] == start) {
            row = rowOf(row.lineStart, rows, run, index - 1);
            return true;
        }
    }
    row = rowAt(start - 1);
    if (row.end > start) {
        row.end = start;
        row.run = -1;
    }
    return true;
}

bool RowMap::wrapped(int lineStart)
{
    const auto found = m_lines.find(lineStart);
    return found != m_lines.end() && found->second.runs.begin()->second.complete;
}

RowMap::Shaped RowMap::shape(const Row &row)
{
    LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    int blockStart = row.lineStart;
    int blockEnd = row.lineEnd;
    int index = row.index;
    if (isLong(rows)) {
        // A stretch of the row's run; a seam row, or one of a run since
        // joined, alone.
        blockStart = row.start;
        blockEnd = row.end;
        index = 0;
        const auto run = rows.runs.find(row.run);
        const std::size_t first = std::size_t(row.index / RowsPerBlock * RowsPerBlock);
        if (row.run >= 0 && run != rows.runs.end()) {
            Run &found = run->second;
            while (!found.complete && found.starts.size() < first + RowsPerBlock + 1)
                extend(row.lineStart, rows, run);
            if (std::size_t(row.index) < found.starts.size() &&
                row.lineStart + found.starts[std::size_t(row.index)] == row.start) {
                blockStart = row.lineStart + found.starts[first];
                blockEnd = first + RowsPerBlock < found.starts.size()
                               ? row.lineStart + found.starts[first + RowsPerBlock]
                               : row.lineEnd;
                index = row.index - int(first);
            }
        }
    }
    auto found = m_blocks.find(blockStart);
    if (found != m_blocks.end() && found->second->text().size() != blockEnd - blockStart) {
        m_blocks.erase(found);
        found = m_blocks.end();
    }
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
    const int delta = added - removed;
    // Shaped text the change did not touch stays shaped.
    std::map<int, std::unique_ptr<QTextLayout>> blocks;
    for (auto &[blockStart, block] : m_blocks) {
        if (blockStart + block->text().size() < start)
            blocks.emplace(blockStart, std::move(block));
        else if (blockStart > start + removed)
            blocks.emplace(blockStart + delta, std::move(block));
    }
    m_blocks.swap(blocks);
    std::map<int, LineRows> kept;
    for (auto &[lineStart, rows] : m_lines) {
        const int lineEnd = lineStart + rows.length;
        if (lineEnd < start) {
            kept.emplace(lineStart, std::move(rows));
        } else if (lineStart > start + removed) {
            kept.emplace(lineStart + delta, std::move(rows));
        } else if (isLong(rows) && lineStart <= start && start + removed <= lineEnd &&
                   m_text.lineEnd(m_text.lineAt(lineStart)) == lineEnd + delta) {
            LineRows &line = kept[lineStart];
            line.length = rows.length + delta;
            const int at = start - lineStart;
            const int reach = 2 * charsPerRow(); // a row's start hangs on the word after it
            for (auto &[key, run] : rows.runs) {
                if (key > at + removed) {
                    Run shifted = std::move(run);
                    for (int &rowStart : shifted.starts)
                        rowStart += delta;
                    line.runs.emplace(key + delta, std::move(shifted));
                } else if (key == 0 || key <= at) {
                    const bool before = !run.complete && run.starts.back() + reach < at;
                    Run &kept = line.runs[key] = std::move(run);
                    if (!before)
                        rewrap(lineStart, line.length, kept, at, removed, added);
                }
            }
        }
    }
    m_lines.swap(kept);
}

void RowMap::rewrap(int lineStart, int length, Run &run, int at, int removed, int added)
{
    std::vector<int> &starts = run.starts;
    const int delta = added - removed;
    // The row before the changed one may take in text the change freed.
    const auto changed = std::upper_bound(starts.begin(), starts.end(), at) - 1;
    const auto keep = changed == starts.begin() ? changed : changed - 1;
    std::vector<int> old;
    for (auto it = changed + 1; it != starts.end(); ++it) {
        if (*it > at + removed)
            old.push_back(*it + delta);
    }
    const bool oldComplete = run.complete;
    starts.erase(keep + 1, starts.end());
    run.complete = false;
    if (length <= LongLine) {
        starts.assign(1, 0);
        return;
    }
    // Wrap on until a new row starts where an old one did: from there on the
    // rows are the old ones. Stop a little past the change if they never do.
    const int enough = at + added + ChunkRows * charsPerRow();
    while (!run.complete && starts.back() <= enough) {
        const std::size_t first = starts.size();
        wrapChunk(lineStart, length, run);
        for (std::size_t i = first; i < starts.size(); ++i) {
            const auto same = std::lower_bound(old.begin(), old.end(), starts[i]);
            if (same != old.end() && *same == starts[i]) {
                starts.erase(starts.begin() + std::ptrdiff_t(i) + 1, starts.end());
                starts.insert(starts.end(), same + 1, old.end());
                run.complete = oldComplete;
                return;
            }
        }
    }
}
