#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "editor/document.h"
#include "files/saveform2.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

class TestNewPage : public QObject
{
    Q_OBJECT
private slots:
    // Each answer to "New", and after Yes a save in saveform2 that succeeds or
    // fails. The question comes even for an empty page.
    void answers_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("saveAs"); // typed into saveform2 after Yes
        QTest::addColumn<bool>("emptied");
        QTest::newRow("No") << "<p>page</p>" << QMessageBox::No << "" << true;
        QTest::newRow("No, empty page") << "" << QMessageBox::No << "" << true;
        QTest::newRow("Cancel") << "<p>page</p>" << QMessageBox::Cancel << "" << false;
        QTest::newRow("Yes, saved") << "<p>page</p>" << QMessageBox::Yes << "old" << true;
        QTest::newRow("Yes, save fails") << "<p>page</p>" << QMessageBox::Yes << "no/old" << false;
    }
    void answers()
    {
        QFETCH(QString, page);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, emptied);
        const PageFormat legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::Lf};
        QTemporaryDir folder;
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(answer);
        program.document().setPage(page, legacy);
        if (!page.isEmpty())
            program.document().select(3, 4);
        program.entry("new")->trigger();

        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message question = boxes.shown()[0];
        QCOMPARE(question.text, QString("Would you like to save?"));
        QCOMPARE(question.title, QString("New file"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(question.icon, QMessageBox::Warning);
        SaveForm2 *form = program.windows().find<SaveForm2>();
        QCOMPARE(form && form->isVisible(), answer == QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            boxes.setAnswer(QMessageBox::Ok);
            TestSupport::type(form->findChild<QLineEdit *>("title"), folder.filePath(saveAs));
            QCOMPARE(program.document().text(), page); // kept until the page is saved
            QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QCOMPARE(boxes.shown().size(), 2);
            QCOMPARE(boxes.shown()[1].text,
                     emptied ? QString("File successfully saved!") : QString("Invalid File Name"));
            QCOMPARE(TestSupport::readBytes(folder.filePath("old.html")),
                     emptied ? QByteArray("<p>page</p>\n") : QByteArray());
            QVERIFY(!program.windows().find<SaveForm2>());
        }
        QCOMPARE(program.document().text(), emptied ? QString() : page);
        QCOMPARE(program.document().caretPosition(), emptied ? 0 : 7);
        QCOMPARE(program.document().selectionLength(), emptied ? 0 : 4);
        QVERIFY(program.document().format() == (emptied ? PageFormat() : legacy));
    }
};

QTEST_MAIN(TestNewPage)
#include "tst_newpage.moc"
