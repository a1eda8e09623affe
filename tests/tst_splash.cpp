#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void firingShowsTheMainWindowOnce();
    void waitsTwoSeconds();
};

void TestSplash::layout()
{
    WindowRegistry windows;
    Splash *splash = windows.show<Splash>();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QCOMPARE(splash->size(), Twips::size(7380, 4200));
    QCOMPARE(splash->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash->windowType(), Qt::SplashScreen);
    QVERIFY(splash->windowTitle().isEmpty());

    auto *picture = splash->findChild<QLabel *>("Picture");
    QVERIFY(picture);
    QCOMPARE(picture->pos(), QPoint(0, 0));
    // Drawn for the screen's pixel density: at a scale factor of 2 the
    // picture has twice as many pixels each way, shown at the same size.
    const qreal ratio = splash->screen()->devicePixelRatio();
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    QCOMPARE(ratio, scale.isEmpty() ? 1.0 : scale.toDouble());
    QCOMPARE(picture->pixmap().devicePixelRatio(), ratio);
    QCOMPARE(picture->pixmap().deviceIndependentSize(), QSizeF(492, 282));
    QCOMPARE(picture->pixmap().size(), (QSizeF(492, 282) * ratio).toSize());
    QCOMPARE(picture->size(), QSize(492, 282));
}

void TestSplash::firingShowsTheMainWindowOnce()
{
    WindowRegistry windows;
    QPointer<Splash> splash = windows.show<Splash>();
    QPointer<QTimer> timer = splash->findChild<QTimer *>("Timer1");
    timer->start(1); // the test need not wait the full two seconds

    QTRY_VERIFY(windows.find<Main>());
    Main *main = windows.find<Main>();
    QVERIFY(QTest::qWaitForWindowActive(main));
    QVERIFY(!windows.find<Splash>());
    QTRY_VERIFY(splash.isNull());
    QVERIFY(timer.isNull());
    QCOMPARE(QApplication::focusWidget(), main->findChild<QWidget *>("htmlsource"));

    // The splash never comes back and no second main window appears.
    TestSupport::flushEvents();
    QCOMPARE(windows.openWindows(), QStringList{"Main"});
    QCOMPARE(windows.find<Main>(), main);
}

void TestSplash::waitsTwoSeconds()
{
    QElapsedTimer clock;
    clock.start();
    WindowRegistry windows;
    QPointer<Splash> splash = windows.show<Splash>();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QVERIFY(!windows.find<Main>());
    // The artwork stands alone until the main window takes over; a loaded
    // machine may make that late, but never early.
    QVERIFY(QTest::qWaitFor([&windows] { return windows.find<Main>() != nullptr; }, 10000));
    QVERIFY(clock.elapsed() >= 2000);
    QVERIFY(windows.find<Main>()->isVisible());
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
