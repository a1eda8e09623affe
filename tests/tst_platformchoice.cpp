#include <QTest>

#include "app/platformchoice.h"

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private slots:
    void choose_data()
    {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray xwayland = "xcb;wayland";
        QTest::newRow("wayland desktop with xwayland")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray() << QList<QByteArray>{}
            << xwayland;
        QTest::newRow("other arguments")
            << QByteArray("wayland-0") << QByteArray(":1") << QByteArray()
            << QList<QByteArray>{"-style", "fusion"} << xwayland;
        QTest::newRow("x11 desktop") << QByteArray() << QByteArray(":0") << QByteArray()
                                     << QList<QByteArray>{} << QByteArray();
        QTest::newRow("wayland without xwayland")
            << QByteArray("wayland-0") << QByteArray() << QByteArray() << QList<QByteArray>{}
            << QByteArray();
        QTest::newRow("platform chosen in the environment")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray("wayland")
            << QList<QByteArray>{} << QByteArray();
        QTest::newRow("platform chosen with -platform")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray()
            << QList<QByteArray>{"-platform", "wayland"} << QByteArray();
        QTest::newRow("platform chosen with --platform")
            << QByteArray("wayland-0") << QByteArray(":0") << QByteArray()
            << QList<QByteArray>{"--platform", "wayland"} << QByteArray();
    }

    void choose()
    {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platform);
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, expected);
        QCOMPARE(PlatformChoice::choose({wayland, display, platform}, arguments), expected);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
