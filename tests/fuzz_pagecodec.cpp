// The page codec under a fuzzer: whatever the bytes, opening and saving a page
// gives them back, with one line break added in the page's style and, on a
// page whose breaks are mixed (LF and CR LF), each lone LF written as CR LF.
// Built for libFuzzer where clang is installed, and with a seeded random
// driver (fuzzdriver.cpp) everywhere.

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "files/pagecodec.h"

namespace {

using Encoding = PageFormat::Encoding;

struct Layout
{
    int markSize;
    int unitSize;
    bool bigEndian;
};

Layout layoutOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
    case Encoding::Windows1252:
        return {0, 1, false};
    case Encoding::Utf8WithBom:
        return {3, 1, false};
    case Encoding::Utf16LeWithBom:
        return {2, 2, false};
    case Encoding::Utf16BeWithBom:
        return {2, 2, true};
    case Encoding::Utf32LeWithBom:
        return {4, 4, false};
    case Encoding::Utf32BeWithBom:
        return {4, 4, true};
    }
    std::abort();
}

quint32 unitAt(const QByteArray &bytes, qsizetype at, const Layout &layout)
{
    quint32 unit = 0;
    for (int i = 0; i < layout.unitSize; ++i) {
        const int index = layout.bigEndian ? i : layout.unitSize - 1 - i;
        unit = (unit << 8) | quint8(bytes[at + index]);
    }
    return unit;
}

void appendUnit(QByteArray &bytes, quint32 unit, const Layout &layout)
{
    for (int i = 0; i < layout.unitSize; ++i) {
        const int shift = layout.bigEndian ? 8 * (layout.unitSize - 1 - i) : 8 * i;
        bytes.append(char((unit >> shift) & 0xFF));
    }
}

[[noreturn]] void fail(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "%s for the page %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

// What saving `bytes`, read in `format`, must give, worked out on the file's
// own code units rather than on the decoded text.
QByteArray expectedSave(const QByteArray &bytes, const PageFormat &format)
{
    const Layout layout = layoutOf(format.encoding);
    if ((bytes.size() - layout.markSize) % layout.unitSize != 0)
        fail("the encoding does not fit the page", bytes);
    std::vector<quint32> units;
    for (qsizetype at = layout.markSize; at < bytes.size(); at += layout.unitSize)
        units.push_back(unitAt(bytes, at, layout));
    bool crlf = false, loneLf = false;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == '\n')
            (i > 0 && units[i - 1] == '\r' ? crlf : loneLf) = true;
    }
    const bool lf = loneLf && !crlf;
    if (lf != (format.lineBreak == PageFormat::LineBreak::Lf))
        fail("wrong line break style", bytes);
    QByteArray expected = bytes.left(layout.markSize);
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == '\n' && crlf && !(i > 0 && units[i - 1] == '\r'))
            appendUnit(expected, '\r', layout);
        appendUnit(expected, units[i], layout);
    }
    if (!lf)
        appendUnit(expected, '\r', layout);
    appendUnit(expected, '\n', layout);
    return expected;
}

// The same bytes taken as typed text: every encoding writes it without
// failing, and a UTF-16 page reads back exactly what was typed.
void checkTyped(const QByteArray &bytes)
{
    const QString text(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    for (int encoding = 0; encoding <= int(Encoding::Utf32BeWithBom); ++encoding) {
        const PageFormat format{Encoding(encoding), PageFormat::LineBreak::CrLf};
        const QByteArray saved = PageCodec::encode(text, format);
        // A UTF-16 LE text beginning with U+0000 can pass for UTF-32.
        const bool utf16 = format.encoding == Encoding::Utf16BeWithBom ||
                           (format.encoding == Encoding::Utf16LeWithBom &&
                            (text.isEmpty() || text.front() != QChar(0)));
        if (utf16 && PageCodec::decode(saved).text != text + QLatin1Char('\n'))
            fail("typed text changed in UTF-16", bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const PageCodec::Page page = PageCodec::decode(bytes);
    if (PageCodec::encode(page.text, page.format) != expectedSave(bytes, page.format))
        fail("saving changed the bytes", bytes);
    checkTyped(bytes);
    return 0;
}
