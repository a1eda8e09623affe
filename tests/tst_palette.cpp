#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/palette.h"
#include "testsupport.h"

namespace {

struct Row
{
    const char *label;
    QColor fill;
    const char *code;
};

// Swatch, screen colour and written code, as a user sees and gets them.
const Row Swatches[] = {
    {"Label1", QColor(0, 0, 0), "000000"},       {"Label2", QColor(128, 128, 128), "777777"},
    {"Label3", QColor(128, 0, 0), "770000"},     {"Label4", QColor(128, 128, 0), "999933"},
    {"Label5", QColor(0, 128, 0), "007700"},     {"Label6", QColor(0, 128, 128), "006666"},
    {"Label7", QColor(0, 0, 128), "000066"},     {"Label8", QColor(128, 0, 128), "663366"},
    {"Label9", QColor(255, 255, 255), "FFFFFF"}, {"Label10", QColor(192, 192, 192), "BBBBBB"},
    {"Label11", QColor(255, 0, 0), "FF0000"},    {"Label12", QColor(255, 255, 0), "FFFF00"},
    {"Label13", QColor(0, 255, 0), "00FF00"},    {"Label14", QColor(0, 255, 255), "33FFFF"},
    {"Label15", QColor(0, 0, 255), "3300FF"},    {"Label16", QColor(255, 0, 255), "FF00FF"},
};

struct PaletteCase
{
    const char *window;
    const char *button;
    int buttonLeft;
};

const PaletteCase Palettes[] = {
    {"textcolor", "textcolorbutton", 6000},
    {"bgcolor", "backcolorbutton", 6720},
    {"hlightcolor", "highlight", 7080},
};

QToolButton *toolbarButton(const TestSupport::Program &program, const QString &name)
{
    return program.main()->findChild<QToolButton *>(name);
}

// Opens a palette with its toolbar button, as the user does, and waits until
// it has the focus.
QWidget *openPalette(TestSupport::Program &program, const QString &button, const QString &name)
{
    QTest::mouseClick(toolbarButton(program, button), Qt::LeftButton);
    QWidget *palette = program.windows().find(name);
    if (palette && !QTest::qWaitForWindowActive(palette))
        qWarning("palette did not become active");
    return palette;
}

// The drop-down position: main window's outer corner + button place + 1000 twips down.
QPoint expectedPosition(const TestSupport::Program &program, int buttonLeft)
{
    const QRect frame = program.main()->frameGeometry();
    return {Twips::toPixels(Twips::fromPixels(frame.left()) + buttonLeft),
            Twips::toPixels(Twips::fromPixels(frame.top()) + 120 + 1000)};
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void swatchWritesCode_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QString>("expected");
        for (const PaletteCase &palette : Palettes) {
            for (const Row &row : Swatches) {
                const QString code = QString::fromLatin1(row.code);
                QString expected;
                if (QLatin1String(palette.window) == QLatin1String("textcolor"))
                    expected = "x<font color=#" + code + ">abc</font>y";
                else if (QLatin1String(palette.window) == QLatin1String("hlightcolor"))
                    expected = "x<span style=background:#" + code + ">abc</span>y";
                else
                    expected = "x<body bgcolor=#" + code + ">abcy";
                QTest::addRow("%s %s", palette.window, row.label)
                    << palette.window << palette.button << row.label << row.fill << expected;
            }
        }
    }

