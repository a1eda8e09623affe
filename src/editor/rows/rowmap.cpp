#include "editor/rows/rowmap.h"

#include <QFontMetricsF>

#include <algorithm>

#include "editor/rows/controlpictures.h"
#include "editor/rows/rowcuts.h"
#include "editor/text/piecetree.h"

RowMap::RowMap(const PieceTree &text) : m_text(text), m_shapes(text) {}

void RowMap::setFormat(const QFont &font, qreal width, qreal tabStop)
{
    m_shapes.setFormat(font, width, tabStop);
    const QFontMetricsF metrics(font);
    m_charWidth = std::max<qreal>(metrics.horizontalAdvance(QLatin1Char('x')), 1);
    m_widestChar = std::max<qreal>(metrics.maxWidth(), m_charWidth);
    m_lines.clear();
}

int RowMap::charsPerRow() const
{
    return std::max(1, int(width() / m_charWidth));
}

int RowMap::chunkLength() const
{
    return ChunkRows * charsPerRow();
}

void RowMap::setPreedit(int position, const QString &text)
{
    m_shapes.setPreedit(position, text);
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

Qt::LayoutDirection RowMap::directionOf(int lineStart, int length) const
{
    // The first character with a strong direction decides, as for a paragraph.
    const QString text = m_text.text(lineStart, std::min(length, DirectionWindow));
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

bool RowMap::wrapped(int lineStart)
{
    const LineRows *found = m_lines.find(lineStart);
    return found && found->runs.begin()->second.complete;
}

// Finding rows

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
    row = rowAt(start - 1, ScrollUpLead);
    if (row.end > start) {
        // The rows before reach into this run partway through a row: wrap
        // them on until the two line up, or until this run gives way.
        const auto before = rows.runs.find(row.run);
        for (int chunk = 0; chunk < StitchChunks && before != rows.runs.end() &&
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

RowMap::Runs::iterator RowMap::runFor(int lineStart, LineRows &rows, int relative, int lead)
{
    auto run = std::prev(rows.runs.upper_bound(relative));
    for (;;) {
        const Run &rowsSoFar = run->second;
        if (rowsSoFar.complete || relative < rowsSoFar.starts.back())
            return run;
        const int distance = relative - rowsSoFar.starts.back();
        if (isLong(rows) && distance > JumpChunks * chunkLength()) {
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

int RowMap::resyncPoint(int lineStart, int relative, int lead) const
{
    // `lead` rows before the place, where a row starts in all likelihood:
    // the rows wrapped from there come to agree with the line's own before
    // they reach the place.
    return RowCuts::likelyRowStart(m_text, lineStart, std::max(0, relative - lead * charsPerRow()));
}

// Wrapping

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
                          starts.back() > next->first + chunkLength();
        if (!joined && !past)
            return;
        rows.runs.erase(next);
    }
}

void RowMap::wrapChunk(int lineStart, const LineRows &line, Run &run, int rows,
                       const std::vector<int> &keep)
{
    const int length = line.length;
    if (length <= LongLine) {
        wrapWhole(lineStart, line, run);
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
        const std::shared_ptr<QTextLayout> part =
            m_shapes.wrap(lineStart + context, end - context, line.direction);
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
            const QString window = part->text().mid(rowStart, MaxRowLength + RowCuts::PastBound);
            run.starts.push_back(
                context + rowStart +
                RowCuts::cutWithin(window, MaxRowLength, context + rowStart, keep));
        }
        // The rows found are shaped already: they are drawn from the chunk.
        m_shapes.keepRows(part, lineStart + context, skip, whole);
        return;
    }
}

void RowMap::wrapWhole(int lineStart, const LineRows &line, Run &run)
{
    std::shared_ptr<QTextLayout> whole = m_shapes.wrap(lineStart, line.length, line.direction);
    run.starts.clear();
    for (int i = 0; i < whole->lineCount(); ++i)
        run.starts.push_back(whole->lineAt(i).textStart());
    if (run.starts.empty())
        run.starts.push_back(0);
    run.complete = true;
    m_shapes.keepLine(std::move(whole), lineStart);
}

int RowMap::invisibleCut(int lineStart, int length, int from, const std::vector<int> &keep) const
{
    if (length - from <= RowCuts::InvisibleRow)
        return -1;
    const QString window = ControlPictures::displayed(
        m_text.text(lineStart + from, RowCuts::InvisibleRow + RowCuts::PastBound));
    return RowCuts::invisibleCut(window, from, m_widestChar, width(), keep);
}

int RowMap::cutRow(const QTextLayout &part, int skip, int whole, int laidOut)
{
    for (int i = skip; i < part.lineCount(); ++i) {
        const QTextLine row = part.lineAt(i);
        if (row.textLength() <= MaxRowLength)
            continue;
        // Cut where the row's end is known, or where enough text follows
        // the bound for the break rules.
        const bool known = i < whole || row.textStart() + MaxRowLength + LookAhead <= laidOut;
        return known ? i : -1;
    }
    return -1;
}

// Following an edit: shapes and lines after it move, those it reached go,
// and the changed line is wrapped again.

RowMap::Changed RowMap::textChanged(int start, int removed, int added)
{
    m_shapes.textChanged(start, removed, added);
    const int line = m_text.lineAt(start);
    const int lineStart = m_text.lineStart(line);
    const int lineEnd = m_text.lineEnd(line);
    const ChangedLine changed = moveLines(start, removed, added, lineStart, lineEnd);
    if (changed.keptLong)
        return rewrapLongLine(lineStart, start - lineStart, removed, added);
    if (changed.shortRows > 0)
        return rewrapShortLine(lineStart, lineEnd, changed.shortRows);
    return {lineStart, Changed::ToTheEnd};
}

RowMap::ChangedLine RowMap::moveLines(int start, int removed, int added, int lineStart, int lineEnd)
{
    const int delta = added - removed;
    ChangedLine changed;
    m_lines.rekey([&](int at, const LineRows &rows) {
        const int end = at + rows.length;
        if (end < start)
            return at;
        if (at > start + removed)
            return at + delta;
        const bool within =
            at <= start && start + removed <= end && lineStart == at && lineEnd == end + delta;
        if (within && isLong(rows)) {
            changed.keptLong = true;
            return at;
        }
        if (within && rows.runs.begin()->second.complete)
            changed.shortRows = int(rows.runs.begin()->second.starts.size());
        return -1;
    });
    return changed;
}

RowMap::Changed RowMap::rewrapLongLine(int lineStart, int at, int removed, int added)
{
    const int delta = added - removed;
    LineRows &line = *m_lines.find(lineStart);
    const Qt::LayoutDirection direction = line.direction;
    Runs runs = std::move(line.runs);
    line.runs.clear();
    line.length += delta;
    if (at < DirectionWindow)
        line.direction = directionOf(lineStart, line.length);
    if (line.direction != direction)
        m_shapes.clear(); // shaped the other way round
    Changed result{lineStart, Changed::ToTheEnd};
    bool first = true;
    for (auto &[key, run] : runs) {
        if (key > at + removed) {
            Run shifted = std::move(run);
            for (int &rowStart : shifted.starts)
                rowStart += delta;
            line.runs.emplace(key + delta, std::move(shifted));
        } else if (key == 0 || key <= at) {
            const bool before = !run.complete && run.starts.back() + HangRows * charsPerRow() < at;
            Run &kept = line.runs[key] = std::move(run);
            if (before)
                continue;
            const Changed span = rewrapRun(lineStart, line, kept, at, removed, added);
            result.from = first ? span.from : std::min(result.from, span.from);
            result.to = first ? span.to : std::max(result.to, span.to);
            first = false;
        }
    }
    return result;
}

RowMap::Changed RowMap::rewrapShortLine(int lineStart, int lineEnd, int rowsBefore)
{
    // A short line wraps whole at once; while it keeps its number of rows,
    // the rows below it stay where they are.
    Changed result{lineStart, Changed::ToTheEnd};
    const int length = lineEnd - lineStart;
    if (length <= LongLine) {
        LineRows &rows = rowsOf(lineStart, lineEnd);
        runFor(lineStart, rows, length);
        if (int(rows.runs.begin()->second.starts.size()) == rowsBefore)
            result.to = lineEnd;
    }
    return result;
}

RowMap::Changed RowMap::rewrapRun(int lineStart, const LineRows &line, Run &run, int at,
                                  int removed, int added)
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
    // rows are the old ones. If they have not by the row after the change's,
    // which the screen shows below a caret on its last whole row, the rows
    // further on are wrapped when someone asks for them.
    const int end = at + added;
    const auto rowsPast = [&starts, end] {
        return int(starts.end() - std::upper_bound(starts.begin(), starts.end(), end));
    };
    constexpr int Past = 2; // row starts after the change: the next row, whole
    // When the changed row starts where it did, the row before is as it was.
    const auto settled = [&] {
        if (std::size_t(keepIndex + 1) < starts.size() &&
            starts[std::size_t(keepIndex + 1)] == changedStart)
            result.from = lineStart + changedStart;
        return result;
    };
    while (!run.complete && rowsPast() < Past) {
        const std::size_t first = starts.size();
        const bool far = starts.back() + chunkLength() < end;
        // The rows after the change, and the row before when it is wrapped again.
        const int wanted = Past - rowsPast() + (starts.back() < changedStart ? 1 : 0);
        wrapChunk(lineStart, line, run, far ? ChunkRows : wanted, old);
        for (std::size_t i = first; i < starts.size(); ++i) {
            const auto same = std::lower_bound(old.begin(), old.end(), starts[i]);
            if (same == old.end() || *same != starts[i])
                continue;
            // Rows from here on are the old ones; if as many come before
            // them as did, they have not moved on the screen either.
            if (std::ptrdiff_t(i) == oldIndex + (same - old.begin()))
                result.to = lineStart + starts[i] - 1;
            starts.erase(starts.begin() + std::ptrdiff_t(i) + 1, starts.end());
            starts.insert(starts.end(), same + 1, old.end());
            run.complete = oldComplete;
            return settled();
        }
    }
    return settled();
}

// Drawing

RowMap::Shaped RowMap::shape(const Row &row)
{
    const LineRows &rows = rowsOf(row.lineStart, row.lineEnd);
    const Qt::LayoutDirection direction = rows.direction;
    if (!isLong(rows))
        return m_shapes.lineRow(row.lineStart, row.lineEnd - row.lineStart, row.index, direction);
    // A long line is shaped row by row, so that an edit re-shapes only the
    // rows it changed and the rows below it stay shaped.
    const int length = row.end - row.start;
    if (const auto kept = m_shapes.keptRow(row.start, length))
        return *kept;
    // Right-to-left text is shaped with the rows around it, so that it
    // reorders as within its paragraph; the row is drawn from its own line.
    int from = row.start;
    int to = row.end;
    if (direction == Qt::RightToLeft) {
        Row before = row;
        Row after = row;
        if (row.start > row.lineStart && previous(before))
            from = before.start;
        if (!row.lastInLine() && next(after))
            to = after.end;
    }
    return m_shapes.shapeRow(row.start, length, from, to, direction);
}
