#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

// The windows that put typed texts into the page: title, link, slashout,
// letter spacing, text effects and marquee; and the layout of the help windows.
class TestTextEntry : public QObject
{
    Q_OBJECT

private:
    // Runs the main window's toolbar button or menu entry `command` and returns
    // the one window open beside the main window.
    static QWidget *open(TestSupport::Program &program, const QString &command)
    {
        if (QToolButton *button = program.button(command))
            button->click();
        else
            program.entry(command)->trigger();
        QStringList open = program.windows().openWindows();
        open.removeAll("Main");
        return open.size() == 1 ? TestSupport::findWindow(program.windows(), open.first())
                                : nullptr;
    }

    static QStringList texts(QWidget *window, const QStringList &boxes)
    {
        QStringList texts;
        for (const QString &name : boxes) {
            QWidget *box = window->findChild<QWidget *>(name);
            texts << box->property(box->inherits("QLineEdit") ? "text" : "plainText").toString();
        }
        return texts;
    }

private slots:
    void finish_data()
    {
        QTest::addColumn<QStringList>("commands"); // run one after the other
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("typed"); // key by key, '\n' is Enter
        QTest::addColumn<QString>("button");    // none: the close box
        QTest::addColumn<QString>("fragment");  // none: the page is left as it was
        const auto row = [](const char *name, QStringList commands, QStringList boxes,
                            QStringList typed, QString fragment, const char *button = "Command1") {
            QTest::newRow(name) << commands << boxes << typed << button << fragment;
        };
        const QStringList text1{"Text1"}, link{"url", "ltext"}, fx{"Text2", "Text3", "Text4"};
        const QString spaced = "<H3 STYLE=LETTER-SPACING:3em>";

        row("title empty", {"Command3"}, text1, {""}, "<title></title>");
        row("title, Enter ignored", {"Command3"}, text1, {" <b>\"Tom's\"</b>\n "},
            "<title> <b>\"Tom's\"</b> </title>");
        row("link empty", {"addlink"}, link, {"", ""}, "<a href=></a>");
        row("link", {"addlink"}, link, {"\"a b.html\" target=_top", " <i>go</i> "},
            "<a href=\"a b.html\" target=_top> <i>go</i> </a>");
        row("slashout empty", {"slash"}, text1, {""}, "<s></s>");
        row("slashout", {"slash"}, text1, {" a < b\n\n\"c\" "}, "<s> a < b\n\n\"c\" </s>");
        row("spaced empty", {"spaced"}, text1, {""}, spaced + "</H3>");
        row("spaced", {"spaced"}, text1, {" <i>\"first\"\nsecond \n"},
            spaced + " <i>\"first\"\nsecond \n</H3>");
        row("shadow empty", {"shadow"}, fx, {"", "", ""},
            "<TABLE Style = filter:Shadow(color=,strength=)><TR><TD><center></TABLE>");
        row("glow", {"glow"}, fx, {" \"dark red\" ", "1/2", "<b>x</b> & \"q\"\ntwo "},
            "<TABLE Style = filter:Glow(color= \"dark red\" ,strength=1/2)>"
            "<TR><TD><center><b>x</b> & \"q\"\ntwo </TABLE>");
        // One window for all effects: choosing another keeps what was typed.
        row("effect switched", {"glow", "dshadow", "shadow", "dshadow"}, fx, {"red", "5", "abc"},
            "<TABLE Style = filter:Dropshadow(color=red,strength=5)><TR><TD><center>abc</TABLE>");

        row("title Cancel", {"Command3"}, text1, {"a"}, "", "Command2");
        row("title close box", {"Command3"}, text1, {"a"}, "", "");
        row("link Cancel", {"addlink"}, link, {"a", "b"}, "", "Command2");
        row("slashout Cancel", {"slash"}, text1, {"a\nb"}, "", "Command2");
        row("slashout close box", {"slash"}, text1, {"a\nb"}, "", "");
        row("spaced Cancel", {"spaced"}, text1, {"a\nb"}, "", "Command2");
        row("spaced close box", {"spaced"}, text1, {"a\nb"}, "", "");
        row("effect Cancel", {"glow"}, fx, {"red", "5", "a\nb"}, "", "Command2");
        row("effect close box", {"glow"}, fx, {"red", "5", "a\nb"}, "", "");
        row("marquee close box", {"marquee"}, text1, {"a"}, "", "");
    }

    void finish()
    {
        QFETCH(QStringList, commands);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, typed);
        QFETCH(QString, button);
        QFETCH(QString, fragment);

