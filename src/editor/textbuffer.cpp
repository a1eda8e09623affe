#include "editor/textbuffer.h"

#include <algorithm>

int TextBuffer::breaksIn(int start, int end) const
{
    const auto first = std::lower_bound(breaks.begin(), breaks.end(), start);
    const auto last = std::lower_bound(first, breaks.end(), end);
    return int(last - first);
}

int TextBuffer::nthBreakFrom(int start, int n) const
{
    const auto first = std::lower_bound(breaks.begin(), breaks.end(), start);
    return first[n];
}
