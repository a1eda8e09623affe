#include <QAction>
#include <QGuiApplication>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

// What the program asks of the window manager and how it copes with what a
// window manager does anyway. Runs on the offscreen platform and on an X
// server under a real window manager.
class TestWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void minimizedWindowComesBack_data();
    void minimizedWindowComesBack();

private:
    // Opens a window by its menu entry or toolbar button.
    static void choose(TestSupport::Program &program, const QString &control)
    {
        if (QAction *entry = program.entry(control))
            entry->trigger();
        else
            program.button(control)->click();
    }
};

void TestWindowManager::minimizedWindowComesBack_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("window");
    QTest::newRow("FAQ") << "faq"
                         << "faqForm";
    QTest::newRow("about") << "about"
                           << "AboutHTML";
    QTest::newRow("marquee") << "marquee"
                             << "mform";
    QTest::newRow("text effect") << "glow"
                                 << "fxform";
    QTest::newRow("open") << "open"
                          << "openform";
    QTest::newRow("link, no close box") << "addlink"
                                        << "addlinkform";
}

void TestWindowManager::minimizedWindowComesBack()
{
    QFETCH(QString, control);
    QFETCH(QString, window);
    TestSupport::Program program;
    choose(program, control);
    QPointer<QWidget> shown = program.windows().find(window);
    QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
    shown->showMinimized();
    QTRY_VERIFY(shown->isMinimized());

    choose(program, control);
    QCOMPARE(program.windows().find(window), shown.data());
    QTRY_VERIFY(!shown->isMinimized());
    QVERIFY(shown->isVisible());
    QTRY_VERIFY(shown->isActiveWindow());
}

QTEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
