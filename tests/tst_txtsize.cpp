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

QToolButton *sizeButton(const TestSupport::Program &program)
{
    return program.main()->findChild<QToolButton *>("textsizebutton");
}

TxtSize *openSizeWindow(TestSupport::Program &program)
{
    QTest::mouseClick(sizeButton(program), Qt::LeftButton);
    TxtSize *window = program.windows().find<TxtSize>();
    if (window && !QTest::qWaitForWindowActive(window))
        qWarning("size window did not become active");
    return window;
}

QScrollBar *scrollBar(QWidget *window)
{
    return window->findChild<QScrollBar *>("VScroll1");
}

QString shownValue(QWidget *window)
{
    return window->findChild<QLabel *>("Label1")->text();
}

void clickOk(QWidget *window)
{
    QTest::mouseClick(window->findChild<QLabel *>("Label2"), Qt::LeftButton);
}

} // namespace

class TestTxtSize : public QObject
{
    Q_OBJECT

private slots:
    void layout()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        TxtSize *window = openSizeWindow(program);
        QVERIFY(window);
        QVERIFY(window->windowTitle().isEmpty());
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(window->size(), Twips::size(1230, 495));

        auto *value = window->findChild<QLabel *>("Label1");
        auto *ok = window->findChild<QLabel *>("Label2");
        QScrollBar *scroll = scrollBar(window);
        QCOMPARE(value->text(), QString("1"));
        QCOMPARE(ok->text(), QString(" Ok"));
        QCOMPARE(scroll->orientation(), Qt::Vertical);
        QCOMPARE(scroll->minimum(), 1);
        QCOMPARE(scroll->maximum(), 99);
        QCOMPARE(scroll->value(), 1);
        QCOMPARE(scroll->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(ok->focusPolicy(), Qt::NoFocus);
        // The scroll bar holds the focus from the start.
        QCOMPARE(QApplication::focusWidget(), scroll);
    }

    void placedBelowButton_data()
    {
        QTest::addColumn<QPoint>("mainPosition");
        QTest::newRow("as started") << QPoint();
        QTest::newRow("moved") << QPoint(301, 17);
        QTest::newRow("near the bottom") << QPoint(0, 1060);
    }

    void placedBelowButton()
    {
        QFETCH(QPoint, mainPosition);
        TestSupport::Program program;
        if (!mainPosition.isNull())
            program.main()->move(mainPosition);
        TxtSize *window = openSizeWindow(program);
        const QRect frame = program.main()->frameGeometry();
        QCOMPARE(window->pos(), QPoint(Twips::toPixels(Twips::fromPixels(frame.left()) + 6360),
                                       Twips::toPixels(Twips::fromPixels(frame.top()) + 1120)));
    }

