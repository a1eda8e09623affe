#include <QRandomGenerator>
#include <QTest>

#include "files/pagecodec.h"
#include "testsupport.h"

using Encoding = PageFormat::Encoding;
using LineBreak = PageFormat::LineBreak;

Q_DECLARE_METATYPE(PageFormat)

namespace {

constexpr Encoding Encodings[] = {
    Encoding::Utf8,           Encoding::Utf8WithBom,    Encoding::Windows1252,
    Encoding::Utf16LeWithBom, Encoding::Utf16BeWithBom, Encoding::Utf32LeWithBom,
    Encoding::Utf32BeWithBom,
};

QList<PageFormat> allFormats()
{
    QList<PageFormat> formats;
    for (const Encoding encoding : Encodings) {
        formats.append({encoding, LineBreak::CrLf});
        formats.append({encoding, LineBreak::Lf});
    }
    return formats;
}

QByteArray reference(char32_t codePoint)
{
    return "&#" + QByteArray::number(uint(codePoint)) + ';';
}

void appendUnit(QByteArray &bytes, char32_t unit, int size, bool bigEndian)
{
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (bigEndian ? size - 1 - i : i);
        bytes.append(char((unit >> shift) & 0xFF));
    }
}

// `text` written one character at a time, straight from the rules: each '\n'
// as the format's break, U+DC80 to U+DCFF alone as their byte in UTF-8 and
// Windows-1252, "&#N;" for what the encoding cannot hold.
QByteArray charByChar(const QString &text, const PageFormat &format)
{
    QString page = text;
    if (format.lineBreak == LineBreak::CrLf)
        page.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const bool wide = format.encoding >= Encoding::Utf16LeWithBom;
    const int unitSize = format.encoding >= Encoding::Utf32LeWithBom ? 4 : 2;
    const bool bigEndian =
        format.encoding == Encoding::Utf16BeWithBom || format.encoding == Encoding::Utf32BeWithBom;
    QByteArray bytes;
    if (wide)
        appendUnit(bytes, 0xFEFF, unitSize, bigEndian);
    else if (format.encoding == Encoding::Utf8WithBom)
        bytes = "\xEF\xBB\xBF";
    const QString high1252 = QStringLiteral(
        "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D"
        "\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A"
        "\u0153\u009D\u017E\u0178");
    for (qsizetype i = 0; i < page.size(); ++i) {
        const qsizetype start = i;
        const char16_t unit = page.at(i).unicode();
        if (format.encoding == Encoding::Utf16LeWithBom ||
            format.encoding == Encoding::Utf16BeWithBom) {
            appendUnit(bytes, unit, 2, bigEndian);
            continue;
        }
        const bool pair =
            QChar::isHighSurrogate(unit) && i + 1 < page.size() && page.at(i + 1).isLowSurrogate();
        const char32_t codePoint =
            pair ? QChar::surrogateToUcs4(unit, page.at(++i).unicode()) : char32_t(unit);
        const bool lone = !pair && QChar::isSurrogate(unit);
        const bool escape = lone && unit >= 0xDC80 && unit <= 0xDCFF;
        if (wide) {
            const QByteArray written = lone ? reference(unit) : QByteArray();
            if (!lone)
                appendUnit(bytes, codePoint, 4, bigEndian);
            for (const char ch : written)
                appendUnit(bytes, uchar(ch), 4, bigEndian);
        } else if (escape) {
            bytes.append(char(unit - 0xDC00));
        } else if (format.encoding != Encoding::Windows1252) {
            bytes.append(lone ? reference(unit)
                              : QStringView(page).sliced(start, i + 1 - start).toUtf8());
        } else if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
            bytes.append(char(codePoint));
        } else if (const qsizetype high = high1252.indexOf(QChar(unit)); !pair && high >= 0) {
            bytes.append(char(0x80 + high));
        } else {
            bytes.append(reference(codePoint));
        }
    }
    return bytes;
}

// The wide encoding a file of `bytes` is read in, or -1 for none.
int wideReading(const QByteArray &bytes)
{
    const Encoding encoding = PageCodec::decode(bytes).format.encoding;
    return encoding >= Encoding::Utf16LeWithBom ? int(encoding) : -1;
}

