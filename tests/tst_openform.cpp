#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include "editor/document.h"
#include "platform/filename.h"
#include "files/openform.h"
#include "files/pagefile.h"
#include "markup/piccomp.h"
#include "platform/fileopendialog.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

class TestOpenForm : public QObject
{
    Q_OBJECT

    static OpenForm *openWindow(TestSupport::Program &program)
    {
        program.entry("open")->trigger();
        return program.windows().find<OpenForm>();
    }
    static QLineEdit *pathBox(OpenForm *form) { return form->findChild<QLineEdit *>("Text1"); }
    static void click(OpenForm *form, const char *button)
    {
        QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
    }

private slots:
    void freshWindow()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        OpenForm *form = openWindow(program);
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(form->windowTitle(), QString("Open HTML File"));
        QCOMPARE(form->size(), Twips::size(4680, 1155));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        // In tab order from the first focus; Tab on the last goes round.
        const struct
        {
            const char *name, *caption;
            QRect rect;
        } controls[] = {{"Command1", "Browse", Twips::rect(3480, 360, 855, 255)},
                        {"Text1", "", Twips::rect(360, 360, 3015, 285)},
                        {"Command2", "Open", Twips::rect(3480, 720, 855, 255)},
                        {"Command3", "Cancel", Twips::rect(360, 720, 735, 255)},
                        {"Command1", "Browse", Twips::rect(3480, 360, 855, 255)}};
        for (const auto &control : controls) {
            QWidget *widget = QApplication::focusWidget();
            QCOMPARE(widget->objectName(), QString(control.name));
            QCOMPARE(widget->geometry(), control.rect);
            QCOMPARE(widget->property("text").toString(), QString(control.caption));
            QTest::keyClick(widget, Qt::Key_Tab);
        }
        auto *dialog = form->findChild<FileOpenDialog *>("CommonDialog1");
        QVERIFY(dialog);
        QCOMPARE(dialog->filterDescription(), QString("WebPage File (*.html;*.htm)"));
        QCOMPARE(dialog->filterPatterns(), QStringList({"*.html", "*.htm"}));
        QCOMPARE(dialog->defaultExtension(), QString(".html;.htm"));

