#include <QTest>

#include "files/pagecodec.h"
#include "testsupport.h"

Q_DECLARE_METATYPE(PageFormat)

namespace {

using Encoding = PageFormat::Encoding;
using LineBreak = PageFormat::LineBreak;

PageFormat format(Encoding encoding, LineBreak lineBreak)
{
    return {encoding, lineBreak};
}

} // namespace

class TestPageCodec : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");
        for (const TestSupport::SamplePage &page : TestSupport::samplePages())
            QTest::newRow(page.name) << page.bytes << page.saved;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        const PageCodec::Page page = PageCodec::decode(bytes);
        QVERIFY(!page.text.contains(QLatin1Char('\r')));
        QCOMPARE(PageCodec::encode(page.text, page.format), saved);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PageFormat>("format");
        const PageFormat newPage;
        QTest::newRow("empty") << QByteArray() << QString() << newPage;
        QTest::newRow("no line break") << QByteArray("abc") << "abc" << newPage;
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "a\nb\n" << newPage;
        QTest::newRow("LF only") << QByteArray("a\nb") << "a\nb"
                                 << format(Encoding::Utf8, LineBreak::Lf);
        QTest::newRow("lone CR") << QByteArray("a\rb\rc") << "a\nb\nc" << newPage;
        QTest::newRow("CR at the end") << QByteArray("a\r") << "a\n" << newPage;
        QTest::newRow("CR before CR LF") << QByteArray("a\r\r\nb") << "a\n\nb" << newPage;
        QTest::newRow("CR LF and LF") << QByteArray("a\r\nb\nc") << "a\nb\nc" << newPage;
        QTest::newRow("byte-order mark is not text")
            << QByteArray("\xEF\xBB\xBFx") << "x" << format(Encoding::Utf8WithBom, LineBreak::CrLf);
        QTest::newRow("second byte-order mark is text")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringView(u"\uFEFFx").toString()
            << format(Encoding::Utf8WithBom, LineBreak::CrLf);
        QTest::newRow("UTF-8") << QByteArray("\xE4\xB8\xAD\xC3\xA9")
                               << QStringView(u"\u4E2D\u00E9").toString() << newPage;
        QTest::newRow("Windows-1252 letters")
            << QByteArray("caf\xE9\n") << QStringView(u"caf\u00E9\n").toString()
            << format(Encoding::Windows1252, LineBreak::Lf);
        QTest::newRow("Windows-1252 0x80 to 0x9F")
            << QByteArray("\x80\x8A\x93\x94\x99\x9F\xE9")
            << QStringView(u"\u20AC\u0160\u201C\u201D\u2122\u0178\u00E9").toString()
            << format(Encoding::Windows1252, LineBreak::CrLf);
        QTest::newRow("Windows-1252 undefined bytes")
            << QByteArray("\x81\x8D\x8F\x90\x9D")
            << QStringView(u"\u0081\u008D\u008F\u0090\u009D").toString()
            << format(Encoding::Windows1252, LineBreak::CrLf);
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

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PageFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        const PageFormat newPage;
        const PageFormat legacy = format(Encoding::Windows1252, LineBreak::CrLf);
        QTest::newRow("new page, empty") << QString() << newPage << QByteArray("\r\n");
        QTest::newRow("new page, lines") << "a\n\nb" << newPage << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("LF only") << "a\nb" << format(Encoding::Utf8, LineBreak::Lf)
                                 << QByteArray("a\nb\n");
        QTest::newRow("byte-order mark") << "a" << format(Encoding::Utf8WithBom, LineBreak::Lf)
                                         << QByteArray("\xEF\xBB\xBF"
                                                       "a\n");
        QTest::newRow("Windows-1252 letters") << QStringView(u"\u20AC\u00E9\u2122").toString()
                                              << legacy << QByteArray("\x80\xE9\x99\r\n");
        QTest::newRow("CJK as a character reference")
            << QStringView(u"a\u4E2Db").toString() << legacy << QByteArray("a&#20013;b\r\n");
        QTest::newRow("emoji as one character reference")
            << QStringView(u"\U0001F600").toString() << legacy << QByteArray("&#128512;\r\n");
        QTest::newRow("control character without a byte")
            << QStringView(u"\u0080").toString() << legacy << QByteArray("&#128;\r\n");
        QTest::newRow("lone surrogate kept as a reference")
            << QString(QChar(0xD800)) << legacy << QByteArray("&#55296;\r\n");
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(PageFormat, format);
        QFETCH(QByteArray, bytes);
        QCOMPARE(PageCodec::encode(text, format), bytes);
    }
};

QTEST_GUILESS_MAIN(TestPageCodec)
#include "tst_pagecodec.moc"
