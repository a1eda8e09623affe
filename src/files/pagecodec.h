#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

#include "editor/pageformat.h"

// Turns a page file's bytes into the editor's text and back, so that a page
// that is opened and saved again keeps every byte.
class PageCodec
{
public:
    struct Page
    {
        QString text; // line breaks as '\n'; a CR not followed by LF is a character
        PageFormat format;
    };

    // A byte-order mark of UTF-32 or UTF-16 (little or big endian) gives that
    // encoding when the rest of the file is whole units of it (and, for UTF-32,
    // only Unicode scalar values). Otherwise the page is UTF-8 when it is mostly
    // UTF-8: valid, or holding at least as many well-formed multi-byte sequences
    // (a UTF-8 byte-order mark counts as one) as bytes that are not UTF-8; each
    // such byte becomes the lone code unit U+DC00 + byte. Any other page is
    // Windows-1252. CR LF and LF become '\n'; the page keeps LF breaks when it
    // has no CR LF, CR LF otherwise.
    static Page decode(const QByteArray &bytes);

    // `text` (line breaks as '\n') followed by one line break, in `format`.
    // In UTF-8 and Windows-1252 a lone U+DC80 to U+DCFF is written as the byte
    // it stands for. A character that the encoding cannot hold is written as
    // "&#N;": beyond Windows-1252, or a lone surrogate in UTF-8 or UTF-32.
    static QByteArray encode(const QString &text, const PageFormat &format);

    // A text handed over in consecutive runs: calls its argument with each.
    using Chunks = std::function<void(const std::function<void(QStringView)> &chunk)>;
    // The same from `text`, `length` code units in all, encoded run by run
    // without a copy of the whole text; the runs may split anything, a
    // surrogate pair too.
    static QByteArray encode(const Chunks &text, qsizetype length, const PageFormat &format);
};
