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
    // "keep" leaves the field as it opened.
    static void setDirection(QWidget *form, const QString &how)
    {
        if (how.startsWith("pick:")) {
            direction(form)->setCurrentIndex(how.mid(5).toInt());
        } else if (how.startsWith("type:")) {
            direction(form)->lineEdit()->selectAll();
            QTest::keyClick(direction(form)->lineEdit(), Qt::Key_Delete);
            TestSupport::type(direction(form)->lineEdit(), how.mid(5));
        }
    }

    static void insertMarquee(QWidget *form)
    {
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }

private slots:
    void startsWithPlaceholderAndList()
    {
        TestSupport::Program program;
        QWidget *form = open(program);
        QComboBox *combo = direction(form);
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->currentText(), QString("Direction"));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, QStringList({"Up", "Down", "Left", "Right"}));
        QCOMPARE(form->findChild<QLineEdit *>("Text1")->text(), QString());
    }

    void decision_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("inserted"); // empty: nothing
        QTest::addColumn<bool>("staysOpen");

        QTest::newRow("left picked") << "abc"
                                     << "pick:2"
                                     << "<marquee direction=Left>abc</marquee>" << false;
        QTest::newRow("up picked keeps case") << "abc"
                                              << "pick:0"
                                              << "<marquee direction=Up>abc</marquee>" << false;
        QTest::newRow("direction untouched") << "abc"
                                             << "keep"
                                             << "" << false;
        QTest::newRow("placeholder typed again") << "abc"
                                                 << "type:Direction"
                                                 << "" << false;
        QTest::newRow("lower-case direction is a value")
            << "abc"
            << "type:direction"
            << "<marquee direction=direction>abc</marquee>" << false;
        QTest::newRow("typed prefix not completed")
            << "abc"
            << "type:d"
            << "<marquee direction=d>abc</marquee>" << false;
        QTest::newRow("typed with space unquoted")
            << "abc"
            << "type:to left"
            << "<marquee direction=to left>abc</marquee>" << false;
        QTest::newRow("text empty, direction picked") << ""
                                                      << "pick:3"
                                                      << "" << false;
        QTest::newRow("text empty, untouched") << ""
                                               << "keep"
                                               << "" << false;
        QTest::newRow("text empty, direction emptied") << ""
                                                       << "type:"
                                                       << "" << false;
        QTest::newRow("direction emptied") << "abc"
                                           << "type:"
                                           << "" << true;
        QTest::newRow("text with markup and quotes")
            << "<b>\"hot\"</b> & new"
            << "pick:1"
            << "<marquee direction=Down><b>\"hot\"</b> & new</marquee>" << false;
        QTest::newRow("text of spaces") << "  "
                                        << "pick:1"
                                        << "<marquee direction=Down>  </marquee>" << false;
    }

    void decision()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(QString, inserted);
        QFETCH(bool, staysOpen);

        TestSupport::Program program;
        program.document().setText("[]");
        program.document().select(1, 0);
        QPointer<QWidget> form = open(program);
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), text);
        setDirection(form, how);

        insertMarquee(form);
        QCOMPARE(program.document().text(), "[" + inserted + "]");
        QCOMPARE(program.document().caretPosition(), 1 + inserted.size());
        QCOMPARE(program.windows().find("mform") != nullptr, staysOpen);
        if (staysOpen) {
            QVERIFY(form->isVisible());
            QCOMPARE(form->findChild<QLineEdit *>("Text1")->text(), text);
        }
    }

    void emptiedDirectionCanBeTypedAgain()
    {
        TestSupport::Program program;
        QWidget *form = open(program);
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), "abc");
        setDirection(form, "type:");
        insertMarquee(form);
        QVERIFY(program.windows().find("mform"));
        QCOMPARE(program.document().text(), QString());

        setDirection(form, "type:Right");
        insertMarquee(form);
        QCOMPARE(program.document().text(), QString("<marquee direction=Right>abc</marquee>"));
        QVERIFY(!program.windows().find("mform"));
    }

    void replacesTheSelection()
    {
        TestSupport::Program program;
        program.document().setText("one two three");
        program.document().select(4, 3);
        QWidget *form = open(program);
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), "x");
        setDirection(form, "pick:0");
        insertMarquee(form);
        QCOMPARE(program.document().text(), QString("one <marquee direction=Up>x</marquee> three"));
    }

    void closeBoxAndReopening()
    {
        TestSupport::Program program;
        QPointer<QWidget> form = open(program);
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), "abc");
        setDirection(form, "pick:2");
        QCOMPARE(open(program), form.data());
        QCOMPARE(direction(form)->currentText(), QString("Left"));

        form->close();
        QCOMPARE(program.document().text(), QString());
        QTRY_VERIFY(form.isNull());
        form = open(program);
        QCOMPARE(form->findChild<QLineEdit *>("Text1")->text(), QString());
        QCOMPARE(direction(form)->currentText(), QString("Direction"));
    }
};

QTEST_MAIN(TestMForm)
#include "tst_mform.moc"
