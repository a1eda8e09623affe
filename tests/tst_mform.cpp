#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

// The marquee window and its four-way decision on "Insert marquee".
class TestMForm : public QObject
{
    Q_OBJECT

private:
    static QWidget *open(TestSupport::Program &program)
    {
        program.entry("marquee")->trigger();
        return program.windows().find("mform");
    }

    static QComboBox *direction(QWidget *form) { return form->findChild<QComboBox *>("Combo1"); }

    // "pick:N" chooses list entry N, "type:X" empties the field and types X,
    // anything else leaves it as it opened.
    static void setDirectionAndInsert(QWidget *form, const QString &how)
    {
        if (how.startsWith("pick:")) {
            direction(form)->setCurrentIndex(how.mid(5).toInt());
        } else if (how.startsWith("type:")) {
            direction(form)->lineEdit()->selectAll();
            QTest::keyClick(direction(form)->lineEdit(), Qt::Key_Delete);
            TestSupport::type(direction(form)->lineEdit(), how.mid(5));
        }
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }

private slots:
    void decision_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("inserted"); // empty: nothing
        const auto row = [](const char *name, QString text, QString how, QString inserted) {
            QTest::newRow(name) << text << how << inserted;
        };
        row("picked", "abc", "pick:2", "<marquee direction=Left>abc</marquee>");
        row("untouched", "abc", "keep", "");
        row("placeholder typed again", "abc", "type:Direction", "");
        row("lower case is a value", "abc", "type:direction",
            "<marquee direction=direction>abc</marquee>");
        row("prefix not completed", "abc", "type:d", "<marquee direction=d>abc</marquee>");
        row("markup, quotes, spaces", "<b>\"hot\"</b> & new", "type:to left",
            "<marquee direction=to left><b>\"hot\"</b> & new</marquee>");
        row("text of spaces", "  ", "pick:1", "<marquee direction=Down>  </marquee>");
        row("no text, picked", "", "pick:3", "");
        row("no text, untouched", "", "keep", "");
        row("no text, direction emptied", "", "type:", "");
    }

    void decision()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(QString, inserted);

        TestSupport::Program program;
        program.document().setText("[x]");
        program.document().select(1, 1);
        QPointer<QWidget> form = open(program);
        QCOMPARE(direction(form)->currentText(), QString("Direction"));
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), text);
        setDirectionAndInsert(form, how);

        QCOMPARE(program.document().text(), inserted.isEmpty() ? "[x]" : "[" + inserted + "]");
        QVERIFY(!program.windows().find("mform"));
        // The next opening starts over.
        QTRY_VERIFY(form.isNull());
        QCOMPARE(direction(open(program))->currentText(), QString("Direction"));
    }

    void emptiedDirectionKeepsTheWindowOpen()
    {
        TestSupport::Program program;
        QWidget *form = open(program);
        QStringList items;
        for (int i = 0; i < direction(form)->count(); ++i)
            items << direction(form)->itemText(i);
        QCOMPARE(items, QStringList({"Up", "Down", "Left", "Right"}));

        TestSupport::type(form->findChild<QLineEdit *>("Text1"), "abc");
        setDirectionAndInsert(form, "type:");
        QVERIFY(form->isVisible());
        QCOMPARE(program.document().text(), QString());
        // The user may still type a direction.
        setDirectionAndInsert(form, "type:Right");
        QCOMPARE(program.document().text(), QString("<marquee direction=Right>abc</marquee>"));
        QVERIFY(!program.windows().find("mform"));
    }
};

QTEST_MAIN(TestMForm)
#include "tst_mform.moc"
