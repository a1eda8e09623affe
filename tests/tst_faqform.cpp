#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/windowregistry.h"
#include "editor/document.h"
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

    static const QString &br()
    {
        static const QString text =
            "The HTML code <BR> means a break, which is a break down one line.  If you have "
            "<BR><BR> that will put an empty line on your site. You can use several of these to "
            "place text up and down your site. In TAGLOOM and normal HTML scripting, empty lines "
            "do not mean anything, you must use the <BR> command";
        return text;
    }

private slots:
    void questionsAndInitialText()
    {
        TestSupport::Program program;
        QWidget *form = open(program);
        const QStringList captions{
            "What is a good free website host?", "Why do my images not show up?",
            "What is a good free image host?", "How do I add spaces to my webpage?"};
        for (int i = 0; i < captions.size(); ++i) {
            auto *button = form->findChild<WrappingButton *>(QString("Command%1").arg(i + 1));
            QCOMPARE(button->text(), captions.at(i));
            // Wrapped, the caption fits inside its button.
            const QRect needed =
                QFontMetrics(button->captionFont())
                    .boundingRect(button->rect(), Qt::AlignCenter | Qt::TextWordWrap,
                                  button->text());
            QVERIFY2(button->rect().contains(needed), qPrintable(QString("%1 %2x%3 in %4x%5")
                                                                     .arg(button->text())
                                                                     .arg(needed.width())
                                                                     .arg(needed.height())
                                                                     .arg(button->width())
                                                                     .arg(button->height())));
        }
        QVERIFY(answer(form)->text().startsWith("For more information contact Korvanetech at "));
        QVERIFY(answer(form)->text().endsWith(".example"));
    }

    void answers_data()
    {
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("shown");

        QTest::newRow("images") << QStringList{"Command2"}
                                << "The reason is most likely because the images you are using "
                                   "are not in the same directory. Change the HTML to the correct "
                                   "directory.";
        QTest::newRow("breaks") << QStringList{"Command4"} << br();
        QTest::newRow("same twice") << QStringList{"Command4", "Command4"} << br();
        QTest::newRow("last of several")
            << QStringList{"Command1", "Command3", "Command2", "Command4"} << br();
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
        QCOMPARE(form->windowTitle(), QString("FAQ"));
        // The answer shows the tags themselves, not line breaks.
        QCOMPARE(answer(form)->textFormat(), Qt::PlainText);
    }

    void hostAnswersNameAService_data()
    {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("website host") << "Command1"
                                      << "A good free host that we suggest would have to be "
                                      << "";
        QTest::newRow("image host") << "Command3"
                                    << "We suggest "
                                    << " - It's free, fast, and reliable.";
    }

    void hostAnswersNameAService()
    {
        QFETCH(QString, question);
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);

        TestSupport::Program program;
        QWidget *form = open(program);
        ask(form, question);
        ask(form, question);
        const QString text = answer(form)->text();
        QVERIFY2(text.startsWith(prefix) && text.endsWith(suffix), qPrintable(text));
        const QString service =
            text.mid(prefix.size(), text.size() - prefix.size() - suffix.size());
        QVERIFY(!service.trimmed().isEmpty());
        QVERIFY(!service.contains(prefix));
    }

    void everyAnswerFitsItsBox_data()
    {
        QTest::addColumn<QString>("question");
        QTest::newRow("initial") << "";
        for (const char *question : {"Command1", "Command2", "Command3", "Command4"})
            QTest::newRow(question) << question;
    }

    void everyAnswerFitsItsBox()
    {
        QFETCH(QString, question);
        TestSupport::Program program;
        QWidget *form = open(program);
        if (!question.isEmpty())
            ask(form, question);
        QLabel *label = answer(form);
        const QRect needed = label->fontMetrics().boundingRect(
            label->contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label->text());
        QVERIFY2(needed.height() <= label->contentsRect().height(),
                 qPrintable(QString("needs %1 px of %2")
                                .arg(needed.height())
                                .arg(label->contentsRect().height())));
    }

    void answerStaysWhenReopenedButNotAfterClose()
    {
        TestSupport::Program program;
        QPointer<QWidget> form = open(program);
        const QString initial = answer(form)->text();
        ask(form, "Command2");
        const QString shown = answer(form)->text();

        QCOMPARE(open(program), form.data());
        QCOMPARE(answer(form)->text(), shown);

        form->close();
        QTRY_VERIFY(form.isNull());
        form = open(program);
        QCOMPARE(answer(form)->text(), initial);
    }

    void pageIsUntouched()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        program.document().select(1, 1);
        QWidget *form = open(program);
        for (const char *question : {"Command1", "Command2", "Command3", "Command4"})
            ask(form, question);
        QCOMPARE(program.document().text(), QString("abc"));
        QCOMPARE(program.document().selectionStart(), 1);
        QCOMPARE(program.document().selectionLength(), 1);
    }
};

QTEST_MAIN(TestFaqForm)
#include "tst_faqform.moc"
