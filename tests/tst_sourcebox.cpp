// The source box as a user meets it: keys and clicks on the widget, read back
// through the document.
#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "testsupport.h"

namespace {

// The end of the selection that does not move: where the caret was when it began.
int anchor(const Document &document)
{
    const int start = document.selectionStart();
    const int end = start + document.selectionLength();
    return document.caretPosition() == start ? end : start;
}

QWidget *focusedSource(TestSupport::Program &program)
{
    QWidget *box = program.source();
    box->setFocus();
    return box;
}

} // namespace

class TestSourceBox : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void selectionKeptWhileUnfocused();
    void shiftTabMovesTheFocusBack();
    void undoSteps_data();
    void undoSteps();
    void undoKeys_data();
    void undoKeys();
    void undoingTheTypingMakesThePageUnchanged();
    void clicks_data();
    void clicks();
};

void TestSourceBox::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start"); // the selection before the key
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed"); // typed first, then the key
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("anchor");
    const QString emoji = QString::fromUtf8("😀");
    const int none = 0;
    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    // clang-format off
    QTest::newRow("typing") << "" << 0 << 0 << "abc" << none << none << "abc" << 3 << 3;
    QTest::newRow("typing in the middle") << "ad" << 1 << 0 << "bc" << none << none << "abcd" << 3 << 3;
    QTest::newRow("typing over a selection") << "abcd" << 1 << 2 << "x" << none << none << "axd" << 2 << 2;
    QTest::newRow("Return") << "ab" << 1 << 0 << "\n" << none << none << "a\nb" << 2 << 2;
    QTest::newRow("Shift+Return") << "ab" << 1 << 0 << "" << int(Qt::Key_Return) << shift << "a\nb" << 2 << 2;
    QTest::newRow("Backspace") << "abc" << 2 << 0 << "" << int(Qt::Key_Backspace) << none << "ac" << 1 << 1;
    QTest::newRow("Backspace at the start") << "abc" << 0 << 0 << "" << int(Qt::Key_Backspace) << none << "abc" << 0 << 0;
    QTest::newRow("Backspace a surrogate pair") << "a" + emoji + "b" << 3 << 0 << "" << int(Qt::Key_Backspace) << none << "ab" << 1 << 1;
    QTest::newRow("Backspace a selection") << "abcd" << 3 << -2 << "" << int(Qt::Key_Backspace) << none << "ad" << 1 << 1;
    QTest::newRow("Backspace a line break") << "a\nb" << 2 << 0 << "" << int(Qt::Key_Backspace) << none << "ab" << 1 << 1;
    QTest::newRow("Delete") << "abc" << 1 << 0 << "" << int(Qt::Key_Delete) << none << "ac" << 1 << 1;
    QTest::newRow("Delete at the end") << "abc" << 3 << 0 << "" << int(Qt::Key_Delete) << none << "abc" << 3 << 3;
    QTest::newRow("Delete a surrogate pair") << "a" + emoji + "b" << 1 << 0 << "" << int(Qt::Key_Delete) << none << "ab" << 1 << 1;
    QTest::newRow("Right over a surrogate pair") << "a" + emoji + "b" << 1 << 0 << "" << int(Qt::Key_Right) << none << "a" + emoji + "b" << 3 << 3;
    QTest::newRow("Left") << "abc" << 2 << 0 << "" << int(Qt::Key_Left) << none << "abc" << 1 << 1;
    QTest::newRow("Left ends a selection at its start") << "abcd" << 1 << 2 << "" << int(Qt::Key_Left) << none << "abcd" << 1 << 1;
    QTest::newRow("Shift+Right selects") << "abc" << 1 << 0 << "" << int(Qt::Key_Right) << shift << "abc" << 2 << 1;
    QTest::newRow("Home") << "abc\ndef" << 6 << 0 << "" << int(Qt::Key_Home) << none << "abc\ndef" << 4 << 4;
    QTest::newRow("Shift+End") << "abc\ndef" << 5 << 0 << "" << int(Qt::Key_End) << shift << "abc\ndef" << 7 << 5;
    QTest::newRow("Up") << "abc\ndef" << 6 << 0 << "" << int(Qt::Key_Up) << none << "abc\ndef" << 2 << 2;
    QTest::newRow("Down") << "abc\ndef" << 1 << 0 << "" << int(Qt::Key_Down) << none << "abc\ndef" << 5 << 5;
    QTest::newRow("Ctrl+Home") << "abc\ndef" << 6 << 0 << "" << int(Qt::Key_Home) << ctrl << "abc\ndef" << 0 << 0;
    QTest::newRow("Ctrl+Shift+End") << "abc\ndef" << 1 << 0 << "" << int(Qt::Key_End) << ctrl + shift << "abc\ndef" << 7 << 1;
    QTest::newRow("Ctrl+Right by word") << "one two" << 0 << 0 << "" << int(Qt::Key_Right) << ctrl << "one two" << 4 << 4;
    QTest::newRow("Ctrl+Left by word") << "one two" << 7 << 0 << "" << int(Qt::Key_Left) << ctrl << "one two" << 4 << 4;
    QTest::newRow("Ctrl+A") << "ab\ncd" << 1 << 0 << "" << int(Qt::Key_A) << ctrl << "ab\ncd" << 5 << 0;
    QTest::newRow("Tab types nothing") << "ab" << 1 << 0 << "" << int(Qt::Key_Tab) << none << "ab" << 1 << 1;
    QTest::newRow("Escape, a control character, types nothing") << "ab" << 1 << 0 << "" << int(Qt::Key_Escape) << none << "ab" << 1 << 1;
    QTest::newRow("typing a surrogate pair") << "" << 0 << 0 << "a" + emoji + "b" << none << none << "a" + emoji + "b" << 4 << 4;
    QTest::newRow("typing joiners") << "" << 0 << 0 << QString::fromUtf8("a\u200c\u200db") << none << none << QString::fromUtf8("a\u200c\u200db") << 4 << 4;
    // clang-format on
}

