#include "recovery/pendingedits.h"

#include <algorithm>
#include <limits>

void PendingEdits::add(int start, int removed, int added)
{
    if (removed == 0 && added == 0)
        return;
    const int end = start + removed;
    // Spans that touch the edit, even at an edge, become one with it.
    auto first =
        std::lower_bound(m_spans.begin(), m_spans.end(), start,
                         [](const Span &span, int at) { return span.start + span.length < at; });
    auto last = first;
    int low = start;
    int high = end;
    int before = 0;
    int inside = 0; // characters of the joined spans, as they stand
    for (; last != m_spans.end() && last->start <= end; ++last) {
        low = std::min(low, last->start);
        high = std::max(high, last->start + last->length);
        before += last->before;
        inside += last->length;
    }
    // The rest of the joined stretch is text as it was.
    const Span joined{low, high - low + added - removed, before + (high - low - inside)};
    const int shift = added - removed;
    for (auto later = last; later != m_spans.end(); ++later)
        later->start += shift;
    first = m_spans.erase(first, last);
    m_spans.insert(first, joined);
    if (m_spans.size() > MaxSpans)
        joinClosest();
}

void PendingEdits::joinClosest()
{
    std::size_t closest = 0;
    int gap = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i + 1 < m_spans.size(); ++i) {
        const int between = m_spans[i + 1].start - (m_spans[i].start + m_spans[i].length);
        if (between < gap) {
            gap = between;
            closest = i;
        }
    }
    Span &left = m_spans[closest];
    const Span &right = m_spans[closest + 1];
    left.before += gap + right.before;
    left.length = right.start + right.length - left.start;
    m_spans.erase(m_spans.begin() + std::ptrdiff_t(closest) + 1);
}
