#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "editor/document.h"
#include "editor/text/pagesearch.h"
#include "editor/view/accessibletextchanges.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "help/abouthtml.h"
#include "help/aboutkorvanetech.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/addtitle.h"
#include "markup/fxform.h"
#include "markup/ipreview.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/piccomp.h"
#include "markup/picinternet.h"
#include "markup/sform.h"
#include "markup/sout.h"
#include "markup/txtsize.h"
#include "testsupport.h"
#include "ui/clicklabel.h"
#include "ui/windowregistry.h"

namespace {

// What a screen reader's bridge makes of the text events of one object: it
// applies each to a copy of the text, as a braille display's mirror does.
struct HeardText
{
    QString mirror;
    int events = 0;
    int longest = 0;         // the longest text an event carried
    bool wrongClass = false; // any event of a type whose documented class it is not
    bool partedSurrogate = false;
    QString lastInserted;

    void hear(QAccessibleEvent *event)
    {
        wrongClass = wrongClass || !TestSupport::hasDocumentedClass(event);
        QString removed;
        QString inserted;
        int at = 0;
        if (auto *insert = dynamic_cast<QAccessibleTextInsertEvent *>(event)) {
            at = insert->changePosition();
            inserted = insert->textInserted();
        } else if (auto *remove = dynamic_cast<QAccessibleTextRemoveEvent *>(event)) {
            at = remove->changePosition();
            removed = remove->textRemoved();
        } else if (auto *update = dynamic_cast<QAccessibleTextUpdateEvent *>(event)) {
            at = update->changePosition();
            removed = update->textRemoved();
            inserted = update->textInserted();
        } else {
            return;
        }
        ++events;
        longest = std::max({longest, int(removed.size()), int(inserted.size())});
        for (const QString &text : {removed, inserted})
            partedSurrogate = partedSurrogate || (!text.isEmpty() && text.back().isHighSurrogate());
        if (!inserted.isEmpty())
            lastInserted = inserted;
        if (at < 0 || at + removed.size() > mirror.size() ||
            QStringView(mirror).mid(at, removed.size()) != removed)
            mirror = QStringLiteral("<removed text not where the event says>");
        else
            mirror.replace(at, removed.size(), inserted);
    }
};

// What a row does besides typing and keys.
enum class Command { None, Bold, SetPage, ReplaceAll };

} // namespace

Q_DECLARE_METATYPE(Command)

// What a screen reader is told about the windows and their controls.
class TestAccessibility : public QObject
{
    Q_OBJECT

    static constexpr int TextLimit = AccessibleTextChanges::TextLimit;

    static QAccessibleInterface *accessible(QObject *object)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        return iface && iface->isValid() ? iface : nullptr;
    }

