#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "app/mainwindow.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

// Opens and closes the program's windows in a random but repeatable order
// through the main window's own commands, then ends the program through the
// main window's close box.
class TestWindowStress : public QObject
{
    Q_OBJECT

private:
    QRandomGenerator m_random;

    // An open popup menu has one of its entries chosen or is dismissed; a modal
    // window other than the stand-in message boxes and file dialogs is a fault.
    void answerPopups()
    {
        while (QWidget *popup = QApplication::activePopupWidget()) {
            auto *menu = qobject_cast<QMenu *>(popup);
            QList<QAction *> choices;
            for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
                if (action->isEnabled() && !action->isSeparator() && !action->menu())
                    choices.append(action);
            }
            if (choices.isEmpty() || m_random.bounded(2) == 0) {
                popup->close();
                continue;
            }
            menu->setActiveAction(choices.at(m_random.bounded(int(choices.size()))));
            QTest::keyClick(menu, Qt::Key_Return);
        }
        if (QWidget *modal = QApplication::activeModalWidget()) {
            QTest::qFail(qPrintable("unexpected modal " + modal->objectName()), __FILE__, __LINE__);
            modal->close();
        }
    }

private slots:
    void randomOpeningAndClosing_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("steps");
        QTest::newRow("seed 1") << 1u << 600;
        QTest::newRow("seed 20260") << 20260u << 600;
    }

    void randomOpeningAndClosing()
    {
        QFETCH(quint32, seed);
        QFETCH(int, steps);
        m_random.seed(seed);
        TestSupport::MessageBoxes messageBoxes;
        TestSupport::FileDialogs fileDialogs;
        TestSupport::Program program;
        QPointer<Main> main = program.main();

        // "New" asks about saving and "Exit" ends the program: both are for the end.
        QList<QObject *> commands;
        for (QAction *entry : program.entries()) {
            if (entry->objectName() != "new" && entry->objectName() != "exit")
                commands.append(entry);
        }
        for (QToolButton *button : program.buttons())
            commands.append(button);
        QSet<QString> opened;

        for (int step = 0; step < steps; ++step) {
            const int what = m_random.bounded(10);
            QStringList open = program.windows().openWindows();
            open.removeAll(WindowIds::name(Main::Id));
            if (what < 6) {
                QList<QObject *> usable;
                for (QObject *command : commands) {
                    if (command->property("enabled").toBool())
                        usable.append(command);
                }
                QObject *command = usable.at(m_random.bounded(int(usable.size())));
                // A blocking popup menu is answered from inside its own event loop.
                QTimer::singleShot(0, this, &TestWindowStress::answerPopups);
                if (auto *entry = qobject_cast<QAction *>(command))
                    entry->trigger();
                else
                    static_cast<QToolButton *>(command)->click();
                answerPopups();
            } else if (what < 9 && !open.isEmpty()) {
                TestSupport::findWindow(program.windows(),
                                        open.at(m_random.bounded(int(open.size()))))
                    ->close();
            } else {
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            opened.unite(QSet<QString>(open.cbegin(), open.cend()));
            QVERIFY2(main, qPrintable(QString("main window gone at step %1").arg(step)));
        }
        for (const char *window : {"addtitle", "addlinkform", "sout", "sform", "mform", "fxform",
                                   "faqForm", "AboutHTML", "AboutKorvaneTech"})
            QVERIFY2(opened.contains(window), window);

        // The user closes the main window with its close box, dropping the page.
        messageBoxes.setAnswer(QMessageBox::No);
        main->windowHandle()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(main.isNull());
        QCOMPARE(program.windows().openWindows(), QStringList());
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }
};

QTEST_MAIN(TestWindowStress)
#include "tst_windowstress.moc"
