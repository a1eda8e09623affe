// How the rows of a long line follow an edit: re-wrapped from the row before
// the change until they line up with the old rows again.
#include "editor/rows/rowmap.h"

#include <algorithm>

#include "editor/text/piecetree.h"

RowMap::Changed RowMap::textChanged(int start, int removed, int added)
{
    const int delta = added - removed;
    // Shaped text the change did not touch stays shaped.
    m_blocks.rekey([start, removed, delta](int at, Block &block) {
        if (at + block.length < start)
            return at;
        if (at <= start + removed)
            return -1;
        block.start += delta;
        return at + delta;
    });
    const int changedIndex = m_text.lineAt(start);
    const int changedLine = m_text.lineStart(changedIndex);
    const int changedEnd = m_text.lineEnd(changedIndex);
    Changed result{changedLine, Changed::ToTheEnd};
    int shortRows = 0;     // of the changed line before, when it was short and wrapped
    bool longLine = false; // the change fell within a long line, kept in place
    m_lines.rekey([&](int lineStart, const LineRows &rows) {
        const int lineEnd = lineStart + rows.length;
        if (lineEnd < start)
            return lineStart;
        if (lineStart > start + removed)
            return lineStart + delta;
        const bool within = lineStart <= start && start + removed <= lineEnd &&
                            changedLine == lineStart && changedEnd == lineEnd + delta;
        if (within && isLong(rows)) {
            longLine = true;
            return lineStart;
        }
        if (within && rows.runs.begin()->second.complete)
            shortRows = int(rows.runs.begin()->second.starts.size());
        return -1;
    });
    if (longLine) {
        const int at = start - changedLine;
        LineRows &line = *m_lines.find(changedLine);
        const Qt::LayoutDirection direction = line.direction;
        Runs runs = std::move(line.runs);
        line.runs.clear();
        line.length += delta;
        if (at < LongLine)
            line.direction = directionOf(changedLine, line.length);
        if (line.direction != direction)
            m_blocks.clear();                // shaped the other way round
        const int reach = 2 * charsPerRow(); // a row's start hangs on the word after it
        bool first = true;
        for (auto &[key, run] : runs) {
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
                const Changed span = rewrap(changedLine, line, kept, at, removed, added);
                result.from = first ? span.from : std::min(result.from, span.from);
                result.to = first ? span.to : std::max(result.to, span.to);
                first = false;
            }
        }
    }
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
        const bool far = starts.back() + ChunkRows * charsPerRow() < end;
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
