// How the rows of a long line follow an edit: re-wrapped from the row before
// the change until they line up with the old rows again.
#include "editor/rowmap.h"

#include <algorithm>

#include "editor/piecetree.h"

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
