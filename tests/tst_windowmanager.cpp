#include <QAction>
#include <QGuiApplication>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "testsupport.h"
#include "ui/twips.h"
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
    void untitledWindowsDrawTheirBorder_data();
    void untitledWindowsDrawTheirBorder();

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

void TestWindowManager::untitledWindowsDrawTheirBorder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("clientTwips");
    QTest::newRow("text colour") << "textcolorbutton"
                                 << "textcolor" << QSize(2070, 630);
    QTest::newRow("background colour") << "backcolorbutton"
                                       << "bgcolor" << QSize(2070, 630);
    QTest::newRow("highlight") << "highlight"
                               << "hlightcolor" << QSize(2070, 630);
    QTest::newRow("text size") << "textsizebutton"
                               << "txtsize" << QSize(1230, 495);
}

void TestWindowManager::untitledWindowsDrawTheirBorder()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QSize, clientTwips);
    TestSupport::Program program;
    program.button(button)->click();
    QWidget *shown = program.windows().find(window);
    QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
    // No title bar, and no frame from the window manager either.
    QVERIFY(shown->windowTitle().isEmpty());
    QCOMPARE(shown->frameGeometry(), shown->geometry());

    // The client area, where the controls stand, lies inside a border all round.
    QWidget *client = shown->findChild<QWidget *>("Label1")->parentWidget();
    const QRect inside = QRect(client->mapTo(shown, QPoint()), client->size());
    QCOMPARE(inside.size(), Twips::size(clientTwips.width(), clientTwips.height()));
    QVERIFY(inside.left() > 0 && inside.top() > 0);
    QCOMPARE(shown->width() - inside.right() - 1, inside.left());
    QCOMPARE(shown->height() - inside.bottom() - 1, inside.top());

    // Every pixel of the border stands out from the grey of the window.
    const QImage image = shown->grab().toImage();
    const QRgb grey = shown->palette().color(QPalette::Window).rgb();
    int plain = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!inside.contains(x, y) && image.pixel(x, y) == grey)
                ++plain;
        }
    }
    QCOMPARE(plain, 0);
}

QTEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
