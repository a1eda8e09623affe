#include "recovery/cesu8.h"

qsizetype Cesu8::size(QStringView text)
{
    qsizetype bytes = text.size();
    for (const QChar c : text)
        bytes += (c.unicode() >= 0x80) + (c.unicode() >= 0x800);
    return bytes;
}

void Cesu8::encode(QStringView text, QByteArray &out)
{
    const qsizetype at = out.size();
    out.resize(at + size(text));
    char *to = out.data() + at;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *to++ = char(u);
        } else if (u < 0x800) {
            *to++ = char(0xC0 | (u >> 6));
            *to++ = char(0x80 | (u & 0x3F));
        } else {
            *to++ = char(0xE0 | (u >> 12));
            *to++ = char(0x80 | ((u >> 6) & 0x3F));
            *to++ = char(0x80 | (u & 0x3F));
        }
    }
}

bool Cesu8::decode(const char *bytes, qsizetype size, QString &out)
{
    const auto *from = reinterpret_cast<const unsigned char *>(bytes);
    const unsigned char *end = from + size;
    const qsizetype at = out.size();
    out.resize(at + size); // never more units than bytes
    char16_t *to = reinterpret_cast<char16_t *>(out.data()) + at;
    const auto follows = [&](int count) {
        if (end - from <= count)
            return false;
        for (int i = 1; i <= count; ++i)
            if ((from[i] & 0xC0) != 0x80)
                return false;
        return true;
    };
    bool whole = true;
    while (from < end) {
        const unsigned char lead = *from;
        if (lead < 0x80) {
            *to++ = lead;
            from += 1;
        } else if ((lead & 0xE0) == 0xC0 && follows(1)) {
            *to++ = char16_t(((lead & 0x1F) << 6) | (from[1] & 0x3F));
            from += 2;
        } else if ((lead & 0xF0) == 0xE0 && follows(2)) {
            *to++ = char16_t(((lead & 0x0F) << 12) | ((from[1] & 0x3F) << 6) | (from[2] & 0x3F));
            from += 3;
        } else {
            whole = false;
            break;
        }
    }
    out.truncate(to - reinterpret_cast<const char16_t *>(out.constData()));
    return whole;
}
