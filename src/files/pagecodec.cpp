#include "files/pagecodec.h"

#include "files/encodingtables.h"
#include "files/pageencoder.h"
#include "platform/escapedutf8.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cstring>
#include <optional>

namespace {

using Encoding = PageFormat::Encoding;

using EncodingTables::Utf8Bom;
using EncodingTables::Utf8BomSize;
using EncodingTables::WideEncoding;
using EncodingTables::WideEncodings;
using EncodingTables::Windows1252High;

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
    PageEncoder encoder(format, text.size());
    encoder.append(text);
    return encoder.finish();
}

QByteArray PageCodec::encode(const Chunks &text, qsizetype length, const PageFormat &format)
{
    PageEncoder encoder(format, length);
    text([&encoder](QStringView chunk) { encoder.append(chunk); });
    return encoder.finish();
}
