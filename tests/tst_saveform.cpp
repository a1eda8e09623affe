#include <QAction>
#include <QApplication>
#include <QGroupBox>
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
#include "files/saveform.h"
#include "files/saveform2.h"
#include "testsupport.h"

using TestSupport::entries;
using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {

const PageFormat Legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::Lf};

} // namespace

// Both save windows look and save alike; they differ only after a successful save.
class TestSaveForm : public QObject
{
    Q_OBJECT

    static QWidget *openWindow(TestSupport::Program &program, const QString &name)
    {
        QWidget *form = name == SaveForm::windowName()
                            ? static_cast<QWidget *>(program.windows().show<SaveForm>())
                            : program.windows().show<SaveForm2>();
        if (!QTest::qWaitForWindowActive(form))
            qWarning("save window did not become active");
        return form;
    }
    // Types `name` into the window's box and presses "Save".
    static void save(QWidget *form, const QString &name)
    {
        TestSupport::type(form->findChild<QLineEdit *>("title"), name);
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    }
    static void addWindowColumn() { QTest::addColumn<QString>("window"); }
    static void checkMessage(const TestSupport::MessageBoxes &boxes, const QString &text,
                             const QString &title)
    {
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message &message = boxes.shown().constFirst();
        QCOMPARE(message.text, text);
        QCOMPARE(message.title, title);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
    }

