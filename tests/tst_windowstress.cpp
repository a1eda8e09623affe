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
#include "app/windowregistry.h"
#include "testsupport.h"

// Opens and closes the program's windows in a random but repeatable order
// through the main window's own commands, then ends the program through the
// main window's close box.
class TestWindowStress : public QObject
{
    Q_OBJECT

private:
    // A command of the main window: a menu entry or a toolbar button.
    struct Command
    {
        QString name;
        QAction *entry = nullptr;
        QToolButton *button = nullptr;

        bool enabled() const { return entry ? entry->isEnabled() : button->isEnabled(); }
        void run() const
        {
            if (entry)
                entry->trigger();
            else
                button->click();
        }
    };

    static QList<Command> commands(const TestSupport::Program &program)
    {
        QList<Command> all;
        // "New" asks about saving and "Exit" ends the program: both are for the end.
        for (QAction *entry : program.entries()) {
            if (entry->objectName() != "new" && entry->objectName() != "exit")
                all.append({entry->objectName(), entry, nullptr});
        }
        for (QToolButton *button : program.buttons())
            all.append({button->objectName(), nullptr, button});
        return all;
    }

    // Answers what a command popped up: an open popup menu has one of its
    // entries chosen or is dismissed; a modal window that is not a message box
    // or file dialog (those are answered by the test's stand-ins) is a fault.
    void answerPopups()
    {
        while (QWidget *popup = QApplication::activePopupWidget()) {
            auto *menu = qobject_cast<QMenu *>(popup);
            QList<QAction *> choices;
            if (menu) {
                for (QAction *action : menu->actions()) {
                    if (action->isEnabled() && !action->isSeparator() && !action->menu())
                        choices.append(action);
                }
            }
            if (!choices.isEmpty() && m_random.bounded(2) == 0) {
                menu->setActiveAction(choices.at(m_random.bounded(int(choices.size()))));
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                popup->close();
            }
        }
        if (QWidget *modal = QApplication::activeModalWidget()) {
            m_unexpectedModals.append(modal->objectName() + " " + modal->windowTitle());
            modal->close();
        }
    }

    QRandomGenerator m_random;
    QStringList m_unexpectedModals;

private slots:
    void randomOpeningAndClosing_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("steps");
        QTest::newRow("seed 1") << 1u << 600;
        QTest::newRow("seed 20260") << 20260u << 600;
        QTest::newRow("seed 7, short") << 7u << 60;
    }

    void randomOpeningAndClosing()
    {
        QFETCH(quint32, seed);
        QFETCH(int, steps);
        m_random.seed(seed);
        m_unexpectedModals.clear();

        TestSupport::MessageBoxes messageBoxes;
        TestSupport::FileDialogs fileDialogs;
        TestSupport::Program program;
        QPointer<Main> main = program.main();
        const QList<Command> all = commands(program);
        QSet<QString> used;
        QSet<QString> opened;

        for (int step = 0; step < steps; ++step) {
            const int what = m_random.bounded(10);
            if (what < 6) {
                QList<Command> enabled;
                for (const Command &command : all) {
                    if (command.enabled())
                        enabled.append(command);
                }
                QVERIFY(!enabled.isEmpty());
                const Command &command = enabled.at(m_random.bounded(int(enabled.size())));
                used.insert(command.name);
                // A blocking popup menu is answered from inside its own event loop.
                QTimer::singleShot(0, this, &TestWindowStress::answerPopups);
                command.run();
                answerPopups();
            } else if (what < 9) {
                QStringList open = program.windows().openWindows();
                open.removeAll(Main::windowName());
                if (!open.isEmpty()) {
                    const QString name = open.at(m_random.bounded(int(open.size())));
                    program.windows().find(name)->close();
                }
            } else {
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            for (const QString &name : program.windows().openWindows())
                opened.insert(name);
            QVERIFY2(main, qPrintable(QString("main window gone at step %1").arg(step)));
            QVERIFY2(m_unexpectedModals.isEmpty(), qPrintable(m_unexpectedModals.join(", ")));
        }

        if (steps >= 600) {
            // Long runs use every command that could be used.
            QSet<QString> usable;
            for (const Command &command : all) {
                if (command.enabled())
                    usable.insert(command.name);
            }
            QCOMPARE(used, usable);
            for (const char *window : {"addtitle", "addlinkform", "sout", "sform", "mform",
                                       "fxform", "faqForm", "AboutHTML", "AboutKorvaneTech"})
                QVERIFY2(opened.contains(window), window);
        }

        // The user closes the main window with its close box.
        main->windowHandle()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(main.isNull());
        QCOMPARE(program.windows().openWindows(), QStringList());
        const QWidgetList remaining = QApplication::topLevelWidgets();
        for (QWidget *widget : remaining)
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
        QVERIFY(m_unexpectedModals.isEmpty());
    }
};

QTEST_MAIN(TestWindowStress)
#include "tst_windowstress.moc"
