#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "markup/txtsize.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

class TestTxtSize : public QObject
{
    Q_OBJECT

private slots:
    void stepsAndOk_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("value");
        QTest::newRow("ok at once") << 1 << 0 << 0 << 1;
        QTest::newRow("up arrow raises to 12") << 1 << int(Qt::Key_Up) << 11 << 12;
        // A click in the trough, like page up and down, is one step too.
        QTest::newRow("page up is one step") << 5 << int(Qt::Key_PageUp) << 1 << 6;
        QTest::newRow("below 1 stays 1") << 2 << int(Qt::Key_Down) << 3 << 1;
        QTest::newRow("beyond 99 stays 99") << 98 << int(Qt::Key_PageUp) << 3 << 99;
    }

    void stepsAndOk()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, times);
        QFETCH(int, value);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        QTest::mouseClick(program.button("textsizebutton"), Qt::LeftButton);
        TxtSize *window = program.windows().find<TxtSize>();
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        auto *scroll = window->findChild<QScrollBar *>("VScroll1");
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
        QCOMPARE(program.document().text(), "x" + tag + "y"); // replacing abc
        QCOMPARE(program.document().caretPosition(), 1 + int(tag.size()));
        QVERIFY(!program.windows().find<TxtSize>());
    }

    // 99 is drawn at the top, so everything that points up raises the size.
    void pointerSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("steps"); // an arrow, the wheel or a menu entry
        QTest::addColumn<int>("value");
        QTest::newRow("upper arrow twice, lower once")
            << 3 << QStringList{"upper", "upper", "lower"} << 4;
        QTest::newRow("upper arrow at 99 stays") << 99 << QStringList{"upper"} << 99;
        QTest::newRow("lower arrow at 1 stays") << 1 << QStringList{"lower"} << 1;
        QTest::newRow("wheel up twice, down once")
            << 7 << QStringList{"wheel up", "wheel up", "wheel down"} << 8;
        QTest::newRow("menu Top") << 5 << QStringList{"Top"} << 99;
        QTest::newRow("menu Bottom") << 5 << QStringList{"Bottom"} << 1;
        QTest::newRow("menu Scroll up") << 5 << QStringList{"Scroll up"} << 6;
        QTest::newRow("menu Page down") << 5 << QStringList{"Page down"} << 4;
    }

    void pointerSteps()
    {
        QFETCH(int, start);
        QFETCH(QStringList, steps);
        QFETCH(int, value);
        TestSupport::Program program;
        QTest::mouseClick(program.button("textsizebutton"), Qt::LeftButton);
        TxtSize *window = program.windows().find<TxtSize>();
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        auto *scroll = window->findChild<QScrollBar *>("VScroll1");
        QVERIFY(scroll->invertedAppearance()); // 99 at the top
        scroll->setValue(start);
        for (const QString &step : steps) {
            const int x = scroll->width() / 2;
            if (step == "upper") {
                QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(x, 1));
            } else if (step == "lower") {
                QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(x, scroll->height() - 2));
            } else if (step.startsWith("wheel")) {
                const QPoint at = scroll->rect().center();
                const int delta = step.endsWith("up") ? 120 : -120;
                QWheelEvent wheel(at, scroll->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {},
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(scroll, &wheel);
            } else {
                TestSupport::onNextPopup([step](QMenu *menu) {
                    QVERIFY(menu);
                    for (QAction *action : menu->actions()) {
                        if (action->text() == step)
                            menu->setActiveAction(action);
                    }
                    QCOMPARE(menu->activeAction()->text(), step);
                    QTest::keyClick(menu, Qt::Key_Return);
                });
                const QPoint at = scroll->rect().center();
                QContextMenuEvent event(QContextMenuEvent::Mouse, at, scroll->mapToGlobal(at));
                QApplication::sendEvent(scroll, &event);
            }
        }
        QCOMPARE(scroll->value(), value);
        QCOMPARE(window->findChild<QLabel *>("Label1")->text(), QString::number(value));
        // The keys were not turned round with the pointer.
        QTest::keyClick(scroll, Qt::Key_Up);
        QCOMPARE(scroll->value(), qMin(value + 1, 99));
    }

    // Return and Enter are " Ok"; Escape closes the window, writing nothing.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("Return") << int(Qt::Key_Return) << "x<font size=3>y";
        QTest::newRow("Enter") << int(Qt::Key_Enter) << "x<font size=3>y";
        QTest::newRow("Escape") << int(Qt::Key_Escape) << "xabcy";
        QTest::newRow("Space does nothing") << int(Qt::Key_Space) << "";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        QTest::mouseClick(program.button("textsizebutton"), Qt::LeftButton);
        QPointer<TxtSize> window = program.windows().find<TxtSize>();
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        auto *scroll = window->findChild<QScrollBar *>("VScroll1");
        scroll->setValue(3);
        QTest::keyClick(scroll, Qt::Key(key));
        QCOMPARE(program.windows().find<TxtSize>() == nullptr, !text.isEmpty());
        QCOMPARE(program.document().text(), text.isEmpty() ? QString("xabcy") : text);
        QTRY_COMPARE(window.isNull(), !text.isEmpty());
    }

    void opensBelowButtonClosesOnFocusLoss()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        program.main()->move(301, 1000); // nothing keeps the window on the screen
        // Every opening starts at 1, below the button, the scroll bar holding the focus.
        const auto checkFresh = [&](TxtSize *window) {
            QVERIFY(window->windowTitle().isEmpty() &&
                    window->windowFlags() & Qt::FramelessWindowHint);
            const QRect frame = program.main()->frameGeometry();
            const QPoint below = Twips::point(Twips::fromPixels(frame.left()) + 6360,
                                              Twips::fromPixels(frame.top()) + 120 + 1000);
            const QSize border(2 * Window::DrawnBorder, 2 * Window::DrawnBorder);
            QCOMPARE(window->geometry(), QRect(below, Twips::size(1230, 495) + border));
            QCOMPARE(window->findChild<QLabel *>("Label2")->text(), QString(" Ok"));
            QCOMPARE(window->findChild<QLabel *>("Label1")->text(), QString("1"));
            QCOMPARE(window->findChild<QScrollBar *>("VScroll1")->value(), 1);
            QCOMPARE(QApplication::focusWidget(), window->findChild<QScrollBar *>("VScroll1"));
        };
        QTest::mouseClick(program.button("textsizebutton"), Qt::LeftButton);
        QPointer<TxtSize> window = program.windows().find<TxtSize>();
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        checkFresh(window);
        auto *scroll = window->findChild<QScrollBar *>("VScroll1");
        QTest::keyClick(scroll, Qt::Key_Up);
        // Its context menu takes the focus only for a moment.
        bool menuShown = false;
        TestSupport::onNextPopup([&](QMenu *menu) {
            menuShown = menu != nullptr;
            TestSupport::flushEvents(); // as a user would, after the window system has caught up
            if (menu)
                QTest::keyClick(menu, Qt::Key_Escape);
        });
        const QPoint at = scroll->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, scroll->mapToGlobal(at));
        QApplication::sendEvent(scroll, &event);
        TestSupport::flushEvents();
        QVERIFY(menuShown && window && window->isVisible());
        // The button while open: the focus loss closes this one, the click opens a new one.
        program.main()->move(program.main()->pos() + QPoint(90, 45));
        TestSupport::clickInto(program.button("textsizebutton"));
        QTRY_VERIFY(!window);
        window = program.windows().find<TxtSize>();
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        TestSupport::flushEvents(); // nothing of the old one's closing reaches the new one
        checkFresh(window);
        // A click back into the source box closes it; nothing is written.
        TestSupport::clickInto(program.source());
        QTRY_VERIFY(!window);
        QCOMPARE(program.document().text(), QString("abc"));
    }
};

QTEST_MAIN(TestTxtSize)
#include "tst_txtsize.moc"
