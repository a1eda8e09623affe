#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

// The strength box of the text-effects window takes only the typed characters
// "/" and "0" to "9"; its fragments are checked with the other text-entry windows.
class TestFxForm : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *strength(TestSupport::Program &program)
    {
        program.entry("glow")->trigger();
        return program.windows().find("fxform")->findChild<QLineEdit *>("Text3");
    }

private slots:
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
        row("space", Qt::Key_Space, " ", "12");
        row("non-latin digit", Qt::Key_unknown, QString(QChar(0x0663)), "12");
        row("backspace", Qt::Key_Backspace, "\b", "12");
        row("backspace without text", Qt::Key_Backspace, "", "12");
        row("enter", Qt::Key_Return, "\r", "12");
        row("delete", Qt::Key_Delete, "", "1");
        row("delete with text", Qt::Key_Delete, "\x7f", "1");
    }

    void strengthFilter()
    {
        QFETCH(int, key);
        QFETCH(QString, keyText);
        QFETCH(QString, expected);

        TestSupport::Program program;
        QLineEdit *box = strength(program);
        TestSupport::type(box, "12");
        QTest::keyClick(box, Qt::Key_Left);
        QCOMPARE(box->cursorPosition(), 1);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        QCOMPARE(box->text(), expected);
    }

    void strengthPastedTextIsNotFiltered()
    {
        TestSupport::Program program;
        QLineEdit *box = strength(program);
        QGuiApplication::clipboard()->setText("big-5");
        // Ctrl+V is a typed control character, discarded like the others...
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
        // ...but pasting from the box's context menu is not typing.
        box->paste();
        QCOMPARE(box->text(), QString("big-5"));
        QTest::mouseClick(box->window()->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(program.document().text(),
                 QString("<TABLE Style = filter:Glow(color=,strength=big-5)>"
                         "<TR><TD><center></TABLE>"));
    }
};

QTEST_MAIN(TestFxForm)
#include "tst_fxform.moc"