void TestSourceBox::keys()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TestSupport::Program program;
    Document &document = program.document();
    QWidget *box = focusedSource(program);
    document.setText(text);
    document.select(start, length);

    TestSupport::type(box, typed);
    if (key != 0)
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QTEST(document.text(), "expected");
    QTEST(document.caretPosition(), "caret");
    QTEST(anchor(document), "anchor");
}

void TestSourceBox::selectionKeptWhileUnfocused()
{
    TestSupport::Program program;
    Document &document = program.document();
    QWidget *box = focusedSource(program);
    TestSupport::type(box, "one two");
    QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);

    QWidget *bold = program.button("addbold");
    bold->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), bold);
    QCOMPARE(document.selectedText(), QString("two"));
    QCOMPARE(document.caretPosition(), 4);

    box->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QCOMPARE(document.selectedText(), QString("two"));
    QCOMPARE(anchor(document), 7);
    // The button acts on the selection the box kept.
    QTest::mouseClick(bold, Qt::LeftButton);
    QCOMPARE(document.text(), QString("one <b>two</b>"));
}

void TestSourceBox::shiftTabMovesTheFocusBack()
{
    TestSupport::Program program;
    QWidget *box = focusedSource(program);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("textsizebutton"));
    QVERIFY(program.document().text().isEmpty());
}

// Each row types, runs commands and undoes; `steps` lists the text after each
// undo, down to the empty page.
void TestSourceBox::undoSteps_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("steps");
    // Script words: "type:x" types x, "left" moves the caret, "insert:x" and
    // "wrap" are commands, "back" is Backspace.
    QTest::newRow("typing is one step") << QStringList{"type:abc"} << QStringList{""};
    QTest::newRow("typing after a command")
        << QStringList{"type:ab", "insert:<br>", "type:cd"} << QStringList{"ab<br>", "ab", ""};
    QTest::newRow("typing after a wrap")
        << QStringList{"type:ab", "wrap", "type:c"} << QStringList{"ab<b></b>", "ab", ""};
    QTest::newRow("two commands") << QStringList{"insert:<p>", "insert:<br>"}
                                  << QStringList{"<p>", ""};
    QTest::newRow("typing elsewhere is a new step")
        << QStringList{"type:ab", "left", "type:c"} << QStringList{"ab", ""};
    QTest::newRow("Backspace is its own step")
        << QStringList{"type:abc", "back"} << QStringList{"abc", ""};
}

