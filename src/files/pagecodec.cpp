#include "files/pagecodec.h"

#include "files/escapedutf8.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cstring>
#include <optional>

namespace {

using Encoding = PageFormat::Encoding;

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype Utf8BomSize = 3;

// Windows-1252 bytes 0x80 to 0x9F. The five bytes it leaves undefined stand for
// the control characters of the same value, so that they come back unchanged.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The encodings recognised by their byte-order mark, longest mark first: a
// UTF-32 LE mark begins with the UTF-16 LE one.
struct WideEncoding
{
    Encoding encoding;
    const char *bom;
    int unitSize; // 2 or 4 bytes, the mark's size too
    bool bigEndian;
};
constexpr WideEncoding WideEncodings[] = {
    {Encoding::Utf32LeWithBom, "\xFF\xFE\0\0", 4, false},
    {Encoding::Utf32BeWithBom, "\0\0\xFE\xFF", 4, true},
    {Encoding::Utf16LeWithBom, "\xFF\xFE", 2, false},
    {Encoding::Utf16BeWithBom, "\xFE\xFF", 2, true},
};

const WideEncoding *wideEncoding(Encoding encoding)
{
    for (const WideEncoding &wide : WideEncodings) {
        if (wide.encoding == encoding)
            return &wide;
    }
    return nullptr;
}

char32_t readUnit(const uchar *at, const WideEncoding &wide)
{
    if (wide.unitSize == 2)
        return wide.bigEndian ? qFromBigEndian<quint16>(at) : qFromLittleEndian<quint16>(at);
    return wide.bigEndian ? qFromBigEndian<quint32>(at) : qFromLittleEndian<quint32>(at);
}

// The text after the mark, or nothing when the units do not fit the encoding.
// Every UTF-16 unit is kept as it is, a lone surrogate too; UTF-32 holds only
// scalar values, since a surrogate in it could not be written back apart from
// its neighbour.
std::optional<QString> decodeWide(const QByteArray &bytes, const WideEncoding &wide)
{
    const qsizetype body = bytes.size() - wide.unitSize;
    if (body % wide.unitSize != 0)
        return std::nullopt;
    const auto *at = reinterpret_cast<const uchar *>(bytes.constData()) + wide.unitSize;
    const auto *end = at + body;
    if (wide.unitSize == 2) {
        QString text(body / 2, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (; at < end; at += 2)
            *out++ = char16_t(readUnit(at, wide));
        return text;
    }
    QString text;
    text.reserve(body / 4);
    for (; at < end; at += 4) {
        const char32_t unit = readUnit(at, wide);
        if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF))
            return std::nullopt;
        text.append(QChar::fromUcs4(unit));
    }
    return text;
}

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? Windows1252High[byte - 0x80] : char16_t(byte);
    }
    return text;
}

// A page without a wide byte-order mark: UTF-8 when mostly UTF-8, else Windows-1252.
void decodeNarrow(const QByteArray &bytes, PageCodec::Page &page)
{
    const bool hasBom = bytes.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize));
    const QByteArrayView body = QByteArrayView(bytes).sliced(hasBom ? Utf8BomSize : 0);
    page.format.encoding = hasBom ? Encoding::Utf8WithBom : Encoding::Utf8;
    // The fast way first; a second mark is text. Stateless: a sequence cut
    // off at the end of the file counts as invalid.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    page.text = utf8.decode(body);
    if (!utf8.hasError())
        return;
    EscapedUtf8::Decoded escaped = EscapedUtf8::decode(body);
    if (escaped.sequences + (hasBom ? 1 : 0) >= escaped.strayBytes) {
        page.text = std::move(escaped.text);
        return;
    }
    // A legacy page, read byte for byte so that it can be written back.
    page.text = fromWindows1252(bytes);
    page.format.encoding = Encoding::Windows1252;
}

// CR LF and LF become '\n', the editor's line break; a lone CR stays a
// character. Done in place: the text only shrinks. LF is kept only when the
// page has LF breaks and no CR LF.
PageFormat::LineBreak unifyLineBreaks(QString &text)
{
    qsizetype lf = text.indexOf(QLatin1Char('\n'));
    if (lf < 0)
        return PageFormat::LineBreak::CrLf;
    bool sawCrLf = false, sawLf = false;
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    qsizetype out = lf;
    qsizetype from = lf;
    while (lf >= 0) {
        std::memmove(data + out, data + from, (lf - from) * sizeof(char16_t));
        out += lf - from;
        // What stood before the LF has just been moved to out - 1.
        if (out > 0 && data[out - 1] == u'\r') {
            data[out - 1] = u'\n';
            sawCrLf = true;
        } else {
            data[out++] = u'\n';
            sawLf = true;
        }
        from = lf + 1;
        lf = text.indexOf(QLatin1Char('\n'), from);
    }
    std::memmove(data + out, data + from, (size - from) * sizeof(char16_t));
    text.truncate(out + size - from);
    return sawLf && !sawCrLf ? PageFormat::LineBreak::Lf : PageFormat::LineBreak::CrLf;
}

QByteArray reference(char32_t codePoint)
{
    return "&#" + QByteArray::number(uint(codePoint)) + ';';
}

