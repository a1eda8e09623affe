#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/windowregistry.h"
#include "help/wrappingbutton.h"
#include "testsupport.h"

// The FAQ window: each question shows its answer in place of what was shown.
class TestFaqForm : public QObject
{
    Q_OBJECT

private:
    static QWidget *open(TestSupport::Program &program)
    {
        program.entry("faq")->trigger();
        return program.windows().find("faqForm");
    }

    static QLabel *answer(QWidget *form) { return form->findChild<QLabel *>("Label1"); }

    static void ask(QWidget *form, const QString &question)
    {
        QTest::mouseClick(form->findChild<QPushButton *>(question), Qt::LeftButton);
    }

    // Wrapped within its box, the text shows whole.
    static bool fits(QWidget *box, const QFont &font, const QString &text, int flags)
    {
        const QRect area = box->contentsRect();
        return area.contains(QFontMetrics(font).boundingRect(area, flags | Qt::TextWordWrap, text));
    }

private slots:
    void questionsAndInitialText()
    {
        TestSupport::Program program;
        QPointer<QWidget> form = open(program);
        const QStringList captions{
            "What is a good free website host?", "Why do my images not show up?",
            "What is a good free image host?", "How do I add spaces to my webpage?"};
        for (int i = 0; i < captions.size(); ++i) {
            auto *button = form->findChild<WrappingButton *>(QString("Command%1").arg(i + 1));
            QCOMPARE(button->text(), captions.at(i));
            QVERIFY2(fits(button, button->captionFont(), captions.at(i), Qt::AlignCenter),
                     qPrintable(captions.at(i)));
        }
        const QString initial = answer(form)->text();
        QVERIFY(initial.startsWith("For more information contact Korvanetech at "));
        QVERIFY(fits(answer(form), answer(form)->font(), initial, Qt::AlignLeft | Qt::AlignTop));

        // The answer stays while the window is open, not after it is closed.
        ask(form, "Command2");
        const QString shown = answer(form)->text();
        QCOMPARE(open(program), form.data());
        QCOMPARE(answer(form)->text(), shown);
        form->close();
        QTRY_VERIFY(form.isNull());
        QCOMPARE(answer(open(program))->text(), initial);
    }

    void answers_data()
    {
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("shown");
        const QString host =
            "A good free host that we suggest would have to be https://neocities.org";
        const QString br =
            "The HTML code <BR> means a break, which is a break down one line.  If you have "
            "<BR><BR> that will put an empty line on your site. You can use several of these to "
            "place text up and down your site. In TAGLOOM and normal HTML scripting, empty lines "
            "do not mean anything, you must use the <BR> command";
        QTest::newRow("website host") << QStringList{"Command1"} << host;
        QTest::newRow("images") << QStringList{"Command2"}
                                << "The reason is most likely because the images you are using "
                                   "are not in the same directory. Change the HTML to the correct "
                                   "directory.";
        QTest::newRow("image host")
            << QStringList{"Command3"} << "We suggest Imgur - It's free, fast, and reliable.";
        QTest::newRow("breaks") << QStringList{"Command4"} << br;
        QTest::newRow("same twice") << QStringList{"Command1", "Command1"} << host;
        QTest::newRow("last of several")
            << QStringList{"Command1", "Command3", "Command2", "Command4"} << br;
    }

    void answers()
    {
        QFETCH(QStringList, questions);
        QFETCH(QString, shown);

        TestSupport::Program program;
        QWidget *form = open(program);
        for (const QString &question : questions)
            ask(form, question);
        QCOMPARE(answer(form)->text(), shown);
        // The tags show as written, not as line breaks.
        QCOMPARE(answer(form)->textFormat(), Qt::PlainText);
        QVERIFY(fits(answer(form), answer(form)->font(), shown, Qt::AlignLeft | Qt::AlignTop));
    }
};

QTEST_MAIN(TestFaqForm)
#include "tst_faqform.moc"
