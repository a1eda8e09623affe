#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/piccomp.h"
#include "platform/fileopendialog.h"
#include "testsupport.h"

namespace {

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
}

QLineEdit *pathBox(QWidget *window)
{
    return window->findChild<QLineEdit *>("Text1");
}

} // namespace

class TestPicComp : public QObject
{
    Q_OBJECT

private slots:
    void opening()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        PicComp *window = program.windows().show<PicComp>();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), QString("piccomp"));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(window->size(), Twips::size(4500, 1125));

        // From the focus on "Browse" along the tab order, with the captions.
        QStringList chain;
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
    }

    void browseAndClose_data()
    {
        using Answers = QList<std::optional<QString>>;
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Answers>("answers"); // of the dialog, one per "Browse"
        QTest::addColumn<QString>("button");  // empty: the close box
        QTest::addColumn<QString>("expected");
        const QString pic = "/home/u/My Pictures/sun set.jpg";
        QTest::newRow("chosen") << "" << Answers{pic} << "Command2"
                                << "x<img src=" + pic + ">y";
        QTest::newRow("cancelled at first empties the typed text")
            << "typed.gif" << Answers{std::nullopt} << "Command2"
            << "x<img src=>y";
        QTest::newRow("cancelled after a pick keeps the pick")
            << "typed.gif" << Answers{pic, std::nullopt} << "Command2"
            << "x<img src=" + pic + ">y";
        QTest::newRow("second pick wins") << "" << Answers{pic, QString("/b.png")} << "Command2"
                                          << "x<img src=/b.png>y";
        QTest::newRow("typed as is") << " C:\\My Pictures\\a b.gif " << Answers{} << "Command2"
                                     << "x<img src= C:\\My Pictures\\a b.gif >y";
        QTest::newRow("cancel") << "" << Answers{pic} << "Command3"
                                << "xabcy";
        QTest::newRow("close box") << "" << Answers{pic} << ""
                                   << "xabcy";
    }

    void browseAndClose()
    {
        using Answers = QList<std::optional<QString>>;
        QFETCH(QString, typed);
        QFETCH(Answers, answers);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        TestSupport::Program program;
        TestSupport::FileDialogs dialogs;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        PicComp *window = program.windows().show<PicComp>();
        TestSupport::type(pathBox(window), typed);
        for (const std::optional<QString> &answer : answers) {
            dialogs.queue(answer);
            click(window, "Command1");
        }
        QCOMPARE(dialogs.runs(), int(answers.size()));
        QCOMPARE(program.document().text(), QString("xabcy"));

        if (button.isEmpty())
            window->close();
        else
            click(window, button.toLatin1().constData());

        QCOMPARE(program.document().text(), expected);
        if (expected.contains('>'))
            QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        else
            QCOMPARE(program.document().selectionLength(), 3);
        QVERIFY(!program.windows().find<PicComp>());

        // A new opening starts empty, and so does its dialog's file name.
        window = program.windows().show<PicComp>();
        QVERIFY(pathBox(window)->text().isEmpty());
        dialogs.queue(std::nullopt);
        click(window, "Command1");
        QVERIFY(pathBox(window)->text().isEmpty());
    }
};

QTEST_MAIN(TestPicComp)
#include "tst_piccomp.moc"