// The page as saved: the text and a final break, but where that would not
// read back as one: after a lone CR on an LF page, which it would join, or
// where the break alone makes the file pass for another wide encoding.
QByteArray oneByOne(const QString &text, const PageFormat &format)
{
    const QByteArray bare = charByChar(text, format);
    if (format.lineBreak == LineBreak::Lf && text.endsWith(QLatin1Char('\r')))
        return bare;
    const QByteArray full = charByChar(text + QLatin1Char('\n'), format);
    const int own = format.encoding >= Encoding::Utf16LeWithBom ? int(format.encoding) : -1;
    return wideReading(full) != own && wideReading(bare) == own ? bare : full;
}

// `text` handed over in runs that end at each of `cuts`.
QByteArray inRuns(const QString &text, const QList<qsizetype> &cuts, const PageFormat &format)
{
    const auto runs = [&](const std::function<void(QStringView)> &chunk) {
        qsizetype from = 0;
        for (const qsizetype cut : cuts) {
            chunk(QStringView(text).sliced(from, cut - from));
            from = cut;
        }
        chunk(QStringView(text).sliced(from));
    };
    return PageCodec::encode(runs, text.size(), format);
}

QString formatName(const PageFormat &format)
{
    return QStringLiteral("encoding %1, %2")
        .arg(int(format.encoding))
        .arg(format.lineBreak == LineBreak::CrLf ? QStringLiteral("CR LF") : QStringLiteral("LF"));
}

// Awkward units to draw random texts from: halves of pairs, stray-byte
// escapes and their neighbours, CR and LF, letters of every UTF-8 length.
constexpr char16_t Awkward[] = {
    u'a',   u'<',   u'\n',  u'\r',  0x0000, 0x007F, 0x0080, 0x0081, 0x009F, 0x00A0,
    0x00E9, 0x00FF, 0x0100, 0x20AC, 0x0178, 0x4E2D, 0xD800, 0xD83D, 0xDBFF, 0xDC00,
    0xDC7F, 0xDC80, 0xDCE9, 0xDCFF, 0xDD00, 0xDE00, 0xDFFF, 0xE000, 0xFEFF, 0xFFFF,
};

QString randomText(QRandomGenerator &random, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    for (QChar &ch : text) {
        // Mostly plain, so that runs form between the awkward units.
        const quint32 pick = random.bounded(quint32(std::size(Awkward) * 2));
        ch = QChar(pick < std::size(Awkward) ? Awkward[pick] : u'a' + pick % 26);
    }
    return text;
}

} // namespace

