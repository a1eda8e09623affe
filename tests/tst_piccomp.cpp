#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/piccomp.h"
#include "platform/fileopendialog.h"
#include "testsupport.h"

namespace {

QPushButton *buttonOf(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(name);
}

QLineEdit *pathBox(QWidget *window)
{
    return window->findChild<QLineEdit *>("Text1");
}

PicComp *openWindow(TestSupport::Program &program)
{
    PicComp *window = program.windows().show<PicComp>();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("piccomp did not become active");
    return window;
}

} // namespace

class TestPicComp : public QObject
{
    Q_OBJECT

private slots:
    void layout()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        PicComp *window = openWindow(program);
        QCOMPARE(window->windowTitle(), QString("piccomp"));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(window->windowType(), Qt::Tool);
        QCOMPARE(window->size(), Twips::size(4500, 1125));

        QPushButton *browse = buttonOf(window, "Command1");
        QPushButton *done = buttonOf(window, "Command2");
        QPushButton *cancel = buttonOf(window, "Command3");
        QCOMPARE(browse->text(), QString("Browse"));
        QCOMPARE(done->text(), QString("Done"));
        QCOMPARE(cancel->text(), QString("Cancel"));
        QVERIFY(pathBox(window)->text().isEmpty());

        QCOMPARE(QApplication::focusWidget(), browse);
        QCOMPARE(browse->nextInFocusChain(), pathBox(window));
        QCOMPARE(pathBox(window)->nextInFocusChain(), done);
        QCOMPARE(done->nextInFocusChain(), cancel);
        for (QPushButton *button : {browse, done, cancel}) {
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        }
    }

    void dialogSetUp()
    {
        TestSupport::Program program;
        PicComp *window = openWindow(program);
        auto *dialog = window->findChild<FileOpenDialog *>("CommonDialog1");
        QVERIFY(dialog);
        QCOMPARE(dialog->defaultExtension(), QString(".bmp;.gif;.jpg"));
        QCOMPARE(dialog->filterDescription(),
                 QString("Pictures (*.bmp;*.gif;*.jpg;*.png;*.tif;*.tiff)"));
        QCOMPARE(dialog->filterPatterns(),
                 (QStringList{"*.bmp", "*.gif", "*.jpg", "*.png", "*.tif", "*.tiff"}));
        QVERIFY(dialog->fileName().isEmpty());
    }

    void browse_data()
    {
        using Answers = QList<std::optional<QString>>;
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("expected");
        const QString picture = "/home/u/My Pictures/sun set.jpg";
        QTest::newRow("file chosen") << "" << Answers{picture} << picture;
        QTest::newRow("cancelled at first empties typed text")
            << "typed.gif" << Answers{std::nullopt} << "";
        QTest::newRow("cancelled after a pick keeps the pick")
            << "typed.gif" << Answers{picture, std::nullopt} << picture;
        QTest::newRow("second pick wins")
            << "" << Answers{picture, QString("/tmp/b.png")} << "/tmp/b.png";
    }

    void browse()
    {
        using Answers = QList<std::optional<QString>>;
        QFETCH(QString, typed);
        QFETCH(Answers, answers);
        QFETCH(QString, expected);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        for (const std::optional<QString> &answer : answers)
            dialogs.queue(answer);
        PicComp *window = openWindow(program);
        TestSupport::type(pathBox(window), typed);

        for (int i = 0; i < answers.size(); ++i)
            QTest::mouseClick(buttonOf(window, "Command1"), Qt::LeftButton);

        QCOMPARE(dialogs.runs(), int(answers.size()));
        QCOMPARE(pathBox(window)->text(), expected);
        QCOMPARE(program.document().text(), QString());
    }

    void done_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty box") << "" << 0 << "x<img src=>abcy";
        QTest::newRow("path as typed")
            << "C:\\My Pictures\\a b.gif" << 0 << "x<img src=C:\\My Pictures\\a b.gif>abcy";
        QTest::newRow("replaces selection") << "pic.png" << 3 << "x<img src=pic.png>y";
        QTest::newRow("blanks kept") << "  a.gif " << 0 << "x<img src=  a.gif >abcy";
    }

    void done()
    {
        QFETCH(QString, path);
        QFETCH(int, selectionLength);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selectionLength);
        QPointer<PicComp> window = openWindow(program);
        TestSupport::type(pathBox(window), path);

        QTest::mouseClick(buttonOf(window, "Command2"), Qt::LeftButton);

        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        QVERIFY(!program.windows().find<PicComp>());
        QTRY_VERIFY(!window);
    }

    void chosenThenEdited()
    {
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        dialogs.queue(QString("/p/a.gif"));
        PicComp *window = openWindow(program);
        QTest::mouseClick(buttonOf(window, "Command1"), Qt::LeftButton);
        pathBox(window)->setFocus();
        QTest::keyClick(pathBox(window), Qt::Key_End);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(pathBox(window), Qt::Key_Backspace);
        QTest::keyClicks(pathBox(window), "png");
        QTest::mouseClick(buttonOf(window, "Command2"), Qt::LeftButton);
        QCOMPARE(program.document().text(), QString("<img src=/p/a.png>"));
    }

    void closingWritesNothingAndForgets_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }

    void closingWritesNothingAndForgets()
    {
        QFETCH(bool, closeBox);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        dialogs.queue(QString("/p/a.gif"));
        program.document().setText("abc");
        program.document().select(0, 3);
        PicComp *window = openWindow(program);
        QTest::mouseClick(buttonOf(window, "Command1"), Qt::LeftButton);

        if (closeBox)
            window->close();
        else
            QTest::mouseClick(buttonOf(window, "Command3"), Qt::LeftButton);

        QVERIFY(!program.windows().find<PicComp>());
        QCOMPARE(program.document().text(), QString("abc"));
        QCOMPARE(program.document().selectionLength(), 3);

        // A new opening starts empty, and so does its dialog.
        PicComp *again = openWindow(program);
        QVERIFY(again != window);
        QVERIFY(pathBox(again)->text().isEmpty());
        dialogs.queue(std::nullopt);
        QTest::mouseClick(buttonOf(again, "Command1"), Qt::LeftButton);
        QVERIFY(pathBox(again)->text().isEmpty());
    }

    void enterAndEscapeDoNothing()
    {
        TestSupport::Program program;
        PicComp *window = openWindow(program);
        TestSupport::type(pathBox(window), "a.gif");
        QTest::keyClick(pathBox(window), Qt::Key_Return);
        QTest::keyClick(pathBox(window), Qt::Key_Escape);
        QCOMPARE(program.windows().find<PicComp>(), window);
        QCOMPARE(program.document().text(), QString());
    }
};

QTEST_MAIN(TestPicComp)
#include "tst_piccomp.moc"