    void swatchWritesCode()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, label);
        QFETCH(QColor, fill);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        QWidget *palette = openPalette(program, button, window);
        QVERIFY(palette);

        const QString shapeName = QString(label).replace("Label", "Shape");
        auto *shape = palette->findChild<QFrame *>(shapeName);
        QVERIFY(shape);
        QCOMPARE(shape->palette().color(QPalette::Window), fill);
        QVERIFY(shape->autoFillBackground());

        QTest::mouseClick(palette->findChild<QLabel *>(label), Qt::LeftButton);

        QCOMPARE(program.document().text(), expected);
        // The caret stands after the closing tag, or after abc behind the body tag.
        QCOMPARE(program.document().caretPosition(), int(expected.size()) - 1);
        QCOMPARE(program.document().selectionLength(), 0);
        QVERIFY(!program.windows().find(window));
    }

    void nothingSelected_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text colour") << "textcolor"
                                     << "textcolorbutton"
                                     << "Label11"
                                     << "ab<font color=#FF0000></font>cd";
        QTest::newRow("highlight") << "hlightcolor"
                                   << "highlight"
                                   << "Label2"
                                   << "ab<span style=background:#777777></span>cd";
        QTest::newRow("background") << "bgcolor"
                                    << "backcolorbutton"
                                    << "Label10"
                                    << "ab<body bgcolor=#BBBBBB>cd";
    }

    void nothingSelected()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, label);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("abcd");
        program.document().select(2, 0);
        QWidget *palette = openPalette(program, button, window);

        QTest::mouseClick(palette->findChild<QLabel *>(label), Qt::LeftButton);

        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().caretPosition(), int(expected.size()) - 2);
    }

    void secondBodyTagLeavesFirst()
    {
        TestSupport::Program program;
        program.document().setText("<body bgcolor=#000000>text");
        program.document().select(26, 0);
        QWidget *palette = openPalette(program, "backcolorbutton", "bgcolor");
        QTest::mouseClick(palette->findChild<QLabel *>("Label9"), Qt::LeftButton);
        QCOMPARE(program.document().text(),
                 QString("<body bgcolor=#000000>text<body bgcolor=#FFFFFF>"));
    }

    void layout()
    {
        TestSupport::Program program;
        QWidget *palette = openPalette(program, "highlight", "hlightcolor");
        QVERIFY(palette->windowTitle().isEmpty());
        QVERIFY(palette->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(palette->size(), Twips::size(2070, 630));
        for (int i = 0; i < 16; ++i) {
            const QRect expected = Twips::rect(120 + 240 * (i % 8), i < 8 ? 120 : 360, 135, 135);
            auto *label = palette->findChild<QLabel *>(QString("Label%1").arg(i + 1));
            auto *shape = palette->findChild<QFrame *>(QString("Shape%1").arg(i + 1));
            QCOMPARE(label->geometry(), expected);
            QCOMPARE(shape->geometry(), expected);
            QVERIFY(label->text().isEmpty());
            QVERIFY(!label->autoFillBackground());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
        }
    }

    void placedBelowButton_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("buttonLeft");
        QTest::addColumn<QPoint>("mainPosition");
        for (const PaletteCase &palette : Palettes) {
            QTest::addRow("%s, main window as started", palette.window)
                << palette.window << palette.button << palette.buttonLeft << QPoint();
            // Near the bottom of the screen the palette goes partly off it.
            QTest::addRow("%s, main window moved low", palette.window)
                << palette.window << palette.button << palette.buttonLeft << QPoint(37, 1050);
        }
    }

    void placedBelowButton()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(int, buttonLeft);
        QFETCH(QPoint, mainPosition);
        TestSupport::Program program;
        if (!mainPosition.isNull())
            program.main()->move(mainPosition);

        QWidget *palette = openPalette(program, button, window);

        const QPoint expected = expectedPosition(program, buttonLeft);
        QCOMPARE(palette->pos(), expected);
        QCOMPARE(palette->geometry().topLeft(), expected);
        if (!mainPosition.isNull())
            QVERIFY(palette->geometry().bottom() > 1080);
    }

    void placedOnceWhenCreated()
    {
        TestSupport::Program program;
        QWidget *palette = openPalette(program, "textcolorbutton", "textcolor");
        const QPoint placed = palette->pos();

        // Showing the open palette again brings it forward, unchanged.
        program.main()->move(program.main()->pos() + QPoint(50, 30));
        QCOMPARE(program.windows().show<TextColor>(), palette);
        QCOMPARE(palette->pos(), placed);
    }

    void buttonWhileOpenOpensFresh()
    {
        TestSupport::Program program;
        QPointer<QWidget> first = openPalette(program, "backcolorbutton", "bgcolor");
        QVERIFY(first);
        program.main()->move(program.main()->pos() + QPoint(50, 30));

        TestSupport::clickInto(toolbarButton(program, "backcolorbutton"));

        QWidget *second = program.windows().find<BgColor>();
        QVERIFY(second);
        QVERIFY(second != first);
        QTRY_VERIFY(!first);
        QVERIFY(QTest::qWaitForWindowActive(second));
        QCOMPARE(second->pos(), expectedPosition(program, 6720));
        // The new one stays open: nothing of the old one's closing reaches it.
        QTest::qWait(20);
        QCOMPARE(program.windows().find<BgColor>(), second);
    }

    void closesOnClickIntoSource()
    {
        TestSupport::Program program;
        program.document().setText("xabcy");
        QPointer<QWidget> palette = openPalette(program, "textcolorbutton", "textcolor");
        QVERIFY(palette);

        TestSupport::clickInto(program.source());

        QTRY_VERIFY(!palette);
        QVERIFY(!program.windows().find<TextColor>());
        QCOMPARE(program.document().text(), QString("xabcy"));
    }

    void closesWhenAnotherWindowTakesFocus()
    {
        TestSupport::Program program;
        QPointer<QWidget> palette = openPalette(program, "highlight", "hlightcolor");

        // Another palette shown by any means takes the focus, and the first closes.
        QWidget *other = program.windows().show<TextColor>();
        QVERIFY(QTest::qWaitForWindowActive(other));
        QTRY_VERIFY(!palette);
        QCOMPARE(program.windows().openWindows(), (QStringList{"textcolor", "Main"}));
    }

    void atMostOnePalette()
    {
        TestSupport::Program program;
        openPalette(program, "textcolorbutton", "textcolor");
        openPalette(program, "backcolorbutton", "bgcolor");
        openPalette(program, "highlight", "hlightcolor");
        QTest::qWait(20);
        QCOMPARE(program.windows().openWindows(), (QStringList{"hlightcolor", "Main"}));
    }

    void noPaletteBeforeFirstUse()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        QWidget *palette = openPalette(program, "textcolorbutton", "textcolor");
        QCOMPARE(program.windows().window<TextColor>(), palette);
        QCOMPARE(program.windows().openWindows(), (QStringList{"textcolor", "Main"}));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
