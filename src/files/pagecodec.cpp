#include "files/pagecodec.h"

#include "files/encodingtables.h"
#include "files/pageencoder.h"
#include "platform/escapedutf8.h"

#include <QtEndian>

#include <cstring>

namespace {

using Encoding = PageFormat::Encoding;

using EncodingTables::Utf8Bom;
using EncodingTables::Utf8BomSize;
using EncodingTables::WideEncoding;
using EncodingTables::WideEncodings;
using EncodingTables::Windows1252High;

// The page after the mark in `wide`, `length` code units as wideLength() gave.
// Every UTF-16 unit is kept as it is, a lone surrogate too.
QString decodeWide(const QByteArray &bytes, const WideEncoding &wide, qsizetype length)
{
    QString text(length, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const char *at = bytes.constData() + wide.unitSize;
    if (wide.unitSize == 2) {
        if (wide.bigEndian)
            qFromBigEndian<quint16>(at, length, out);
        else
            qFromLittleEndian<quint16>(at, length, out);
        return text;
    }
    for (const char *end = bytes.constData() + bytes.size(); at < end; at += 4) {
        const char32_t unit = EncodingTables::readUnit(at, wide);
        if (QChar::requiresSurrogates(unit)) {
            *out++ = QChar::highSurrogate(unit);
            *out++ = QChar::lowSurrogate(unit);
        } else {
            *out++ = char16_t(unit);
        }
    }
    return text;
}

void fromWindows1252(const QByteArray &bytes, char16_t *out)
{
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? Windows1252High[byte - 0x80] : char16_t(byte);
    }
}

// A page without a wide byte-order mark: UTF-8 when mostly UTF-8, else
// Windows-1252. Both readings take at most a unit a byte: a legacy page is
// written over its UTF-8 reading, so that the page is never held twice.
void decodeNarrow(const QByteArray &bytes, PageCodec::Page &page)
{
    const bool hasBom = bytes.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize));
    const QByteArrayView body = QByteArrayView(bytes).sliced(hasBom ? Utf8BomSize : 0);
    page.text = QString(bytes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(page.text.data());
    // A second mark is text.
    const EscapedUtf8::Counts counts = EscapedUtf8::decode(body, out);
    if (counts.sequences + (hasBom ? 1 : 0) >= counts.strayBytes) {
        page.text.truncate(counts.units);
        page.format.encoding = hasBom ? Encoding::Utf8WithBom : Encoding::Utf8;
        return;
    }
    // A legacy page, read byte for byte so that it can be written back.
    fromWindows1252(bytes, out);
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
        if (const qsizetype length = EncodingTables::wideLength(bytes, wide); length >= 0) {
            page.text = decodeWide(bytes, wide, length);
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
