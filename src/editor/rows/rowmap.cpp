#include "editor/rows/rowmap.h"

#include <QFontMetricsF>
#include <QTextOption>

#include <algorithm>

#include "editor/text/piecetree.h"

RowMap::RowMap(const PieceTree &text) : m_text(text) {}

void RowMap::setFormat(const QFont &font, qreal width, qreal tabStop)
{
    m_font = font;
    m_width = std::max<qreal>(width, 1);
    m_tabStop = tabStop;
    const QFontMetricsF metrics(font);
    m_charWidth = std::max<qreal>(metrics.horizontalAdvance(QLatin1Char('x')), 1);
    m_widestChar = std::max<qreal>(metrics.maxWidth(), m_charWidth);
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

RowMap::LineRows &RowMap::rowsOf(int lineStart, int lineEnd)
{
    LineRows *found = m_lines.find(lineStart);
    if (found && found->length == lineEnd - lineStart)
        return *found;
    if (m_lines.size() >= MaxLines)
        m_lines.rekey([this](int at, const LineRows &rows) { return isLong(rows) ? at : -1; });
    LineRows &rows = m_lines[lineStart];
    rows = LineRows();
    rows.length = lineEnd - lineStart;
    rows.direction = directionOf(lineStart, rows.length);
    rows.runs[0].starts.push_back(0);
    return rows;
}

bool RowMap::isLong(const LineRows &rows) const
{
    return rows.length > LongLine;
}

void RowMap::wrapChunk(int lineStart, const LineRows &line, Run &run, int rows,
                       const std::vector<int> &keep)
{
    const int length = line.length;
    if (length <= LongLine) {
        std::shared_ptr<QTextLayout> whole =
            layout(lineStart, length, false, Wrapped, line.direction);
        run.starts.clear();
        for (int i = 0; i < whole->lineCount(); ++i)
            run.starts.push_back(whole->lineAt(i).textStart());
        if (run.starts.empty())
            run.starts.push_back(0);
        run.complete = true;
        if (!holdsPreedit(lineStart, length))
            keepBlock(lineStart, {std::move(whole), lineStart, -1, length});
        return;
    }
    const int from = run.starts.back();
    if (const int cut = invisibleCut(lineStart, length, from, keep); cut > from) {
        run.starts.push_back(cut);
        run.complete = false;
        return;
    }
    // Right-to-left text is laid out from the row before, so that the first
    // row reorders as it does within its paragraph.
    int context = from;
    if (line.direction == Qt::RightToLeft && run.starts.size() > 1)
        context = run.starts[run.starts.size() - 2];
    // Rows hold about as much as the two before them, give or take the odd
    // narrower character, which the slack leaves room for.
    const std::size_t known = run.starts.size();
    int perRow = charsPerRow();
    if (known >= 3)
        perRow = std::max(1, (run.starts[known - 1] - run.starts[known - 3]) / 2);
    for (int chunk = std::min(rows * perRow + perRow / 8 + LookAhead, LongestChunk);;
         chunk = std::min(2 * chunk, LongestChunk)) {
        const int end = std::min(length, from + chunk);
        if (end - context > QtItem)
            context = from; // laid out without the row before, which is too long
        std::shared_ptr<QTextLayout> part =
            layout(lineStart + context, end - context, false, Wrapped, line.direction);
        const int lines = part->lineCount();
        const int skip = context < from ? 1 : 0;
        if (skip && (lines < 2 || part->lineAt(1).textStart() != from - context)) {
            context = from; // the row before did not come out the same
            chunk /= 2;
            continue;
        }
        // The last row may depend on the text cut off at the chunk's end, and
        // the one before it too when the last is short: a row's end hangs on
        // the word after it, and the break rules look a few characters ahead.
        run.complete = end == length;
        int whole = lines;
        if (!run.complete)
            whole = part->lineAt(lines - 1).textLength() >= LookAhead ? lines - 1 : lines - 2;
        const int cut = cutRow(*part, skip, whole, end - context);
        if (cut >= 0) {
            run.complete = false;
            whole = cut;
        } else if (whole < 1 + skip) {
            continue;
        }
        for (int i = 1 + skip; i <= whole && i < lines; ++i)
            run.starts.push_back(context + part->lineAt(i).textStart());
        if (cut >= 0) {
            const int rowStart = part->lineAt(cut).textStart();
            const QString window = part->text().mid(rowStart, MaxRowLength + 2);
            run.starts.push_back(context + rowStart +
                                 cutWithin(window, MaxRowLength, context + rowStart, keep));
        }
        // The rows found are shaped already: they are drawn from the chunk.
        for (int i = skip; i < whole; ++i) {
            const QTextLine row = part->lineAt(i);
            const int at = lineStart + context + row.textStart();
            if (!holdsPreedit(at, row.textLength()))
                keepBlock(at, {part, lineStart + context, i, row.textLength()});
        }
        return;
    }
}

void RowMap::extend(int lineStart, LineRows &rows, Runs::iterator run, int wanted)
{
    // No more than asked for, but not so little that a chunk is mostly the
    // rows it cannot trust.
    const std::size_t known = run->second.starts.size();
    wrapChunk(lineStart, rows, run->second, std::clamp(wanted, FewestRows, ChunkRows));
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

RowMap::Runs::iterator RowMap::runFor(int lineStart, LineRows &rows, int relative, int lead)
{
    auto run = std::prev(rows.runs.upper_bound(relative));
    for (;;) {
        const Run &rowsSoFar = run->second;
        if (rowsSoFar.complete || relative < rowsSoFar.starts.back())
            return run;
        const int distance = relative - rowsSoFar.starts.back();
        if (isLong(rows) && distance > JumpChunks * ChunkRows * charsPerRow()) {
            const int start = resyncPoint(lineStart, relative, lead);
            run = rows.runs.emplace(start, Run{{start}, false}).first;
            continue;
        }
        extend(lineStart, rows, run, distance / charsPerRow() + 2);
    }
}

RowMap::Row RowMap::rowOf(int lineStart, LineRows &rows, Runs::iterator run, std::size_t index)
{
    Run &found = run->second;
    while (!found.complete && found.starts.size() < index + 2)
        extend(lineStart, rows, run, int(index + 3 - found.starts.size()));
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
    return rowAt(offset, ChunkRows);
}

RowMap::Row RowMap::rowAt(int offset, int lead)
{
    offset = std::clamp(offset, 0, m_text.length());
    const int line = m_text.lineAt(offset);
    const int lineStart = m_text.lineStart(line);
    LineRows &rows = rowsOf(lineStart, m_text.lineEnd(line));
    const int relative = offset - lineStart;
    const auto run = runFor(lineStart, rows, relative, lead);
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
    // Rows before a run of its own come from a run started well before
    // them, as scrolling up through a long line reaches them one by one.
    row = rowAt(start - 1, (JumpChunks - 1) * ChunkRows);
    if (row.end > start) {
        // The rows before reach into this run partway through a row: wrap
        // them on until the two line up, or until this run gives way.
        const auto before = rows.runs.find(row.run);
        for (int chunk = 0; chunk < 2 * JumpChunks && before != rows.runs.end() &&
                            std::next(before) != rows.runs.end() &&
                            std::next(before)->first <= start - row.lineStart;
             ++chunk)
            extend(row.lineStart, rows, before, ChunkRows);
        row = rowAt(start - 1);
    }
    if (row.end > start) {
        row.end = start;
        row.run = -1;
    }
    return true;
}

int RowMap::walk(Row &row, int rows)
{
    int moved = 0;
    while (moved < rows && next(row))
        ++moved;
    while (moved > rows && previous(row))
        --moved;
    return moved;
}

bool RowMap::wrapped(int lineStart)
{
    const LineRows *found = m_lines.find(lineStart);
    return found && found->runs.begin()->second.complete;
}
