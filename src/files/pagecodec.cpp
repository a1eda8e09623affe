#include "files/pagecodec.h"

#include <QStringDecoder>

#include <cstring>

namespace {

constexpr char Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype BomSize = 3;

// Windows-1252 bytes 0x80 to 0x9F. The five bytes it leaves undefined stand for
// the control characters of the same value, so that they come back unchanged.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// LF is kept only when every line break of the file is a lone LF.
PageFormat::LineBreak lineBreakOf(const QByteArray &bytes)
{
    if (bytes.contains('\n') && !bytes.contains('\r'))
        return PageFormat::LineBreak::Lf;
    return PageFormat::LineBreak::CrLf;
}

// CR LF becomes '\n', the editor's line break; a lone CR is a character of the
// page and stays. Done in place: the text only shrinks.
void unifyLineBreaks(QString &text)
{
    qsizetype crlf = text.indexOf(QLatin1String("\r\n"));
    if (crlf < 0)
        return;
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    qsizetype out = crlf;
    while (crlf >= 0) {
        data[out++] = u'\n';
        const qsizetype from = crlf + 2;
        crlf = text.indexOf(QLatin1String("\r\n"), from);
        const qsizetype to = crlf < 0 ? size : crlf;
        std::memmove(data + out, data + from, (to - from) * sizeof(char16_t));
        out += to - from;
    }
    text.truncate(out);
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
// to end the page.
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

// The Windows-1252 byte for `ch`, or -1 when it has none.
int windows1252Byte(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
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
        bytes.append("&#" + QByteArray::number(uint(codePoint)) + ';');
    }
    return bytes;
}

} // namespace

PageCodec::Page PageCodec::decode(const QByteArray &bytes)
{
    Page page;
    page.format.lineBreak = lineBreakOf(bytes);
    const bool hasBom = bytes.startsWith(QByteArrayView(Bom, BomSize));
    // The mark is taken off here and kept in the format; a second one is text.
    // Stateless: a sequence cut off at the end of the file counts as invalid.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    page.text = utf8.decode(QByteArrayView(bytes).sliced(hasBom ? BomSize : 0));
    page.format.encoding = hasBom ? PageFormat::Encoding::Utf8WithBom : PageFormat::Encoding::Utf8;
    if (utf8.hasError()) {
        // Not UTF-8: a legacy page, read byte for byte so that it can be written back.
        page.text = fromWindows1252(bytes);
        page.format.encoding = PageFormat::Encoding::Windows1252;
    }
    unifyLineBreaks(page.text);
    return page;
}

QByteArray PageCodec::encode(const QString &text, const PageFormat &format)
{
    switch (format.encoding) {
    case PageFormat::Encoding::Utf8:
        break;
    case PageFormat::Encoding::Utf8WithBom:
        return withLineBreaks(QByteArrayView(Bom, BomSize), text.toUtf8(), format.lineBreak);
    case PageFormat::Encoding::Windows1252:
        return withLineBreaks({}, toWindows1252(text), format.lineBreak);
    }
    return withLineBreaks({}, text.toUtf8(), format.lineBreak);
}
