#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/fxform.h"
#include "testsupport.h"

// The one text-effects window behind "Glow", "Shadow" and "Dropshadow".
class TestFxForm : public QObject
{
    Q_OBJECT

private:
    static FxForm *open(TestSupport::Program &program, const QString &entry)
    {
        program.entry(entry)->trigger();
        return program.windows().find<FxForm>();
    }

    static QLineEdit *box(QWidget *form, const char *name)
    {
        return form->findChild<QLineEdit *>(name);
    }

    static void done(QWidget *form)
    {
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }

private slots:
    void fragment_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("strength");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fragment");

        QTest::newRow("glow") << "glow"
                              << "red"
                              << "5"
                              << "abc"
                              << "<TABLE Style = filter:Glow(color=red,strength=5)>"
                                 "<TR><TD><center>abc</TABLE>";
        QTest::newRow("shadow all empty")
            << "shadow"
            << ""
            << ""
            << ""
            << "<TABLE Style = filter:Shadow(color=,strength=)><TR><TD><center></TABLE>";
        QTest::newRow("dropshadow code colour")
            << "dshadow"
            << "#00FF00"
            << "10"
            << "Hi there"
            << "<TABLE Style = filter:Dropshadow(color=#00FF00,strength=10)>"
               "<TR><TD><center>Hi there</TABLE>";
        QTest::newRow("two lines of text") << "glow"
                                           << "blue"
                                           << "3"
                                           << "line one\nline two"
                                           << "<TABLE Style = filter:Glow(color=blue,strength=3)>"
                                              "<TR><TD><center>line one\nline two</TABLE>";
        QTest::newRow("markup, quotes and spaces as typed")
            << "shadow"
            << " \"dark red\" "
            << "1/2"
            << "<b>bold</b> & \"q\""
            << "<TABLE Style = filter:Shadow(color= \"dark red\" ,strength=1/2)>"
               "<TR><TD><center><b>bold</b> & \"q\"</TABLE>";
    }

    void fragment()
    {
        QFETCH(QString, entry);
        QFETCH(QString, color);
        QFETCH(QString, strength);
        QFETCH(QString, text);
        QFETCH(QString, fragment);

        TestSupport::Program program;
        program.document().setText("<>");
        program.document().select(1, 0);
        QPointer<FxForm> form = open(program, entry);
        TestSupport::type(box(form, "Text2"), color);
        TestSupport::type(box(form, "Text3"), strength);
        TestSupport::type(form->findChild<QWidget *>("Text4"), text);
        done(form);

        QCOMPARE(program.document().text(), "<" + fragment + ">");
        QCOMPARE(program.document().caretPosition(), 1 + fragment.size());
        QVERIFY(!program.windows().find("fxform"));
        QTRY_VERIFY(form.isNull());
    }

    void effectBoxIsHidden()
    {
        TestSupport::Program program;
        FxForm *form = program.windows().window<FxForm>();
        QLineEdit *effect = box(form, "Text1");
        QCOMPARE(effect->text(), QString("Text1"));
        form->show();
        QVERIFY(!effect->isVisible());
        QVERIFY(form->focusWidget() != effect);
    }

    void switchingEffectKeepsWhatWasTyped()
    {
        TestSupport::Program program;
        FxForm *form = open(program, "glow");
        TestSupport::type(box(form, "Text2"), "red");
        TestSupport::type(box(form, "Text3"), "5");
        TestSupport::type(form->findChild<QWidget *>("Text4"), "abc");

        QCOMPARE(open(program, "dshadow"), form);
        QCOMPARE(open(program, "shadow"), form);
        QCOMPARE(open(program, "dshadow"), form);
        QCOMPARE(box(form, "Text2")->text(), QString("red"));
        QCOMPARE(box(form, "Text3")->text(), QString("5"));
        done(form);
        QCOMPARE(program.document().text(),
                 QString("<TABLE Style = filter:Dropshadow(color=red,strength=5)>"
                         "<TR><TD><center>abc</TABLE>"));
    }

    void cancelAndCloseBox_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }

    void cancelAndCloseBox()
    {
        QFETCH(bool, closeBox);
        TestSupport::Program program;
        program.document().setText("page");
        QPointer<FxForm> form = open(program, "glow");
        TestSupport::type(box(form, "Text2"), "red");
        if (closeBox)
            form->close();
        else
            QTest::mouseClick(form->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QCOMPARE(program.document().text(), QString("page"));
        QTRY_VERIFY(form.isNull());

        form = open(program, "shadow");
        QCOMPARE(box(form, "Text2")->text(), QString());
    }

    void strengthFilter_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("keyText");
        QTest::addColumn<QString>("expected"); // from "12" with the caret between 1 and 2

        QTest::newRow("slash, code 47") << int(Qt::Key_Slash) << "/"
                                        << "1/2";
        for (int digit = 0; digit <= 9; ++digit) {
            const QString d = QString::number(digit);
            QTest::addRow("digit %d", digit) << int(Qt::Key_0 + digit) << d << "1" + d + "2";
        }
        QTest::newRow("full stop, code 46") << int(Qt::Key_Period) << "."
                                            << "12";
        QTest::newRow("colon, code 58") << int(Qt::Key_Colon) << ":"
                                        << "12";
        QTest::newRow("minus") << int(Qt::Key_Minus) << "-"
                               << "12";
        QTest::newRow("plus") << int(Qt::Key_Plus) << "+"
                              << "12";
        QTest::newRow("letter") << int(Qt::Key_A) << "a"
                                << "12";
        QTest::newRow("capital letter") << int(Qt::Key_X) << "X"
                                        << "12";
        QTest::newRow("space") << int(Qt::Key_Space) << " "
                               << "12";
        QTest::newRow("non-latin digit") << int(Qt::Key_unknown) << QString(QChar(0x0663)) << "12";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b"
                                   << "12";
        QTest::newRow("backspace without text") << int(Qt::Key_Backspace) << ""
                                                << "12";
        QTest::newRow("enter") << int(Qt::Key_Return) << "\r"
                               << "12";
        QTest::newRow("delete") << int(Qt::Key_Delete) << ""
                                << "1";
        QTest::newRow("delete with text") << int(Qt::Key_Delete) << "\x7f"
                                          << "1";
    }

    void strengthFilter()
    {
        QFETCH(int, key);
        QFETCH(QString, keyText);
        QFETCH(QString, expected);

        TestSupport::Program program;
        FxForm *form = open(program, "glow");
        QLineEdit *strength = box(form, "Text3");
        TestSupport::type(strength, "12");
        QTest::keyClick(strength, Qt::Key_Left);
        QCOMPARE(strength->cursorPosition(), 1);

        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(strength, &press);
        QApplication::sendEvent(strength, &release);
        QCOMPARE(strength->text(), expected);
    }

    void strengthMovesTheCaretAndTabs()
    {
        TestSupport::Program program;
        FxForm *form = open(program, "glow");
        QLineEdit *strength = box(form, "Text3");
        strength->setFocus();
        TestSupport::type(strength, "12");
        QTest::keyClick(strength, Qt::Key_Home);
        TestSupport::type(strength, "3");
        QCOMPARE(strength->text(), QString("312"));
        QTest::keyClick(strength, Qt::Key_Tab);
        QCOMPARE(form->focusWidget()->objectName(), QString("Text4"));
    }

    void strengthControlKeysAreDiscarded()
    {
        // Ctrl+V is a typed control character: it is discarded like the others.
        TestSupport::Program program;
        FxForm *form = open(program, "glow");
        QLineEdit *strength = box(form, "Text3");
        QGuiApplication::clipboard()->setText("x-1");
        QTest::keyClick(strength, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(strength->text(), QString());
    }

    void strengthPastedTextIsNotFiltered()
    {
        TestSupport::Program program;
        FxForm *form = open(program, "glow");
        QLineEdit *strength = box(form, "Text3");
        QGuiApplication::clipboard()->setText("big-5");
        // As the box's context menu does.
        strength->paste();
        QCOMPARE(strength->text(), QString("big-5"));
        done(form);
        QCOMPARE(program.document().text(),
                 QString("<TABLE Style = filter:Glow(color=,strength=big-5)>"
                         "<TR><TD><center></TABLE>"));
    }
};

QTEST_MAIN(TestFxForm)
#include "tst_fxform.moc"
