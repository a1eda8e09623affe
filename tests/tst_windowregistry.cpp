#include <QAction>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "help/abouthtml.h"
#include "help/aboutkorvanetech.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/addtitle.h"
#include "markup/form2.h"
#include "markup/form3.h"
#include "markup/form4.h"
#include "markup/fxform.h"
#include "markup/ipreview.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/piccomp.h"
#include "markup/picinternet.h"
#include "markup/sform.h"
#include "markup/sout.h"
#include "markup/txtsize.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

namespace {

// Every window of the program in the order in which they close, the main window last.
const QStringList ClosingOrder = {
    "findreplace", "AboutHTML", "AboutKorvaneTech", "addlinkform",
    "addtitle",    "bgcolor",   "faqForm",          "Form2",
    "Form3",       "Form4",     "fxform",           "hlightcolor",
    "ipreview",    "mform",     "openform",         "piccomp",
    "picinternet", "saveform",  "saveform2",        "sform",
    "sout",        "splash",    "textcolor",        "txtsize",
    "Main",
};

} // namespace

class TestWindowRegistry : public QObject
{
    Q_OBJECT

private slots:
    void everyWindowClassIsListedOnce();
    void nothingExistsBeforeFirstUse();
    void oneInstancePerWindow();
    void closedWindowStartsFresh();
    void closeAllWindowsInOrder();
    void programEnds_data();
    void programEnds();
};

void TestWindowRegistry::everyWindowClassIsListedOnce()
{
    QCOMPARE(WindowRegistry::closingOrder(), ClosingOrder);
    // A window class takes its name from the list through its Id; no two
    // classes may share one, and every listed window has its class.
    static const QRegularExpression idPattern(
        QStringLiteral(R"(WindowId Id = WindowId::(\w+);|PaletteWindow<WindowId::(\w+)>;)"));
    QStringList used;
    QDirIterator sources(QStringLiteral(TAGLOOM_SOURCE_DIR), {"*.h"}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        QFile header(sources.next());
        QVERIFY(header.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(header.readAll());
        for (const QRegularExpressionMatch &match : idPattern.globalMatch(text))
            used.append(match.captured(1) + match.captured(2));
    }
    QCOMPARE(used.size(), WindowIds::Count);
    used.removeDuplicates();
    QCOMPARE(used.size(), WindowIds::Count);
}

void TestWindowRegistry::nothingExistsBeforeFirstUse()
{
    WindowRegistry windows;
    QVERIFY(windows.openWindows().isEmpty());
    windows.window<Main>();
    QCOMPARE(windows.openWindows(), QStringList{"Main"});
    // A window that needs the page brings the main window, and nothing else.
    windows.window<AddTitle>();
    QCOMPARE(windows.openWindows(), (QStringList{"addtitle", "Main"}));
}

void TestWindowRegistry::oneInstancePerWindow()
{
    TestSupport::Program program;
    WindowRegistry &windows = program.windows();
    TestSupport::openEveryWindow(windows);
    QCOMPARE(windows.openWindows(), ClosingOrder);
    for (int id = 0; id < WindowIds::Count; ++id)
        QCOMPARE(windows.find(WindowId(id))->objectName(), ClosingOrder.at(id));
    // Asking again hands out the same window, unchanged.
    SForm *spacing = windows.find<SForm>();
    QCOMPARE(windows.show<SForm>(), spacing);
    QCOMPARE(windows.window<Form2>(), windows.find<Form2>());
    QVERIFY(!windows.find<Form2>()->isVisible());
}

void TestWindowRegistry::closedWindowStartsFresh()
{
    TestSupport::Program program;
    QPointer<FaqForm> first = program.windows().show<FaqForm>();
    first->close();
    // Forgotten at once, though deleted only later.
    QVERIFY(!program.windows().find<FaqForm>());
    QVERIFY(program.windows().show<FaqForm>() != first.data());
    QTRY_VERIFY(first.isNull());
}

void TestWindowRegistry::closeAllWindowsInOrder()
{
    TestSupport::Program program;
    TestSupport::openEveryWindow(program.windows());
    QSignalSpy closing(&program.windows(), &WindowRegistry::closing);

    program.windows().closeAllWindows();

    QStringList order;
    for (const QList<QVariant> &call : closing)
        order.append(call.first().toString());
    QCOMPARE(order, ClosingOrder);
    QVERIFY(program.windows().openWindows().isEmpty());
}

void TestWindowRegistry::programEnds_data()
{
    QTest::addColumn<bool>("throughExit");
    QTest::addColumn<bool>("otherWindows");
    QTest::newRow("Exit, nothing else ever opened") << true << false;
    QTest::newRow("Exit with every window open") << true << true;
    QTest::newRow("close box with every window open") << false << true;
}

void TestWindowRegistry::programEnds()
{
    QFETCH(bool, throughExit);
    QFETCH(bool, otherWindows);
    TestSupport::Program program;
    program.document().setText("never saved");
    if (otherWindows)
        TestSupport::openEveryWindow(program.windows());
    TestSupport::MessageBoxes boxes;
    QTimer::singleShot(0, program.main(), [&program, throughExit] {
        if (throughExit)
            program.main()->findChild<QAction *>("exit")->trigger();
        else
            program.main()->close();
    });
    // Should the program not end, fail instead of hanging.
    bool endedByItself = true;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [&endedByItself] {
        endedByItself = false;
        QApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    QVERIFY(endedByItself);
    QVERIFY(program.windows().openWindows().isEmpty());
    QVERIFY(boxes.shown().isEmpty()); // an unchanged page is not asked about
}

QTEST_MAIN(TestWindowRegistry)
#include "tst_windowregistry.moc"
