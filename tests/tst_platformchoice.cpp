#include <QTest>

#include "app/platformchoice.h"

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private slots:
    void choose()
    {
        // Environment: WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM.
        const auto choose = &PlatformChoice::choose;
        const QByteArray xwayland = "xcb;wayland", leftToQt;
        // A Wayland desktop that offers X11 runs the program there.
        QCOMPARE(choose({"wayland-0", ":0", {}}, {}), xwayland);
        QCOMPARE(choose({"wayland-0", ":1", {}}, {"-style", "fusion"}), xwayland);
        // Otherwise, or when the user chose a platform, Qt chooses.
        QCOMPARE(choose({{}, ":0", {}}, {}), leftToQt);
        QCOMPARE(choose({"wayland-0", {}, {}}, {}), leftToQt);
        QCOMPARE(choose({"wayland-0", ":0", "wayland"}, {}), leftToQt);
        QCOMPARE(choose({"wayland-0", ":0", {}}, {"-platform", "wayland"}), leftToQt);
        QCOMPARE(choose({"wayland-0", ":0", {}}, {"--platform", "wayland"}), leftToQt);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
