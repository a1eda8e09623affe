// The page codec under a fuzzer: whatever the bytes, opening and saving a page
// gives them back, with one line break added in the page's style and, on a
// page whose breaks are mixed (LF and CR LF), each lone LF written as CR LF.
// The break is left off where it would not read back as one: after a lone CR
// ending an LF page, and where it alone would make the file pass for another
// wide encoding. A page whose breaks are not mixed reopens as it was.
// Built for libFuzzer where clang is installed, and with a seeded random
// driver (fuzzdriver.cpp) everywhere.

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

std::optional<Encoding> wideOf(Encoding encoding)
{
    return layoutOf(encoding).unitSize > 1 ? std::optional(encoding) : std::nullopt;
}

// The wide encoding a file of `bytes` is read in: the first, UTF-32 before
// UTF-16, whose mark begins it and whose whole units it holds, only Unicode
// scalar values for UTF-32.
std::optional<Encoding> wideReading(const QByteArray &bytes)
{
    for (const Encoding encoding : {Encoding::Utf32LeWithBom, Encoding::Utf32BeWithBom,
                                    Encoding::Utf16LeWithBom, Encoding::Utf16BeWithBom}) {
        const Layout layout = layoutOf(encoding);
        QByteArray mark;
        appendUnit(mark, 0xFEFF, layout);
        if (!bytes.startsWith(mark) || bytes.size() % layout.unitSize != 0)
            continue;
        bool scalars = true;
        for (qsizetype at = layout.markSize; at < bytes.size() && layout.unitSize == 4; at += 4) {
            const quint32 unit = unitAt(bytes, at, layout);
            scalars = scalars && unit <= 0x10FFFF && (unit < 0xD800 || unit > 0xDFFF);
        }
        if (scalars)
            return encoding;
    }
    return std::nullopt;
}

[[noreturn]] void fail(const char *what, const QByteArray &bytes)
{
    std::fprintf(stderr, "%s for the page %s\n", what, bytes.toHex(' ').constData());
    std::abort();
}

// What saving `bytes`, read in `format`, must give, worked out on the file's
// own code units rather than on the decoded text; `mixed` tells whether the
// page's breaks were, `finalBreak` whether one was added.
QByteArray expectedSave(const QByteArray &bytes, const PageFormat &format, bool &mixed,
                        bool &finalBreak)
{
    if (wideReading(bytes) != wideOf(format.encoding))
        fail("read in the wrong encoding", bytes);
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
    mixed = crlf && loneLf;
    finalBreak = !(lf && !units.empty() && units.back() == '\r');
    if (!finalBreak)
        return expected;
    QByteArray withBreak = expected;
    if (!lf)
        appendUnit(withBreak, '\r', layout);
    appendUnit(withBreak, '\n', layout);
    const std::optional<Encoding> own = wideOf(format.encoding);
    finalBreak = wideReading(withBreak) == own || wideReading(expected) != own;
    return finalBreak ? withBreak : expected;
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
    bool mixed = false, finalBreak = false;
    const QByteArray saved = PageCodec::encode(page.text, page.format);
    if (saved != expectedSave(bytes, page.format, mixed, finalBreak))
        fail("saving changed the bytes", bytes);
    const PageCodec::Page reopened = PageCodec::decode(saved);
    const QString text = finalBreak ? page.text + QLatin1Char('\n') : page.text;
    if (!mixed && (!(reopened.format == page.format) || reopened.text != text))
        fail("the saved page reopens otherwise", bytes);
    checkTyped(bytes);
    return 0;
}
