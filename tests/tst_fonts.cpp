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

    // A face the machine lacks shows in the program's own stand-in, whichever
    // fonts the machine offers besides; the font keeps the name it was given.
    void shownFaces_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<bool>("console");
        const QString mono = "DejaVu Sans Mono";
        const QString sans = "DejaVu Sans";
        QTest::newRow("console caption")
            << Fonts::console(8.25) << "Lucida Console" << mono << true;
        // fontconfig offers Liberation Sans for it where that is installed.
        QTest::newRow("Arial") << Fonts::sans("Arial", 8.25) << "Arial" << sans << false;
        // fontconfig offers Nimbus Sans for it where the URW fonts are installed.
        QTest::newRow("Helvetica") << Fonts::sans("Helvetica", 10) << "Helvetica" << sans << false;
        // On every machine, with the stand-ins.
        QTest::newRow("installed face")
            << Fonts::sans("DejaVu Serif", 10) << "DejaVu Serif" << sans << false;
        // Listed by foundry, "Nimbus Sans [urw]", where installed.
        QTest::newRow("face of a foundry")
            << Fonts::sans("Nimbus Sans", 10) << "Nimbus Sans" << sans << false;
    }

    void shownFaces()
    {
        QFETCH(QFont, font);
        QFETCH(QString, named);
        QFETCH(QString, standIn);
        QFETCH(bool, console);
        QCOMPARE(font.family(), named);
        // Without the foundry tag, as in "Nimbus Sans [urw]".
        const QString shown = QFontInfo(font).family().section(" [", 0, 0);
        QCOMPARE(shown, TestSupport::shownFamily(named, standIn));
        QCOMPARE(TestSupport::unevenAdvances(font).isEmpty(), console);
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
