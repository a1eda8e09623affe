#include "platform/escapedutf8.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte
// there does not begin one.
int sequenceLength(const uchar *at, const uchar *end)
{
    const uchar lead = at[0];
    int length = 0;
    uchar low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // not overlong
        else if (lead == 0xED)
            high = 0x9F; // not a surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // not beyond U+10FFFF
    } else {
        return 0;
    }
    if (end - at < length || at[1] < low || at[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (at[i] < 0x80 || at[i] > 0xBF)
            return 0;
    }
    return length;
}

// The first code unit from `from` that is a surrogate without its partner.
qsizetype nextLoneSurrogate(QStringView text, qsizetype from)
{
    const char16_t *data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        const char16_t unit = data[i];
        if ((unit & 0xF800) != 0xD800)
            continue;
        if (unit < 0xDC00 && i + 1 < size && (data[i + 1] & 0xFC00) == 0xDC00) {
            ++i;
            continue;
        }
        return i;
    }
    return size;
}

} // namespace

EscapedUtf8::Decoded EscapedUtf8::decode(QByteArrayView bytes)
{
    Decoded result;
    result.text.reserve(bytes.size());
    const auto *at = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = at + bytes.size();
    while (at < end) {
        const auto *run = at;
        while (at < end && *at < 0x80)
            ++at;
        if (at > run)
            result.text.append(QLatin1String(reinterpret_cast<const char *>(run), at - run));
        if (at == end)
            break;
        const int length = sequenceLength(at, end);
        if (length == 0) {
            result.text.append(QChar(char16_t(EscapeBase + *at)));
            ++result.strayBytes;
            ++at;
            continue;
        }
        // By hand: Qt's decoder would drop a byte-order mark here.
        char32_t codePoint = *at & (0x7F >> length);
        for (int i = 1; i < length; ++i)
            codePoint = (codePoint << 6) | (at[i] & 0x3F);
        result.text.append(QChar::fromUcs4(codePoint));
        ++result.sequences;
        at += length;
    }
    return result;
}

QByteArray EscapedUtf8::encode(QStringView text, Unwritable unwritable)
{
    qsizetype lone = nextLoneSurrogate(text, 0);
    if (lone == text.size())
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 2);
    qsizetype from = 0;
    while (from < text.size()) {
        bytes.append(text.sliced(from, lone - from).toUtf8());
        if (lone == text.size())
            break;
        const char16_t unit = text.at(lone).unicode();
        const int byte = byteOf(unit);
        bytes.append(byte >= 0 ? QByteArray(1, char(byte)) : unwritable(unit));
        from = lone + 1;
        lone = nextLoneSurrogate(text, from);
    }
    return bytes;
}

int EscapedUtf8::byteOf(char16_t unit)
{
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF ? unit - EscapeBase : -1;
}
