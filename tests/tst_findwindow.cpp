#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <cmath>
#include <cstdlib>

#include <xcb/xcb.h>

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

// The window, once the window system has made it the active one. Qt counts
// a window active with the window it is transient for, so QTest's wait would
// end while the main window still has the focus.
FindReplace *activeWindow(TestSupport::Program &program)
{
    FindReplace *window = program.windows().find<FindReplace>();
    return window && QTest::qWaitFor([window] { return QApplication::activeWindow() == window; })
               ? window
               : nullptr;
}

template <class T> T *control(QWidget *window, const char *name)
{
    return window->findChild<T *>(name);
}

// The X window that `window` is transient for, as a window manager reads it.
quint32 transientFor(QWidget *window)
{
    xcb_connection_t *connection =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, false, xcb_window_t(window->winId()),
                                                XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
                               nullptr);
    quint32 owner = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
        owner = *static_cast<const quint32 *>(xcb_get_property_value(reply));
    std::free(reply);
    return owner;
}

// The contrast ratio of two colours, from their relative luminance (WCAG).
qreal contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int channel) {
            const qreal c = channel / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) +
               0.0722 * linear(qBlue(rgb));
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

// A colour scheme as a theme sets it: every group alike.
QPalette scheme(const char *window, const char *base, const char *text, const char *highlight)
{
    const QColor face(window);
    QPalette palette{QColor(text),     face,         face.lighter(), face.darker(),
                     face.darker(120), QColor(text), QColor(base)};
    palette.setColor(QPalette::Highlight, QColor(highlight));
    return palette;
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
    void staysOffTheMatch_data();
    void staysOffTheMatch();
    void otherMatchesStandOut_data();
    void otherMatchesStandOut();
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

void TestFindWindow::staysOffTheMatch_data()
{
    QTest::addColumn<QString>("button"); // that selects the match; empty: the window's opening
    QTest::addColumn<int>("match");
    QTest::newRow("opened over the selection") << "" << 200;
    QTest::newRow("Find Next") << "findnext" << 200;
    QTest::newRow("Find Previous, around the end") << "findprevious" << 330;
}

// The window belongs to the main window, for a window manager too, and a
// match it would cover is moved out from under it, onto the screen.
void TestFindWindow::staysOffTheMatch()
{
    QFETCH(QString, button);
    QFETCH(int, match);
    TestSupport::Program program;
    Document &page = program.document();
    QString text;
    for (int line = 0; line < 30; ++line)
        text += QString("line %1 of the page\n").arg(line, 2);
    page.setText(text.replace(200, 6, "needle").replace(330, 6, "needle"));
    // The window put over where the match shows, the caret back at the start.
    FindReplace *window = program.windows().window<FindReplace>();
    page.select(match, 6);
    const QRect spot = page.selectionOnScreen();
    window->move(spot.center() - QPoint(window->width() / 2, window->height() / 2));
    QVERIFY(QTest::qWaitFor([&] { return window->frameGeometry().intersects(spot); }));
    if (!button.isEmpty())
        page.select(0, 0);
    ask(program, "Ctrl+F");
    QVERIFY(activeWindow(program));
    if (!button.isEmpty()) {
        QTest::keyClicks(control<QLineEdit>(window, "findwhat"), "needle");
        control<QPushButton>(window, qPrintable(button))->click();
        QTRY_COMPARE(page.selectionStart(), match);
    }
    QWidget *main = program.source()->window();
    QCOMPARE(window->windowHandle()->transientParent(), main->windowHandle());
    if (QGuiApplication::platformName() == "xcb")
        QCOMPARE(transientFor(window), quint32(main->winId()));
    QCOMPARE(page.selectionOnScreen(), spot);
    QTRY_VERIFY(!window->frameGeometry().intersects(spot));
    QVERIFY(main->screen()->availableGeometry().contains(window->frameGeometry()));
}

void TestFindWindow::otherMatchesStandOut_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("light") << scheme("#efefef", "#ffffff", "#000000", "#308cc6");
    QTest::newRow("dark grey, deep blue highlight")
        << scheme("#222020", "#3d3d3d", "#ffffff", "#12608a");
    QTest::newRow("dark, highlight as dark as the page")
        << scheme("#303030", "#2b2b2b", "#e0e0e0", "#33304a");
}

void TestFindWindow::otherMatchesStandOut()
{
    QFETCH(QPalette, palette);
    TestSupport::Program program;
    Document &page = program.document();
    QWidget *box = program.source();
    box->setPalette(palette);
    page.setText("x x x x\n");
    // The third space, a match other than the one found, as the box shows it.
    const auto caretAt = [&](int position) {
        page.select(position, 0);
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    };
    const QPoint from = caretAt(5);
    const QPoint inside((from.x() + caretAt(6).x()) / 2, from.y());
    page.select(0, 0);
    ask(program, "Ctrl+F");
    FindReplace *window = activeWindow(program);
    QVERIFY(window);
    QTest::keyClicks(control<QLineEdit>(window, "findwhat"), " ");
    QTest::mouseClick(control<QPushButton>(window, "findnext"), Qt::LeftButton);
    QTRY_COMPARE(page.search().status(), QString("1 of 3 matches"));
    TestSupport::flushEvents();
    const QRgb base = palette.color(QPalette::Base).rgb();
    const QRgb mark = box->grab().toImage().pixel(inside);
    QVERIFY2(contrast(mark, base) >= 1.5,
             qPrintable(QString("%1 on %2: %3")
                            .arg(QColor(mark).name(), QColor(base).name())
                            .arg(contrast(mark, base))));
}

QTEST_MAIN(TestFindWindow)
#include "tst_findwindow.moc"
