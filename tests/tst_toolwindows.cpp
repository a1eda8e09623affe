#include <QAction>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "testsupport.h"

// Title, border, size, first focus and Tab order of the tool windows opened
// from the main window's toolbar and menus.
class TestToolWindows : public QObject
{
    Q_OBJECT

private:
    // Runs the main window's toolbar button or menu entry called `command`.
    static void run(TestSupport::Program &program, const QString &command)
    {
        if (QToolButton *button = program.button(command))
            button->click();
        else
            program.entry(command)->trigger();
    }

    // The named control that holds the focus within `window`.
    static QString focused(QWidget *window)
    {
        QWidget *widget = window->focusWidget();
        while (widget && (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    }

private slots:
    void layout_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<bool>("closeBox");
        // The focus at opening, then after each Tab, round to the start again.
        QTest::addColumn<QStringList>("tabOrder");
        const auto row = [](const char *command, const char *name, const char *title,
                            QSize clientTwips, bool closeBox, QStringList tabOrder) {
            QTest::newRow(name) << command << name << title << clientTwips << closeBox << tabOrder;
        };
        const QStringList text1{"Text1", "Command1", "Command2", "Text1"};
        row("Command3", "addtitle", "Add Title", {2580, 1380}, true, text1);
        row("addlink", "addlinkform", "Add Link", {4050, 1920}, false,
            {"url", "ltext", "Command1", "Command2", "url"});
        row("slash", "sout", "Add Slashout", {4680, 3195}, true, text1);
        row("spaced", "sform", "Add Text Spacing", {3375, 1800}, true, text1);
        row("marquee", "mform", "Add Marquee", {3360, 1545}, true,
            {"Combo1", "Text1", "Command1", "Combo1"});
        row("glow", "fxform", "Add Text Effect", {3705, 2385}, true,
            {"Command1", "Command2", "Text2", "Text3", "Text4", "Command1"});
        row("faq", "faqForm", "FAQ", {4815, 3345}, true,
            {"Command1", "Command2", "Command3", "Command4", "Command1"});
        row("about", "AboutHTML", "About Tagloom", {4575, 2955}, true, {});
        row("korvanetech", "AboutKorvaneTech", "About KorvaneTech", {4170, 1635}, true, {});
    }

    void layout()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QSize, clientTwips);
        QFETCH(bool, closeBox);
        QFETCH(QStringList, tabOrder);

        TestSupport::Program program;
        run(program, command);
        QPointer<QWidget> window = program.windows().find(name);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->size(), Twips::size(clientTwips.width(), clientTwips.height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(flags.testFlag(Qt::WindowCloseButtonHint), closeBox);
        QVERIFY(flags.testFlag(Qt::WindowTitleHint) && !(flags & Qt::WindowMinMaxButtonsHint));

        if (tabOrder.isEmpty()) {
            // Nothing on an about window takes the focus.
            for (QWidget *control : window->findChildren<QWidget *>())
                QCOMPARE(control->focusPolicy(), Qt::NoFocus);
        } else {
            QCOMPARE(focused(window), tabOrder.first());
            for (qsizetype i = 1; i < tabOrder.size(); ++i) {
                QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
                QCOMPARE(focused(window), tabOrder.at(i));
            }
        }

        // Opening it again brings the same window to the front.
        program.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.main()));
        run(program, command);
        QCOMPARE(program.windows().find(name), window.data());
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
};

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
