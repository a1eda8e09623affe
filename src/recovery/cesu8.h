#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Text as bytes that give back every UTF-16 code unit, lone surrogates too:
// each unit is written as UTF-8 writes a code point of its value, so a pair
// takes six bytes and ASCII one. A run may be cut anywhere between units.
class Cesu8
{
public:
    // How many bytes encode() adds for `text`.
    static qsizetype size(QStringView text);
    static void encode(QStringView text, QByteArray &out);
    // False, with `out` as far as it got, when `bytes` are not such a text.
    static bool decode(const char *bytes, qsizetype size, QString &out);
};
