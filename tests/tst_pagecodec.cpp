#include <QTest>

#include "files/pagecodec.h"

// Round trips go through the editor. These are the characters of a legacy
// page: what the editor shows of its bytes, and how a typed character that
// Windows-1252 cannot hold is written.
class TestPageCodec : public QObject
{
    Q_OBJECT
private slots:
    void legacyPage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, const char16_t *text, const char *bytes) {
            QTest::newRow(name) << QStringView(text).toString() << QByteArray(bytes);
        };
        row("letters", u"caf\u00E9 \u20AC\u0160\u201C\u201D\u2122\u0178",
            "caf\xE9 \x80\x8A\x93\x94\x99\x9F");
        row("CJK", u"a\u4E2Db", "a&#20013;b");
        row("emoji, one reference", u"\U0001F600", "&#128512;");
        // U+0080 has no byte of its own: 0x80 is the euro sign.
        row("C1 control", u"\u0080", "&#128;");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("&#55296;");
    }
    void legacyPage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const PageFormat legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::CrLf};
        QCOMPARE(PageCodec::encode(text, legacy), bytes + "\r\n");
        if (bytes.contains('&'))
            return; // a reference reads back as itself
        const PageCodec::Page page = PageCodec::decode(bytes + "\r\n");
        QCOMPARE(page.text, text + "\n");
        QVERIFY(page.format == legacy);
    }
};

QTEST_GUILESS_MAIN(TestPageCodec)
#include "tst_pagecodec.moc"
