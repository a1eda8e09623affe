#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

namespace {

// Swatch screen colour and the code it writes, in place order.
const std::pair<QColor, const char *> Swatches[] = {
    {QColor(0, 0, 0), "000000"},       {QColor(128, 128, 128), "777777"},
    {QColor(128, 0, 0), "770000"},     {QColor(128, 128, 0), "999933"},
    {QColor(0, 128, 0), "007700"},     {QColor(0, 128, 128), "006666"},
    {QColor(0, 0, 128), "000066"},     {QColor(128, 0, 128), "663366"},
    {QColor(255, 255, 255), "FFFFFF"}, {QColor(192, 192, 192), "BBBBBB"},
    {QColor(255, 0, 0), "FF0000"},     {QColor(255, 255, 0), "FFFF00"},
    {QColor(0, 255, 0), "00FF00"},     {QColor(0, 255, 255), "33FFFF"},
    {QColor(0, 0, 255), "3300FF"},     {QColor(255, 0, 255), "FF00FF"},
};

// Window, button, button left, the tag up to the code, the closing tag. The
// background palette writes no closing tag: the selected text follows the body tag.
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

QWidget *openPalette(TestSupport::Program &program, int palette)
{
    QTest::mouseClick(program.button(Palettes[palette].button), Qt::LeftButton);
    QWidget *window = program.windows().find(Palettes[palette].window);
    return window && QTest::qWaitForWindowActive(window) ? window : nullptr;
}

// Main window's outer corner + the button's place (top 120) + 1000 twips down.
QPoint belowButton(const TestSupport::Program &program, int buttonLeft)
{
    const QRect frame = program.main()->frameGeometry();
    return Twips::point(Twips::fromPixels(frame.left()) + buttonLeft,
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
        for (int p = 0; p < 3; ++p) {
            for (int i = 0; i < 16; ++i)
                QTest::addRow("%s Label%d", Palettes[p].window, i + 1) << p << i;
        }
    }

    void swatchWritesCode()
    {
        QFETCH(int, palette);
        QFETCH(int, swatch);
        const auto &p = Palettes[palette];
        // Every other swatch with abc selected, the rest with nothing selected.
        const bool selected = swatch % 2 == 0;
        const QString rest = selected ? "y" : "abcy";
        const QString expected = "x" + QString(p.open) + Swatches[swatch].second + ">" +
                                 (selected ? "abc" : "") + p.close + rest;
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, selected ? 3 : 0);
        QWidget *window = openPalette(program, palette);
        QVERIFY(window);

        // Two rows of eight; the shape shows the fill, the label over it takes the click.
        const QRect place =
            Twips::rect(120 + 240 * (swatch % 8), 120 + 240 * (swatch / 8), 135, 135);
        auto *shape = window->findChild<QFrame *>(QString("Shape%1").arg(swatch + 1));
        auto *label = window->findChild<QLabel *>(QString("Label%1").arg(swatch + 1));
        QCOMPARE(shape->geometry(), place);
        QCOMPARE(label->geometry(), place);
        QVERIFY(shape->autoFillBackground());
        QCOMPARE(shape->palette().color(QPalette::Window), Swatches[swatch].first);

        QTest::mouseClick(label, Qt::LeftButton);

        QCOMPARE(program.document().text(), expected);
        // After the closing tag, or after abc behind the body tag.
        QCOMPARE(program.document().caretPosition(), int(expected.size() - rest.size()));
        QCOMPARE(program.document().selectionLength(), 0);
        QVERIFY(!program.windows().find(p.window));
    }

    void placedBelowButtonClosedOnFocusLoss_data()
    {
        QTest::addColumn<int>("palette");
        QTest::addColumn<QPoint>("mainPosition");
        QTest::addColumn<QString>("target"); // clicked while the palette is open
        QTest::addColumn<int>("next");       // the palette open afterwards, or -1
        QTest::newRow("click into the source box") << 0 << QPoint() << "htmlsource" << -1;
        QTest::newRow("own button opens a fresh one")
            << 1 << QPoint(301, 17) << "backcolorbutton" << 1;
        // Nothing keeps a palette on the screen.
        QTest::newRow("another palette's button, main near the bottom")
            << 2 << QPoint(37, 1000) << "textcolorbutton" << 0;
    }

    void placedBelowButtonClosedOnFocusLoss()
    {
        QFETCH(int, palette);
        QFETCH(QPoint, mainPosition);
        QFETCH(QString, target);
        QFETCH(int, next);
        TestSupport::Program program;
        program.document().setText("xabcy");
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        if (!mainPosition.isNull())
            program.main()->move(mainPosition);

        QPointer<QWidget> first = openPalette(program, palette);
        QVERIFY(first && first->windowTitle().isEmpty());
        QVERIFY(first->windowFlags() & Qt::FramelessWindowHint);
        const QPoint below = belowButton(program, Palettes[palette].buttonLeft);
        QCOMPARE(first->geometry(), QRect(below, Twips::size(2070, 630)));
        // Placed when created only: it does not follow the main window.
        program.main()->move(program.main()->pos() + QPoint(50, 30));
        QTest::qWait(20);
        QCOMPARE(first->pos(), below);

        TestSupport::clickInto(program.main()->findChild<QWidget *>(target));

        QTRY_VERIFY(!first);
        // Nothing of the old one's closing reaches a new one: at most one stays open.
        QTest::qWait(20);
        QStringList open{"Main"};
        if (next >= 0) {
            open.prepend(Palettes[next].window);
            QWidget *second = program.windows().find(Palettes[next].window);
            QVERIFY(QTest::qWaitForWindowActive(second));
            QCOMPARE(second->pos(), belowButton(program, Palettes[next].buttonLeft));
        }
        QCOMPARE(program.windows().openWindows(), open);
        QCOMPARE(program.document().text(), QString("xabcy"));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
