#include <QFontInfo>
#include <QTest>

#include "testsupport.h"
#include "ui/fonts.h"

class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    // Qt tags a family that several foundries supply with each foundry; a face
    // name is written into the page, and only the plain name means anything there.
    void plainFamilies_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("plain");
        QTest::newRow("untagged") << QStringList{"DejaVu Sans", "Nimbus Roman"}
                                  << QStringList{"DejaVu Sans", "Nimbus Roman"};
        QTest::newRow("two foundries, one entry")
            << QStringList{"C059 [UKWN]", "C059 [urw]", "DejaVu Sans"}
            << QStringList{"C059", "DejaVu Sans"};
        QTest::newRow("tagged alone")
            << QStringList{"Nimbus Mono PS [urw]"} << QStringList{"Nimbus Mono PS"};
        QTest::newRow("plain and tagged, first place kept")
            << QStringList{"Z003", "P052 [urw]", "Z003 [urw]", "P052"}
            << QStringList{"Z003", "P052"};
        QTest::newRow("brackets that are no tag") << QStringList{"[Odd]", "Odd [x] Sans", "Odd [y"}
                                                  << QStringList{"[Odd]", "Odd [x] Sans", "Odd [y"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }

    void plainFamilies()
    {
        QFETCH(QStringList, listed);
        QTEST(Fonts::plainFamilies(listed), "plain");
    }

    // A face the machine lacks shows in the program's stand-in, whatever
    // fontconfig offers for it; one it has, under a foundry's tag too, shows
    // as itself. The font keeps the name it was given. (The layouts' own
    // faces are checked where the windows use them.)
    void shownFaces_data()
    {
        QTest::addColumn<QString>("named");
        // fontconfig offers Nimbus Sans for it where the URW fonts are installed.
        QTest::newRow("Helvetica") << "Helvetica";
        // Listed by foundry, "Nimbus Sans [urw]", where installed.
        QTest::newRow("face of a foundry") << "Nimbus Sans";
    }

    void shownFaces()
    {
        QFETCH(QString, named);
        const QFont font = Fonts::sans(named, 10);
        QCOMPARE(font.family(), named);
        const QString shown = QFontInfo(font).family().section(" [", 0, 0);
        QCOMPARE(shown, TestSupport::shownFamily(named, "DejaVu Sans"));
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
