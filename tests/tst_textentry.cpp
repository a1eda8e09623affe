#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

// The title, link, slashout and letter-spacing windows: "Done" puts the typed
// texts between the window's tags, "Cancel" and the close box change nothing.
class TestTextEntry : public QObject
{
    Q_OBJECT

private:
    // Opens the window the way a user does and returns it.
    static QWidget *open(TestSupport::Program &program, const QString &name)
    {
        if (name == "addtitle")
            program.button("Command3")->click();
        else if (name == "addlinkform")
            program.button("addlink")->click();
        else if (name == "sout")
            program.entry("slash")->trigger();
        else if (name == "sform")
            program.entry("spaced")->trigger();
        return program.windows().find(name);
    }

    static void press(QWidget *window, const char *button)
    {
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    }

    static QString boxText(QWidget *window, const QString &box)
    {
        QWidget *widget = window->findChild<QWidget *>(box);
        const QByteArray property = widget->inherits("QLineEdit") ? "text" : "plainText";
        return widget->property(property).toString();
    }

private slots:
    void done_data()
    {
        QTest::addColumn<QString>("window");
        // Boxes and what is typed into them, key by key ('\n' is Enter).
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("fragment");

        const QStringList text1{"Text1"};
        QTest::newRow("title") << "addtitle" << text1 << QStringList{"My page"}
                               << "<title>My page</title>";
        QTest::newRow("title empty") << "addtitle" << text1 << QStringList{""} << "<title></title>";
        QTest::newRow("title markup and quotes")
            << "addtitle" << text1 << QStringList{"<b>\"Tom's\"</b>"}
            << "<title><b>\"Tom's\"</b></title>";
        QTest::newRow("title spaces kept")
            << "addtitle" << text1 << QStringList{"  a  "} << "<title>  a  </title>";
        QTest::newRow("title enter does nothing")
            << "addtitle" << text1 << QStringList{"a\nb"} << "<title>ab</title>";

        const QStringList link{"url", "ltext"};
        QTest::newRow("link") << "addlinkform" << link
                              << QStringList{"http://example.org/", "Example"}
                              << "<a href=http://example.org/>Example</a>";
        QTest::newRow("link empty address")
            << "addlinkform" << link << QStringList{"", "abc"} << "<a href=>abc</a>";
        QTest::newRow("link both empty")
            << "addlinkform" << link << QStringList{"", ""} << "<a href=></a>";
        QTest::newRow("link address with space unquoted")
            << "addlinkform" << link << QStringList{"my page.html", "x"}
            << "<a href=my page.html>x</a>";
        QTest::newRow("link quotes as typed")
            << "addlinkform" << link << QStringList{"\"a.html\" target=_top", "<i>go</i>"}
            << "<a href=\"a.html\" target=_top><i>go</i></a>";

        QTest::newRow("slashout") << "sout" << text1 << QStringList{"old price"}
                                  << "<s>old price</s>";
        QTest::newRow("slashout empty") << "sout" << text1 << QStringList{""} << "<s></s>";
        QTest::newRow("slashout lines")
            << "sout" << text1 << QStringList{"one\ntwo\n\nfour"} << "<s>one\ntwo\n\nfour</s>";
        QTest::newRow("slashout markup")
            << "sout" << text1 << QStringList{"a < b > \"c\""} << "<s>a < b > \"c\"</s>";

        QTest::newRow("spaced") << "sform" << text1 << QStringList{"Welcome"}
                                << "<H3 STYLE=LETTER-SPACING:3em>Welcome</H3>";
        QTest::newRow("spaced empty")
            << "sform" << text1 << QStringList{""} << "<H3 STYLE=LETTER-SPACING:3em></H3>";
        QTest::newRow("spaced two lines")
            << "sform" << text1 << QStringList{"first line\nsecond line"}
            << "<H3 STYLE=LETTER-SPACING:3em>first line\nsecond line</H3>";
        QTest::newRow("spaced trailing break and spaces")
            << "sform" << text1 << QStringList{" x \n"}
            << "<H3 STYLE=LETTER-SPACING:3em> x \n</H3>";
    }

