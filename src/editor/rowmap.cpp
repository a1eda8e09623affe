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
// Past a chunk's last row start, this much text makes the row before whole.
constexpr int LookAhead = 32;
// After an edit, wrapping goes on this many rows at a time: the old rows
// mostly line up again within two.
constexpr int RewrapRows = 4;
// Past this many remembered lines, short lines are forgotten.
constexpr std::size_t MaxLines = 4096;
constexpr std::size_t MaxBlocks = 512;
// A run wraps on to a place at most this many chunks ahead; farther, a run
// of its own starts there.
constexpr int JumpChunks = 4;

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
    rows.direction = directionOf(lineStart, rows.length);
    rows.runs[0].starts.push_back(0);
    return rows;
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

bool RowMap::isLong(const LineRows &rows) const
{
    return rows.length > LongLine;
}

void RowMap::wrapChunk(int lineStart, const LineRows &line, Run &run, int rows)
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
    // Right-to-left text is laid out from the row before, so that the first
    // row reorders as it does within its paragraph.
    int context = from;
    if (line.direction == Qt::RightToLeft && run.starts.size() > 1)
        context = run.starts[run.starts.size() - 2];
    for (int chunk = rows * charsPerRow() + LookAhead;; chunk *= 2) {
        const int end = std::min(length, from + chunk);
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
        if (whole < 1 + skip)
            continue;
        for (int i = 1 + skip; i <= whole && i < lines; ++i)
            run.starts.push_back(context + part->lineAt(i).textStart());
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

void RowMap::extend(int lineStart, LineRows &rows, Runs::iterator run, int wanted)
{
    // No more than asked for, but not so little that a chunk is mostly the
    // rows it cannot trust.
    const std::size_t known = run->second.starts.size();
    wrapChunk(lineStart, rows, run->second, std::clamp(wanted, RewrapRows, ChunkRows));
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
    // A long line is shaped row by row, so that an edit re-shapes only the
    // rows it changed and the rows below it stay shaped.
    const LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    const bool alone = isLong(rows);
    const int at = alone ? row.start : row.lineStart;
    const int length = alone ? row.end - row.start : row.lineEnd - row.lineStart;
    auto found = m_blocks.find(at);
    if (found == m_blocks.end() || found->second.length != length ||
        (found->second.line >= 0) != alone) {
        if (alone)
            keepBlock(at, rowBlock(row, rows.direction));
        else
            keepBlock(at, {layout(at, length, true, Wrapped, rows.direction), at, -1, length});
        found = m_blocks.find(at);
    }
    const Block &block = found->second;
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

RowMap::Changed RowMap::textChanged(int start, int removed, int added)
{
    const int delta = added - removed;
    // Shaped text the change did not touch stays shaped.
    std::map<int, Block> blocks;
    for (auto &[at, block] : m_blocks) {
        if (at + block.length < start) {
            blocks.emplace(at, std::move(block));
        } else if (at > start + removed) {
            block.start += delta;
            blocks.emplace(at + delta, std::move(block));
        }
    }
    m_blocks.swap(blocks);
    const int changedIndex = m_text.lineAt(start);
    const int changedLine = m_text.lineStart(changedIndex);
    const int changedEnd = m_text.lineEnd(changedIndex);
    Changed result{changedLine, Changed::ToTheEnd};
    int shortRows = 0; // of the changed line before, when it was short and wrapped
    std::map<int, LineRows> kept;
    for (auto &[lineStart, rows] : m_lines) {
        const int lineEnd = lineStart + rows.length;
        const bool within = lineStart <= start && start + removed <= lineEnd &&
                            changedLine == lineStart && changedEnd == lineEnd + delta;
        if (lineEnd < start) {
            kept.emplace(lineStart, std::move(rows));
        } else if (lineStart > start + removed) {
            kept.emplace(lineStart + delta, std::move(rows));
        } else if (within && !isLong(rows) && rows.runs.begin()->second.complete) {
            shortRows = int(rows.runs.begin()->second.starts.size());
        } else if (within && isLong(rows)) {
            const int at = start - lineStart;
            LineRows &line = kept[lineStart];
            line.length = rows.length + delta;
            line.direction = at < LongLine ? directionOf(lineStart, line.length) : rows.direction;
            if (line.direction != rows.direction)
                m_blocks.clear();                // shaped the other way round
            const int reach = 2 * charsPerRow(); // a row's start hangs on the word after it
            bool first = true;
            for (auto &[key, run] : rows.runs) {
                if (key > at + removed) {
                    Run shifted = std::move(run);
                    for (int &rowStart : shifted.starts)
                        rowStart += delta;
                    line.runs.emplace(key + delta, std::move(shifted));
                } else if (key == 0 || key <= at) {
                    const bool before = !run.complete && run.starts.back() + reach < at;
                    Run &kept = line.runs[key] = std::move(run);
                    if (before)
                        continue;
                    const Changed span = rewrap(lineStart, line, kept, at, removed, added);
                    result.from = first ? span.from : std::min(result.from, span.from);
                    result.to = first ? span.to : std::max(result.to, span.to);
                    first = false;
                }
            }
        }
    }
    m_lines.swap(kept);
    // A short line wraps whole at once; while it keeps its number of rows,
    // the rows below it stay where they are.
    const int length = changedEnd - changedLine;
    if (shortRows > 0 && length <= LongLine) {
        LineRows &rows = rowsOf(changedLine, changedEnd);
        runFor(changedLine, rows, length);
        if (int(rows.runs.begin()->second.starts.size()) == shortRows)
            result.to = changedEnd;
    }
    return result;
}

RowMap::Changed RowMap::rewrap(int lineStart, const LineRows &line, Run &run, int at, int removed,
                               int added)
{
    std::vector<int> &starts = run.starts;
    const int delta = added - removed;
    // The row before the changed one may take in text the change freed.
    const auto changed = std::upper_bound(starts.begin(), starts.end(), at) - 1;
    const auto keep = changed == starts.begin() ? changed : changed - 1;
    const std::ptrdiff_t keepIndex = keep - starts.begin();
    const int changedStart = *changed;
    std::vector<int> old;
    std::ptrdiff_t oldIndex = changed - starts.begin() + 1; // of old's first row
    for (auto it = changed + 1; it != starts.end(); ++it) {
        if (*it > at + removed)
            old.push_back(*it + delta);
        else
            ++oldIndex;
    }
    const bool oldComplete = run.complete;
    Changed result{lineStart + *keep, Changed::ToTheEnd};
    starts.erase(keep + 1, starts.end());
    run.complete = false;
    if (line.length <= LongLine) {
        starts.assign(1, 0);
        return result;
    }
    // Wrap on until a new row starts where an old one did: from there on the
    // rows are the old ones. If they have not by three rows after the change,
    // which the screen may show below it, the rows further on are wrapped
    // when someone asks for them.
    const int end = at + added;
    const auto rowsPast = [&starts, end] {
        return starts.end() - std::upper_bound(starts.begin(), starts.end(), end);
    };
    while (!run.complete && rowsPast() < 3) {
        const std::size_t first = starts.size();
        const bool far = starts.back() + ChunkRows * charsPerRow() < end;
        wrapChunk(lineStart, line, run, far ? ChunkRows : RewrapRows);
        for (std::size_t i = first; i < starts.size(); ++i) {
            const auto same = std::lower_bound(old.begin(), old.end(), starts[i]);
            if (same == old.end() || *same != starts[i])
                continue;
            // Rows from here on are the old ones; if as many come before
            // them as did, they have not moved on the screen either.
            if (std::ptrdiff_t(i) == oldIndex + (same - old.begin())) {
                if (std::size_t(keepIndex + 1) < starts.size() &&
                    starts[std::size_t(keepIndex + 1)] == changedStart)
                    result.from = lineStart + changedStart;
                result.to = lineStart + starts[i] - 1;
            }
            starts.erase(starts.begin() + std::ptrdiff_t(i) + 1, starts.end());
            starts.insert(starts.end(), same + 1, old.end());
            run.complete = oldComplete;
            return result;
        }
    }
    return result;
}
