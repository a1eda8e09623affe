#pragma once

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

inline const WideEncoding *wideEncoding(PageFormat::Encoding encoding)
{
    for (const WideEncoding &wide : WideEncodings) {
        if (wide.encoding == encoding)
            return &wide;
    }
    return nullptr;
}

} // namespace EncodingTables
