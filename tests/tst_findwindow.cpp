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
const char *const Options[] = {"matchcase", "wholewords", "regularexpression", "inselection",
                               "wraparound"};

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Asks for the window on the focused control as a user does: a key, or
// "menu" for the entry of the source box's context menu.
void ask(TestSupport::Program &program, const QString &how)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    if (how != "menu") {
        QTest::keySequence(focus, QKeySequence(how));
        return;
    }
    // Nothing to paste, as at a fresh start: the menu still opens.
    QApplication::clipboard()->clear();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(20, 20),
                            program.source()->mapToGlobal(QPoint(20, 20)));
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

// What the window's controls show, as the search's settings.
PageSearch::Settings shown(QWidget *window)
{
    const auto checked = [window](const char *name) {
        return window->findChild<QCheckBox *>(name)->isChecked();
    };
    PageSearch::Settings settings;
    settings.pattern = window->findChild<QLineEdit *>("findwhat")->text();
    settings.replacement = window->findChild<QLineEdit *>("replacewith")->text();
    settings.options = {checked("matchcase"), checked("wholewords"), checked("regularexpression")};
    settings.inSelection = checked("inselection");
    settings.wrapAround = checked("wraparound");
    return settings;
}

bool operator==(const PageSearch::Settings &a, const PageSearch::Settings &b)
{
    return a.pattern == b.pattern && a.replacement == b.replacement && a.options == b.options &&
           a.inSelection == b.inSelection && a.wrapAround == b.wrapAround;
}

} // namespace

class TestFindWindow : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void tabOrder();
    void controlsAreTheSettings();
    void searchAndEscape();
    void findAgainKeys();
    void marksPainted();
};

void TestFindWindow::opening_data()
{
    QTest::addColumn<QString>("on"); // the control with the focus
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("regular");
    QTest::addColumn<int>("start"); // of the page's selection
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("focus"); // in the window; empty: no window
    QTest::addColumn<QString>("pattern");
    const QString source = "htmlsource";
    QTest::newRow("Ctrl+F, a word selected") << source << "Ctrl+F" << false << 6 << 4 << "findwhat"
                                             << "beta";
    QTest::newRow("Ctrl+H") << source << "Ctrl+H" << false << 6 << 4 << "replacewith"
                            << "beta";
    QTest::newRow("context menu") << source << "menu" << false << 6 << 4 << "findwhat"
                                  << "beta";
    QTest::newRow("F3, nothing to find yet") << source << "F3" << false << 0 << 0 << "findwhat"
                                             << "";
    QTest::newRow("Shift+F3, nothing to find yet")
        << source << "Shift+F3" << false << 3 << 0 << "findwhat"
        << "";
    QTest::newRow("selection over a line break not taken")
        << source << "Ctrl+F" << false << 6 << 6 << "findwhat"
        << "";
    QTest::newRow("selection taken literally by an expression")
        << source << "Ctrl+F" << true << 16 << 7 << "findwhat"
        << "\\(gamma\\)";
    QTest::newRow("the main window's keys stay its own") << "addbold"
                                                         << "Ctrl+F" << false << 6 << 4 << ""
                                                         << "";
}

void TestFindWindow::opening()
{
    QFETCH(QString, on);
    QFETCH(QString, how);
    QFETCH(bool, regular);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, focus);
    QFETCH(QString, pattern);
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    page.select(start, length);
    PageSearch::Settings settings;
    settings.options.regularExpression = regular;
    page.search().setSettings(settings);
    (on == "htmlsource" ? program.source() : program.button(on))->setFocus();

    ask(program, how);
    FindReplace *window = program.windows().find<FindReplace>();
    QCOMPARE(window != nullptr, !focus.isEmpty());
    if (!window)
        return;
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(focusName(), focus);
    QCOMPARE(page.search().settings().pattern, pattern);
    QVERIFY(shown(window) == page.search().settings());
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
    QStringList expected{"findwhat", "replacewith"};
    for (const char *option : Options)
        expected.append(option);
    expected << "findnext"
             << "findprevious"
             << "replace"
             << "replaceall"
             << "close"
             << "findwhat";
    QCOMPARE(visited, expected);
}

void TestFindWindow::controlsAreTheSettings()
{
    TestSupport::Program program;
    PageSearch &search = program.document().search();
    ask(program, "Ctrl+F");
    QWidget *window = activeWindow(program);
    QVERIFY(window);
    QTest::keyClicks(window->findChild<QLineEdit *>("findwhat"), "be");
    QTest::keyClicks(window->findChild<QLineEdit *>("replacewith"), "BE");
    QVERIFY(shown(window) == search.settings());
    QCOMPARE(search.settings().pattern, QString("be"));
    for (const char *name : Options) {
        QTest::mouseClick(window->findChild<QCheckBox *>(name), Qt::LeftButton);
        QVERIFY2(shown(window) == search.settings(), name);
    }
    const PageSearch::Settings last = search.settings();
    QTest::mouseClick(window->findChild<QPushButton *>("close"), Qt::LeftButton);
    QTRY_VERIFY(!program.windows().find<FindReplace>());
    QTRY_COMPARE(QApplication::focusWidget(), program.source());

    // A window opened again shows the last settings.
    ask(program, "Ctrl+H");
    window = activeWindow(program);
    QVERIFY(window);
    QVERIFY(shown(window) == last);
    QCOMPARE(window->findChild<QLineEdit *>("replacewith")->selectedText(), QString("BE"));
}

