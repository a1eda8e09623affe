#include <QTest>

#include "files/pagecodec.h"
#include "testsupport.h"

using Encoding = PageFormat::Encoding;
using LineBreak = PageFormat::LineBreak;

Q_DECLARE_METATYPE(PageFormat)

// Every code unit that opening gives is written back as the bytes it came
// from; the windows add only the source box on top.
class TestPageCodec : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data() { TestSupport::addRoundTripRows(); }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        const PageCodec::Page page = PageCodec::decode(bytes);
        QCOMPARE(PageCodec::encode(page.text, page.format), saved);
    }

    // Opening holds the bytes and one decoded copy of the page, no more, in
    // every form a page is read in.
    void peakMemory_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Encoding>("encoding");
        const QString line = QStringLiteral("<p>Caf\u00E9 cr\u00E8me, d\u00E9j\u00E0 vu.</p>\r\n");
        const QString page = line.repeated((16 << 20) / line.size());
        QByteArray stray = page.toUtf8();
        stray[stray.size() / 2] = '\xFF';
        QTest::newRow("UTF-8") << page.toUtf8() << Encoding::Utf8;
        QTest::newRow("UTF-8, one stray byte") << stray << Encoding::Utf8;
        QTest::newRow("Windows-1252") << page.toLatin1() << Encoding::Windows1252;
        QTest::newRow("UTF-16") << TestSupport::utf16(QString(u'\uFEFF' + page))
                                << Encoding::Utf16LeWithBom;
        QTest::newRow("UTF-32") << TestSupport::utf32(QString(u'\uFEFF' + page), true)
                                << Encoding::Utf32BeWithBom;
    }
    void peakMemory()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, encoding);
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator keeps freed memory");
#endif
        PageCodec::Page page;
        const qint64 growth = TestSupport::peakGrowth([&] { page = PageCodec::decode(bytes); });
        if (growth < 0)
            QSKIP("the system does not tell the peak of resident memory");
        QCOMPARE(page.format.encoding, encoding);
        // UTF-16 takes two bytes a character at the most; a little over for the rest.
        QVERIFY2(
            growth <= 2 * bytes.size() + (4 << 20),
            qPrintable(QStringLiteral("%1 bytes held for %2 read").arg(growth).arg(bytes.size())));
    }

    // What the editor is given: the text and the form it is saved in.
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PageFormat>("format");
        const auto row = [](const char *name, const QByteArray &bytes, QStringView text,
                            Encoding encoding, LineBreak lineBreak = LineBreak::CrLf) {
            QTest::newRow(name) << bytes << text.toString() << PageFormat{encoding, lineBreak};
        };
        using TestSupport::utf16;
        using TestSupport::utf32;
        row("UTF-16 LE", utf16(u"\uFEFFa\r\nb\U0001F600"), u"a\nb\U0001F600",
            Encoding::Utf16LeWithBom);
        row("UTF-16 BE, LF", utf16(u"\uFEFFa\nb", true), u"a\nb", Encoding::Utf16BeWithBom,
            LineBreak::Lf);
        row("UTF-32 LE", utf32(u"\uFEFF\u00E9\U0001F600"), u"\u00E9\U0001F600",
            Encoding::Utf32LeWithBom);
        row("UTF-32 BE, LF", utf32(u"\uFEFFx\n", true), u"x\n", Encoding::Utf32BeWithBom,
            LineBreak::Lf);
        // UTF-16 units 0x0000 then 0x0041 do not make a UTF-32 character.
        row("UTF-16 LE beginning with NUL", utf16(QStringView(u"\uFEFF\0A", 3)),
            QStringView(u"\0A", 2), Encoding::Utf16LeWithBom);
        row("UTF-16, odd length",
            "\xFF\xFE"
            "a",
            u"\u00FF\u00FEa", Encoding::Windows1252);
        // Mostly UTF-8: at least as many well-formed sequences as stray bytes.
        row("one stray byte among accents", "caf\xC3\xA9 \xFF", u"caf\u00E9 \xDCFF",
            Encoding::Utf8);
        row("as many stray bytes as sequences", "\xC3\xA9\xE9", u"\u00E9\xDCE9", Encoding::Utf8);
        row("a cut-off sequence is stray bytes", "\xE2\x82\xAC\xE2\x82\xAC\xE4\xB8",
            u"\u20AC\u20AC\xDCE4\xDCB8", Encoding::Utf8);
        row("more stray bytes than sequences", "\xC3\xA9\xE9\xE8", u"\u00C3\u00A9\u00E9\u00E8",
            Encoding::Windows1252);
        row("ASCII and one stray byte", "caf\xE9", u"caf\u00E9", Encoding::Windows1252);
        row("a byte-order mark after a stray byte is text", "\xF4\xEF\xBB\xBF", u"\xDCF4\uFEFF",
            Encoding::Utf8);
        row("the byte-order mark counts", "\xEF\xBB\xBF\xE9", u"\xDCE9", Encoding::Utf8WithBom);
        row("overlong and surrogate forms are stray", "\xC0\xAF\xED\xA0\x80\xC3\xA9\xC3\xA9",
            u"\u00C0\u00AF\u00ED\u00A0\u20AC\u00C3\u00A9\u00C3\u00A9", Encoding::Windows1252);
        // A lone CR is a character; only LF and CR LF are breaks.
        row("lone CR in an LF page", "a\nb\rc", u"a\nb\rc", Encoding::Utf8, LineBreak::Lf);
        row("lone CR in a CR LF page", "a\r\nb\r\r\n", u"a\nb\r\n", Encoding::Utf8);
        row("CR only", "a\rb", u"a\rb", Encoding::Utf8);
        row("mixed", "a\r\nb\nc", u"a\nb\nc", Encoding::Utf8);
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(PageFormat, format);
        const PageCodec::Page page = PageCodec::decode(bytes);
        QCOMPARE(page.text, text);
        QVERIFY(page.format == format);
    }

    // Text typed or pasted into a page: what each encoding writes for it.
    void typed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PageFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, QStringView text, Encoding encoding,
                            const QByteArray &bytes) {
            QTest::newRow(name) << text.toString() << PageFormat{encoding, LineBreak::Lf} << bytes;
        };
        const char16_t lone[] = {u'a', 0xD800, u'b', 0};
        const char16_t escaped[] = {0xDCE9, 0xDC7F, 0};
        row("UTF-8 letters", u"caf\u00E9", Encoding::Utf8, "caf\xC3\xA9");
        row("UTF-8, a stray byte", escaped, Encoding::Utf8, "\xE9&#56447;");
        row("UTF-8, a lone surrogate", lone, Encoding::Utf8, "a&#55296;b");
        row("Windows-1252, a stray byte", escaped, Encoding::Windows1252, "\xE9&#56447;");
        row("Windows-1252 letters", u"caf\u00E9 \u20AC\u0160\u201C\u201D\u2122\u0178",
            Encoding::Windows1252, "caf\xE9 \x80\x8A\x93\x94\x99\x9F");
        row("Windows-1252, CJK", u"a\u4E2Db", Encoding::Windows1252, "a&#20013;b");
        row("Windows-1252, emoji", u"\U0001F600", Encoding::Windows1252, "&#128512;");
        // U+0080 has no byte of its own: 0x80 is the euro sign.
        row("Windows-1252, C1 control", u"\u0080", Encoding::Windows1252, "&#128;");
        row("Windows-1252, lone surrogate", lone, Encoding::Windows1252, "a&#55296;b");
        row("UTF-16 keeps a lone surrogate", lone, Encoding::Utf16BeWithBom,
            QByteArray("\xFE\xFF\0a\xD8\0\0b\0\n", 10));
        row("UTF-32, a lone surrogate", lone, Encoding::Utf32LeWithBom,
            TestSupport::utf32(u"\uFEFFa&#55296;b\n"));
    }
    void typed()
    {
        QFETCH(QString, text);
        QFETCH(PageFormat, format);
        QFETCH(QByteArray, bytes);
        const QByteArray encoded = PageCodec::encode(text, format);
        if (format.encoding == Encoding::Utf8 || format.encoding == Encoding::Windows1252)
            QCOMPARE(encoded, bytes + "\n");
        else
            QCOMPARE(encoded, bytes);
    }
};

QTEST_GUILESS_MAIN(TestPageCodec)
#include "tst_pagecodec.moc"
