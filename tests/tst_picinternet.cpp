#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "markup/picinternet.h"
#include "testsupport.h"

namespace {

QPushButton *buttonOf(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(name);
}

QLineEdit *addressBox(QWidget *window)
{
    return window->findChild<QLineEdit *>("url");
}

PicInternet *openWindow(TestSupport::Program &program)
{
    PicInternet *window = program.windows().show<PicInternet>();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("picinternet did not become active");
    return window;
}

} // namespace

class TestPicInternet : public QObject
{
    Q_OBJECT

private slots:
    void layout()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        PicInternet *window = openWindow(program);
        QCOMPARE(window->windowTitle(), QString("Add Picture From Internet"));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window->size(), Twips::size(5325, 1455));

        auto *frame = window->findChild<QGroupBox *>("Frame1");
        QCOMPARE(frame->title(), QString("Image URL"));
        QCOMPARE(addressBox(window)->parentWidget(), frame);
        QPushButton *done = buttonOf(window, "Command1");
        QPushButton *cancel = buttonOf(window, "Command3");
        QCOMPARE(done->text(), QString("Done"));
        QCOMPARE(cancel->text(), QString("Cancel"));

        QCOMPARE(QApplication::focusWidget(), addressBox(window));
        QCOMPARE(addressBox(window)->nextInFocusChain(), done);
        QCOMPARE(done->nextInFocusChain(), cancel);
    }

    void done_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("expected");
        QTest::newRow("abc at caret") << "abc" << 0 << "x<img src=abc>abcy";
        QTest::newRow("replaces selection")
            << "http://example.com/a b.png" << 3 << "x<img src=http://example.com/a b.png>y";
        QTest::newRow("blanks only are written") << "   " << 0 << "x<img src=   >abcy";
    }

    void done()
    {
        QFETCH(QString, address);
        QFETCH(int, selectionLength);
        QFETCH(QString, expected);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setText("xabcy");
        program.document().select(1, selectionLength);
        PicInternet *window = openWindow(program);
        TestSupport::type(addressBox(window), address);

        QTest::mouseClick(buttonOf(window, "Command1"), Qt::LeftButton);

        QCOMPARE(program.document().text(), expected);
        QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!program.windows().find<PicInternet>());
    }

    void emptyAddress()
    {
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        QPointer<PicInternet> window = openWindow(program);
        QList<MessageBox::Message> shown;
        bool openWhileAsking = false;
        MessageBox::setAnswerer([&](const MessageBox::Message &message) {
            shown.append(message);
            openWhileAsking = window && window->isVisible();
            return QMessageBox::Ok;
        });

        QTest::mouseClick(buttonOf(window, "Command1"), Qt::LeftButton);
        MessageBox::setAnswerer({});

        QVERIFY(openWhileAsking);
        QCOMPARE(shown.size(), 1);
        const MessageBox::Message &message = shown.constFirst();
        QCOMPARE(message.text, QString("Image box is empty!"));
        QCOMPARE(message.title, QString("Error"));
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(program.document().text(), QString("xabcy"));
        QCOMPARE(program.document().selectionLength(), 3);
        QVERIFY(!program.windows().find<PicInternet>());
    }

    void cancelWritesNothingAndForgets()
    {
        TestSupport::Program program;
        program.document().setText("abc");
        PicInternet *window = openWindow(program);
        TestSupport::type(addressBox(window), "http://x/y.gif");

        QTest::mouseClick(buttonOf(window, "Command3"), Qt::LeftButton);

        QVERIFY(!program.windows().find<PicInternet>());
        QCOMPARE(program.document().text(), QString("abc"));
        PicInternet *again = openWindow(program);
        QVERIFY(addressBox(again)->text().isEmpty());
    }

    void enterAndEscapeDoNothing()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        PicInternet *window = openWindow(program);
        TestSupport::type(addressBox(window), "a.gif");
        QTest::keyClick(addressBox(window), Qt::Key_Return);
        QTest::keyClick(addressBox(window), Qt::Key_Escape);
        QCOMPARE(program.windows().find<PicInternet>(), window);
        QCOMPARE(program.document().text(), QString());
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(TestPicInternet)
#include "tst_picinternet.moc"
