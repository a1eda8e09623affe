#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "editor/document.h"
#include "markup/piccomp.h"
#include "platform/fileopendialog.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

using Answers = QList<std::optional<QString>>;

class TestPicComp : public QObject
{
    Q_OBJECT

private slots:
    void browseAndClose_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Answers>("answers"); // of the dialog, one per "Browse"
        QTest::addColumn<QString>("button");  // empty: the close box
        QTest::addColumn<QString>("expected");
        const QString pic = "/home/u/My Pictures/sun set.jpg";
        const QString done = "Command2", cancel = "Command3", closeBox;
        QTest::newRow("chosen") << "" << Answers{pic} << done << "x<img src=" + pic + ">y";
        QTest::newRow("cancelled at first empties the typed text")
            << "typed.gif" << Answers{std::nullopt} << done << "x<img src=>y";
        QTest::newRow("cancelled after a pick keeps the pick")
            << "typed.gif" << Answers{pic, std::nullopt} << done << "x<img src=" + pic + ">y";
        QTest::newRow("typed as is") << " C:\\My Pictures\\a b.gif " << Answers{} << done
                                     << "x<img src= C:\\My Pictures\\a b.gif >y";
        QTest::newRow("cancel") << "" << Answers{pic} << cancel << "xabcy";
        QTest::newRow("close box") << "" << Answers{pic} << closeBox << "xabcy";
    }

    void browseAndClose()
    {
        QFETCH(QString, typed);
        QFETCH(Answers, answers);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        PicComp *window = program.windows().show<PicComp>();
        auto click = [&](const QString &name) {
            QTest::mouseClick(window->findChild<QPushButton *>(name), Qt::LeftButton);
        };
        TestSupport::type(window->findChild<QLineEdit *>("Text1"), typed);
        for (const std::optional<QString> &answer : answers) {
            dialogs.queue(answer);
            click("Command1");
        }
        button.isEmpty() ? void(window->close()) : click(button);
        QCOMPARE(program.document().text(), expected);
        // The caret after the tag; otherwise abc stays selected.
        QCOMPARE(program.document().selectionLength(), expected == "xabcy" ? 3 : 0);
        if (expected != "xabcy")
            QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        QVERIFY(!program.windows().find<PicComp>());
        // Every opening starts afresh: empty box, focus on "Browse", its dialog set up anew.
        window = program.windows().show<PicComp>();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QStringList chain; // along the tab order, with the captions
        for (QWidget *w = QApplication::focusWidget(); chain.size() < 4; w = w->nextInFocusChain())
            chain.append(w->objectName() + ":" + w->property("text").toString());
        QCOMPARE(chain,
                 (QStringList{"Command1:Browse", "Text1:", "Command2:Done", "Command3:Cancel"}));
        auto *dialog = window->findChild<FileOpenDialog *>("CommonDialog1");
        QCOMPARE(dialog->defaultExtension(), QString(".bmp;.gif;.jpg"));
        QCOMPARE(dialog->filterDescription(),
                 QString("Pictures (*.bmp;*.gif;*.jpg;*.png;*.tif;*.tiff)"));
        QCOMPARE(dialog->filterPatterns(),
                 (QStringList{"*.bmp", "*.gif", "*.jpg", "*.png", "*.tif", "*.tiff"}));
        dialogs.queue(std::nullopt);
        click("Command1");
        QVERIFY(window->findChild<QLineEdit *>("Text1")->text().isEmpty());
    }
};

QTEST_MAIN(TestPicComp)
#include "tst_piccomp.moc"
