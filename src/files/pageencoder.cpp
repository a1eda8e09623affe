#include "files/pageencoder.h"

#include <QtEndian>

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <sys/mman.h>

#include "files/encodingtables.h"
#include "platform/escapedutf8.h"

namespace {

using Encoding = PageFormat::Encoding;

// Code units encoded between two checks of the room left; a pair cut by a
// block's end is taken whole.
constexpr qsizetype BlockUnits = 4096;

bool isSurrogate(char16_t unit)
{
    return (unit & 0xF800) == 0xD800;
}
bool isHigh(char16_t unit)
{
    return (unit & 0xFC00) == 0xD800;
}
bool isLow(char16_t unit)
{
    return (unit & 0xFC00) == 0xDC00;
}

// "&#N;", for what the encoding cannot hold: at most 10 bytes.
char *writeReference(char *out, char32_t codePoint)
{
    char digits[8];
    int count = 0;
    do {
        digits[count++] = char('0' + codePoint % 10);
        codePoint /= 10;
    } while (codePoint);
    *out++ = '&';
    *out++ = '#';
    while (count)
        *out++ = digits[--count];
    *out++ = ';';
    return out;
}

char *writeFourBytes(char *out, char32_t codePoint)
{
    *out++ = char(0xF0 | (codePoint >> 18));
    *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = char(0x80 | (codePoint & 0x3F));
    return out;
}

// The Windows-1252 byte for `unit`, or -1 when it has none.
int windows1252Byte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    if (const int byte = EscapedUtf8::byteOf(unit); byte >= 0)
        return byte;
    for (int i = 0; i < 32; ++i) {
        if (EncodingTables::Windows1252High[i] == unit)
            return 0x80 + i;
    }
    return -1;
}

#ifdef __SSE2__
// 0xFF for each of the eight units that is ASCII and, with `lineFeed`, not a line feed.
__m128i plainUnits(__m128i units, __m128i lineFeed)
{
    const __m128i ascii =
        _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(short(0xFF80))), _mm_setzero_si128());
    return _mm_andnot_si128(_mm_cmpeq_epi16(units, lineFeed), ascii);
}
#endif

bool plainUnit(char16_t unit, bool crlf)
{
    return unit < 0x80 && !(crlf && unit == u'\n');
}

// Encodes [at, end): ASCII units as themselves, but for a line feed when breaks
// are CR LF; every other unit through `other(out, at)`, which writes it (and
// its partner) and gives where to go on. Where the processor can, sixteen units
// are looked at in one step and the bytes between other units copied from
// them, so that a page of accented text is not taken one unit at a time.
// `out` has room for 16 bytes more than the units can take.
template <typename Other>
char *encodeNarrow(char *out, const char16_t *at, const char16_t *end, bool crlf, Other other)
{
#ifdef __SSE2__
    const __m128i lineFeed = _mm_set1_epi16(crlf ? u'\n' : 0x8000);
    alignas(16) char bytes[32] = {};
    while (end - at >= 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 8));
        const __m128i packed = _mm_packus_epi16(low, high);
        unsigned stops = ~unsigned(_mm_movemask_epi8(_mm_packs_epi16(plainUnits(low, lineFeed),
                                                                     plainUnits(high, lineFeed)))) &
                         0xFFFF;
        if (!stops) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), packed);
            at += 16;
            out += 16;
            continue;
        }
        _mm_store_si128(reinterpret_cast<__m128i *>(bytes), packed);
        int done = 0; // units of the sixteen written
        while (stops) {
            const int stop = __builtin_ctz(stops);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + done)));
            out += stop - done;
            done = int(other(out, at + stop) - at);
            stops = done < 16 ? stops & (~0u << done) : 0;
        }
        if (done < 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + done)));
            out += 16 - done;
            done = 16;
        }
        at += done; // one more when a pair began at the last
    }
#endif
    while (at < end) {
        if (plainUnit(*at, crlf))
            *out++ = char(*at++);
        else
            at = other(out, at);
    }
    return out;
}

} // namespace

