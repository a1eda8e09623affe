#pragma once

#include <QByteArray>
#include <QString>

#include "editor/pageformat.h"

// Turns a page file's bytes into the editor's text and back, so that a page
// that is opened and saved again keeps every byte.
class PageCodec
{
public:
    struct Page
    {
        QString text; // line breaks as '\n'
        PageFormat format;
    };

    // UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark goes into
    // the format, not the text), Windows-1252 otherwise. Line breaks become '\n'.
    static Page decode(const QByteArray &bytes);

    // `text` (line breaks as '\n') followed by one line break, in `format`.
    // A character that Windows-1252 cannot hold is written as "&#N;".
    static QByteArray encode(const QString &text, const PageFormat &format);
};
