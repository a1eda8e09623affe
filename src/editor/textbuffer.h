#pragma once

#include <QString>

#include <vector>

// Text that pieces refer to: the page as opened, or the characters added since.
// Text is only ever appended, so a piece's range never goes stale.
struct TextBuffer
{
    QString text;
    // Offsets of every '\n' in `text`, ascending.
    std::vector<int> breaks;

    void append(QStringView added)
    {
        const int base = int(text.size());
        text.append(added);
        for (int i = 0; i < added.size(); ++i) {
            if (added[i] == QLatin1Char('\n'))
                breaks.push_back(base + i);
        }
    }

    // Line breaks within [start, end).
    int breaksIn(int start, int end) const;
    // Offset of the `n`th (from 0) line break at or after `start`.
    int nthBreakFrom(int start, int n) const;
};
