#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "files/openform.h"
#include "platform/fileopendialog.h"
#include "testsupport.h"

using TestSupport::writeBytes;

class TestOpenForm : public QObject
{
    Q_OBJECT

    OpenForm *openWindow(TestSupport::Program &program)
    {
        program.main()->findChild<QAction *>("open")->trigger();
        OpenForm *form = program.windows().find<OpenForm>();
        if (form && !QTest::qWaitForWindowActive(form))
            qWarning("openform did not become active");
        return form;
    }
    static QLineEdit *pathBox(OpenForm *form) { return form->findChild<QLineEdit *>("Text1"); }
    static void click(OpenForm *form, const char *button)
    {
        QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Browse") << "Command1"
                                << "Browse" << QRect(3480, 360, 855, 255);
        QTest::newRow("path") << "Text1"
                              << "" << QRect(360, 360, 3015, 285);
        QTest::newRow("Open") << "Command2"
                              << "Open" << QRect(3480, 720, 855, 255);
        QTest::newRow("Cancel") << "Command3"
                                << "Cancel" << QRect(360, 720, 735, 255);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("Open HTML File"));
        QCOMPARE(form->size(), Twips::size(4680, 1155));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QWidget *control = form->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(),
                 Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), caption);
            QVERIFY(!button->isDefault());
        } else {
            QCOMPARE(qobject_cast<QLineEdit *>(control)->text(), caption);
        }
    }

    void focusStartsOnBrowseAndFollowsTabOrder()
    {
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        QVERIFY(form);
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, QStringList({"Command1", "Text1", "Command2", "Command3", "Command1"}));
    }

    void dialogIsSetUp()
    {
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        auto *dialog = form->findChild<FileOpenDialog *>("CommonDialog1");
        QVERIFY(dialog);
        QCOMPARE(dialog->filterDescription(), QString("WebPage File (*.html;*.htm)"));
        QCOMPARE(dialog->filterPatterns(), QStringList({"*.html", "*.htm"}));
        QCOMPARE(dialog->defaultExtension(), QString(".html;.htm"));
        QCOMPARE(dialog->fileName(), QString());
    }

    // Each Browse answers with a picked path or a cancel (empty).
    void browse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pick") << "" << QStringList{"/p/a.html"} << "/p/a.html";
        QTest::newRow("cancel before any pick") << "typed.html" << QStringList{""} << "";
        QTest::newRow("cancel after a pick") << "" << QStringList{"/p/a.html", ""} << "/p/a.html";
        QTest::newRow("second pick") << "" << QStringList{"/p/a.html", "/p/b.htm"} << "/p/b.htm";
        QTest::newRow("typed, then pick, cancel")
            << "typed.html" << QStringList{"/p/a.html", ""} << "/p/a.html";
    }
    void browse()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, answers);
        QFETCH(QString, shown);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        for (const QString &answer : answers)
            dialogs.queue(answer.isEmpty() ? std::nullopt : std::optional<QString>(answer));
        OpenForm *form = openWindow(program);
        pathBox(form)->setText(typed);
        for (int i = 0; i < answers.size(); ++i)
            click(form, "Command1");
        QCOMPARE(dialogs.runs(), answers.size());
        QCOMPARE(pathBox(form)->text(), shown);
        QCOMPARE(program.windows().find<OpenForm>(), form);
    }

    void reopenedWindowForgetsPath()
    {
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        dialogs.queue(QString("/p/a.html"));
        OpenForm *form = openWindow(program);
        click(form, "Command1");
        form->close();
        dialogs.queue(std::nullopt);
        OpenForm *again = openWindow(program);
        QCOMPARE(pathBox(again)->text(), QString());
        click(again, "Command1");
        QCOMPARE(pathBox(again)->text(), QString());
    }

    void openReplacesPage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("relative name") << "page.html"
                                       << "page.html";
        QTest::newRow("no extension added") << "page"
                                            << "page";
        QTest::newRow("subfolder") << "sub/page.htm"
                                   << "sub/page.htm";
        QTest::newRow("full path") << ""
                                   << "page.html";
    }
    void openReplacesPage()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QVERIFY(QDir(m_folder->path()).mkdir("sub"));
        QVERIFY(writeBytes(m_folder->filePath(file), "\xEF\xBB\xBF<p>one</p>\n<p>two</p>\n"));
        TestSupport::WorkingDirectory inFolder(m_folder->path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("old page");
        OpenForm *form = openWindow(program);
        TestSupport::type(pathBox(form), typed.isEmpty() ? m_folder->filePath(file) : typed);
        click(form, "Command2");
        QCOMPARE(program.document().text(), QString("<p>one</p>\n<p>two</p>\n"));
        QCOMPARE(program.document().caretPosition(), 0);
        QVERIFY(program.document().format() ==
                (PageFormat{PageFormat::Encoding::Utf8WithBom, PageFormat::LineBreak::Lf}));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!program.windows().find<OpenForm>());
    }

    void openEmptyFile()
    {
        QVERIFY(writeBytes(m_folder->filePath("empty.html"), ""));
        TestSupport::Program program;
        program.document().insertFragment("old page");
        OpenForm *form = openWindow(program);
        pathBox(form)->setText(m_folder->filePath("empty.html"));
        click(form, "Command2");
        QCOMPARE(program.document().text(), QString());
        QVERIFY(!program.windows().find<OpenForm>());
    }

    void openWithEmptyPathDoesNothing()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("page");
        OpenForm *form = openWindow(program);
        click(form, "Command2");
        QCOMPARE(program.document().text(), QString("page"));
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(program.windows().find<OpenForm>(), form);
    }

    void cancelLeavesPage()
    {
        QVERIFY(writeBytes(m_folder->filePath("page.html"), "new"));
        TestSupport::Program program;
        program.document().insertFragment("page");
        OpenForm *form = openWindow(program);
        pathBox(form)->setText(m_folder->filePath("page.html"));
        click(form, "Command3");
        QCOMPARE(program.document().text(), QString("page"));
        QVERIFY(!program.windows().find<OpenForm>());
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.html"
                                 << "it does not exist";
        QTest::newRow("folder") << "sub"
                                << "it is a folder";
        QTest::newRow("FIFO") << "fifo.html"
                              << "it is not a regular file";
    }
    void unreadableFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_folder->path()).mkdir("sub"));
        QCOMPARE(mkfifo(QFile::encodeName(m_folder->filePath("fifo.html")).constData(), 0644), 0);
        TestSupport::WorkingDirectory inFolder(m_folder->path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("page");
        OpenForm *form = openWindow(program);
        pathBox(form)->setText(name);
        click(form, "Command2");

        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message &message = boxes.shown().constFirst();
        QCOMPARE(message.text, "Could not open \"" + name + "\": " + reason + ".");
        QCOMPARE(message.title, QString("Error"));
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(program.document().text(), QString("page"));
        QCOMPARE(program.document().caretPosition(), 4);
        QCOMPARE(program.windows().find<OpenForm>(), form);
        QCOMPARE(pathBox(form)->text(), name);
    }

    void menuBringsOpenWindowToFront()
    {
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        pathBox(form)->setText("kept");
        QCOMPARE(openWindow(program), form);
        QCOMPARE(pathBox(form)->text(), QString("kept"));
    }
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
