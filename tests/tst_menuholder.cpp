#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/form2.h"
#include "markup/form3.h"
#include "markup/form4.h"
#include "markup/picinternet.h"
#include "testsupport.h"

namespace {

QToolButton *toolbarButton(const TestSupport::Program &program, const QString &name)
{
    return program.main()->findChild<QToolButton *>(name);
}

QAction *entryOf(QMenu *menu, const QString &name)
{
    return menu && !name.isEmpty() ? menu->findChild<QAction *>(name) : nullptr;
}

// Pops up the menu of `button` and clicks its entry `entry` with `mouseButton`;
// an empty entry dismisses the menu with Escape instead.
void choose(const TestSupport::Program &program, const QString &button, const QString &entry,
            Qt::MouseButton mouseButton = Qt::LeftButton)
{
    bool opened = false;
    TestSupport::onNextPopup([&](QMenu *menu) {
        opened = menu != nullptr;
        if (!menu)
            return;
        if (QAction *action = entryOf(menu, entry))
            QTest::mouseClick(menu, mouseButton, {}, menu->actionGeometry(action).center());
        if (menu->isVisible())
            QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(toolbarButton(program, button), Qt::LeftButton);
    QVERIFY2(opened, "no popup menu opened");
}

} // namespace

class TestMenuHolder : public QObject
{
    Q_OBJECT

private slots:
    void menuUnderButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<int>("left");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("bullets") << "addbullet"
                                 << "Form2" << 120 << QStringList{"redb", "blueb", "yellowb"}
                                 << QStringList{"Red Bullet", "Blue Bullet", "Yellow Bullet"};
        QTest::newRow("lines") << "addline"
                               << "Form3" << 480 << QStringList{"redl", "bluel", "yellowl"}
                               << QStringList{"Red Line", "Blue Line", "Yellow Line"};
        QTest::newRow("picture source") << "Command1"
                                        << "Form4" << 1200 << QStringList{"comp", "internet"}
                                        << QStringList{"From My Computer", "From Internet"};
    }

    void menuUnderButton()
    {
        QFETCH(QString, button);
        QFETCH(QString, holder);
        QFETCH(int, left);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, captions);
        TestSupport::Program program;
        QVERIFY(toolbarButton(program, button)->isEnabled());

        QPoint position;
        QStringList names;
        QStringList texts;
        QString menuName;
        QString menuTitle;
        TestSupport::onNextPopup([&](QMenu *menu) {
            if (!menu)
                return;
            position = menu->pos();
            menuName = menu->objectName();
            menuTitle = menu->title();
            for (const QAction *action : menu->actions()) {
                names.append(action->objectName());
                texts.append(action->text());
            }
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        QTest::mouseClick(toolbarButton(program, button), Qt::LeftButton);

        const QWidget *client = program.main()->findChild<QWidget *>("client");
        QCOMPARE(position, client->mapToGlobal(Twips::point(left, 375)));
        QCOMPARE(names, entries);
        QCOMPARE(texts, captions);
        QCOMPARE(menuName, QString("f"));
        QCOMPARE(menuTitle, QString("file"));

        // The holder exists from now on, hidden, and it alone.
        QWidget *window = program.windows().find(holder);
        QVERIFY(window);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->windowTitle(), holder);
        QCOMPARE(program.windows().openWindows(), (QStringList{holder, "Main"}));
    }

    void fragments_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("expected");
        const QString bullets = "addbullet";
        const QString lines = "addline";
        QTest::newRow("red bullet at caret")
            << bullets << "redb" << 0 << "x<img src=Bullets/redbullet.gif>abcy";
        QTest::newRow("blue bullet at caret")
            << bullets << "blueb" << 0 << "x<img src=Bullets/bluebullet.gif>abcy";
        QTest::newRow("yellow bullet replaces abc")
            << bullets << "yellowb" << 3 << "x<img src=Bullets/yellowbullet.gif>y";
        QTest::newRow("red line at caret")
            << lines << "redl" << 0 << "x<img src=Lines/redline.bmp>abcy";
        QTest::newRow("blue line replaces abc")
            << lines << "bluel" << 3 << "x<img src=Lines/blueline.bmp>y";
        QTest::newRow("yellow line replaces abc")
            << lines << "yellowl" << 3 << "x<img src=Lines/yellowline.bmp>y";
    }

    void fragments()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(int, selectionLength);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selectionLength);

        choose(program, button, entry);

        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().selectionLength(), 0);
        // The caret stands right after the tag.
        QCOMPARE(program.document().caretPosition(), int(expected.lastIndexOf('>')) + 1);
    }

    void sameEntryTwice()
    {
        TestSupport::Program program;
        choose(program, "addbullet", "yellowb");
        choose(program, "addbullet", "yellowb");
        QCOMPARE(program.document().text(),
                 QString("<img src=Bullets/yellowbullet.gif><img src=Bullets/yellowbullet.gif>"));
        // The holder is made once and kept.
        QCOMPARE(program.windows().openWindows(), (QStringList{"Form2", "Main"}));
    }

    void dismissedChangesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("mouseButton");
        QTest::newRow("escape") << "addline"
                                << "" << int(Qt::LeftButton);
        QTest::newRow("right button on an entry") << "addbullet"
                                                  << "redb" << int(Qt::RightButton);
        QTest::newRow("middle button on an entry") << "Command1"
                                                   << "internet" << int(Qt::MiddleButton);
    }

    void dismissedChangesNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(int, mouseButton);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);

        choose(program, button, entry, Qt::MouseButton(mouseButton));

        QCOMPARE(program.document().text(), QString("xabcy"));
        QCOMPARE(program.document().selectionStart(), 1);
        QCOMPARE(program.document().selectionLength(), 3);
        QVERIFY(!program.windows().find<PicInternet>());
    }

    void clickOutsideDismisses()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        bool closed = false;
        TestSupport::onNextPopup([&](QMenu *menu) {
            if (!menu)
                return;
            QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(-20, -20));
            closed = !menu->isVisible();
        });
        QTest::mouseClick(toolbarButton(program, "addbullet"), Qt::LeftButton);
        QVERIFY(closed);
        QCOMPARE(program.document().text(), QString("abc"));
    }

    void pictureSourceOpensWindows_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::newRow("from my computer") << "comp"
                                          << "piccomp";
        QTest::newRow("from internet") << "internet"
                                       << "picinternet";
    }

    void pictureSourceOpensWindows()
    {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        TestSupport::Program program;
        choose(program, "Command1", entry);
        QWidget *opened = program.windows().find(window);
        QVERIFY(opened);
        QTRY_VERIFY(opened->isVisible());
        QCOMPARE(program.document().text(), QString());
    }

    void openPictureWindowComesToFront()
    {
        TestSupport::Program program;
        choose(program, "Command1", "internet");
        QPointer<PicInternet> first = program.windows().find<PicInternet>();
        QVERIFY(first);
        auto *url = first->findChild<QLineEdit *>("url");
        url->setText("http://example.com/a.png");
        program.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.main()));

        choose(program, "Command1", "internet");

        QCOMPARE(program.windows().find<PicInternet>(), first.data());
        QCOMPARE(url->text(), QString("http://example.com/a.png"));
        QVERIFY(QTest::qWaitForWindowActive(first));
    }
};

QTEST_MAIN(TestMenuHolder)
#include "tst_menuholder.moc"
