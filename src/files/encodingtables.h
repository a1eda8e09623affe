#pragma once

#include <QByteArrayView>
#include <QtEndian>

#include "editor/pageformat.h"

// What reading and writing a page both need to know of its encodings.
namespace EncodingTables {

inline constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
inline constexpr int Utf8BomSize = 3;

// Windows-1252 bytes 0x80 to 0x9F. The five bytes it leaves undefined stand for
// the control characters of the same value, so that they come back unchanged.
inline constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The encodings recognised by their byte-order mark, longest mark first: a
// UTF-32 LE mark begins with the UTF-16 LE one.
struct WideEncoding
{
    PageFormat::Encoding encoding;
    const char *bom;
    int unitSize; // 2 or 4 bytes, the mark's size too
    bool bigEndian;
};
inline constexpr WideEncoding WideEncodings[] = {
    {PageFormat::Encoding::Utf32LeWithBom, "\xFF\xFE\0\0", 4, false},
    {PageFormat::Encoding::Utf32BeWithBom, "\0\0\xFE\xFF", 4, true},
    {PageFormat::Encoding::Utf16LeWithBom, "\xFF\xFE", 2, false},
    {PageFormat::Encoding::Utf16BeWithBom, "\xFE\xFF", 2, true},
};

inline char32_t readUnit(const char *at, const WideEncoding &wide)
{
    if (wide.unitSize == 2)
        return wide.bigEndian ? qFromBigEndian<quint16>(at) : qFromLittleEndian<quint16>(at);
    return wide.bigEndian ? qFromBigEndian<quint32>(at) : qFromLittleEndian<quint32>(at);
}

// The UTF-16 code units that a file of `bytes` holds when read in `wide`, or
// -1 when it does not begin with the mark, is not whole units or, for UTF-32,
// holds a unit that is no Unicode scalar value (a surrogate in it could not be
// written back apart from its neighbour).
inline qsizetype wideLength(QByteArrayView bytes, const WideEncoding &wide)
{
    if (!bytes.startsWith(QByteArrayView(wide.bom, wide.unitSize)) ||
        bytes.size() % wide.unitSize != 0)
        return -1;
    qsizetype length = bytes.size() / wide.unitSize - 1;
    if (wide.unitSize == 2)
        return length;
    for (qsizetype at = wide.unitSize; at < bytes.size(); at += 4) {
        const char32_t unit = readUnit(bytes.data() + at, wide);
        if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF))
            return -1;
        length += unit > 0xFFFF ? 1 : 0;
    }
    return length;
}

inline const WideEncoding *wideEncoding(PageFormat::Encoding encoding)
{
    for (const WideEncoding &wide : WideEncodings) {
        if (wide.encoding == encoding)
            return &wide;
    }
    return nullptr;
}

} // namespace EncodingTables
