#include "platform/escapedutf8.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte
// there does not begin one.
inline int sequenceLength(const uchar *at, const uchar *end)
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

// Writes the ASCII bytes from `at` on as code units to `out`, up to the first
// byte that is not ASCII, and gives where the units end.
char16_t *widenAscii(const uchar *&at, const uchar *end, char16_t *out)
{
#ifdef __SSE2__
    for (; end - at >= 16; at += 16, out += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        if (_mm_movemask_epi8(bytes))
            break;
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    while (at < end && *at < 0x80)
        *out++ = *at++;
    return out;
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

EscapedUtf8::Counts EscapedUtf8::decode(QByteArrayView bytes, char16_t *out)
{
    Counts counts;
    char16_t *const begin = out;
    const auto *at = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = at + bytes.size();
    while (at < end) {
        if (*at < 0x80) {
            out = widenAscii(at, end, out);
            continue;
        }
        const int length = sequenceLength(at, end);
        if (length == 0) {
            *out++ = char16_t(EscapeBase + *at++);
            ++counts.strayBytes;
            continue;
        }
        // By hand: Qt's decoder would drop a byte-order mark here.
        char32_t codePoint = *at & (0x7F >> length);
        for (int i = 1; i < length; ++i)
            codePoint = (codePoint << 6) | (at[i] & 0x3F);
        if (QChar::requiresSurrogates(codePoint)) {
            *out++ = QChar::highSurrogate(codePoint);
            *out++ = QChar::lowSurrogate(codePoint);
        } else {
            *out++ = char16_t(codePoint);
        }
        ++counts.sequences;
        at += length;
    }
    counts.units = out - begin;
    return counts;
}

QString EscapedUtf8::decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    text.truncate(decode(bytes, reinterpret_cast<char16_t *>(text.data())).units);
    return text;
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