private slots:
    // Whatever the keyboard or a click reaches says what it is for, not its
    // glyph, its picture or the text it holds.
    void everyControlNamed()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        TestSupport::openEveryWindow(program.windows());
        program.document().setText("<p>page</p>");
        for (const QString &name : program.windows().openWindows()) {
            QWidget *window = TestSupport::findWindow(program.windows(), name);
            QAccessibleInterface *windowIface = accessible(window);
            QVERIFY2(windowIface && !windowIface->text(QAccessible::Name).isEmpty(),
                     qPrintable(name));
            for (QWidget *control : window->findChildren<QWidget *>()) {
                const bool reachable = control->focusPolicy() != Qt::NoFocus ||
                                       qobject_cast<ClickLabel *>(control) ||
                                       qobject_cast<QAbstractButton *>(control);
                if (!reachable || !control->isVisibleTo(window) || control->focusProxy())
                    continue;
                const QString where = name + "/" + control->objectName();
                QAccessibleInterface *iface = accessible(control);
                QVERIFY2(iface, qPrintable(where));
                const QString spoken = iface->text(QAccessible::Name);
                QVERIFY2(spoken.size() > 1, qPrintable(where + ": '" + spoken + "'"));
                if (iface->role() == QAccessible::EditableText ||
                    iface->role() == QAccessible::ComboBox)
                    QVERIFY2(!control->accessibleName().isEmpty() ||
                                 spoken != iface->text(QAccessible::Value),
                             qPrintable(where));
            }
        }
    }

    void names_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control"); // empty: the window itself
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const int button = QAccessible::Button, text = QAccessible::EditableText;
        QTest::newRow("middle dot") << "Main"
                                    << "addbullet"
                                    << "Add Bullet" << button;
        QTest::newRow("slash") << "Main"
                               << "addline"
                               << "Add Line" << button;
        QTest::newRow("B") << "Main"
                           << "addbold"
                           << "Add Bold" << button;
        QTest::newRow("I") << "Main"
                           << "additalics"
                           << "Add Italics" << button;
        QTest::newRow("U") << "Main"
                           << "addunderline"
                           << "Add Underline" << button;
        QTest::newRow("picture button") << "Main"
                                        << "alignleft"
                                        << "Align Left" << button;
        QTest::newRow("source box") << "Main"
                                    << "htmlsource"
                                    << "Page source" << text;
        QTest::newRow("font box") << "Main"
                                  << "Combo1"
                                  << "Font face" << int(QAccessible::ComboBox);
        QTest::newRow("open path") << "openform"
                                   << "Text1"
                                   << "File path" << text;
        QTest::newRow("title") << "addtitle"
                               << "Text1"
                               << "Title" << text;
        QTest::newRow("slashout") << "sout"
                                  << "Text1"
                                  << "Text to Slashout" << text;
        QTest::newRow("effect, out of sight") << "fxform"
                                              << "Text1"
                                              << "Effect" << text;
        QTest::newRow("picture path") << "piccomp"
                                      << "Text1"
                                      << "Picture path" << text;
        QTest::newRow("direction") << "mform"
                                   << "Combo1"
                                   << "Direction" << int(QAccessible::ComboBox);
        QTest::newRow("size scroll bar") << "txtsize"
                                         << "VScroll1"
                                         << "Text size" << int(QAccessible::ScrollBar);
        QTest::newRow("size Ok") << "txtsize"
                                 << "Label2"
                                 << "Ok" << button;
        QTest::newRow("swatch Red") << "textcolor"
                                    << "Label11"
                                    << "Red" << button;
        QTest::newRow("swatch Navy") << "bgcolor"
                                     << "Label7"
                                     << "Navy" << button;
        QTest::newRow("swatch Silver") << "hlightcolor"
                                       << "Label10"
                                       << "Silver" << button;
        const int dialog = QAccessible::Dialog;
        QTest::newRow("open window") << "openform"
                                     << ""
                                     << "Open HTML File" << dialog;
        QTest::newRow("FAQ window") << "faqForm"
                                    << ""
                                    << "FAQ" << dialog;
        QTest::newRow("save window") << "saveform2"
                                     << ""
                                     << "Save..." << dialog;
        QTest::newRow("palette") << "textcolor"
                                 << ""
                                 << "Text Color" << dialog;
        QTest::newRow("size window") << "txtsize"
                                     << ""
                                     << "Text size" << dialog;
        QTest::newRow("main window") << "Main"
                                     << ""
                                     << "Tagloom v1.0" << int(QAccessible::Window);
    }
    void names()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        TestSupport::Program program;
        TestSupport::openEveryWindow(program.windows());
        QWidget *target = TestSupport::findWindow(program.windows(), window);
        QVERIFY(target);
        if (!control.isEmpty())
            target = target->findChild<QWidget *>(control);
        QVERIFY(target);
        QAccessibleInterface *iface = accessible(target);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
        // A combo box still tells its text, as its value.
        if (auto *box = qobject_cast<QComboBox *>(target))
            QCOMPARE(iface->text(QAccessible::Value), box->currentText());
    }

    // A swatch is pressed through its action as by a click, and still takes
    // no focus; so is the size window's " Ok".
    void pressActions_data()
    {
        QTest::addColumn<QString>("button"); // on the toolbar, that opens the window
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("Red text") << "textcolorbutton"
                                  << "textcolor"
                                  << "Label11"
                                  << "<font color=#FF0000>abc</font>";
        QTest::newRow("Navy background") << "backcolorbutton"
                                         << "bgcolor"
                                         << "Label7"
                                         << "<body bgcolor=#000066>abc";
        QTest::newRow("size Ok") << "textsizebutton"
                                 << "txtsize"
                                 << "Label2"
                                 << "<font size=1>";
    }
    void pressActions()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, text);
        TestSupport::Program program;
        program.document().setText("abc");
        program.document().select(0, 3);
        QTest::mouseClick(program.button(button), Qt::LeftButton);
        QWidget *open = TestSupport::findWindow(program.windows(), window);
        QVERIFY(open && QTest::qWaitForWindowActive(open));
        QPointer<QWidget> target = open->findChild<QWidget *>(control);
        QAccessibleInterface *iface = accessible(target);
        QVERIFY(iface && iface->actionInterface());
        QVERIFY(!iface->state().focusable);
        QCOMPARE(iface->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        // A button shows itself pressed for a moment before the click.
        QTRY_COMPARE(program.document().text(), text);
        QVERIFY(!TestSupport::findWindow(program.windows(), window)); // closed, as after a click
    }

    // Every change of the page reaches a screen reader as an insertion, a
    // removal or both, in the event class Qt documents (a bridge reads the
    // texts from it): a mirror kept from the events alone stays the page.
    // Larger changes carry their first characters only.
    void textChangesHeard_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length"); // of the selection; negative: leftwards
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("keys"); // pressed after typing
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("text"); // pasted, the new page or what to replace
        QTest::addColumn<bool>("whole");   // whether the events carry the whole change
        const QString page = QStringLiteral("<p>caf\u00e9 \U0001F600 l'\u00e9cole</p>\nline two");
        const QString big = QString(3000, QLatin1Char('x')) + QStringLiteral("\U0001F600");
        // 1,023 letters, then a pair that the bound would part.
        const QString parted =
            QString(TextLimit - 1, QLatin1Char('a')) + QStringLiteral("\U0001F600");
        const int all = int(big.size());
        const auto row = [](const char *name, const QString &page, int start, int length,
                            const char *typed, const char *keys, Command command = Command::None,
                            const QString &text = QString(), bool whole = true) {
            QTest::newRow(name) << page << start << length << QString(typed) << QString(keys)
                                << command << text << whole;
        };
        row("type", page, 3, 0, "x", "");
        row("type over selection", page, 3, 5, "\u00e0", "");
        row("backspace emoji", page, 10, 0, "", "Backspace");
        row("paste", page, 0, 3, "", "Ctrl+V", Command::None, "one\r\ntwo");
        row("undo typing", page, 3, 2, "xyz", "Ctrl+Z");
        row("redo typing", page, 3, 2, "xyz", "Ctrl+Z, Ctrl+Y");
        row("bold", page, 3, 4, "", "", Command::Bold);
        row("open a large page", page, 0, 0, "", "", Command::SetPage, big, false);
        row("pair at the bound", page, 0, 0, "", "", Command::SetPage, parted, false);
        row("undo erasing it", big, 0, all, "", "Del, Ctrl+Z", Command::None, "", false);
        row("replace all", page, 0, 0, "", "", Command::ReplaceAll, "\u00e9");
    }
    void textChangesHeard()
    {
        QFETCH(QString, page);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, typed);
        QFETCH(QString, keys);
        QFETCH(Command, command);
        QFETCH(QString, text);
        QFETCH(bool, whole);
        TestSupport::Program program;
        Document &document = program.document();
        QWidget *box = program.source();
        document.setText(page);
        document.select(start, length);
        QApplication::clipboard()->setText(text);
        HeardText heard;
        heard.mirror = page;
        QAccessibleInterface *source = accessible(box);
        const TestSupport::AccessibilityListener listener([&](QAccessibleEvent *event) {
            if (event->accessibleInterface() == source)
                heard.hear(event);
            else
                heard.wrongClass = heard.wrongClass || !TestSupport::hasDocumentedClass(event);
        });
        TestSupport::type(box, typed);
        QTest::keySequence(box, QKeySequence(keys));
        PageSearch::Settings replaceAll;
        switch (command) {
        case Command::None:
            break;
        case Command::Bold:
            QTest::mouseClick(program.button("addbold"), Qt::LeftButton);
            break;
        case Command::SetPage:
            QVERIFY(document.setPage(text, document.format()));
            break;
        case Command::ReplaceAll:
            replaceAll.pattern = text;
            replaceAll.replacement = QStringLiteral("[\\0]");
            document.search().setSettings(replaceAll);
            document.search().replaceAll();
            QTRY_VERIFY(document.search().status().startsWith("Replaced"));
            break;
        }
        QVERIFY(!heard.wrongClass);
        QVERIFY(heard.events > 0);
        QVERIFY(!heard.partedSurrogate);
        QVERIFY2(heard.longest <= TextLimit, qPrintable(QString::number(heard.longest)));
        if (whole)
            QCOMPARE(heard.mirror, document.text());
        else if (command == Command::SetPage) // the page's first characters
            QVERIFY(text.startsWith(heard.lastInserted));
    }

    // Walking a palette, a screen reader meets its sixteen swatches, each
    // named and pressable, and nothing else it would read.
    void paletteHoldsOnlySwatches_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *palette : {"textcolor", "bgcolor", "hlightcolor"})
            QTest::newRow(palette) << palette;
    }
    void paletteHoldsOnlySwatches()
    {
        QFETCH(QString, window);
        TestSupport::Program program;
        TestSupport::openEveryWindow(program.windows());
        QList<QAccessibleInterface *> walk{
            accessible(TestSupport::findWindow(program.windows(), window))};
        int swatches = 0;
        while (!walk.isEmpty()) {
            QAccessibleInterface *iface = walk.takeFirst();
            for (int i = 0; i < iface->childCount(); ++i)
                walk.append(iface->child(i));
            if (iface->childCount() > 0)
                continue; // the window and its client area
            QVERIFY(iface->role() == QAccessible::Button && iface->actionInterface());
            QVERIFY(!iface->text(QAccessible::Name).isEmpty());
            QVERIFY(iface->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
            ++swatches;
        }
        QCOMPARE(swatches, 16);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
