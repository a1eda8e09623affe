#include <QAction>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

class TestWindowRegistry : public QObject
{
    Q_OBJECT

private slots:
    void closingOrderNamesEveryWindowOnce();
    void nothingExistsBeforeFirstUse();
    void oneInstancePerWindow();
    void showingAnOpenWindowKeepsIt();
    void closedWindowStartsFresh();
    void closeAllWindowsInOrder();
    void programEnds_data();
    void programEnds();
};

void TestWindowRegistry::closingOrderNamesEveryWindowOnce()
{
    const QStringList &order = WindowRegistry::closingOrder();
    QCOMPARE(order.size(), 24);
    QCOMPARE(QSet<QString>(order.begin(), order.end()).size(), 24);
    QCOMPARE(order.last(), QString("Main"));
}

void TestWindowRegistry::nothingExistsBeforeFirstUse()
{
    WindowRegistry windows;
    QVERIFY(windows.openWindows().isEmpty());
    QVERIFY(!windows.find<Main>());
    windows.window<Main>();
    QCOMPARE(windows.openWindows(), QStringList{"Main"});
}

void TestWindowRegistry::oneInstancePerWindow()
{
    WindowRegistry windows;
    Splash *splash = windows.window<Splash>();
    QVERIFY(!splash->isVisible());
    QCOMPARE(windows.window<Splash>(), splash);
    QCOMPARE(windows.show<Splash>(), splash);
    QVERIFY(splash->isVisible());
    QCOMPARE(windows.find("splash"), splash);
}

void TestWindowRegistry::showingAnOpenWindowKeepsIt()
{
    TestSupport::Program program;
    Main *main = program.main();
    program.document().setText("kept");
    program.document().select(2, 1);
    QCOMPARE(program.windows().show<Main>(), main);
    QCOMPARE(program.document().text(), QString("kept"));
    QCOMPARE(program.document().selectionStart(), 2);
    QCOMPARE(program.document().selectionLength(), 1);
}

void TestWindowRegistry::closedWindowStartsFresh()
{
    WindowRegistry windows;
    QPointer<Splash> first = windows.show<Splash>();
    first->close();
    // Forgotten at once, though deleted only later.
    QVERIFY(!windows.find<Splash>());
    Splash *second = windows.window<Splash>();
    QVERIFY(second != first.data());
    QTRY_VERIFY(first.isNull());
}

void TestWindowRegistry::closeAllWindowsInOrder()
{
    TestSupport::Program program;
    program.windows().window<Splash>();
    QSignalSpy closing(&program.windows(), &WindowRegistry::closing);
    QPointer<Main> main = program.main();

    program.windows().closeAllWindows();

    QStringList order;
    for (const QList<QVariant> &call : closing)
        order.append(call.first().toString());
    QCOMPARE(order, (QStringList{"splash", "Main"}));
    QVERIFY(program.windows().openWindows().isEmpty());
    QTRY_VERIFY(main.isNull());
}

void TestWindowRegistry::programEnds_data()
{
    QTest::addColumn<bool>("throughExit");
    QTest::newRow("Exit") << true;
    QTest::newRow("close box") << false;
}

void TestWindowRegistry::programEnds()
{
    QFETCH(bool, throughExit);
    TestSupport::Program program;
    program.windows().window<Splash>();
    QTimer::singleShot(0, program.main(), [&program, throughExit] {
        if (throughExit)
            program.main()->findChild<QAction *>("exit")->trigger();
        else
            program.main()->close();
    });
    // Should the program not end, fail instead of hanging.
    bool endedByItself = true;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [&endedByItself] {
        endedByItself = false;
        QApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    QVERIFY(endedByItself);
    QVERIFY(program.windows().openWindows().isEmpty());
}

QTEST_MAIN(TestWindowRegistry)
#include "tst_windowregistry.moc"