        TestSupport::Program program;
        program.document().setText("before OLD after");
        QPointer<QWidget> form = open(program, commands.first());
        QVERIFY(form);
        for (qsizetype i = 0; i < boxes.size(); ++i)
            TestSupport::type(form->findChild<QWidget *>(boxes.at(i)), typed.at(i));
        const QStringList shown = texts(form, boxes);
        // Opening an open window keeps what was typed.
        for (const QString &command : commands)
            QCOMPARE(open(program, command), form.data());
        QCOMPARE(texts(form, boxes), shown);

        // The selection at the end counts, not the one at opening.
        program.document().select(7, 3);
        if (button.isEmpty())
            form->close();
        else
            QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
        const bool changed = !fragment.isEmpty();
        QCOMPARE(program.document().text(), "before " + (changed ? fragment : "OLD") + " after");
        QCOMPARE(program.document().selectionStart(), 7 + (changed ? fragment.size() : 0));
        QCOMPARE(program.document().selectionLength(), changed ? 0 : 3);
        QCOMPARE(program.windows().openWindows(), QStringList("Main"));
        QTRY_VERIFY(form.isNull());
        // The next opening starts empty.
        form = open(program, commands.last());
        QCOMPARE(texts(form, boxes), QStringList(boxes.size(), QString()));
    }

    // Title, border, size, first focus and Tab order of every window of this
    // family and of the help windows.
    void layout_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<bool>("closeBox");
        // The focus at opening, then after each Tab, round to the start again.
        QTest::addColumn<QStringList>("tabOrder");
        const auto row = [](const char *command, const char *title, QSize clientTwips,
                            bool closeBox, QStringList tabOrder) {
            QTest::newRow(title) << command << clientTwips << closeBox << tabOrder;
        };
        const QStringList text1{"Text1", "Command1", "Command2", "Text1"};
        row("Command3", "Add Title", {2580, 1380}, true, text1);
        row("addlink", "Add Link", {4050, 1920}, false,
            {"url", "ltext", "Command1", "Command2", "url"});
        row("slash", "Add Slashout", {4680, 3195}, true, text1);
        row("spaced", "Add Text Spacing", {3375, 1800}, true, text1);
        row("marquee", "Add Marquee", {3360, 1545}, true,
            {"Combo1", "Text1", "Command1", "Combo1"});
        row("glow", "Add Text Effect", {3705, 2385}, true,
            {"Command1", "Command2", "Text2", "Text3", "Text4", "Command1"});
        row("faq", "FAQ", {4815, 3345}, true,
            {"Command1", "Command2", "Command3", "Command4", "Command1"});
        row("about", "About Tagloom", {4575, 2955}, true, {});
        row("korvanetech", "About KorvaneTech", {4170, 1635}, true, {});
    }

    void layout()
    {
        QFETCH(QString, command);
        QFETCH(QSize, clientTwips);
        QFETCH(bool, closeBox);
        QFETCH(QStringList, tabOrder);

        TestSupport::Program program;
        QPointer<QWidget> window = open(program, command);
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), QString(QTest::currentDataTag()));
        QCOMPARE(window->size(), Twips::size(clientTwips.width(), clientTwips.height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(flags.testFlag(Qt::WindowCloseButtonHint), closeBox);
        QVERIFY(flags.testFlag(Qt::WindowTitleHint) && !(flags & Qt::WindowMinMaxButtonsHint));

        // The named control holding the focus.
        const auto focused = [&window] {
            QWidget *widget = window->focusWidget();
            while (widget &&
                   (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
                widget = widget->parentWidget();
            return widget ? widget->objectName() : QString();
        };
        for (qsizetype i = 0; i < tabOrder.size(); ++i) {
            if (i > 0)
                QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            QCOMPARE(focused(), tabOrder.at(i));
        }
        // Nothing on an about window takes the focus.
        for (QWidget *control : window->findChildren<QWidget *>())
            QVERIFY(!tabOrder.isEmpty() || control->focusPolicy() == Qt::NoFocus);

        // Opening it again brings the same window to the front.
        program.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.main()));
        QVERIFY(open(program, command) == window && QTest::qWaitForWindowActive(window));
    }

    // The marquee window's four-way decision on "Insert marquee".
    void marquee_data()
    {
        QTest::addColumn<QString>("text");
        // Before each "Insert marquee": "pick:N" chooses list entry N, "type:X"
        // empties the field and types X, anything else leaves it as it is.
        QTest::addColumn<QStringList>("directions");
        QTest::addColumn<QString>("inserted"); // empty: nothing
        const auto row = [](const char *name, QString text, QStringList how, QString inserted) {
            QTest::newRow(name) << text << how << inserted;
        };
        row("picked", "abc", {"pick:2"}, "<marquee direction=Left>abc</marquee>");
        row("untouched", "abc", {"keep"}, "");
        row("placeholder typed again", "abc", {"type:Direction"}, "");
        row("lower case is a value", "abc", {"type:direction"},
            "<marquee direction=direction>abc</marquee>");
        row("prefix not completed", "abc", {"type:d"}, "<marquee direction=d>abc</marquee>");
        row("markup, quotes, spaces", "<b>\"hot\"</b> & new", {"type:to left"},
            "<marquee direction=to left><b>\"hot\"</b> & new</marquee>");
        row("text of spaces", "  ", {"pick:1"}, "<marquee direction=Down>  </marquee>");
        row("no text, picked", "", {"pick:3"}, "");
        row("no text, direction emptied", "", {"type:"}, "");
        // An emptied direction keeps the window open for the user to type one.
        row("direction emptied", "abc", {"type:", "type:", "type:Right"},
            "<marquee direction=Right>abc</marquee>");
    }

    void marquee()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, directions);
        QFETCH(QString, inserted);

        TestSupport::Program program;
        program.document().setText("[x]");
        program.document().select(1, 1);
        QPointer<QWidget> form = open(program, "marquee");
        auto *direction = form->findChild<QComboBox *>("Combo1");
        QCOMPARE(direction->currentText(), QString("Direction"));
        QStringList items;
        for (int i = 0; i < direction->count(); ++i)
            items << direction->itemText(i);
        QCOMPARE(items, QStringList({"Up", "Down", "Left", "Right"}));

        TestSupport::type(form->findChild<QLineEdit *>("Text1"), text);
        for (const QString &how : directions) {
            QVERIFY(TestSupport::findWindow(program.windows(), "mform"));
            QCOMPARE(program.document().text(), QString("[x]"));
            if (how.startsWith("pick:")) {
                direction->setCurrentIndex(how.mid(5).toInt());
            } else if (how.startsWith("type:")) {
                direction->lineEdit()->selectAll();
                QTest::keyClick(direction->lineEdit(), Qt::Key_Delete);
                TestSupport::type(direction->lineEdit(), how.mid(5));
            }
            QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        }
        QCOMPARE(program.document().text(), inserted.isEmpty() ? "[x]" : "[" + inserted + "]");
        QVERIFY(!TestSupport::findWindow(program.windows(), "mform"));
        // The next opening starts over.
        QTRY_VERIFY(form.isNull());
        QCOMPARE(open(program, "marquee")->findChild<QComboBox *>()->currentText(),
                 QString("Direction"));
    }

    // The effects window's strength box takes only the typed characters "/" and "0" to "9".
    void strengthFilter_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("expected"); // from "12" with the caret between 1 and 2
        const auto row = [](const char *name, int key, QString keyText, QString expected) {
            QTest::newRow(name) << key << keyText << expected;
        };
        row("slash, code 47", Qt::Key_Slash, "/", "1/2");
        for (int digit = 0; digit <= 9; ++digit) {
            const QString d = QString::number(digit);
            QTest::addRow("digit %d", digit) << int(Qt::Key_0 + digit) << d << "1" + d + "2";
        }
        row("full stop, code 46", Qt::Key_Period, ".", "12");
        row("colon, code 58", Qt::Key_Colon, ":", "12");
        row("minus", Qt::Key_Minus, "-", "12");
        row("letter", Qt::Key_A, "a", "12");
        row("non-latin digit", Qt::Key_unknown, QString(QChar(0x0663)), "12");
        row("backspace", Qt::Key_Backspace, "\b", "12");
        row("backspace without text", Qt::Key_Backspace, "", "12");
        row("delete", Qt::Key_Delete, "", "1");
        row("delete with text", Qt::Key_Delete, "\x7f", "1");
    }

    void strengthFilter()
    {
        QFETCH(int, key);
        QFETCH(QString, keyText);
        QFETCH(QString, expected);

        TestSupport::Program program;
        auto *box = open(program, "glow")->findChild<QLineEdit *>("Text3");
        TestSupport::type(box, "12");
        QTest::keyClick(box, Qt::Key_Left);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        QCOMPARE(box->text(), expected);
    }

    void strengthPastedTextIsNotFiltered()
    {
        TestSupport::Program program;
        auto *box = open(program, "glow")->findChild<QLineEdit *>("Text3");
        QGuiApplication::clipboard()->setText("big-5");
        // Ctrl+V is a typed control character, discarded like the others...
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
        // ...but pasting from the box's context menu is not typing.
        box->paste();
        QTest::mouseClick(box->window()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(
            program.document().text(),
            QString("<TABLE Style = filter:Glow(color=,strength=big-5)><TR><TD><center></TABLE>"));
    }
};

QTEST_MAIN(TestTextEntry)
#include "tst_textentry.moc"