    void done()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, typed);
        QFETCH(QString, fragment);

        TestSupport::Program program;
        program.document().setText("before after");
        program.document().select(7, 0);
        QPointer<QWidget> form = open(program, window);
        QVERIFY(form);
        for (qsizetype i = 0; i < boxes.size(); ++i)
            TestSupport::type(form->findChild<QWidget *>(boxes.at(i)), typed.at(i));

        press(form, "Command1");
        QCOMPARE(program.document().text(), "before " + fragment + "after");
        QCOMPARE(program.document().caretPosition(), 7 + fragment.size());
        QCOMPARE(program.document().selectionLength(), 0);
        QVERIFY(!program.windows().find(window));
        QTRY_VERIFY(form.isNull());
    }

    void doneReplacesTheSelection_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("addtitle") << "addtitle"
                                  << "<title>new</title>";
        QTest::newRow("addlinkform") << "addlinkform"
                                     << "<a href=new></a>";
        QTest::newRow("sout") << "sout"
                              << "<s>new</s>";
        QTest::newRow("sform") << "sform"
                               << "<H3 STYLE=LETTER-SPACING:3em>new</H3>";
    }

    void doneReplacesTheSelection()
    {
        QFETCH(QString, window);
        QFETCH(QString, fragment);

        TestSupport::Program program;
        program.document().setText("keep OLD keep");
        program.document().select(5, 3);
        QWidget *form = open(program, window);
        // The first focus is in the box the fragment starts with.
        TestSupport::type(form->focusWidget(), "new");
        // Where the caret stands when "Done" is pressed counts, not where it stood at opening.
        program.document().select(8, -3);
        press(form, "Command1");
        QCOMPARE(program.document().text(), "keep " + fragment + " keep");
    }

    void cancelAndCloseBoxChangeNothing_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("addtitle cancel") << "addtitle" << false;
        QTest::newRow("addtitle close box") << "addtitle" << true;
        QTest::newRow("addlinkform cancel") << "addlinkform" << false;
        QTest::newRow("sout cancel") << "sout" << false;
        QTest::newRow("sout close box") << "sout" << true;
        QTest::newRow("sform cancel") << "sform" << false;
        QTest::newRow("sform close box") << "sform" << true;
    }

    void cancelAndCloseBoxChangeNothing()
    {
        QFETCH(QString, window);
        QFETCH(bool, closeBox);

        TestSupport::Program program;
        program.document().setText("page");
        program.document().select(1, 2);
        QPointer<QWidget> form = open(program, window);
        const QString box = form->focusWidget()->objectName();
        TestSupport::type(form->focusWidget(), "typed\nmore");
        if (closeBox)
            form->close();
        else
            press(form, "Command2");

        QCOMPARE(program.document().text(), QString("page"));
        QCOMPARE(program.document().selectionStart(), 1);
        QCOMPARE(program.document().selectionLength(), 2);
        QVERIFY(!program.windows().find(window));
        QTRY_VERIFY(form.isNull());

        // The next opening starts empty.
        form = open(program, window);
        QCOMPARE(boxText(form, box), QString());
    }

    void reopeningKeepsTypedText_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("addtitle") << "addtitle";
        QTest::newRow("addlinkform") << "addlinkform";
        QTest::newRow("sout") << "sout";
        QTest::newRow("sform") << "sform";
    }

    void reopeningKeepsTypedText()
    {
        QFETCH(QString, window);

        TestSupport::Program program;
        QWidget *form = open(program, window);
        const QString box = form->focusWidget()->objectName();
        TestSupport::type(form->focusWidget(), "kept");
        QCOMPARE(open(program, window), form);
        QCOMPARE(boxText(form, box), QString("kept"));
    }

    void shiftEnterIsAPlainLineBreak()
    {
        TestSupport::Program program;
        QWidget *form = open(program, "sout");
        QWidget *box = form->findChild<QWidget *>("Text1");
        TestSupport::type(box, "a");
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
        TestSupport::type(box, "b");
        press(form, "Command1");
        QCOMPARE(program.document().text(), QString("<s>a\nb</s>"));
    }
};

QTEST_MAIN(TestTextEntry)
#include "tst_textentry.moc"