void TestFindWindow::searchAndEscape()
{
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    ask(program, "Ctrl+F");
    QWidget *window = activeWindow(program);
    QVERIFY(window);
    QLabel *status = window->findChild<QLabel *>("status");
    QTest::keyClicks(window->findChild<QLineEdit *>("findwhat"), "beta");
    QTest::mouseClick(window->findChild<QPushButton *>("findnext"), Qt::LeftButton);
    QTRY_COMPARE(page.selectionStart(), 6);
    QCOMPARE(page.selectionLength(), 4);
    QVERIFY(!status->text().isEmpty());
    QCOMPARE(status->text(), page.search().status());
    // Return in a box is Find Next; on a button it presses that button.
    QLineEdit *replace = window->findChild<QLineEdit *>("replacewith");
    replace->setFocus();
    QTest::keyClick(replace, Qt::Key_Return);
    QTRY_COMPARE(page.selectionStart(), 11);
    QPushButton *previous = window->findChild<QPushButton *>("findprevious");
    previous->setFocus();
    QTest::keyClick(previous, Qt::Key_Return);
    QTRY_COMPARE(page.selectionStart(), 6);
    QVERIFY(page.search().marksShown());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!program.windows().find<FindReplace>());
    QTRY_COMPARE(QApplication::focusWidget(), program.source());
    QCOMPARE(page.selectionStart(), 6);
    QCOMPARE(page.selectionLength(), 4);
    QVERIFY(!page.search().marksShown());

    // Replace All is one step to undo.
    ask(program, "Ctrl+H");
    window = activeWindow(program);
    QVERIFY(window);
    QTest::keyClicks(QApplication::focusWidget(), "[$]");
    QTest::mouseClick(window->findChild<QPushButton *>("replaceall"), Qt::LeftButton);
    QTRY_COMPARE(page.text(), QString("alpha [$]\n[$] (gamma) [$]\n"));
    page.undo();
    QCOMPARE(page.text(), Page);
}

void TestFindWindow::findAgainKeys()
{
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    PageSearch::Settings settings;
    settings.pattern = "beta";
    page.search().setSettings(settings);
    const std::pair<const char *, int> steps[] = {{"F3", 6}, {"F3", 11}, {"Shift+F3", 6}};
    for (const auto &[key, start] : steps) {
        QTest::keySequence(program.source(), QKeySequence(key));
        QTRY_COMPARE(page.selectionStart(), start);
    }
    QVERIFY(!program.windows().find<FindReplace>());
    QCOMPARE(QApplication::focusWidget(), program.source());
}

void TestFindWindow::marksPainted()
{
    TestSupport::Program program;
    Document &page = program.document();
    page.setText(Page);
    PageSearch::Settings settings;
    settings.pattern = "beta";
    page.search().setSettings(settings);
    page.search().findNext();
    QTRY_VERIFY(page.search().marksShown() && page.search().current().isValid());
    program.button("addbold")->setFocus(); // the selection itself is not drawn
    const QPalette palette = program.source()->palette();
    const QColor current = palette.color(QPalette::Inactive, QPalette::Highlight);
    QColor other = palette.color(QPalette::Highlight);
    other.setAlpha(72);
    const QColor base = palette.color(QPalette::Base);
    const QColor tint =
        QColor::fromRgbF(base.redF() + (other.redF() - base.redF()) * other.alphaF(),
                         base.greenF() + (other.greenF() - base.greenF()) * other.alphaF(),
                         base.blueF() + (other.blueF() - base.blueF()) * other.alphaF());
    const auto count = [&program](const QColor &colour) {
        const QImage image = program.source()->grab().toImage();
        return TestSupport::countPixels(image, [&colour](QPoint, QRgb pixel) {
            const QColor seen(pixel);
            return std::abs(seen.red() - colour.red()) <= 2 &&
                   std::abs(seen.green() - colour.green()) <= 2 &&
                   std::abs(seen.blue() - colour.blue()) <= 2;
        });
    };
    QVERIFY(count(current) > 20);
    QVERIFY(count(tint) > 40); // two more matches
    page.search().hideMarks();
    QCOMPARE(count(current), 0);
    QCOMPARE(count(tint), 0);
}

QTEST_MAIN(TestFindWindow)
#include "tst_findwindow.moc"