    QString path(const QString &name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void layout_data()
    {
        addWindowColumn();
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        for (const char *window : {"saveform", "saveform2"}) {
            QTest::addRow("%s frame", window)
                << window << "Frame1" << window << "HTML Title" << QRect(120, 120, 4215, 975);
            QTest::addRow("%s name box", window) << window << "title"
                                                 << "Frame1"
                                                 << "" << QRect(120, 360, 2895, 375);
            QTest::addRow("%s Save", window) << window << "Command1"
                                             << "Frame1"
                                             << "Save" << QRect(3120, 360, 975, 375);
        }
    }
    void layout()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        TestSupport::Program program;
        QWidget *form = openWindow(program, window);
        QCOMPARE(form->objectName(), window);
        QCOMPARE(form->windowTitle(), QString("Save..."));
        QCOMPARE(form->size(), Twips::size(4575, 1380));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QWidget *control = form->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), parent);
        QCOMPARE(control->geometry(),
                 Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
        if (auto *frame = qobject_cast<QGroupBox *>(control))
            QCOMPARE(frame->title(), caption);
        else if (auto *button = qobject_cast<QPushButton *>(control))
            QCOMPARE(button->text(), caption);
        else
            QCOMPARE(qobject_cast<QLineEdit *>(control)->text(), caption);
    }

    void focusStartsInNameBox_data()
    {
        addWindowColumn();
        QTest::newRow("saveform") << "saveform";
        QTest::newRow("saveform2") << "saveform2";
    }
    void focusStartsInNameBox()
    {
        QFETCH(QString, window);
        TestSupport::Program program;
        openWindow(program, window);
        QStringList visited;
        for (int i = 0; i < 3; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, QStringList({"title", "Command1", "title"}));
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("name") << "abc"
                              << "abc.html";
        QTest::newRow("empty") << ""
                               << ".html";
        QTest::newRow("extension typed") << "page.html"
                                         << "page.html.html";
        QTest::newRow("blanks kept") << " my page "
                                     << " my page .html";
        QTest::newRow("subfolder") << "sub/page"
                                   << "sub/page.html";
        QTest::newRow("full path") << "FULL/page"
                                   << "page.html";
    }
    void fileName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QTemporaryDir elsewhere;
        QVERIFY(QDir(m_folder->path()).mkdir("sub"));
        typed.replace("FULL", elsewhere.path());
        const QString folder = typed.startsWith('/') ? elsewhere.path() : m_folder->path();
        TestSupport::WorkingDirectory inFolder(m_folder->path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("<p>page</p>\nend");
        QWidget *form = openWindow(program, "saveform");
        save(form, typed);

        checkMessage(boxes, "File successfully saved!", "Saved");
        QCOMPARE(readBytes(QDir(folder).filePath(file)), QByteArray("<p>page</p>\r\nend\r\n"));
        QCOMPARE(program.document().text(), QString("<p>page</p>\nend"));
        QVERIFY(!program.windows().find<SaveForm>());
    }

    void emptyPageIsOneLineBreak()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        save(openWindow(program, "saveform"), path("empty"));
        QCOMPARE(readBytes(path("empty.html")), QByteArray("\r\n"));
    }

    void secondSaveReplacesFile()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("first, the longer page");
        save(openWindow(program, "saveform"), path("page"));
        program.document().setText("second");
        save(openWindow(program, "saveform"), path("page"));
        QCOMPARE(readBytes(path("page.html")), QByteArray("second\r\n"));
        QCOMPARE(entries(m_folder->path()), QStringList{"page.html"});
    }

    void savedWithPageFormat()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setPage(QStringView(u"caf\u00E9\n\u4E2D").toString(), Legacy);
        save(openWindow(program, "saveform"), path("page"));
        QCOMPARE(readBytes(path("page.html")), QByteArray("caf\xE9\n&#20013;\n"));
        QVERIFY(program.document().format() == Legacy);
    }

    void failures_data()
    {
        addWindowColumn();
        QTest::addColumn<QString>("name");
        for (const char *window : {"saveform", "saveform2"}) {
            QTest::addRow("%s missing folder", window) << window << "nowhere/page";
            QTest::addRow("%s name too long", window) << window << QString(300, 'n');
            QTest::addRow("%s folder", window) << window << "folder";
            QTest::addRow("%s FIFO", window) << window << "fifo";
        }
    }
    void failures()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QVERIFY(QDir(m_folder->path()).mkdir("folder.html"));
        QCOMPARE(mkfifo(QFile::encodeName(path("fifo.html")).constData(), 0644), 0);
        QVERIFY(writeBytes(path("page.html"), "old"));
        const QStringList before = entries(m_folder->path());
        TestSupport::WorkingDirectory inFolder(m_folder->path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setPage("the page", Legacy);
        save(openWindow(program, window), name);

        checkMessage(boxes, "Invalid File Name", "Error");
        QCOMPARE(entries(m_folder->path()), before);
        QCOMPARE(readBytes(path("page.html")), QByteArray("old"));
        QCOMPARE(program.document().text(), QString("the page"));
        QVERIFY(program.document().format() == Legacy);
        QVERIFY(!program.windows().find(window));
    }

    void diskFills_data()
    {
        addWindowColumn();
        QTest::newRow("saveform") << "saveform";
        QTest::newRow("saveform2") << "saveform2";
    }
    void diskFills()
    {
        QFETCH(QString, window);
        const QByteArray old(500, 'o');
        QVERIFY(writeBytes(path("page.html"), old));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        const QString text = QString(3000, 'x');
        program.document().setText(text);
        QWidget *form = openWindow(program, window);

        // The child saves into a disk that is full after 1000 bytes.
        const int status = TestSupport::runWithFileSizeLimit(1000, [&] {
            save(form, path("page"));
            return boxes.shown().size() == 1 &&
                   boxes.shown().constFirst().text == "Invalid File Name" &&
                   program.document().text() == text && !program.windows().find(window);
        });
        QCOMPARE(status, 0);
        QCOMPARE(readBytes(path("page.html")), old);
        QCOMPARE(entries(m_folder->path()), QStringList{"page.html"});
    }

    void closeBoxSavesNothing_data() { diskFills_data(); }
    void closeBoxSavesNothing()
    {
        QFETCH(QString, window);
        TestSupport::WorkingDirectory inFolder(m_folder->path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("page");
        QWidget *form = openWindow(program, window);
        TestSupport::type(form->findChild<QLineEdit *>("title"), "abc");
        form->close();
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(entries(m_folder->path()).isEmpty());
        QCOMPARE(program.document().text(), QString("page"));
        QWidget *again = openWindow(program, window);
        QVERIFY(again->findChild<QLineEdit *>("title")->text().isEmpty());
    }

    void saveformKeepsPage()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setPage("page", Legacy);
        program.document().select(1, 2);
        save(openWindow(program, "saveform"), path("page"));
        QCOMPARE(program.document().text(), QString("page"));
        QVERIFY(program.document().format() == Legacy);
        QCOMPARE(program.document().selectionLength(), 2);
    }

    void saveform2StartsNewPage()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setPage("page", Legacy);
        save(openWindow(program, "saveform2"), path("page"));

        checkMessage(boxes, "File successfully saved!", "Saved");
        QCOMPARE(readBytes(path("page.html")), QByteArray("page\n"));
        QCOMPARE(program.document().text(), QString());
        QCOMPARE(program.document().caretPosition(), 0);
        QVERIFY(program.document().format() == PageFormat());
        QVERIFY(!program.windows().find<SaveForm2>());
    }

    // Opening a page and saving it again gives back its bytes and one line break.
    void roundTripThroughEditor_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");
        for (const TestSupport::SamplePage &page : TestSupport::samplePages())
            QTest::newRow(page.name) << page.bytes << page.saved;
    }
    void roundTripThroughEditor()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QVERIFY(writeBytes(path("page.html"), bytes));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.main()->findChild<QAction *>("open")->trigger();
        OpenForm *open = program.windows().find<OpenForm>();
        open->findChild<QLineEdit *>("Text1")->setText(path("page.html"));
        QTest::mouseClick(open->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QVERIFY(!program.windows().find<OpenForm>());

        program.main()->findChild<QAction *>("save")->trigger();
        save(program.windows().find<SaveForm>(), path("page"));
        checkMessage(boxes, "File successfully saved!", "Saved");
        QCOMPARE(readBytes(path("page.html")), saved);
    }
};

QTEST_MAIN(TestSaveForm)
#include "tst_saveform.moc"
