#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "markup/ipreview.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

namespace {

// Button, holder window, button left, entries as name=caption in order.
const struct
{
    const char *button, *holder;
    int left;
    const char *entries;
} Menus[] = {
    {"addbullet", "Form2", 120, "redb=Red Bullet,blueb=Blue Bullet,yellowb=Yellow Bullet"},
    {"addline", "Form3", 480, "redl=Red Line,bluel=Blue Line,yellowl=Yellow Line"},
    {"Command1", "Form4", 1200, "comp=From My Computer,internet=From Internet"},
};

// Another mouse button on an entry leaves the menu open.
const struct
{
    const char *tag, *button;
    const char *entry; // empty: a click outside the menu
    Qt::MouseButton mouseButton;
    int selectionLength; // of abc in xabcy
    const char *expected;
    const char *window = nullptr; // opened instead of writing
} Choices[] = {
    {"redb", "addbullet", "redb", Qt::LeftButton, 0, "x<img src=Bullets/redbullet.gif>abcy"},
    {"blueb", "addbullet", "blueb", Qt::LeftButton, 3, "x<img src=Bullets/bluebullet.gif>y"},
    {"yellowb", "addbullet", "yellowb", Qt::LeftButton, 3, "x<img src=Bullets/yellowbullet.gif>y"},
    {"redl", "addline", "redl", Qt::LeftButton, 3, "x<img src=Lines/redline.bmp>y"},
    {"bluel", "addline", "bluel", Qt::LeftButton, 3, "x<img src=Lines/blueline.bmp>y"},
    {"yellowl", "addline", "yellowl", Qt::LeftButton, 0, "x<img src=Lines/yellowline.bmp>abcy"},
    {"comp", "Command1", "comp", Qt::LeftButton, 3, "xabcy", "piccomp"},
    {"internet", "Command1", "internet", Qt::LeftButton, 3, "xabcy", "picinternet"},
    {"right button", "addbullet", "redb", Qt::RightButton, 3, "xabcy"},
    {"middle button", "Command1", "internet", Qt::MiddleButton, 3, "xabcy"},
    {"click outside", "addline", "", Qt::LeftButton, 3, "xabcy"},
};

// Pops up `button`'s menu for `act`, then Escape if still open; false if none opened.
bool popUp(TestSupport::Program &program, const char *button,
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
    return opened;
}

} // namespace

class TestMenuHolder : public QObject
{
    Q_OBJECT

private slots:
    void menusUnderButtons()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        const QWidget *client = program.main()->findChild<QWidget *>("client");
        QList<QPointer<QWidget>> holders;
        for (const auto &m : Menus) {
            QStringList shown;
            QPoint at;
            QVERIFY(popUp(program, m.button, [&](QMenu *menu) {
                at = menu->pos();
                for (const QAction *action : menu->actions())
                    shown.append(action->objectName() + "=" + action->text());
            }));
            QCOMPARE(at, client->mapToGlobal(Twips::point(m.left, 375)));
            QCOMPARE(shown, QString(m.entries).split(','));
            holders.append(TestSupport::findWindow(program.windows(), m.holder));
        }
        // The holders and the preview are never shown, but close with the rest.
        holders.append(program.windows().window<IPreview>());
        QCOMPARE(program.windows().openWindows(),
                 (QStringList{"Form2", "Form3", "Form4", "ipreview", "Main"}));
        for (const QPointer<QWidget> &window : holders)
            QVERIFY(!window->isVisible());
        program.windows().closeAllWindows();
        for (const QPointer<QWidget> &window : holders)
            QTRY_VERIFY(!window);
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
        const auto &c = Choices[row];
        const QString expected = c.expected;
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, c.selectionLength);
        bool leftOpen = false;
        QVERIFY(popUp(program, c.button, [&](QMenu *menu) {
            QAction *entry = *c.entry ? menu->findChild<QAction *>(c.entry) : nullptr;
            QTest::mouseClick(menu, c.mouseButton, {},
                              entry ? menu->actionGeometry(entry).center() : QPoint(-20, -20));
            leftOpen = menu->isVisible();
        }));
        QCOMPARE(leftOpen, c.mouseButton != Qt::LeftButton);
        QCOMPARE(program.document().text(), expected);
        // The caret after the tag; otherwise abc stays selected.
        QCOMPARE(program.document().selectionLength(), expected == "xabcy" ? 3 : 0);
        if (expected != "xabcy")
            QCOMPARE(program.document().caretPosition(), int(expected.lastIndexOf('>')) + 1);
        if (c.window)
            QTRY_VERIFY(TestSupport::findWindow(program.windows(), c.window) &&
                        TestSupport::findWindow(program.windows(), c.window)->isVisible());
    }
};

QTEST_MAIN(TestMenuHolder)
#include "tst_menuholder.moc"
