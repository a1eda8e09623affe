#include <algorithm>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void window();
    void controlLayout_data();
    void controlLayout();
    void sourceBox();
    void sourceBoxRows_data();
    void sourceBoxRows();
    void tabOrder();
    void menus();
    void inlineCommands_data();
    void inlineCommands();
    void fontBoxRule_data();
    void fontBoxRule();
    void fontBoxLeaving_data();
    void fontBoxLeaving();
    void firstDownFromPlaceholder_data();
    void firstDownFromPlaceholder();
    void refusedEdit();

private:
    static QWidget *control(TestSupport::Program &program, const char *name)
    {
        QWidget *widget = program.main()->findChild<QWidget *>(name);
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static QString consoleFamily()
    {
        return TestSupport::shownFamily("Lucida Console", "DejaVu Sans Mono");
    }
    static QComboBox *focusFontBox(TestSupport::Program &program)
    {
        auto *box = qobject_cast<QComboBox *>(control(program, "Combo1"));
        box->setFocus();
        if (!QTest::qWaitFor([box] { return box->hasFocus(); }))
            QTest::qFail("the font box did not take the focus", __FILE__, __LINE__);
        return box;
    }
};

void TestMainWindow::window()
{
    TestSupport::Program program;
    Main *main = program.main();
    QCOMPARE(main->windowTitle(), QString("Tagloom v1.0"));
    QCOMPARE(main->objectName(), QString("Main"));

    // The client area under the menu bar is 8325 x 6645 twips at 2385, 2040.
    QWidget *client = main->centralWidget();
    QCOMPARE(client->size(), Twips::size(8325, 6645));
    QCOMPARE(client->mapToGlobal(QPoint(0, 0)), Twips::point(2385, 2040));
    QCOMPARE(main->height(), client->height() + main->menuBar()->height());

    QCOMPARE(main->minimumSize(), main->maximumSize());
    const Qt::WindowFlags flags = main->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(main->windowType(), Qt::Window);

    // The font box lists every screen font once, by its plain name, and reads "Font".
    auto *fonts = qobject_cast<QComboBox *>(control(program, "Combo1"));
    QStringList listed;
    for (int i = 0; i < fonts->count(); ++i)
        listed.append(fonts->itemText(i));
    QVERIFY(!listed.isEmpty());
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
    for (const QString &family : QFontDatabase::families()) {
        const QString plain = family.section(" [", 0, 0);
        QVERIFY2(listed.contains(plain), qPrintable(family));
        QVERIFY2(!listed.contains(family) || family == plain, qPrintable(family));
    }
    QCOMPARE(fonts->currentText(), QString("Font"));
    QCOMPARE(fonts->font().pointSizeF(), 8.25);
    QCOMPARE(QFontInfo(fonts->font()).family(), TestSupport::shownFamily("Arial", "DejaVu Sans"));

    // The icon comes in 48, 32 and 16 pixels, each drawn, and in no other size.
    const QIcon icon = main->windowIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
    for (const QSize &size : icon.availableSizes()) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        QVERIFY(image.pixelColor(size.width() / 2, size.height() / 2).alpha() > 0);
    }
}

void TestMainWindow::controlLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("caption"); // empty for a picture button
    const auto button = [](const char *name, int left, const char *tooltip,
                           const QString &caption = QString()) {
        QTest::newRow(name) << name << left << 255 << 255 << tooltip << caption;
    };
    button("addbullet", 120, "Add Bullet", QString(QChar(0x00B7)));
    button("addline", 480, "Add Line", "/");
    button("addlink", 840, "Add Link");
    button("Command1", 1200, "Add Picture");
    button("addbold", 1560, "Add Bold", "B");
    button("additalics", 1920, "Add Italics", "I");
    button("addunderline", 2280, "Add Underline", "U");
    button("alignleft", 2640, "Align Left");
    button("aligncenter", 3000, "Align Center");
    button("alignright", 3360, "Align Right");
    QTest::newRow("Combo1") << "Combo1" << 3720 << 2175 << 330 << ""
                            << "Font";
    button("textcolorbutton", 6000, "Change Font");
    button("textsizebutton", 6360, "Change Text Size");
    button("backcolorbutton", 6720, "Change Background Color");
    button("highlight", 7080, "Add Highlight");
    button("addbr", 7440, "Add Break");
    button("Command3", 7800, "Add Title");
}