void TestSourceBox::undoSteps()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, steps);
    TestSupport::Program program;
    Document &document = program.document();
    QWidget *box = focusedSource(program);
    for (const QString &word : script) {
        if (word.startsWith("type:"))
            TestSupport::type(box, word.mid(5));
        else if (word.startsWith("insert:"))
            document.insertFragment(word.mid(7));
        else if (word == "wrap")
            document.wrapSelection("<b>", "</b>");
        else if (word == "left")
            QTest::keyClick(box, Qt::Key_Left);
        else if (word == "back")
            QTest::keyClick(box, Qt::Key_Backspace);
    }
    const QString last = document.text();
    for (const QString &step : steps) {
        document.undo();
        QCOMPARE(document.text(), step);
    }
    // Nothing further to undo; redoing every step gives the last text back.
    document.undo();
    QCOMPARE(document.text(), QString());
    for (int i = 0; i < steps.size(); ++i)
        document.redo();
    QCOMPARE(document.text(), last);
}

void TestSourceBox::undoKeys_data()
{
    QTest::addColumn<int>("redoKey");
    QTest::addColumn<int>("redoModifiers");
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier);
}

void TestSourceBox::undoKeys()
{
    QFETCH(int, redoKey);
    QFETCH(int, redoModifiers);
    TestSupport::Program program;
    QWidget *box = focusedSource(program);
    TestSupport::type(box, "ab");
    program.document().insertFragment("<br>");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(program.document().text(), QString("ab"));
    QTest::keyClick(box, Qt::Key(redoKey), Qt::KeyboardModifiers(redoModifiers));
    QCOMPARE(program.document().text(), QString("ab<br>"));
    QCOMPARE(program.document().caretPosition(), 6);
}

void TestSourceBox::undoingTheTypingMakesThePageUnchanged()
{
    TestSupport::Program program;
    Document &document = program.document();
    document.setPage("page", PageFormat());
    QWidget *box = focusedSource(program);
    QVERIFY(!document.isModified());
    TestSupport::type(box, "x");
    QVERIFY(document.isModified());
    document.undo();
    QVERIFY(!document.isModified());
    document.redo();
    QVERIFY(document.isModified());
}

void TestSourceBox::clicks_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("anchor");
    // The page is "one two\nthree"; the caret starts at 1.
    QTest::newRow("top left") << "top left" << 0 << 1 << 0 << 0;
    QTest::newRow("below the text") << "below" << 0 << 1 << 13 << 13;
    QTest::newRow("Shift+click extends") << "below" << int(Qt::ShiftModifier) << 1 << 13 << 1;
    QTest::newRow("double click selects a word") << "top left" << 0 << 2 << 3 << 0;
}

void TestSourceBox::clicks()
{
    QFETCH(QString, where);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    TestSupport::Program program;
    Document &document = program.document();
    QWidget *box = program.source();
    document.setText("one two\nthree");
    document.select(1, 0);
    program.button("addbold")->setFocus();

    // Well inside the first character, past the frame and margin.
    const QPoint point = where == "top left" ? QPoint(8, 8) : QPoint(100, box->height() - 20);
    TestSupport::clickAt(box, point, Qt::KeyboardModifiers(modifiers), clicks);

    QCOMPARE(QApplication::focusWidget(), box);
    QTEST(document.caretPosition(), "caret");
    QTEST(anchor(document), "anchor");
}

QTEST_MAIN(TestSourceBox)
#include "tst_sourcebox.moc"