PageEncoder::PageEncoder(const PageFormat &format, qsizetype length)
    : m_crlf(format.lineBreak == PageFormat::LineBreak::CrLf),
      m_wide(EncodingTables::wideEncoding(format.encoding))
{
    QByteArrayView mark;
    int unitBytes; // the most a unit takes unless written as a reference
    if (m_wide) {
        m_kind = m_wide->unitSize == 2 ? Kind::Utf16 : Kind::Utf32;
        m_bigEndian = m_wide->bigEndian;
        mark = QByteArrayView(m_wide->bom, m_wide->unitSize);
        unitBytes = m_wide->unitSize * (m_crlf ? 2 : 1);
        // A "&#N;" of eight characters for a lone surrogate.
        m_mostBytesPerUnit = m_kind == Kind::Utf16 ? 4 : 8 * 4;
    } else {
        m_kind = format.encoding == Encoding::Windows1252 ? Kind::Windows1252 : Kind::Utf8;
        if (format.encoding == Encoding::Utf8WithBom)
            mark = QByteArrayView(EncodingTables::Utf8Bom, EncodingTables::Utf8BomSize);
        // Windows-1252: a byte, or two for CR LF; that leaves room for references
        // to one character in seven or so.
        unitBytes = m_kind == Kind::Utf8 ? 3 : 2;
        // "&#1114111;" for a pair whose high half ended the last run.
        m_mostBytesPerUnit = 10;
    }
    // Room for any text but one full of references, and for the worst of the
    // last block (as room() asks), so that the buffer does not grow: growing
    // copies it and, meanwhile, holds the page twice. Only what is written
    // takes memory; the rest is address space that the system never fills.
    m_bytes =
        QByteArray(mark.size() + length * unitBytes + (BlockUnits + 2) * m_mostBytesPerUnit + 16,
                   Qt::Uninitialized);
    adviseLarge();
    if (!mark.isEmpty())
        std::memcpy(m_bytes.data(), mark.data(), size_t(mark.size()));
    m_size = mark.size();
}

void PageEncoder::append(QStringView text)
{
    const char16_t *at = text.utf16();
    const char16_t *end = at + text.size();
    if (at == end)
        return;
    m_last = end[-1];
    if (m_high) {
        const char16_t first[2] = {m_high, *at};
        const qsizetype taken = isLow(*at) ? 1 : 0;
        m_high = 0;
        encode(first, first + 1 + taken, false);
        at += taken;
    }
    while (at < end) {
        const char16_t *blockEnd = end - at > BlockUnits ? at + BlockUnits : end;
        if (blockEnd < end && isHigh(blockEnd[-1]))
            ++blockEnd;
        encode(at, blockEnd, true);
        at = blockEnd;
    }
}

// The final line break is left off where the file would read back otherwise:
// - after a lone CR on an LF page, where the two would join into a CR LF, a
//   break of another style, and the CR would be lost;
// - where the break alone would make the file read in another encoding: a page
//   read byte for byte although it begins with a UTF-16 or UTF-32 mark, and
//   whose length the break would make fit; UTF-16 LE beginning with U+0000,
//   whose mark and first unit are the UTF-32 LE mark.
QByteArray PageEncoder::finish()
{
    if (m_high) {
        const char16_t high = m_high;
        m_high = 0;
        encode(&high, &high + 1, false);
    }
    const qsizetype text = m_size;
    if (m_crlf || m_last != u'\r') {
        const char16_t lineBreak = u'\n';
        encode(&lineBreak, &lineBreak + 1, false);
        if (!readsAsOwn(m_size) && readsAsOwn(text))
            m_size = text;
    }
    m_bytes.truncate(m_size);
    return std::move(m_bytes);
}

// Whether a file of the first `size` bytes is read in the page's encoding as
// far as wide encodings go: none listed before it takes the file, and where
// the page is not wide, none at all. UTF-8 and Windows-1252 tell themselves
// apart by the text, which a line break does not change.
bool PageEncoder::readsAsOwn(qsizetype size) const
{
    const QByteArrayView bytes(m_bytes.constData(), size);
    for (const EncodingTables::WideEncoding &wide : EncodingTables::WideEncodings) {
        if (&wide == m_wide)
            return true;
        if (EncodingTables::wideLength(bytes, wide) >= 0)
            return false;
    }
    return !m_wide;
}

void PageEncoder::encode(const char16_t *at, const char16_t *end, bool more)
{
    char *out = room(end - at);
    switch (m_kind) {
    case Kind::Utf8:
        out = encodeUtf8(out, at, end, more);
        break;
    case Kind::Windows1252:
        out = encodeWindows1252(out, at, end, more);
        break;
    case Kind::Utf16:
        out = encodeUtf16(out, at, end);
        break;
    case Kind::Utf32:
        out = encodeUtf32(out, at, end, more);
        break;
    }
    m_size = out - m_bytes.constData();
}

// Where the next bytes go, with room for `units` more code units at the most.
char *PageEncoder::room(qsizetype units)
{
    // And one step of sixteen bytes written ahead.
    const qsizetype needed = m_size + units * m_mostBytesPerUnit + 16;
    if (needed > m_bytes.size())
        m_bytes.resize(qMax(needed, m_bytes.size() + m_bytes.size() / 2));
    return m_bytes.data() + m_size;
}

