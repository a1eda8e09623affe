#include <QPushButton>
#include <QTest>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "testsupport.h"

namespace {

const QString Nbsp = QString(QChar(0x00A0));

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void insertFragment_data();
    void insertFragment();
    void wrapSelection_data();
    void wrapSelection();
    void commandIsOneUndoStep_data();
    void commandIsOneUndoStep();
    void commandsLeaveTheFocusAlone();
    void shiftEnterIsAPlainLineBreak();
};

// Columns shared by both operations: the text, the selection (start and a
// length that may be negative for a backwards selection), the expected text
// and caret.
static void addSelectionColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
}

void TestDocument::insertFragment_data()
{
    addSelectionColumns();
    QTest::addColumn<QString>("fragment");
    QTest::newRow("empty page") << "" << 0 << 0 << "<br>" << 4 << "<br>";
    QTest::newRow("caret inside") << "abcd" << 2 << 0 << "ab<br>cd" << 6 << "<br>";
    QTest::newRow("replaces selection") << "xabcy" << 1 << 3 << "x<br>y" << 5 << "<br>";
    QTest::newRow("backwards selection") << "xabcy" << 4 << -3 << "x<br>y" << 5 << "<br>";
    QTest::newRow("whole page") << "one\ntwo" << 0 << 7 << "<hr>" << 4 << "<hr>";
    QTest::newRow("across lines") << "a\nb\nc" << 1 << 3 << "a<br>c" << 5 << "<br>";
    QTest::newRow("fragment with line break") << "ab" << 1 << 0 << "ax\nyb" << 4 << "x\ny";
    QTest::newRow("empty fragment deletes selection") << "abc" << 1 << 1 << "ac" << 1 << "";
    QTest::newRow("empty fragment at caret") << "abc" << 1 << 0 << "abc" << 1 << "";
    QTest::newRow("at the end") << "abc" << 3 << 0 << "abc<br>" << 7 << "<br>";
}

void TestDocument::insertFragment()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, fragment);
    TestSupport::Program program;
    Document &document = program.document();
    document.setText(text);
    document.select(start, length);

    document.insertFragment(fragment);

    QTEST(document.text(), "expected");
    QTEST(document.caretPosition(), "caret");
    QCOMPARE(document.selectionLength(), 0);
}

void TestDocument::wrapSelection_data()
{
    addSelectionColumns();
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("nothing selected") << "xy" << 1 << 0 << "x<b></b>y" << 8 << "<b>"
                                      << "</b>";
    QTest::newRow("between two characters") << "xabcy" << 1 << 3 << "x<b>abc</b>y" << 11 << "<b>"
                                            << "</b>";
    QTest::newRow("backwards") << "xabcy" << 4 << -3 << "x<b>abc</b>y" << 11 << "<b>"
                               << "</b>";
    QTest::newRow("several lines")
        << "a\nb\nc" << 0 << 5 << "<p align=center>a\nb\nc</p>" << 25 << "<p align=center>"
        << "</p>";
    QTest::newRow("cuts through a tag") << "<b>x</b>" << 1 << 3 << "<<i>b>x</i></b>" << 11 << "<i>"
                                        << "</i>";
    QTest::newRow("only an opening tag") << "ab" << 0 << 1 << "<font>ab" << 7 << "<font>"
                                         << "";
    QTest::newRow("only a closing tag") << "ab" << 0 << 1 << "a</font>b" << 8 << ""
                                        << "</font>";
    QTest::newRow("keeps special characters")
        << "a" + Nbsp + "b" << 0 << 3 << "<u>a" + Nbsp + "b</u>" << 10 << "<u>"
        << "</u>";
    // A long selection gets the tags inserted around it instead of copied.
    const QString many(70000, QLatin1Char('a'));
    QTest::newRow("a long selection") << "x" + many + "y" << 1 << int(many.size())
                                      << "x<b>" + many + "</b>y" << int(many.size()) + 8 << "<b>"
                                      << "</b>";
}

void TestDocument::wrapSelection()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, open);
    QFETCH(QString, close);
    TestSupport::Program program;
    Document &document = program.document();
    document.setText(text);
    document.select(start, length);

    document.wrapSelection(open, close);

    QTEST(document.text(), "expected");
    QTEST(document.caretPosition(), "caret");
    QCOMPARE(document.selectionLength(), 0);
}

void TestDocument::commandIsOneUndoStep_data()
{
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("afterCommand");
    QTest::newRow("insert at caret") << false << 0 << "ab<br>";
    QTest::newRow("insert over selection") << false << 1 << "a<br>";
    QTest::newRow("wrap empty selection") << true << 0 << "ab<b></b>";
    QTest::newRow("wrap selection") << true << 1 << "a<b>b</b>";
}

void TestDocument::commandIsOneUndoStep()
{
    QFETCH(bool, wrap);
    QFETCH(int, selected);
    QFETCH(QString, afterCommand);
    TestSupport::Program program;
    Document &document = program.document();
    QWidget *box = program.source();
    box->setFocus();
    TestSupport::type(box, "ab");
    document.select(2 - selected, selected);

    if (wrap)
        document.wrapSelection("<b>", "</b>");
    else
        document.insertFragment("<br>");
    QCOMPARE(document.text(), afterCommand);
    TestSupport::type(box, "cd");
    QCOMPARE(document.text(), afterCommand + "cd");

    // Typing after the command is its own step, the command is one step, and
    // the typing before it is untouched.
    document.undo();
    QCOMPARE(document.text(), afterCommand);
    document.undo();
    QCOMPARE(document.text(), QString("ab"));
    document.redo();
    QCOMPARE(document.text(), afterCommand);
}

void TestDocument::commandsLeaveTheFocusAlone()
{
    TestSupport::Program program;
    auto *bold = program.main()->findChild<QWidget *>("addbold");
    bold->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), bold);
    program.document().insertFragment("<br>");
    program.document().wrapSelection("<b>", "</b>");
    QCOMPARE(QApplication::focusWidget(), bold);
}

void TestDocument::shiftEnterIsAPlainLineBreak()
{
    TestSupport::Program program;
    QWidget *box = program.source();
    box->setFocus();
    TestSupport::type(box, "a");
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    TestSupport::type(box, "b");
    QCOMPARE(program.document().text(), QString("a\nb"));
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
