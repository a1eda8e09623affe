#include <QAbstractButton>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/window.h"
#include "ui/windowregistry.h"

namespace {

// Swatch screen colour and the code it writes, in place order.
const std::pair<const char *, const char *> Swatches[] = {
    {"#000000", "000000"}, {"#808080", "777777"}, {"#800000", "770000"}, {"#808000", "999933"},
    {"#008000", "007700"}, {"#008080", "006666"}, {"#000080", "000066"}, {"#800080", "663366"},
    {"#ffffff", "FFFFFF"}, {"#c0c0c0", "BBBBBB"}, {"#ff0000", "FF0000"}, {"#ffff00", "FFFF00"},
    {"#00ff00", "00FF00"}, {"#00ffff", "33FFFF"}, {"#0000ff", "3300FF"}, {"#ff00ff", "FF00FF"},
};

// Window, button, its left, the tag up to the code, the closing tag (none after the body tag).
const struct
{
    const char *window, *button;
    int buttonLeft;
    const char *open, *close;
} Palettes[] = {
    {"textcolor", "textcolorbutton", 6000, "<font color=#", "</font>"},
    {"bgcolor", "backcolorbutton", 6720, "<body bgcolor=#", ""},
    {"hlightcolor", "highlight", 7080, "<span style=background:#", "</span>"},
};

// Main window's outer corner + the button's place (top 120) + 1000 twips down.
QPoint belowButton(const TestSupport::Program &program, int palette)
{
    const QRect frame = program.main()->frameGeometry();
    return Twips::point(Twips::fromPixels(frame.left()) + Palettes[palette].buttonLeft,
                        Twips::fromPixels(frame.top()) + 120 + 1000);
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void swatchWritesCode_data()
    {
        QTest::addColumn<int>("palette");
        QTest::addColumn<int>("swatch");
        for (int p = 0; p < 3; ++p)
            for (int i = 0; i < 16; ++i)
                QTest::addRow("%s Label%d", Palettes[p].window, i + 1) << p << i;
    }

    void swatchWritesCode()
    {
        QFETCH(int, palette);
        QFETCH(int, swatch);
        const auto &p = Palettes[palette];
        // Every other swatch with abc selected; the caret ends right before `rest`.
        const bool selected = swatch % 2 == 0;
        const QString rest = selected ? "y" : "abcy";
        const QString expected = "x" + QString(p.open) + Swatches[swatch].second + ">" +
                                 (selected ? "abc" : "") + p.close + rest;
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selected ? 3 : 0);
        QTest::mouseClick(program.button(p.button), Qt::LeftButton);
        QWidget *window = TestSupport::findWindow(program.windows(), p.window);
        QVERIFY(window && QTest::qWaitForWindowActive(window));
        // Two rows of eight; a swatch shows its fill inside a box in the text colour.
        auto *button = window->findChild<QAbstractButton *>(QString("Label%1").arg(swatch + 1));
        QCOMPARE(button->geometry(),
                 Twips::rect(120 + 240 * (swatch % 8), 120 + 240 * (swatch / 8), 135, 135));
        const QImage look = button->grab().toImage();
        const QRect edge = look.rect();
        for (QPoint point : {edge.topLeft(), edge.bottomRight()})
            QCOMPARE(look.pixelColor(point), button->palette().color(QPalette::WindowText));
        QCOMPARE(look.pixelColor(edge.center()).name(), QString(Swatches[swatch].first));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().caretPosition(), int(expected.size() - rest.size()));
        QCOMPARE(program.document().selectionLength(), 0);
        QVERIFY(!TestSupport::findWindow(program.windows(), p.window));
    }

    void placedBelowButtonClosedOnFocusLoss()
    {
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.main()->move(37, 1000); // nothing keeps a palette on the screen
        QTest::mouseClick(program.button("textcolorbutton"), Qt::LeftButton);
        QPointer<QWidget> open = TestSupport::findWindow(program.windows(), "textcolor");
        QVERIFY(open && QTest::qWaitForWindowActive(open));
        QVERIFY(open->windowTitle().isEmpty() && open->windowFlags() & Qt::FramelessWindowHint);
        // The border it draws lies around the 2070 x 630 client area.
        const QSize border(2 * Window::DrawnBorder, 2 * Window::DrawnBorder);
        QCOMPARE(open->geometry(), QRect(belowButton(program, 0), Twips::size(2070, 630) + border));
        // Another palette's button, then its own button again: the open palette closes
        // and a fresh one opens, placed anew; at most one is ever open.
        for (int click = 0; click < 2; ++click) {
            program.main()->move(program.main()->pos() + QPoint(50, -30));
            TestSupport::clickInto(program.button("highlight"));
            QTRY_VERIFY(!open);
            TestSupport::flushEvents(); // nothing of the old one's closing reaches the new one
            QCOMPARE(program.windows().openWindows(), (QStringList{"hlightcolor", "Main"}));
            open = TestSupport::findWindow(program.windows(), "hlightcolor");
            QVERIFY(QTest::qWaitForWindowActive(open));
            QCOMPARE(open->pos(), belowButton(program, 2));
        }
        TestSupport::clickInto(program.source());
        QTRY_VERIFY(!open);
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        QCOMPARE(program.document().text(), QString("xabcy"));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
