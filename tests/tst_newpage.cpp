#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "files/saveform2.h"
#include "testsupport.h"

namespace {

const PageFormat Legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::Lf};

void chooseNew(TestSupport::Program &program)
{
    program.main()->findChild<QAction *>("new")->trigger();
}

} // namespace

class TestNewPage : public QObject
{
    Q_OBJECT
private slots:
    void fileEntriesWork()
    {
        TestSupport::Program program;
        for (const char *name : {"new", "open", "save", "exit"})
            QVERIFY2(program.main()->findChild<QAction *>(name)->isEnabled(), name);
    }

    void questionIsAskedEvenForEmptyPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("empty") << "";
        QTest::newRow("text") << "<p>page</p>";
    }
    void questionIsAskedEvenForEmptyPage()
    {
        QFETCH(QString, page);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(QMessageBox::Cancel);
        program.document().setText(page);
        chooseNew(program);
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message &question = boxes.shown().constFirst();
        QCOMPARE(question.text, QString("Would you like to save?"));
        QCOMPARE(question.title, QString("New file"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(question.icon, QMessageBox::Warning);
    }

    // What each answer does to a page with a selection and an opened file's format.
    void answers_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("saveWindowShown");
        QTest::newRow("Yes") << QMessageBox::Yes << "<p>page</p>" << true;
        QTest::newRow("No") << QMessageBox::No << "" << false;
        QTest::newRow("Cancel") << QMessageBox::Cancel << "<p>page</p>" << false;
    }
    void answers()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, text);
        QFETCH(bool, saveWindowShown);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(answer);
        program.document().setPage("<p>page</p>", Legacy);
        program.document().select(3, 4);
        chooseNew(program);

        QCOMPARE(program.document().text(), text);
        const bool emptied = text.isEmpty();
        QCOMPARE(program.document().caretPosition(), emptied ? 0 : 7);
        QCOMPARE(program.document().selectionLength(), emptied ? 0 : 4);
        QVERIFY(program.document().format() == (emptied ? PageFormat() : Legacy));
        SaveForm2 *form = program.windows().find<SaveForm2>();
        QCOMPARE(form != nullptr, saveWindowShown);
        if (form)
            QVERIFY(form->isVisible());
        QCOMPARE(boxes.shown().size(), 1);
    }

    void yesThenSaveStartsNewPage()
    {
        QTemporaryDir folder;
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(QMessageBox::Yes);
        program.document().setPage("<p>page</p>", Legacy);
        chooseNew(program);
        boxes.setAnswer(QMessageBox::Ok);
        SaveForm2 *form = program.windows().find<SaveForm2>();
        QVERIFY(form);
        TestSupport::type(form->findChild<QLineEdit *>("title"), folder.filePath("old"));
        QCOMPARE(program.document().text(), QString("<p>page</p>"));
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);

        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1).text, QString("File successfully saved!"));
        QCOMPARE(TestSupport::readBytes(folder.filePath("old.html")), QByteArray("<p>page</p>\n"));
        QCOMPARE(program.document().text(), QString());
        QVERIFY(program.document().format() == PageFormat());
        QVERIFY(!program.windows().find<SaveForm2>());
    }

    void yesThenFailedSaveKeepsPage()
    {
        QTemporaryDir folder;
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(QMessageBox::Yes);
        program.document().setPage("<p>page</p>", Legacy);
        chooseNew(program);
        boxes.setAnswer(QMessageBox::Ok);
        SaveForm2 *form = program.windows().find<SaveForm2>();
        TestSupport::type(form->findChild<QLineEdit *>("title"), folder.filePath("none/old"));
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);

        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1).text, QString("Invalid File Name"));
        QCOMPARE(program.document().text(), QString("<p>page</p>"));
        QVERIFY(program.document().format() == Legacy);
        QVERIFY(!program.windows().find<SaveForm2>());
    }

    void yesWhileSaveWindowIsOpenKeepsIt()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(QMessageBox::Yes);
        chooseNew(program);
        SaveForm2 *form = program.windows().find<SaveForm2>();
        form->findChild<QLineEdit *>("title")->setText("typed");
        chooseNew(program);
        QCOMPARE(program.windows().find<SaveForm2>(), form);
        QCOMPARE(form->findChild<QLineEdit *>("title")->text(), QString("typed"));
    }

    // The question as the platform shows it: Escape answers Cancel, Yes is the default.
    void realQuestionBox()
    {
        TestSupport::Program program;
        program.document().setText("page");
        QString title;
        bool yesIsDefault = false;
        bool warning = false;
        QTimer::singleShot(0, program.main(), [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            warning = box->icon() == QMessageBox::Warning;
            yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        chooseNew(program);
        QCOMPARE(title, QString("New file"));
        QVERIFY(warning);
        QVERIFY(yesIsDefault);
        QCOMPARE(program.document().text(), QString("page"));
        QVERIFY(!program.windows().find<SaveForm2>());
    }
};

QTEST_MAIN(TestNewPage)
#include "tst_newpage.moc"
