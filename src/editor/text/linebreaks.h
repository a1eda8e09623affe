#pragma once

#include <QString>

// Text that comes from outside the page (pasted, dropped, typed) takes the
// page's line break, as in Qt's own boxes: CR LF and a lone CR become '\n'.
// Text read from a file keeps every CR.
namespace LineBreaks {

inline QString fromOutside(QString text)
{
    const qsizetype first = text.indexOf(QLatin1Char('\r'));
    if (first < 0)
        return text;
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    qsizetype out = first;
    for (qsizetype i = first; i < size; ++i) {
        if (data[i] != u'\r') {
            data[out++] = data[i];
            continue;
        }
        data[out++] = u'\n';
        if (i + 1 < size && data[i + 1] == u'\n')
            ++i;
    }
    text.truncate(out);
    return text;
}

} // namespace LineBreaks
