#pragma once

#include <QString>

// What the box draws for a run of text: characters without a glyph of their
// own become visible pictures, one for one, so offsets stay the same.
namespace ControlPictures {

inline QChar shown(char16_t unit)
{
    if (unit < 0x20 && unit != u'\t')
        return QChar(char16_t(0x2400 + unit)); // the control pictures block
    if (unit == 0x7F)
        return QChar(char16_t(0x2421));
    if (unit == 0x2028)
        return QChar(char16_t(0x2424)); // line separator: symbol for newline
    if (unit == 0x2029)
        return QChar(char16_t(0x00B6)); // paragraph separator: pilcrow
    return QChar(unit);
}

inline QString displayed(QString text)
{
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = data[i];
        if (unit < 0x20 || unit == 0x7F || unit == 0x2028 || unit == 0x2029) {
            data[i] = shown(unit).unicode();
        } else if (QChar::isSurrogate(unit)) {
            // A lone surrogate has no glyph; a pair is drawn as its character.
            const bool pairs = QChar::isHighSurrogate(unit)
                                   ? i + 1 < size && QChar::isLowSurrogate(data[i + 1])
                                   : i > 0 && QChar::isHighSurrogate(data[i - 1]);
            if (!pairs)
                data[i] = 0xFFFD;
            else if (QChar::isHighSurrogate(unit))
                ++i;
        }
    }
    return text;
}

} // namespace ControlPictures
