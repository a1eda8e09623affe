#include <QTest>

#include "app/platformchoice.h"

namespace {

struct Case
{
    const char *tag;
    PlatformChoice::Environment environment; // WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM
    QList<QByteArray> arguments;
    QByteArray expected;
};

const QByteArray XWayland = "xcb;wayland";

const Case Cases[] = {
    {"wayland desktop with xwayland", {"wayland-0", ":0", {}}, {}, XWayland},
    {"other arguments", {"wayland-0", ":1", {}}, {"-style", "fusion"}, XWayland},
    {"x11 desktop", {{}, ":0", {}}, {}, {}},
    {"wayland without xwayland", {"wayland-0", {}, {}}, {}, {}},
    {"platform chosen in the environment", {"wayland-0", ":0", "wayland"}, {}, {}},
    {"platform chosen with -platform", {"wayland-0", ":0", {}}, {"-platform", "wayland"}, {}},
    {"platform chosen with --platform", {"wayland-0", ":0", {}}, {"--platform", "wayland"}, {}},
};

} // namespace

class TestPlatformChoice : public QObject
{
    Q_OBJECT

private slots:
    void choose_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(Cases)); ++i)
            QTest::newRow(Cases[i].tag) << i;
    }

    void choose()
    {
        QFETCH(int, row);
        const Case &c = Cases[row];
        QCOMPARE(PlatformChoice::choose(c.environment, c.arguments), c.expected);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platformchoice.moc"
