#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

namespace {

// Pops up the menu of `button` and hands it to `act`; a menu still open
// afterwards is dismissed with Escape.
void withMenu(TestSupport::Program &program, const QString &button,
              const std::function<void(QMenu *)> &act)
{
    bool opened = false;
    TestSupport::onNextPopup([&](QMenu *menu) {
        opened = menu != nullptr;
        if (menu)
            act(menu);
        if (menu && menu->isVisible())
            QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(program.button(button), Qt::LeftButton);
    QVERIFY2(opened, "no popup menu opened");
}

struct Menu
{
    const char *button;
    const char *holder;
    int left;
    const char *entries; // name=caption, in order
};

const Menu Menus[] = {
    {"addbullet", "Form2", 120, "redb=Red Bullet,blueb=Blue Bullet,yellowb=Yellow Bullet"},
    {"addline", "Form3", 480, "redl=Red Line,bluel=Blue Line,yellowl=Yellow Line"},
    {"Command1", "Form4", 1200, "comp=From My Computer,internet=From Internet"},
};

struct Choice
{
    const char *tag;
    const char *button;
    const char *entry; // empty: a click outside the menu
    Qt::MouseButton mouseButton;
    int selectionLength; // of abc in xabcy
    const char *expected;
    const char *window; // opened instead of writing
};

// Another mouse button on an entry leaves the menu open; Escape then dismisses it.
const Choice Choices[] = {
    {"redb", "addbullet", "redb", Qt::LeftButton, 0, "x<img src=Bullets/redbullet.gif>abcy", ""},
    {"blueb", "addbullet", "blueb", Qt::LeftButton, 3, "x<img src=Bullets/bluebullet.gif>y", ""},
    {"yellowb", "addbullet", "yellowb", Qt::LeftButton, 0,
     "x<img src=Bullets/yellowbullet.gif>abcy", ""},
    {"redl", "addline", "redl", Qt::LeftButton, 3, "x<img src=Lines/redline.bmp>y", ""},
    {"bluel", "addline", "bluel", Qt::LeftButton, 3, "x<img src=Lines/blueline.bmp>y", ""},
    {"yellowl", "addline", "yellowl", Qt::LeftButton, 0, "x<img src=Lines/yellowline.bmp>abcy", ""},
    {"comp", "Command1", "comp", Qt::LeftButton, 3, "xabcy", "piccomp"},
    {"internet", "Command1", "internet", Qt::LeftButton, 3, "xabcy", "picinternet"},
    {"right button", "addbullet", "redb", Qt::RightButton, 3, "xabcy", ""},
    {"middle button", "Command1", "internet", Qt::MiddleButton, 3, "xabcy", ""},
    {"click outside", "addline", "", Qt::LeftButton, 3, "xabcy", ""},
};

void pick(TestSupport::Program &program, const Choice &c, bool *leftOpen = nullptr)
{
    withMenu(program, c.button, [&](QMenu *menu) {
        QPoint at(-20, -20);
        if (*c.entry)
            at = menu->actionGeometry(menu->findChild<QAction *>(c.entry)).center();
        QTest::mouseClick(menu, c.mouseButton, {}, at);
        if (leftOpen)
            *leftOpen = menu->isVisible();
    });
}

} // namespace

class TestMenuHolder : public QObject
{
    Q_OBJECT

private slots:
    void menuUnderButton_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(Menus)); ++i)
            QTest::newRow(Menus[i].holder) << i;
    }

    void menuUnderButton()
    {
        QFETCH(int, row);
        const Menu &m = Menus[row];
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        const QWidget *client = program.main()->findChild<QWidget *>("client");

        // Twice: the holder is made on first use, kept hidden, and its menu serves again.
        for (int popup = 0; popup < 2; ++popup) {
            withMenu(program, m.button, [&](QMenu *menu) {
                QCOMPARE(menu->pos(), client->mapToGlobal(Twips::point(m.left, 375)));
                QCOMPARE(menu->objectName() + " " + menu->title(), QString("f file"));
                QStringList shown;
                for (const QAction *action : menu->actions())
                    shown.append(action->objectName() + "=" + action->text());
                QCOMPARE(shown, QString(m.entries).split(','));
            });
            QWidget *window = program.windows().find(m.holder);
            QVERIFY(window && !window->isVisible());
            QCOMPARE(window->windowTitle(), QString(m.holder));
            QCOMPARE(program.windows().openWindows(), (QStringList{m.holder, "Main"}));
        }
    }

    void choose_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(Choices)); ++i)
            QTest::newRow(Choices[i].tag) << i;
    }

    void choose()
    {
        QFETCH(int, row);
        const Choice &c = Choices[row];
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, c.selectionLength);

        bool leftOpen = false;
        pick(program, c, &leftOpen);

        const QString expected = c.expected;
        QCOMPARE(program.document().text(), expected);
        QCOMPARE(leftOpen, c.mouseButton != Qt::LeftButton);
        if (expected.contains('>')) {
            QCOMPARE(program.document().caretPosition(), int(expected.lastIndexOf('>')) + 1);
            QCOMPARE(program.document().selectionLength(), 0);
        } else {
            QCOMPARE(program.document().selectionStart(), 1);
            QCOMPARE(program.document().selectionLength(), 3);
        }
        if (!*c.window) {
            QCOMPARE(program.windows().openWindows().size(), 2); // the holder and Main
            return;
        }
        QWidget *opened = program.windows().find(c.window);
        QTRY_VERIFY(opened && opened->isVisible());
        // Chosen again while open: the same window comes to the front with its text kept.
        opened->findChild<QLineEdit *>()->setText("kept");
        pick(program, c);
        QCOMPARE(program.windows().find(c.window), opened);
        QCOMPARE(opened->findChild<QLineEdit *>()->text(), QString("kept"));
    }
};

QTEST_MAIN(TestMenuHolder)
#include "tst_menuholder.moc"
