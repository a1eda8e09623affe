#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// UTF-8 that keeps every byte: a byte that is not part of a well-formed
// sequence becomes the lone code unit U+DC00 + byte (U+DC80 to U+DCFF), and
// such a unit is written back as that byte.
class EscapedUtf8
{
public:
    struct Counts
    {
        qsizetype units = 0;     // UTF-16 code units written
        qsizetype sequences = 0; // well-formed sequences of two bytes or more
        qsizetype strayBytes = 0;
    };

    // Writes the text of `bytes` to `out`, which has room for a unit a byte.
    static Counts decode(QByteArrayView bytes, char16_t *out);
    static QString decode(QByteArrayView bytes);

    // What a lone surrogate that stands for no byte is written as.
    using Unwritable = QByteArray (*)(char32_t unit);
    static QByteArray encode(QStringView text, Unwritable unwritable);

    // The byte that `unit` stands for, or -1 when it stands for none.
    static int byteOf(char16_t unit);
};
