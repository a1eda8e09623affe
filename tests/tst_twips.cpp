#include <QTest>

#include "ui/twips.h"

// Every window's geometry is checked through Twips, so Twips itself is checked
// against pixels worked out by hand.
class TestTwips : public QObject
{
    Q_OBJECT

private slots:
    void toPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("just under half") << 7 << 0;
        QTest::newRow("half rounds up") << 8 << 1;
        QTest::newRow("toolbar button") << 255 << 17;
        QTest::newRow("main client width") << 8325 << 555;
        QTest::newRow("main client height") << 6645 << 443;
        QTest::newRow("splash width") << 7380 << 492;
        QTest::newRow("drop-down offset") << 1000 << 67;
        QTest::newRow("negative half rounds away from zero") << -8 << -1;
        QTest::newRow("negative screen position") << -2385 << -159;
    }
    void toPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixels(twips), pixels);
    }

    void shapes()
    {
        QCOMPARE(Twips::fromPixels(17), 255);
        QCOMPARE(Twips::point(2385, 2040), QPoint(159, 136));
        QCOMPARE(Twips::size(4575, 1380), QSize(305, 92));
        QCOMPARE(Twips::rect(8, 600, 8295, 6015), QRect(1, 40, 553, 401));
    }
};

QTEST_MAIN(TestTwips)
#include "tst_twips.moc"
