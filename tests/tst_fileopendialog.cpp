#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

#include "platform/fileopendialog.h"
#include "testsupport.h"

// What the open and picture windows ask of the file dialog reaches Qt's own
// dialog: which files it lists, and the extension a bare name gets.
class TestFileOpenDialog : public QObject
{
    Q_OBJECT

private slots:
    void translation_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QString>("extensions");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("web pages")
            << "WebPage File (*.html;*.htm)" << QStringList{"*.html", "*.htm"} << ".html;.htm"
            << QStringList{"old.htm", "page.html"} << "html";
        QTest::newRow("pictures") << "Pictures (*.bmp;*.gif;*.jpg;*.png;*.tif;*.tiff)"
                                  << QStringList{"*.bmp", "*.gif", "*.jpg",
                                                 "*.png", "*.tif", "*.tiff"}
                                  << ".bmp;.gif;.jpg"
                                  << QStringList{"pic.gif", "pic.jpg", "scan.tiff"} << "bmp";
        QTest::newRow("extension without its dot")
            << "Text (*.txt)" << QStringList{"*.txt"} << "txt" << QStringList{"notes.txt"} << "";
    }
    void translation()
    {
        QFETCH(QString, description);
        QFETCH(QStringList, patterns);
        QFETCH(QString, extensions);
        QFETCH(QStringList, listed);
        QFETCH(QString, suffix);

        QTemporaryDir folder;
        for (const char *name : {"page.html", "old.htm", "notes.txt", "pic.gif", "pic.jpg",
                                 "scan.tiff", "page.html.bak"})
            QVERIFY(TestSupport::writeBytes(folder.filePath(name), "x"));

        FileOpenDialog dialog;
        dialog.setFilter(description, patterns);
        dialog.setDefaultExtension(extensions);
        QFileDialog qtDialog;
        qtDialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.configure(qtDialog);
        qtDialog.setDirectory(folder.path());

        QCOMPARE(qtDialog.defaultSuffix(), suffix);
        QCOMPARE(qtDialog.fileMode(), QFileDialog::ExistingFile);
        // The user sees the description as given, not Qt's rendering of the patterns.
        QVERIFY(qtDialog.testOption(QFileDialog::HideNameFilterDetails));

        auto *model = qtDialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
        const QModelIndex root = model->index(folder.path());
        QTRY_VERIFY(!model->canFetchMore(root) && model->rowCount(root) > 0);
        QStringList shown;
        for (int row = 0; row < model->rowCount(root); ++row)
            shown.append(model->index(row, 0, root).data().toString());
        shown.sort();
        QCOMPARE(shown, listed);
    }

    // Qt's dialog opens in the folder chosen for the run: that of the path
    // in the box, here one picked earlier.
    void startFolder()
    {
        QTemporaryDir folder;
        TestSupport::FileDialogs dialogs;
        FileOpenDialog dialog;
        dialog.showOpen(nullptr, folder.filePath("page.html"));
        QFileDialog qtDialog;
        qtDialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.configure(qtDialog);
        QCOMPARE(qtDialog.directory().absolutePath(), folder.path());
    }
};

QTEST_MAIN(TestFileOpenDialog)
#include "tst_fileopendialog.moc"