    void bounds_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("expected");
        const int arrowUp = QAbstractSlider::SliderSingleStepAdd;
        const int arrowDown = QAbstractSlider::SliderSingleStepSub;
        const int troughUp = QAbstractSlider::SliderPageStepAdd;
        const int troughDown = QAbstractSlider::SliderPageStepSub;
        QTest::newRow("one arrow step up") << 1 << arrowUp << 1 << 2;
        QTest::newRow("eleven arrow steps up") << 1 << arrowUp << 11 << 12;
        QTest::newRow("trough click is one step") << 5 << troughUp << 1 << 6;
        QTest::newRow("trough click down is one step") << 5 << troughDown << 1 << 4;
        QTest::newRow("below 1 stays 1") << 1 << arrowDown << 1 << 1;
        QTest::newRow("trough below 1 stays 1") << 1 << troughDown << 3 << 1;
        QTest::newRow("beyond 99 stays 99") << 99 << arrowUp << 1 << 99;
        QTest::newRow("trough beyond 99 stays 99") << 98 << troughUp << 4 << 99;
    }

    void bounds()
    {
        QFETCH(int, start);
        QFETCH(int, action);
        QFETCH(int, times);
        QFETCH(int, expected);
        TestSupport::Program program;
        TxtSize *window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        scroll->setValue(start);
        for (int i = 0; i < times; ++i)
            scroll->triggerAction(QAbstractSlider::SliderAction(action));
        QCOMPARE(scroll->value(), expected);
        QCOMPARE(shownValue(window), QString::number(expected));
    }

    void keysRaiseAndLower()
    {
        TestSupport::Program program;
        TxtSize *window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        QTest::keyClick(scroll, Qt::Key_Up);
        QTest::keyClick(scroll, Qt::Key_Up);
        QCOMPARE(shownValue(window), QString("3"));
        QTest::keyClick(scroll, Qt::Key_Down);
        QCOMPARE(shownValue(window), QString("2"));
        QTest::keyClick(scroll, Qt::Key_End);
        QCOMPARE(shownValue(window), QString("99"));
        QTest::keyClick(scroll, Qt::Key_Up);
        QCOMPARE(shownValue(window), QString("99"));
    }

    void ok_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("expected");
        QTest::newRow("at once") << 1 << 0 << "x<font size=1>abcy";
        QTest::newRow("12 replaces abc") << 12 << 3 << "x<font size=12>y";
        QTest::newRow("99") << 99 << 0 << "x<font size=99>abcy";
    }

    void ok()
    {
        QFETCH(int, value);
        QFETCH(int, selectionLength);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selectionLength);
        TxtSize *window = openSizeWindow(program);
        scrollBar(window)->setValue(value);

        clickOk(window);

        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        QVERIFY(!program.windows().find<TxtSize>());
    }

    void okKeepsFocusOnScrollBar()
    {
        TestSupport::Program program;
        TxtSize *window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        auto *ok = window->findChild<QLabel *>("Label2");
        QTest::mousePress(ok, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), scroll);
        QTest::mouseRelease(ok, Qt::LeftButton);
        QCOMPARE(program.document().text(), QString("<font size=1>"));
    }

    void closesOnClickIntoSource()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        QPointer<TxtSize> window = openSizeWindow(program);
        QTest::keyClick(scrollBar(window), Qt::Key_Up);

        TestSupport::clickInto(program.source());

        QTRY_VERIFY(!window);
        QCOMPARE(program.document().text(), QString("abc"));
    }

    void closesWhenFocusMovesWithin()
    {
        // Whatever takes the focus from the scroll bar closes the window.
        TestSupport::Program program;
        QPointer<TxtSize> window = openSizeWindow(program);
        window->findChild<QLabel *>("Label1")->setFocusPolicy(Qt::ClickFocus);
        window->findChild<QLabel *>("Label1")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(!window);
        QCOMPARE(program.document().text(), QString());
    }

    void contextMenuKeepsWindow()
    {
        TestSupport::Program program;
        QPointer<TxtSize> window = openSizeWindow(program);
        QScrollBar *scroll = scrollBar(window);
        bool menuShown = false;
        bool openWhileMenu = false;
        TestSupport::onNextPopup([&](QMenu *menu) {
            menuShown = menu != nullptr;
            QTest::qWait(10);
            openWhileMenu = !window.isNull() && window->isVisible();
            if (menu)
                QTest::keyClick(menu, Qt::Key_Escape);
        });
        const QPoint at = scroll->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, scroll->mapToGlobal(at));
        QApplication::sendEvent(scroll, &event);

        QVERIFY(menuShown);
        QVERIFY(openWhileMenu);
        QTest::qWait(20);
        QVERIFY(window);
        QVERIFY(window->isVisible());
    }

    void everyOpeningStartsAfresh()
    {
        TestSupport::Program program;
        TxtSize *first = openSizeWindow(program);
        scrollBar(first)->setValue(40);
        clickOk(first);
        program.main()->move(program.main()->pos() + QPoint(90, 45));

        TxtSize *second = openSizeWindow(program);
        QVERIFY(second);
        QCOMPARE(scrollBar(second)->value(), 1);
        QCOMPARE(shownValue(second), QString("1"));
        const QRect frame = program.main()->frameGeometry();
        QCOMPARE(second->pos(), QPoint(Twips::toPixels(Twips::fromPixels(frame.left()) + 6360),
                                       Twips::toPixels(Twips::fromPixels(frame.top()) + 1120)));
    }

    void buttonWhileOpenOpensFresh()
    {
        TestSupport::Program program;
        QPointer<TxtSize> first = openSizeWindow(program);
        scrollBar(first)->setValue(7);

        TestSupport::clickInto(sizeButton(program));

        QTRY_VERIFY(!first);
        TxtSize *second = program.windows().find<TxtSize>();
        QVERIFY(second);
        QCOMPARE(scrollBar(second)->value(), 1);
        QVERIFY(QTest::qWaitForWindowActive(second));
        QTest::qWait(20);
        QCOMPARE(program.windows().find<TxtSize>(), second);
    }
};

QTEST_MAIN(TestTxtSize)
#include "tst_txtsize.moc"