char *PageEncoder::encodeUtf8(char *out, const char16_t *at, const char16_t *end, bool more)
{
    const auto other = [this, end, more](char *&out, const char16_t *at) {
        const char16_t unit = *at++;
        if (unit == u'\n') {
            *out++ = '\r';
            *out++ = '\n';
        } else if (unit < 0x800) {
            *out++ = char(0xC0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3F));
        } else if (!isSurrogate(unit)) {
            *out++ = char(0xE0 | (unit >> 12));
            *out++ = char(0x80 | ((unit >> 6) & 0x3F));
            *out++ = char(0x80 | (unit & 0x3F));
        } else if (isHigh(unit) && at == end && more) {
            m_high = unit;
        } else if (isHigh(unit) && at < end && isLow(*at)) {
            out = writeFourBytes(out, QChar::surrogateToUcs4(unit, *at++));
        } else if (const int byte = EscapedUtf8::byteOf(unit); byte >= 0) {
            *out++ = char(byte);
        } else {
            out = writeReference(out, unit);
        }
        return at;
    };
    return encodeNarrow(out, at, end, m_crlf, other);
}

char *PageEncoder::encodeWindows1252(char *out, const char16_t *at, const char16_t *end, bool more)
{
    const auto other = [this, end, more](char *&out, const char16_t *at) {
        const char16_t unit = *at++;
        if (unit == u'\n') {
            *out++ = '\r';
            *out++ = '\n';
        } else if (const int byte = windows1252Byte(unit); byte >= 0) {
            *out++ = char(byte);
        } else if (isHigh(unit) && at == end && more) {
            m_high = unit;
        } else if (isHigh(unit) && at < end && isLow(*at)) {
            out = writeReference(out, QChar::surrogateToUcs4(unit, *at++));
        } else {
            out = writeReference(out, unit);
        }
        return at;
    };
    return encodeNarrow(out, at, end, m_crlf, other);
}

// Every unit as it is, a lone surrogate too.
char *PageEncoder::encodeUtf16(char *out, const char16_t *at, const char16_t *end)
{
    while (at < end) {
        const char16_t *run = at;
        while (at < end && !(m_crlf && *at == u'\n'))
            ++at;
        if (m_bigEndian)
            qToBigEndian<quint16>(run, at - run, out);
        else
            qToLittleEndian<quint16>(run, at - run, out);
        out += (at - run) * 2;
        if (at == end)
            break;
        ++at;
        out = writeUnit(out, u'\r');
        out = writeUnit(out, u'\n');
    }
    return out;
}

char *PageEncoder::encodeUtf32(char *out, const char16_t *at, const char16_t *end, bool more)
{
    while (at < end) {
        const char16_t unit = *at++;
        if (unit == u'\n' && m_crlf) {
            out = writeUnit(out, u'\r');
            out = writeUnit(out, u'\n');
        } else if (!isSurrogate(unit)) {
            out = writeUnit(out, unit);
        } else if (isHigh(unit) && at == end && more) {
            m_high = unit;
        } else if (isHigh(unit) && at < end && isLow(*at)) {
            out = writeUnit(out, QChar::surrogateToUcs4(unit, *at++));
        } else {
            // UTF-32 holds no surrogate: the reference, a unit for each character.
            char reference[10];
            const char *referenceEnd = writeReference(reference, unit);
            for (const char *ch = reference; ch < referenceEnd; ++ch)
                out = writeUnit(out, uchar(*ch));
        }
    }
    return out;
}

char *PageEncoder::writeUnit(char *out, char32_t unit) const
{
    if (m_kind == Kind::Utf16) {
        if (m_bigEndian)
            qToBigEndian(quint16(unit), out);
        else
            qToLittleEndian(quint16(unit), out);
        return out + 2;
    }
    if (m_bigEndian)
        qToBigEndian(quint32(unit), out);
    else
        qToLittleEndian(quint32(unit), out);
    return out + 4;
}

// A large buffer is filled at once: in huge pages, it takes a fraction of the
// page faults, which otherwise cost as much as the encoding itself. Memory is
// still taken only where the bytes go, but for the rest of the last huge page.
void PageEncoder::adviseLarge()
{
#ifdef MADV_HUGEPAGE
    constexpr quintptr Huge = quintptr(2) << 20;
    const auto from = (quintptr(m_bytes.data()) + Huge - 1) & ~(Huge - 1);
    const auto to = (quintptr(m_bytes.data()) + quintptr(m_bytes.size())) & ~(Huge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#endif
}
