#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "editor/document.h"
#include "editor/text/pagesearch.h"
#include "find/findreplace.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

namespace {

const QString Page = QStringLiteral("alpha beta\nBeta (gamma) beta\n");

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Asks on the focused control as a user does: a key, or "menu" for the
// entry of the source box's context menu.
void ask(TestSupport::Program &program, const QString &how)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    if (how != "menu")
        return QTest::keySequence(focus, QKeySequence(how));
    QApplication::clipboard()->clear(); // nothing to paste: the menu opens all the same
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, program.source()->mapToGlobal(at));
    QApplication::sendEvent(focus, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *entry = menu->findChild<QAction *>("find-replace");
    QVERIFY(entry && entry->isEnabled());
    QCOMPARE(entry->text(), QString("Find and Replace\u2026\tCtrl+F"));
    menu->close();
    entry->trigger();
}

// The window, once the window system has made it the active one.
FindReplace *activeWindow(TestSupport::Program &program)
{
    FindReplace *window = program.windows().find<FindReplace>();
    return window && QTest::qWaitForWindowActive(window) ? window : nullptr;
}

template <class T> T *control(QWidget *window, const char *name)
{
    return window->findChild<T *>(name);
}

} // namespace

class TestFindWindow : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void tabOrder();
    void searchEscapeAndKeys();
};

void TestFindWindow::opening_data()
{
    QTest::addColumn<QString>("how"); // on the source box, or the toolbar's addbold with '@'
    QTest::addColumn<int>("start");   // of the page's selection
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("focus"); // in the window; empty: no window
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regular");
    const auto row = [](const char *name, const char *how, int start, int length, const char *focus,
                        const char *pattern, bool regular = false) {
        QTest::newRow(name) << how << start << length << focus << pattern << regular;
    };
    row("Ctrl+F, a word selected", "Ctrl+F", 6, 4, "findwhat", "beta");
    row("Ctrl+H", "Ctrl+H", 6, 4, "replacewith", "beta");
    row("context menu", "menu", 6, 4, "findwhat", "beta");
    row("F3, nothing to find yet", "F3", 0, 0, "findwhat", "");
    row("selection over a line break", "Ctrl+F", 6, 6, "findwhat", "");
    row("selection escaped for an expression", "Ctrl+F", 16, 7, "findwhat", "\\(gamma\\)", true);
    row("main window's keys its own", "@Ctrl+F", 6, 4, "", "");
}

void TestFindWindow::opening()
{
    QFETCH(QString, how);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, focus);
    QFETCH(QString, pattern);
    QFETCH(bool, regular);
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    page.select(start, length);
    PageSearch::Settings settings;
    settings.options.regularExpression = regular;
    page.search().setSettings(settings);
    if (how.startsWith('@'))
        program.button("addbold")->setFocus();
    ask(program, how.remove('@'));
    FindReplace *window = activeWindow(program);
    QCOMPARE(window != nullptr, !focus.isEmpty());
    if (!window)
        return;
    QCOMPARE(focusName(), focus);
    QCOMPARE(control<QLineEdit>(window, "findwhat")->text(), pattern);
    // The page's selection waits for a search or for "In selection".
    QCOMPARE(page.selectionStart(), start);
    QCOMPARE(page.selectionLength(), length);
}

void TestFindWindow::tabOrder()
{
    TestSupport::Program program;
    ask(program, "Ctrl+F");
    QVERIFY(activeWindow(program));
    QStringList visited{focusName()};
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusName());
    }
    QCOMPARE(visited, (QStringList{"findwhat", "replacewith", "matchcase", "wholewords",
                                   "regularexpression", "inselection", "wraparound", "findnext",
                                   "findprevious", "replace", "replaceall", "close", "findwhat"}));
}

void TestFindWindow::searchEscapeAndKeys()
{
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    ask(program, "Ctrl+F");
    QWidget *window = activeWindow(program);
    QVERIFY(window);
    QTest::keyClicks(control<QLineEdit>(window, "findwhat"), "beta");
    QTest::mouseClick(control<QCheckBox>(window, "matchcase"), Qt::LeftButton);
    QVERIFY(page.search().settings().options.matchCase);
    QTest::mouseClick(control<QPushButton>(window, "findnext"), Qt::LeftButton);
    QTRY_COMPARE(page.selectionStart(), 6);
    QLabel *status = control<QLabel>(window, "status");
    QTRY_VERIFY(!status->text().isEmpty() && status->text() == page.search().status());
    // The box without the focus shows the match in the colour of its own.
    const QRgb mark =
        program.source()->palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
    QVERIFY(TestSupport::countPixels(program.source()->grab().toImage(),
                                     [mark](QPoint, QRgb pixel) { return pixel == mark; }) > 100);
    // Return in a box is Find Next; on a button it presses that button.
    QTest::keyClick(control<QLineEdit>(window, "replacewith"), Qt::Key_Return);
    QTRY_COMPARE(page.selectionStart(), 24); // "Beta" differs in case
    QPushButton *previous = control<QPushButton>(window, "findprevious");
    previous->setFocus();
    QTest::keyClick(previous, Qt::Key_Return);
    QTRY_COMPARE(page.selectionStart(), 6);

    QTest::keyClick(previous, Qt::Key_Escape);
    QTRY_VERIFY(!program.windows().find<FindReplace>());
    QTRY_COMPARE(QApplication::focusWidget(), program.source());
    QCOMPARE(page.selectionStart(), 6);
    QCOMPARE(page.selectionLength(), 4);
    QVERIFY(!page.search().marksShown());
    // F3 and Shift+F3 search on without the window.
    for (const auto &[key, start] : {std::pair("F3", 24), std::pair("Shift+F3", 6)}) {
        QTest::keySequence(program.source(), QKeySequence(key));
        QTRY_COMPARE(page.selectionStart(), start);
    }
    QVERIFY(!program.windows().find<FindReplace>());

    // Opened again it shows the last settings.
    page.select(0, 0);
    ask(program, "Ctrl+H");
    window = activeWindow(program);
    QVERIFY(window);
    QCOMPARE(control<QLineEdit>(window, "findwhat")->text(), QString("beta"));
    QVERIFY(control<QCheckBox>(window, "matchcase")->isChecked());
    QTest::keyClicks(QApplication::focusWidget(), "[$]");
    QTest::mouseClick(control<QPushButton>(window, "replaceall"), Qt::LeftButton);
    QTRY_COMPARE(page.text(), QString("alpha [$]\nBeta (gamma) [$]\n"));
}

QTEST_MAIN(TestFindWindow)
#include "tst_findwindow.moc"