void TestMainWindow::controlLayout()
{
    QFETCH(QString, name);
    QFETCH(int, left);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, caption);
    TestSupport::Program program;
    QWidget *widget = control(program, qPrintable(name));
    QCOMPARE(widget->geometry(), Twips::rect(left, 120, width, height));
    QTEST(widget->toolTip(), "tooltip");
    auto *button = qobject_cast<QToolButton *>(widget);
    if (!button) {
        QCOMPARE(qobject_cast<QComboBox *>(widget)->currentText(), caption);
        return;
    }
    if (caption.isEmpty()) {
        // A picture button shows its picture and a screen reader says its tooltip.
        QVERIFY(!button->icon().pixmap(15, 13).isNull());
        QCOMPARE(button->accessibleName(), button->toolTip());
        return;
    }
    QCOMPARE(button->text(), caption);
    const QFont font = button->font();
    QCOMPARE(font.bold(), caption == "B");
    QCOMPARE(font.italic(), caption == "I");
    QCOMPARE(font.underline(), caption == "U");
    QCOMPARE(font.pointSizeF(), 8.25);
    QCOMPARE(QFontInfo(font).family(), consoleFamily());
    QCOMPARE(TestSupport::unevenAdvances(font), QString());
}

void TestMainWindow::sourceBox()
{
    TestSupport::Program program;
    QWidget *box = program.source();
    QVERIFY(box);
    QCOMPARE(box->geometry(), Twips::rect(8, 600, 8295, 6015));
    // A vertical scroll bar always shows, a horizontal one never does.
    const QList<QScrollBar *> bars = box->findChildren<QScrollBar *>();
    const auto shown = [&bars](Qt::Orientation orientation) {
        return std::count_if(bars.begin(), bars.end(), [orientation](QScrollBar *bar) {
            return bar->orientation() == orientation && bar->isVisible();
        });
    };
    QCOMPARE(shown(Qt::Vertical), 1);
    QCOMPARE(shown(Qt::Horizontal), 0);
    QCOMPARE(QFontInfo(box->font()).family(), consoleFamily());
    QCOMPARE(TestSupport::unevenAdvances(box->font()), QString());
    QCOMPARE(box->font().pointSizeF(), 9.75);
    QCOMPARE(QApplication::focusWidget(), box);
    QVERIFY(program.document().text().isEmpty());

    // A line far wider than the box wraps instead of scrolling sideways: End
    // stops at the end of its first row, Down goes to its second.
    program.document().setText(QString(2000, QLatin1Char('x')));
    QTest::keyClick(box, Qt::Key_End);
    const int rowEnd = program.document().caretPosition();
    QVERIFY2(rowEnd > 10 && rowEnd < 200, qPrintable(QString::number(rowEnd)));
    QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(program.document().caretPosition(), rowEnd);
    QCOMPARE(shown(Qt::Horizontal), 0);
}

void TestMainWindow::sourceBoxRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("caret");
    QString words;
    while (words.size() < 2000)
        words += "Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
    QString lines;
    for (int line = 0; line < 100; ++line)
        lines += QString::number(line) + '\n';
    // DejaVu Sans Mono at 9.75 pt: 67 characters to a row and 25 rows to a
    // page. Noto Sans Mono and Nimbus Mono PS are as wide but taller: 22 rows.
    QTest::newRow("letters") << QString(2000, 'x') << int(Qt::Key_Down) << 67;
    QTest::newRow("words, ipsum across the edge")
        << words << int(Qt::Key_Down) << int(words.indexOf("ipsum", 57));
    QTest::newRow("page") << lines << int(Qt::Key_PageDown) << int(lines.indexOf("\n25\n") + 1);
}