        click(form, "Command2"); // with nothing typed, Open does nothing
        QCOMPARE(program.windows().find<OpenForm>(), form);
        QVERIFY(boxes.shown().isEmpty());
    }

    // Each Browse answers with a picked path or a cancel (empty). Cancel then
    // closes the window without opening anything.
    void browse_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pick") << QStringList{"/p/a.html"} << "/p/a.html";
        QTest::newRow("cancel before a pick") << QStringList{""} << "";
        QTest::newRow("cancel after a pick") << QStringList{"/p/a.html", ""} << "/p/a.html";
        QTest::newRow("second pick") << QStringList{"/p/a.html", "/p/b.htm"} << "/p/b.htm";
    }
    void browse()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, shown);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        TestSupport::MessageBoxes boxes;
        OpenForm *form = openWindow(program);
        pathBox(form)->setText("typed.html");
        for (const QString &answer : answers) {
            dialogs.queue(answer.isEmpty() ? std::nullopt : std::optional<QString>(answer));
            click(form, "Command1");
        }
        QCOMPARE(dialogs.runs(), answers.size());
        QCOMPARE(pathBox(form)->text(), shown);
        click(form, "Command3");
        QVERIFY(!program.windows().find<OpenForm>());
        QVERIFY(boxes.shown().isEmpty()); // nothing was opened
    }

    // Browse starts in the folder of the path in the box, else in that of the
    // last file picked in this run, in this window or another, else in the
    // working folder. {} stands for a folder holding sub/ and picked/.
    void browseStartFolder_data()
    {
        QTest::addColumn<QString>("pickedIn"); // the window of an earlier pick
        QTest::addColumn<QString>("inBox");
        QTest::addColumn<QString>("start"); // empty: the working folder
        QTest::newRow("nothing typed or picked") << ""
                                                 << ""
                                                 << "";
        QTest::newRow("nothing typed, picked here") << "openform"
                                                    << ""
                                                    << "{}/picked";
        QTest::newRow("nothing typed, picked in piccomp") << "piccomp"
                                                          << ""
                                                          << "{}/picked";
        QTest::newRow("new file in a folder") << "openform"
                                              << "{}/sub/new.html"
                                              << "{}/sub";
        QTest::newRow("a folder") << ""
                                  << "{}/sub"
                                  << "{}/sub";
        QTest::newRow("a name alone") << "openform"
                                      << "new.html"
                                      << "{}";
        QTest::newRow("missing folder") << "openform"
                                        << "{}/gone/new.html"
                                        << "{}/picked";
        QTest::newRow("missing folder, nothing picked") << ""
                                                        << "{}/gone/new.html"
                                                        << "";
    }
    void browseStartFolder()
    {
        QFETCH(QString, pickedIn);
        QFETCH(QString, inBox);
        QFETCH(QString, start);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("sub") && QDir(folder.path()).mkpath("picked"));
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        TestSupport::MessageBoxes boxes;
        if (!pickedIn.isEmpty()) {
            dialogs.queue(folder.filePath("picked/a.html"));
            QWidget *window = pickedIn == "piccomp"
                                  ? static_cast<QWidget *>(program.windows().show<PicComp>())
                                  : openWindow(program);
            QTest::mouseClick(window->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            window->close();
        }
        OpenForm *form = openWindow(program);
        pathBox(form)->setText(QString(inBox).replace("{}", folder.path()));
        click(form, "Command1");
        QCOMPARE(dialogs.startFolders().constLast(), QString(start).replace("{}", folder.path()));
    }

    // What is typed is used as it stands, against the working directory.
    void open_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reason"); // empty when the page opens
        QTest::newRow("relative name") << QString("sub/page") << "";
        QTest::newRow("missing") << QString("page.html") << "it does not exist";
        QTest::newRow("missing folder") << QString("nowhere/page") << "it does not exist";
        QTest::newRow("name too long") << QString(300, 'n') << "file name too long";
        QTest::newRow("symbolic link loop")
            << QString("loop") << "too many levels of symbolic links";
        QTest::newRow("file taken for a folder") << QString("sub/page/x") << "not a directory";
        QTest::newRow("folder") << QString("sub") << "it is a folder";
        QTest::newRow("FIFO") << QString("fifo.html") << "it is not a regular file";
        QTest::newRow("device") << QString("/dev/zero") << "it is not a regular file";
        QTest::newRow("too large") << QString("huge.html") << "it is larger than 256 MB";
    }
    void open()
    {
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        // Two byte-order marks: the first is the file's, the second is text.
        QVERIFY(TestSupport::writeBytes(folder.filePath("sub/page"),
                                        "\xEF\xBB\xBF\xEF\xBB\xBF\xE4\xB8\xAD\xC3\xA9\nx\n"));
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("fifo.html")).constData(), 0644), 0);
        QVERIFY(QFile::link("loop", folder.filePath("loop")));
        QFile huge(folder.filePath("huge.html"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(PageFile::MaxBytes + 1));
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("old");
        program.document().setUnmodified(); // as saved: opening asks nothing
        OpenForm *form = openWindow(program);
        TestSupport::type(pathBox(form), typed);
        click(form, "Command2");

        if (reason.isEmpty()) {
            QCOMPARE(program.document().text(), QStringView(u"\uFEFF\u4E2D\u00E9\nx\n").toString());
            QCOMPARE(program.document().caretPosition(), 0);
            QVERIFY(program.document().format() ==
                    (PageFormat{PageFormat::Encoding::Utf8WithBom, PageFormat::LineBreak::Lf}));
            QVERIFY(boxes.shown().isEmpty());
            QVERIFY(!program.windows().find<OpenForm>());
            return;
        }
        // The window stays, so that the path can be corrected.
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message &message = boxes.shown().constFirst();
        QCOMPARE(message.text, "Could not open \"" + typed + "\": " + reason + ".");
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(program.document().text(), QString("old"));
        QCOMPARE(program.document().caretPosition(), 3);
        QCOMPARE(program.windows().find<OpenForm>(), form);
        QCOMPARE(pathBox(form)->text(), typed);
    }

    // Where permissions count: opened by a plain user, in a child process.
    void openAsPlainUser_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::newRow("file without read permission") << "page.html" << 0200 << 0755;
        QTest::newRow("folder without search permission") << "page.html" << 0644 << 0644;
    }
    void openAsPlainUser()
    {
        QFETCH(QString, name);
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QTemporaryDir top;
        QCOMPARE(chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
        const QString folder = top.filePath("folder");
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + "/" + name;
        QVERIFY(TestSupport::writeBytes(path, "x"));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(fileMode)), 0);
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)), 0);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("old");
        program.document().setUnmodified(); // as saved: opening asks nothing
        OpenForm *form = openWindow(program);
        const int result = TestSupport::runInChild(-1, [&] {
            if (!TestSupport::becomePlainUser())
                return false;
            TestSupport::type(pathBox(form), path);
            click(form, "Command2");
            return boxes.shown().size() == 1 &&
                   boxes.shown().constFirst().text ==
                       "Could not open \"" + path + "\": permission denied." &&
                   program.document().text() == "old" && program.windows().find<OpenForm>();
        });
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), 0755), 0);
        QCOMPARE(result, 0);
    }

    // A path that looks like markup is shown as it stands by the real message
    // box, and the program goes on: it loads no picture from the path.
    void markupInPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("picture of a device") << QString("<img src=/dev/zero>");
        QTest::newRow("picture of a FIFO") << QString("<img src=FIFO>");
        QTest::newRow("bold") << QString("<b>bold</b> name.html");
    }
    void markupInPath()
    {
        QFETCH(QString, typed);
        QTemporaryDir folder;
        const QString fifo = folder.filePath("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        typed.replace("FIFO", fifo);
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        TestSupport::type(pathBox(form), typed);
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, form, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown = box->text();
            format = box->findChild<QLabel *>("qt_msgbox_label")->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        click(form, "Command2");
        QCOMPARE(shown, "Could not open \"" + typed + "\": it does not exist.");
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(program.windows().find<OpenForm>(), form);
        program.document().insertFragment("answers");
        QCOMPARE(program.document().text(), QString("answers"));
    }

    // A name that is not UTF-8 reaches the system with its own bytes.
    void nameNotUtf8()
    {
        QTemporaryDir folder;
        const QByteArray name = QFile::encodeName(folder.path()) + "/caf\xE9.html";
        QVERIFY(TestSupport::writeBytes(FileName::decode(name), "<p>x</p>"));
        // Qt lists no name that is not UTF-8, so it could not remove this one.
        const auto removeFile = qScopeGuard([&] { ::unlink(name.constData()); });
        struct stat status;
        QCOMPARE(stat(name.constData(), &status), 0);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        OpenForm *form = openWindow(program);
        // Pasted: the box takes no lone surrogate from the keyboard.
        pathBox(form)->insert(FileName::decode(name));
        click(form, "Command2");
        QCOMPARE(boxes.shown().size(), 0);
        QCOMPARE(program.document().text(), QString("<p>x</p>"));
    }

    // The real file dialog, cancelled: the program keeps no settings.
    void dialogKeepsNothing()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        TestSupport::Program program;
        OpenForm *form = openWindow(program);
        bool shown = false;
        QTimer::singleShot(0, form, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                shown = true;
                dialog->reject();
            }
        });
        click(form, "Command1");
        QVERIFY(shown);
        QCOMPARE(pathBox(form)->text(), QString());
        QCOMPARE(TestSupport::entries(home.path()), QStringList());
    }
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
