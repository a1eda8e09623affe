#pragma once

// How a page's text is stored in its file. The editor keeps no file name, but
// a page opened from a file is written back in the file's own form.
struct PageFormat
{
    enum class Encoding {
        Utf8, // bytes that are not UTF-8 are kept as U+DC80 to U+DCFF
        Utf8WithBom,
        Windows1252, // a legacy page that is not mostly UTF-8
        Utf16LeWithBom,
        Utf16BeWithBom,
        Utf32LeWithBom,
        Utf32BeWithBom,
    };
    enum class LineBreak {
        CrLf,
        Lf,
    };

    // A page begun in the editor: UTF-8 without byte-order mark, CR LF.
    Encoding encoding = Encoding::Utf8;
    LineBreak lineBreak = LineBreak::CrLf;

    bool operator==(const PageFormat &other) const
    {
        return encoding == other.encoding && lineBreak == other.lineBreak;
    }
};