void TestMainWindow::sourceBoxRows()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    if (consoleFamily() != "DejaVu Sans Mono")
        QSKIP("Rows are counted for DejaVu Sans Mono; this machine has Lucida Console");
    TestSupport::Program program;
    program.document().setText(text);
    QTest::keyClick(program.source(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(program.source(), Qt::Key(key));
    QTEST(program.document().caretPosition(), "caret");
}

void TestMainWindow::tabOrder()
{
    TestSupport::Program program;
    QWidget *box = program.source();
    box->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    const QStringList expected = {
        "addbullet",       "addline",        "addlink",         "Command1",   "addbold",
        "additalics",      "alignleft",      "aligncenter",     "alignright", "Combo1",
        "textcolorbutton", "addunderline",   "backcolorbutton", "highlight",  "addbr",
        "Command3",        "textsizebutton", "htmlsource"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // The font box's edit field stands for the box.
        if (qobject_cast<QLineEdit *>(focus) && focus->parentWidget()->objectName() == "Combo1")
            focus = focus->parentWidget();
        visited.append(focus->objectName());
    }
    QCOMPARE(visited, expected);
    // Tab moved the focus; it typed nothing into the page.
    QVERIFY(program.document().text().isEmpty());
}

void TestMainWindow::menus()
{
    TestSupport::Program program;
    const QList<QPair<QString, QStringList>> expected = {
        {"File", {"new:New", "open:Open", "save:Save", "exit:Exit"}},
        {"Effects",
         {"marquee:Marquee", "slash:Slashout", "dshadow:Dropshadow", "glow:Glow", "shadow:Shadow",
          "spaced:Spaced"}},
        {"Help", {"faq:FAQ", "contact:Contact"}},
        {"About", {"about:About Tagloom", "korvanetech:About KorvaneTech"}},
    };
    const QStringList menuNames = {"file", "fx", "hlp", "abt"};
    const QList<QAction *> menus = program.main()->menuBar()->actions();
    QCOMPARE(menus.size(), expected.size());
    for (int i = 0; i < menus.size(); ++i) {
        QCOMPARE(menus[i]->text(), expected[i].first);
        QCOMPARE(menus[i]->menu()->objectName(), menuNames[i]);
        QStringList entries;
        for (QAction *entry : menus[i]->menu()->actions()) {
            entries.append(entry->objectName() + ":" + entry->text());
            QVERIFY(entry->shortcut().isEmpty());
        }
        QCOMPARE(entries, expected[i].second);
    }
}

void TestMainWindow::inlineCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("clicks");
    const auto row = [](const char *name, const char *button, const char *text, int start,
                        int length, const char *expected, int caret, int clicks = 1) {
        QTest::newRow(name) << button << text << start << length << expected << caret << clicks;
    };
    row("bold, nothing selected", "addbold", "", 0, 0, "<b></b>", 7);
    row("bold, abc", "addbold", "xabcy", 1, 3, "x<b>abc</b>y", 11);
    // The first click wraps; nothing is selected after it, so the second adds an empty pair.
    row("bold twice", "addbold", "abc", 0, 3, "<b>abc</b><b></b>", 17, 2);
    row("italics", "additalics", "xabcy", 1, 3, "x<i>abc</i>y", 11);
    row("underline", "addunderline", "abc", 0, 3, "<u>abc</u>", 10);
    row("align left", "alignleft", "S", 0, 1, "<p align=left>S</p>", 19);
    row("align center", "aligncenter", "S", 0, 1, "<p align=center>S</p>", 21);
    row("align right", "alignright", "S", 0, 1, "<p align=right>S</p>", 20);
    row("align across lines", "aligncenter", "a\nb", 0, 3, "<p align=center>a\nb</p>", 23);
    row("break replaces selection", "addbr", "xabcy", 1, 3, "x<br>y", 5);
    row("break at caret", "addbr", "xy", 1, 0, "x<br>y", 5);
}