// A text saved from the editor arrives in runs cut anywhere; its bytes must
// be those of the whole text written one character at a time.
class TestPageEncoder : public QObject
{
    Q_OBJECT
private slots:
    void everyCut_data()
    {
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, QStringView text) {
            QTest::newRow(name) << text.toString();
        };
        const char16_t pairs[] = {u'a', 0xD83D, 0xDE00, 0xD800, 0xDC80, 0};
        const char16_t lone[] = {0xD800, u'\n', 0xDC80, 0xDCFF, 0xDC7F, 0xDBFF, 0};
        const char16_t highs[] = {0xD83D, 0xD83D, 0xDE00, 0xDE00, 0xD83D, 0};
        const char16_t escapes[] = {0xDCE9, u'\r', u'\n', 0xDC80, 0xD800, 0};
        row("empty", u"");
        row("line breaks", u"a\r\n\n\rb\r");
        row("pairs, one of them with an escape's unit", pairs);
        row("lone surrogates beside breaks and escapes", lone);
        row("high surrogates in a row", highs);
        row("escapes beside CR LF", escapes);
        row("letters of every length", u"\u00E9\u20AC\u0080\u0081\u0178\u4E2D\U0001F600\uFFFF");
        row("a high surrogate last", u"ab\xD83D");
        row("NUL and a byte-order mark", QStringView(u"\0\uFEFF\0", 3));
    }
    // Every way to cut the text into runs, empty runs too, in every format.
    void everyCut()
    {
        QFETCH(QString, text);
        QVERIFY(text.size() <= 12);
        for (const PageFormat &format : allFormats()) {
            const QByteArray expected = oneByOne(text, format);
            QCOMPARE(PageCodec::encode(text, format), expected);
            for (quint32 mask = 0; mask < (1u << (text.size() + 1)); ++mask) {
                QList<qsizetype> cuts;
                for (qsizetype at = 0; at <= text.size(); ++at) {
                    if (mask & (1u << at))
                        cuts.append(at);
                }
                if (inRuns(text, cuts, format) != expected)
                    QFAIL(qPrintable(formatName(format) + QStringLiteral(", cut at ") +
                                     QString::number(mask, 2)));
            }
        }
    }

    // Long texts, past the encoder's blocks, cut at random places.
    void randomCuts()
    {
        QRandomGenerator random(9);
        for (int round = 0; round < 200; ++round) {
            const qsizetype size = round % 10 == 0 ? random.bounded(20000) : random.bounded(300);
            const QString text = randomText(random, size);
            QList<qsizetype> cuts;
            for (int cut = random.bounded(8); cut > 0 && size > 0; --cut)
                cuts.append(random.bounded(size + 1));
            std::sort(cuts.begin(), cuts.end());
            for (const PageFormat &format : allFormats()) {
                const QByteArray expected = oneByOne(text, format);
                if (inRuns(text, cuts, format) != expected)
                    QFAIL(qPrintable(QStringLiteral("round %1, ").arg(round) + formatName(format)));
            }
        }
    }

    // A pair or a CR LF straddling the encoder's own blocks of a long run.
    void longRun_data()
    {
        QTest::addColumn<QString>("text");
        for (qsizetype at = 4090; at <= 4100; ++at) {
            QString text(10000, QLatin1Char('a'));
            text[at] = QChar(0xD83D);
            text[at + 1] = QChar(0xDE00);
            text[at + 3] = QChar(u'\r');
            text[at + 4] = QChar(u'\n');
            text[at + 6] = QChar(0xDCE9);
            QTest::addRow("at %d", int(at)) << text;
        }
    }
    void longRun()
    {
        QFETCH(QString, text);
        for (const PageFormat &format : allFormats())
            QCOMPARE(PageCodec::encode(text, format), oneByOne(text, format));
    }

    // Saving holds no more than the page and its bytes: nothing the size of
    // the text is copied on the way, even where a character takes three bytes.
    void peakMemory_data()
    {
        QTest::addColumn<PageFormat>("format");
        QTest::addColumn<QString>("line");
        const QString accents = QStringLiteral("<p>Caf\u00E9 cr\u00E8me, d\u00E9j\u00E0 vu.</p>\n");
        const QString cjk = QStringLiteral("\u4E2D\u6587\u7F51\u9875\u3002\n");
        QTest::newRow("UTF-8, CR LF") << PageFormat{Encoding::Utf8, LineBreak::CrLf} << accents;
        QTest::newRow("Windows-1252")
            << PageFormat{Encoding::Windows1252, LineBreak::CrLf} << accents;
        QTest::newRow("UTF-16 LE")
            << PageFormat{Encoding::Utf16LeWithBom, LineBreak::Lf} << accents;
        QTest::newRow("UTF-8, CJK") << PageFormat{Encoding::Utf8, LineBreak::CrLf} << cjk;
        QTest::newRow("UTF-32, CJK")
            << PageFormat{Encoding::Utf32BeWithBom, LineBreak::CrLf} << cjk;
    }
    void peakMemory()
    {
        QFETCH(PageFormat, format);
        QFETCH(QString, line);
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator keeps freed memory");
#endif
        const QString text = line.repeated((32 << 20) / line.size());
        const auto runs = [&](const std::function<void(QStringView)> &chunk) {
            for (qsizetype from = 0; from < text.size(); from += 1 << 20)
                chunk(QStringView(text).sliced(from, qMin<qsizetype>(1 << 20, text.size() - from)));
        };
        QByteArray bytes;
        const qint64 growth =
            TestSupport::peakGrowth([&] { bytes = PageCodec::encode(runs, text.size(), format); });
        if (growth < 0)
            QSKIP("the system does not tell the peak of resident memory");
        // A little over the bytes: the encoder's last block, a huge page's rest.
        QVERIFY2(growth <= bytes.size() + (4 << 20),
                 qPrintable(
                     QStringLiteral("%1 bytes held for %2 written").arg(growth).arg(bytes.size())));
    }
};

QTEST_GUILESS_MAIN(TestPageEncoder)
#include "tst_pageencoder.moc"
