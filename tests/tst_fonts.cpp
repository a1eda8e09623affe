#include <QTest>

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
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