// The Windows-1252 byte for `ch`, or -1 when it has none.
int windows1252Byte(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    if (const int byte = EscapedUtf8::byteOf(ch); byte >= 0)
        return byte;
    for (int i = 0; i < 32; ++i) {
        if (Windows1252High[i] == ch)
            return 0x80 + i;
    }
    return -1;
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = text.at(i).unicode();
        const int byte = windows1252Byte(ch);
        if (byte >= 0) {
            bytes.append(char(byte));
            continue;
        }
        char32_t codePoint = ch;
        if (QChar::isHighSurrogate(ch) && i + 1 < size && text.at(i + 1).isLowSurrogate())
            codePoint = QChar::surrogateToUcs4(ch, text.at(++i).unicode());
        bytes.append(reference(codePoint));
    }
    return bytes;
}

qsizetype countLineFeeds(const char *from, const char *end)
{
    qsizetype count = 0;
    while ((from = static_cast<const char *>(std::memchr(from, '\n', end - from)))) {
        ++count;
        ++from;
    }
    return count;
}

// `prefix`, then `bytes` with each '\n' as `lineBreak`, then one more line break
// to end the page. For the single-byte encodings and UTF-8, where a byte 0x0A
// is always a line feed.
QByteArray withLineBreaks(QByteArrayView prefix, const QByteArray &bytes,
                          PageFormat::LineBreak lineBreak)
{
    const char *from = bytes.constData();
    const char *end = from + bytes.size();
    const bool crlf = lineBreak == PageFormat::LineBreak::CrLf;
    const qsizetype added = crlf ? countLineFeeds(from, end) + 2 : 1;
    QByteArray result(prefix.size() + bytes.size() + added, Qt::Uninitialized);
    char *out = result.data();
    if (!prefix.isEmpty())
        std::memcpy(out, prefix.data(), prefix.size());
    out += prefix.size();
    if (crlf) {
        while (const char *lf = static_cast<const char *>(std::memchr(from, '\n', end - from))) {
            std::memcpy(out, from, lf - from);
            out += lf - from;
            *out++ = '\r';
            *out++ = '\n';
            from = lf + 1;
        }
        std::memcpy(out, from, end - from);
        out += end - from;
        *out++ = '\r';
    } else {
        std::memcpy(out, from, end - from);
        out += end - from;
    }
    *out = '\n';
    return result;
}

void appendUnit(QByteArray &bytes, char32_t unit, const WideEncoding &wide)
{
    uchar buffer[4];
    if (wide.unitSize == 2) {
        if (wide.bigEndian)
            qToBigEndian(quint16(unit), buffer);
        else
            qToLittleEndian(quint16(unit), buffer);
    } else if (wide.bigEndian) {
        qToBigEndian(quint32(unit), buffer);
    } else {
        qToLittleEndian(quint32(unit), buffer);
    }
    bytes.append(reinterpret_cast<const char *>(buffer), wide.unitSize);
}

QByteArray toWide(const QString &text, PageFormat::LineBreak lineBreak, const WideEncoding &wide)
{
    QString page = text;
    if (lineBreak == PageFormat::LineBreak::CrLf)
        page.replace(QLatin1Char('\n'), QLatin1String("\r\n")).append(QLatin1String("\r\n"));
    else
        page.append(QLatin1Char('\n'));
    QByteArray bytes;
    bytes.reserve((page.size() + 1) * wide.unitSize);
    bytes.append(wide.bom, wide.unitSize);
    const qsizetype size = page.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = page.at(i).unicode();
        if (wide.unitSize == 2 || !QChar::isSurrogate(unit)) {
            appendUnit(bytes, unit, wide);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < size &&
                   page.at(i + 1).isLowSurrogate()) {
            appendUnit(bytes, QChar::surrogateToUcs4(unit, page.at(++i).unicode()), wide);
        } else {
            for (const char ch : reference(unit))
                appendUnit(bytes, uchar(ch), wide);
        }
    }
    return bytes;
}

} // namespace

PageCodec::Page PageCodec::decode(const QByteArray &bytes)
{
    Page page;
    bool decoded = false;
    for (const WideEncoding &wide : WideEncodings) {
        if (!bytes.startsWith(QByteArrayView(wide.bom, wide.unitSize)))
            continue;
        if (std::optional<QString> text = decodeWide(bytes, wide)) {
            page.text = std::move(*text);
            page.format.encoding = wide.encoding;
            decoded = true;
            break;
        }
    }
    // A malformed wide page is read as bytes, so that it still comes back.
    if (!decoded)
        decodeNarrow(bytes, page);
    page.format.lineBreak = unifyLineBreaks(page.text);
    return page;
}

QByteArray PageCodec::encode(const QString &text, const PageFormat &format)
{
    switch (format.encoding) {
    case Encoding::Utf8:
        return withLineBreaks({}, EscapedUtf8::encode(text, reference), format.lineBreak);
    case Encoding::Utf8WithBom:
        return withLineBreaks(QByteArrayView(Utf8Bom, Utf8BomSize),
                              EscapedUtf8::encode(text, reference), format.lineBreak);
    case Encoding::Windows1252:
        return withLineBreaks({}, toWindows1252(text), format.lineBreak);
    case Encoding::Utf16LeWithBom:
    case Encoding::Utf16BeWithBom:
    case Encoding::Utf32LeWithBom:
    case Encoding::Utf32BeWithBom:
        break;
    }
    return toWide(text, format.lineBreak, *wideEncoding(format.encoding));
}
