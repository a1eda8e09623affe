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
    // "button:Command3" clicks a toolbar button, "entry:slash" chooses a menu entry.
    static void open(TestSupport::Program &program, const QString &opener)
    {
        const QString name = opener.section(':', 1);
        if (opener.startsWith("button:"))
            program.button(name)->click();
        else
            program.entry(name)->trigger();
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
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<bool>("closeBox");
        // The focus at opening, then after each Tab, round to the start again.
        QTest::addColumn<QStringList>("tabOrder");

        QTest::newRow("addtitle") << "button:Command3"
                                  << "addtitle"
                                  << "Add Title" << QSize(2580, 1380) << true
                                  << QStringList{"Text1", "Command1", "Command2", "Text1"};
        QTest::newRow("addlinkform") << "button:addlink"
                                     << "addlinkform"
                                     << "Add Link" << QSize(4050, 1920) << false
                                     << QStringList{"url", "ltext", "Command1", "Command2", "url"};
        QTest::newRow("sout") << "entry:slash"
                              << "sout"
                              << "Add Slashout" << QSize(4680, 3195) << true
                              << QStringList{"Text1", "Command1", "Command2", "Text1"};
        QTest::newRow("sform") << "entry:spaced"
                               << "sform"
                               << "Add Text Spacing" << QSize(3375, 1800) << true
                               << QStringList{"Text1", "Command1", "Command2", "Text1"};
        QTest::newRow("mform") << "entry:marquee"
                               << "mform"
                               << "Add Marquee" << QSize(3360, 1545) << true
                               << QStringList{"Combo1", "Text1", "Command1", "Combo1"};
        QTest::newRow("fxform") << "entry:glow"
                                << "fxform"
                                << "Add Text Effect" << QSize(3705, 2385) << true
                                << QStringList{"Command1", "Command2", "Text2",
                                               "Text3",    "Text4",    "Command1"};
        QTest::newRow("faqForm") << "entry:faq"
                                 << "faqForm"
                                 << "FAQ" << QSize(4815, 3345) << true
                                 << QStringList{"Command1", "Command2", "Command3", "Command4",
                                                "Command1"};
        QTest::newRow("AboutHTML") << "entry:about"
                                   << "AboutHTML"
                                   << "About Tagloom" << QSize(4575, 2955) << true << QStringList{};
        QTest::newRow("AboutKorvaneTech")
            << "entry:korvanetech"
            << "AboutKorvaneTech"
            << "About KorvaneTech" << QSize(4170, 1635) << true << QStringList{};
    }

    void layout()
    {
        QFETCH(QString, opener);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QSize, clientTwips);
        QFETCH(bool, closeBox);
        QFETCH(QStringList, tabOrder);

        TestSupport::Program program;
        open(program, opener);
        QWidget *window = program.windows().find(name);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->size(), Twips::size(clientTwips.width(), clientTwips.height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());

        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(flags.testFlag(Qt::WindowCloseButtonHint), closeBox);
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

        if (tabOrder.isEmpty()) {
            // Nothing on an about window takes the focus.
            const QList<QWidget *> controls = window->findChildren<QWidget *>();
            for (QWidget *control : controls)
                QCOMPARE(control->focusPolicy(), Qt::NoFocus);
            return;
        }
        QCOMPARE(focused(window), tabOrder.first());
        for (qsizetype i = 1; i < tabOrder.size(); ++i) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            QCOMPARE(focused(window), tabOrder.at(i));
        }
    }

    void openingAgainKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QString>("name");
        QTest::newRow("addtitle") << "button:Command3"
                                  << "addtitle";
        QTest::newRow("addlinkform") << "button:addlink"
                                     << "addlinkform";
        QTest::newRow("sout") << "entry:slash"
                              << "sout";
        QTest::newRow("sform") << "entry:spaced"
                               << "sform";
        QTest::newRow("mform") << "entry:marquee"
                               << "mform";
        QTest::newRow("fxform") << "entry:shadow"
                                << "fxform";
        QTest::newRow("faqForm") << "entry:faq"
                                 << "faqForm";
        QTest::newRow("AboutHTML") << "entry:about"
                                   << "AboutHTML";
        QTest::newRow("AboutKorvaneTech") << "entry:korvanetech"
                                          << "AboutKorvaneTech";
    }

    void openingAgainKeepsTheWindow()
    {
        QFETCH(QString, opener);
        QFETCH(QString, name);

        TestSupport::Program program;
        open(program, opener);
        QPointer<QWidget> first = program.windows().find(name);
        QVERIFY(first);
        program.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.main()));

        open(program, opener);
        QCOMPARE(program.windows().find(name), first.data());
        QVERIFY(QTest::qWaitForWindowActive(first));

        // A closed window is gone; the next opening builds a new one.
        first->close();
        QVERIFY(!program.windows().find(name));
        QTRY_VERIFY(first.isNull());
        open(program, opener);
        QVERIFY(program.windows().find(name));
    }
};

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
