#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

// The windows whose "Done" puts typed texts into the page: title, link,
// slashout, letter spacing and text effects. "Cancel" and the close box change nothing.
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
        return open.size() == 1 ? program.windows().find(open.first()) : nullptr;
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
        if (fragment.isEmpty()) {
            QCOMPARE(program.document().text(), QString("before OLD after"));
            QCOMPARE(program.document().selectionStart(), 7);
            QCOMPARE(program.document().selectionLength(), 3);
        } else {
            QCOMPARE(program.document().text(), "before " + fragment + " after");
            QCOMPARE(program.document().caretPosition(), 7 + fragment.size());
            QCOMPARE(program.document().selectionLength(), 0);
        }
        QCOMPARE(program.windows().openWindows(), QStringList("Main"));
        QTRY_VERIFY(form.isNull());
        // The next opening starts empty.
        form = open(program, commands.last());
        QCOMPARE(texts(form, boxes), QStringList(boxes.size(), QString()));
    }
};

QTEST_MAIN(TestTextEntry)
#include "tst_textentry.moc"