void TestMainWindow::inlineCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, clicks);
    TestSupport::Program program;
    Document &document = program.document();
    document.setText(text);
    document.select(start, length);

    QWidget *clicked = control(program, qPrintable(button));
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(clicked, Qt::LeftButton);

    QTEST(document.text(), "expected");
    QTEST(document.caretPosition(), "caret");
    QCOMPARE(document.selectionLength(), 0);
    // The focus stays on the button; the source box is not focused again.
    QCOMPARE(QApplication::focusWidget(), clicked);
}

void TestMainWindow::fontBoxRule_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *face, const char *expected) {
        QTest::newRow(name) << face << expected;
    };
    row("placeholder does nothing", "Font", "xabcy");
    row("lower case is a name", "font", "x<font face=font>y");
    row("empty", "", "x<font face=>y");
    row("spaces go in unquoted", "Times New Roman", "x<font face=Times New Roman>y");
    row("blanks are not trimmed", " Font ", "x<font face= Font >y");
    row("unknown font", "No Such Face", "x<font face=No Such Face>y");
    row("start of a listed name", "DejaVu S", "x<font face=DejaVu S>y");
}

void TestMainWindow::fontBoxRule()
{
    QFETCH(QString, face);
    TestSupport::Program program;
    Document &document = program.document();
    document.setText("xabcy");
    document.select(1, 3);
    auto *box = focusFontBox(program);
    // Typed key by key: nothing may complete the name from the font list.
    box->clearEditText();
    TestSupport::type(box, face);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTEST(document.text(), "expected");
    QCOMPARE(box->currentText(), face);
}

void TestMainWindow::fontBoxLeaving_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Tab, twice") << "tab"
                                << "<font face=Arial><font face=Arial>";
    QTest::newRow("click into the source box") << "source"
                                               << "<font face=Arial>";
    // The tag goes in as the box loses the focus; the button then acts on it.
    QTest::newRow("click on a button") << "addbold"
                                       << "<font face=Arial><b></b>";
    QTest::newRow("its own list is no loss of focus") << "list"
                                                      << "";
}

void TestMainWindow::fontBoxLeaving()
{
    QFETCH(QString, way);
    TestSupport::Program program;
    QComboBox *box = focusFontBox(program);
    box->setEditText("Arial");
    if (way == "tab") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        focusFontBox(program);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (way == "source") {
        TestSupport::clickInto(program.source());
    } else if (way == "list") {
        box->showPopup();
        QTRY_VERIFY(box->view()->isVisible());
        box->hidePopup();
        QTRY_VERIFY(!box->view()->isVisible());
    } else {
        QTest::mouseClick(control(program, qPrintable(way)), Qt::LeftButton);
    }
    QTEST(program.document().text(), "expected");
}

void TestMainWindow::firstDownFromPlaceholder_data()
{
    QTest::addColumn<QString>("entry"); // the menu entry that opens the box's window
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("placeholder");
    QTest::newRow("font box") << ""
                              << "Main"
                              << "Font";
    QTest::newRow("marquee direction") << "marquee"
                                       << "mform"
                                       << "Direction";
}

void TestMainWindow::firstDownFromPlaceholder()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);
    QFETCH(QString, placeholder);
    TestSupport::Program program;
    if (!entry.isEmpty())
        program.entry(entry)->trigger();
    auto *box =
        TestSupport::findWindow(program.windows(), window)->findChild<QComboBox *>("Combo1");
    QCOMPARE(box->currentText(), placeholder);
    QCOMPARE(box->currentIndex(), -1);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(box->currentText(), box->itemText(0));
}

// An edit the page has no room for is refused with a warning, once the
// event that asked for it is over.
void TestMainWindow::refusedEdit()
{
    TestSupport::Program program;
    TestSupport::MessageBoxes boxes;
    emit program.document().editRefused("No room.");
    QVERIFY(boxes.shown().isEmpty());
    TestSupport::flushEvents();
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown()[0].text, QString("No room."));
    QCOMPARE(boxes.shown()[0].icon, QMessageBox::Warning);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
