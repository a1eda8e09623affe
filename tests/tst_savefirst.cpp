#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "help/faqform.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

// Closing the program and opening a page ask to save only a changed page.
class TestSaveFirst : public QObject
{
    Q_OBJECT

    // How the page stands before the command: as opened, typed into, typed
    // into and undone again, or typed into and saved with "File" > "Save".
    enum Page { Unchanged, Changed, Undone, Saved };

    static void prepare(TestSupport::Program &program, Page page)
    {
        program.document().setPage("<p>old</p>", PageFormat());
        program.document().select(3, 0);
        if (page != Unchanged)
            program.document().insertFragment("<b>");
        if (page == Undone)
            program.document().undo();
        if (page == Saved) {
            TestSupport::MessageBoxes boxes;
            program.entry("save")->trigger();
            auto *form = program.windows().find<SaveForm>();
            TestSupport::type(form->findChild<QLineEdit *>("title"), "saved");
            QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 1);
        }
    }

    // After Yes: "" leaves the save window open, "-" closes it unsaved,
    // anything else is typed into it and saved.
    static void answerSaveWindow(TestSupport::Program &program, TestSupport::MessageBoxes &boxes,
                                 const QString &saveAs)
    {
        SaveForm2 *form = program.windows().find<SaveForm2>();
        QVERIFY(form && form->isVisible());
        if (saveAs == "-") {
            form->close();
            return;
        }
        boxes.setAnswer(QMessageBox::Ok);
        TestSupport::type(form->findChild<QLineEdit *>("title"), saveAs);
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }

    static void checkQuestion(const MessageBox::Message &question)
    {
        QCOMPARE(question.text, QString("Would you like to save?"));
        QCOMPARE(question.title, QString("Tagloom"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(question.icon, QMessageBox::Warning);
    }

private slots:
    void closing_data()
    {
        QTest::addColumn<bool>("throughExit");
        QTest::addColumn<int>("page");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<bool>("ends");
        for (const bool exit : {true, false}) {
            const QByteArray how = exit ? "Exit, " : "close box, ";
            const auto row = [&how](const char *name) -> QTestData & {
                return QTest::newRow(how + name);
            };
            row("unchanged") << exit << int(Unchanged) << QMessageBox::Cancel << "" << true;
            row("typed and undone") << exit << int(Undone) << QMessageBox::Cancel << "" << true;
            row("typed and saved") << exit << int(Saved) << QMessageBox::Cancel << "" << true;
            row("changed, No") << exit << int(Changed) << QMessageBox::No << "" << true;
            row("changed, Cancel") << exit << int(Changed) << QMessageBox::Cancel << "" << false;
            row("changed, Yes, not yet saved")
                << exit << int(Changed) << QMessageBox::Yes << "" << false;
            row("changed, Yes, saved")
                << exit << int(Changed) << QMessageBox::Yes << "page" << true;
            row("changed, Yes, save fails")
                << exit << int(Changed) << QMessageBox::Yes << "no/page" << false;
            row("changed, Yes, save window closed")
                << exit << int(Changed) << QMessageBox::Yes << "-" << false;
        }
    }
    void closing()
    {
        QFETCH(bool, throughExit);
        QFETCH(int, page);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, ends);
        QTemporaryDir folder;
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        prepare(program, Page(page));
        TestSupport::MessageBoxes boxes(answer);
        const QString text = program.document().text();
        QPointer<Main> main = program.main();
        QPointer<FaqForm> faq = program.windows().show<FaqForm>();

        if (throughExit)
            program.entry("exit")->trigger();
        else
            main->windowHandle()->close();
        const bool asked = page == Changed;
        QCOMPARE(boxes.shown().size(), asked ? 1 : 0);
        if (asked)
            checkQuestion(boxes.shown()[0]);
        if (answer == QMessageBox::Yes) {
            // Nothing closes before the page is saved.
            QVERIFY(main && main->isVisible() && faq && faq->isVisible());
            if (!saveAs.isEmpty())
                answerSaveWindow(program, boxes, saveAs);
        }
        TestSupport::flushEvents();

        QCOMPARE(main.isNull(), ends);
        QCOMPARE(faq.isNull(), ends);
        QCOMPARE(program.windows().openWindows().isEmpty(), ends);
        if (!ends) {
            QVERIFY(main->isVisible() && faq->isVisible());
            QCOMPARE(program.document().text(), text);
        }
        QCOMPARE(TestSupport::readBytes("page.html"),
                 saveAs == "page" ? (text + "\r\n").toUtf8() : QByteArray());
    }

    void opening_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("saveAs");
        QTest::addColumn<bool>("opened");
        QTest::newRow("unchanged") << int(Unchanged) << QMessageBox::Cancel << "" << true;
        QTest::newRow("typed and undone") << int(Undone) << QMessageBox::Cancel << "" << true;
        QTest::newRow("changed, No") << int(Changed) << QMessageBox::No << "" << true;
        QTest::newRow("changed, Cancel") << int(Changed) << QMessageBox::Cancel << "" << false;
        QTest::newRow("changed, Yes, saved") << int(Changed) << QMessageBox::Yes << "page" << true;
        QTest::newRow("changed, Yes, save fails")
            << int(Changed) << QMessageBox::Yes << "no/page" << false;
        QTest::newRow("changed, Yes, save window closed")
            << int(Changed) << QMessageBox::Yes << "-" << false;
    }
    void opening()
    {
        QFETCH(int, page);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, opened);
        QTemporaryDir folder;
        TestSupport::WorkingDirectory inFolder(folder.path());
        QVERIFY(TestSupport::writeBytes("new.html", "<p>new</p>"));
        TestSupport::Program program;
        prepare(program, Page(page));
        TestSupport::MessageBoxes boxes(answer);
        const QString text = program.document().text();

        program.entry("open")->trigger();
        QPointer<OpenForm> form = program.windows().find<OpenForm>();
        TestSupport::type(form->findChild<QLineEdit *>("Text1"), "new.html");
        QTest::mouseClick(form->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        const bool asked = page == Changed;
        QCOMPARE(boxes.shown().size(), asked ? 1 : 0);
        if (asked)
            checkQuestion(boxes.shown()[0]);
        if (answer == QMessageBox::Yes) {
            QCOMPARE(program.document().text(), text); // not before the page is saved
            answerSaveWindow(program, boxes, saveAs);
        }
        TestSupport::flushEvents();

        QCOMPARE(program.document().text(), opened ? QString("<p>new</p>") : text);
        QCOMPARE(program.document().isModified(), !opened && page == Changed);
        QCOMPARE(form.isNull(), opened); // open until the page is opened
        QCOMPARE(TestSupport::readBytes("page.html"),
                 saveAs == "page" ? (text + "\r\n").toUtf8() : QByteArray());
        // A page just opened closes without a question.
        if (opened) {
            const qsizetype shown = boxes.shown().size();
            program.entry("exit")->trigger();
            QCOMPARE(boxes.shown().size(), shown);
            QVERIFY(program.windows().openWindows().isEmpty());
        }
    }

    // "New" asks even about an unchanged page; after Yes, the latest command
    // to ask decides what the save leads to.
    void newAsksAlwaysLatestCommandWins()
    {
        QTemporaryDir folder;
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        prepare(program, Unchanged);
        TestSupport::MessageBoxes boxes(QMessageBox::Yes);
        program.entry("new")->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].title, QString("New file"));
        program.document().insertFragment("<b>");
        QPointer<Main> main = program.main();
        program.entry("exit")->trigger();
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY(main);
        answerSaveWindow(program, boxes, "page");
        TestSupport::flushEvents();
        QVERIFY(main.isNull());
        QCOMPARE(TestSupport::readBytes("page.html"), QByteArray("<p><b>old</p>\r\n"));
    }
};

QTEST_MAIN(TestSaveFirst)
#include "tst_savefirst.moc"
