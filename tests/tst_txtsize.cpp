#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/txtsize.h"
#include "testsupport.h"

namespace {

TxtSize *openSizeWindow(TestSupport::Program &program)
{
    QTest::mouseClick(program.button("textsizebutton"), Qt::LeftButton);
    TxtSize *window = program.windows().find<TxtSize>();
    if (window && !QTest::qWaitForWindowActive(window))
        qWarning("size window did not become active");
    return window;
}

QScrollBar *scrollBar(QWidget *window)
{
    return window->findChild<QScrollBar *>("VScroll1");
}

} // namespace

class TestTxtSize : public QObject
{
    Q_OBJECT

private slots:
    void everyOpeningStartsAtOneBelowButton_data()
    {
        QTest::addColumn<QPoint>("mainPosition");
        QTest::newRow("as started") << QPoint();
        QTest::newRow("near the bottom") << QPoint(301, 1000);
    }

    void everyOpeningStartsAtOneBelowButton()
    {
        QFETCH(QPoint, mainPosition);
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        if (!mainPosition.isNull())
            program.main()->move(mainPosition);
        QPointer<TxtSize> window = openSizeWindow(program);

        for (int opening = 0; opening < 2; ++opening) {
            QVERIFY(window);
            QVERIFY(window->windowTitle().isEmpty());
            QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
            const QRect frame = program.main()->frameGeometry();
            const QPoint below = Twips::point(Twips::fromPixels(frame.left()) + 6360,
                                              Twips::fromPixels(frame.top()) + 120 + 1000);
            QCOMPARE(window->geometry(), QRect(below, Twips::size(1230, 495)));
            QCOMPARE(window->findChild<QLabel *>("Label2")->text(), QString(" Ok"));
            QCOMPARE(window->findChild<QLabel *>("Label1")->text(), QString("1"));
            QCOMPARE(scrollBar(window)->value(), 1);
            // The scroll bar holds the focus from the start.
            QCOMPARE(QApplication::focusWidget(), scrollBar(window));
            if (opening == 1)
                break;

            // The button while open: the focus loss closes this one, the click opens a new one.
            scrollBar(window)->setValue(40);
            program.main()->move(program.main()->pos() + QPoint(90, 45));
            TestSupport::clickInto(program.button("textsizebutton"));
            QTRY_VERIFY(!window);
            window = program.windows().find<TxtSize>();
            QVERIFY(window && QTest::qWaitForWindowActive(window));
            QTest::qWait(20); // nothing of the old one's closing reaches the new one
        }
    }

    void stepsAndOk_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("selectionLength");
        QTest::newRow("ok at once") << 1 << 0 << 0 << 1 << 0;
        QTest::newRow("up arrow raises, 12 replaces abc") << 1 << int(Qt::Key_Up) << 11 << 12 << 3;
        QTest::newRow("down arrow lowers") << 5 << int(Qt::Key_Down) << 1 << 4 << 0;
        // A click in the trough, like page up and down, is one step too.
        QTest::newRow("page up is one step") << 5 << int(Qt::Key_PageUp) << 1 << 6 << 3;
        QTest::newRow("page down is one step") << 5 << int(Qt::Key_PageDown) << 1 << 4 << 0;
        QTest::newRow("below 1 stays 1") << 2 << int(Qt::Key_Down) << 3 << 1 << 0;
        QTest::newRow("beyond 99 stays 99") << 98 << int(Qt::Key_PageUp) << 3 << 99 << 3;
        QTest::newRow("end is 99") << 1 << int(Qt::Key_End) << 1 << 99 << 0;
    }

    void stepsAndOk()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, times);
        QFETCH(int, value);
        QFETCH(int, selectionLength);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selectionLength);
        TxtSize *window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        scroll->setValue(start);
        for (int i = 0; i < times; ++i)
            QTest::keyClick(scroll, Qt::Key(key));
        QCOMPARE(scroll->value(), value);
        QCOMPARE(window->findChild<QLabel *>("Label1")->text(), QString::number(value));

        // Pressing " Ok" must not take the focus, or the window would close first.
        auto *ok = window->findChild<QLabel *>("Label2");
        QTest::mousePress(ok, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), scroll);
        QTest::mouseRelease(ok, Qt::LeftButton);

        const QString tag = "<font size=" + QString::number(value) + ">";
        QCOMPARE(program.document().text(), "x" + tag + (selectionLength ? "y" : "abcy"));
        QCOMPARE(program.document().caretPosition(), 1 + int(tag.size()));
        QVERIFY(!program.windows().find<TxtSize>());
    }

    void closesOnClickIntoSourceNotOnContextMenu()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        QPointer<TxtSize> window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        QTest::keyClick(scroll, Qt::Key_Up);

        // The scroll bar's context menu takes the focus only for a moment.
        bool openWhileMenu = false;
        TestSupport::onNextPopup([&](QMenu *menu) {
            QTest::qWait(10);
            openWhileMenu = menu && window && window->isVisible();
            if (menu)
                QTest::keyClick(menu, Qt::Key_Escape);
        });
        const QPoint at = scroll->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, scroll->mapToGlobal(at));
        QApplication::sendEvent(scroll, &event);
        QVERIFY(openWhileMenu);
        QTest::qWait(20);
        QVERIFY(window && window->isVisible());

        TestSupport::clickInto(program.source());

        QTRY_VERIFY(!window);
        QCOMPARE(program.document().text(), QString("abc"));
    }
};

QTEST_MAIN(TestTxtSize)
#include "tst_txtsize.moc"
