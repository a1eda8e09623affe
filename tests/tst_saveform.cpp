#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

using TestSupport::entries;
using TestSupport::readBytes;

namespace {

const PageFormat Legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::Lf};

QWidget *openWindow(TestSupport::Program &program, const QString &window)
{
    if (window == WindowIds::name(SaveForm::Id))
        return program.windows().show<SaveForm>();
    return program.windows().show<SaveForm2>();
}

// Types `name` into the window's box and presses "Save".
void save(QWidget *form, const QString &name)
{
    TestSupport::type(form->findChild<QLineEdit *>("title"), name);
    QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
}

// Whether the one message box shown was the saved message, or else the failure one.
bool shownOnly(const TestSupport::MessageBoxes &boxes, bool saved)
{
    if (boxes.shown().size() != 1)
        return false;
    const MessageBox::Message &box = boxes.shown().constFirst();
    return box.text == (saved ? "File successfully saved!" : "Invalid File Name") &&
           box.title == (saved ? "Saved" : "Error") && box.buttons == QMessageBox::Ok &&
           box.icon == QMessageBox::NoIcon;
}

} // namespace

// saveform2 is saveform that starts a new page after a successful save.
class TestSaveForm : public QObject
{
    Q_OBJECT
private slots:
    void freshWindow()
    {
        TestSupport::Program program;
        QWidget *form = openWindow(program, "saveform");
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(form->windowTitle(), QString("Save..."));
        QCOMPARE(form->size(), Twips::size(4575, 1380));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        auto *frame = form->findChild<QGroupBox *>("Frame1");
        auto *title = form->findChild<QLineEdit *>("title");
        auto *button = form->findChild<QPushButton *>("Command1");
        QVERIFY(frame && title && button);
        QCOMPARE(frame->title(), QString("HTML Title"));
        QCOMPARE(frame->geometry(), Twips::rect(120, 120, 4215, 975));
        QVERIFY(title->parentWidget() == frame && button->parentWidget() == frame);
        QCOMPARE(title->geometry(), Twips::rect(120, 360, 2895, 375));
        QCOMPARE(button->geometry(), Twips::rect(3120, 360, 975, 375));
        QCOMPARE(button->text(), QString("Save"));
        // The focus starts in the name box; Tab goes to Save and back.
        QCOMPARE(QApplication::focusWidget(), title);
        QTest::keyClick(title, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), title);
    }

    // ".html" is added to what is typed, used against the working directory.
    // saveform keeps the page it saved (saveform2 is tested with "New").
    void saved_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("name") << QString("abc") << "abc.html";
        QTest::newRow("empty") << QString("") << ".html";
        QTest::newRow("extension typed") << QString("page.html") << "page.html.html";
        QTest::newRow("blanks kept") << QString(" my page ") << " my page .html";
        QTest::newRow("subfolder") << QString("sub/page") << "sub/page.html";
        QTest::newRow("full path") << QString("OTHER/page") << "OTHER/page.html";
    }
    void saved()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QTemporaryDir folder;
        QTemporaryDir other;
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        typed.replace("OTHER", other.path());
        file.replace("OTHER", other.path());
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("<p>page</p>\nend"); // a page begun here
        program.document().select(1, 2);
        save(openWindow(program, "saveform"), typed);
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(QDir(folder.path()).filePath(file)),
                 QByteArray("<p>page</p>\r\nend\r\n"));
        QVERIFY(!program.windows().find<SaveForm>());
        QCOMPARE(program.document().text(), QString("<p>page</p>\nend"));
        QCOMPARE(program.document().selectionLength(), 2);
    }

    // Each save runs in a child whose disk is full after 1000 bytes. A page
    // of 3000 stays under the write buffer, where only the last flush notices.
    void failures_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        for (const char *window : {"saveform", "saveform2"}) {
            const QString name(window);
            QTest::addRow("%s, missing folder", window) << name << "nowhere/page" << 10;
            QTest::addRow("%s, name too long", window) << name << QString(300, 'n') << 10;
            QTest::addRow("%s, target is a folder", window) << name << "folder" << 10;
            QTest::addRow("%s, target is a FIFO", window) << name << "fifo" << 10;
            QTest::addRow("%s, disk full over a file", window) << name << "page" << 3000;
            QTest::addRow("%s, disk full, new file", window) << name << "new" << 200000;
        }
    }
    void failures()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(int, size);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("folder.html"));
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("fifo.html")).constData(), 0644), 0);
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), "old"));
        const QStringList before = entries(folder.path());
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        const QString page(size, 'x');
        program.document().setPage(page, Legacy);
        QWidget *form = openWindow(program, window);
        const auto saveFails = [&](qint64 room) {
            return TestSupport::runInChild(room, [&] {
                       save(form, name);
                       return shownOnly(boxes, false) && program.document().text() == page &&
                              program.document().format() == Legacy &&
                              !program.windows().find(window);
                   }) == 0;
        };
        QVERIFY(saveFails(1000));
        QCOMPARE(entries(folder.path()), before);
        QVERIFY(QFileInfo("folder.html").isDir() && !QFileInfo("fifo.html").isFile());
        QCOMPARE(readBytes("page.html"), QByteArray("old"));
        // With room on the disk, only the full disk's failures go away.
        QCOMPARE(saveFails(-1), size < 1000);
    }

    // Opening a page and saving it again gives back its bytes and one line break.
    void roundTrip_data() { TestSupport::addRoundTripRows(TestSupport::Keeping::SourceBox); }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QTemporaryDir folder;
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), bytes));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.entry("open")->trigger();
        auto *open = program.windows().find<OpenForm>();
        open->findChild<QLineEdit *>("Text1")->setText(folder.filePath("page.html"));
        QTest::mouseClick(open->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QVERIFY(!program.windows().find<OpenForm>());
        program.entry("save")->trigger();
        save(program.windows().find<SaveForm>(), folder.filePath("page"));
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(folder.filePath("page.html")), saved);
        QCOMPARE(entries(folder.path()), QStringList{"page.html"});
    }
};

QTEST_MAIN(TestSaveForm)
#include "tst_saveform.moc"
