#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "editor/document.h"
#include "markup/picinternet.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

class TestPicInternet : public QObject
{
    Q_OBJECT

private slots:
    void done_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        const QString done = "Command1", cancel = "Command3";
        QTest::newRow("abc") << "abc" << done << "x<img src=abc>y";
        QTest::newRow("address as is")
            << "http://a.com/a b.png" << done << "x<img src=http://a.com/a b.png>y";
        QTest::newRow("blanks only are written") << "   " << done << "x<img src=   >y";
        QTest::newRow("cancel writes nothing") << "http://a.com/y.gif" << cancel << "xabcy";
        QTest::newRow("empty address writes nothing") << "" << done << "xabcy";
    }

    void done()
    {
        QFETCH(QString, address);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        PicInternet *window = program.windows().show<PicInternet>();
        TestSupport::type(window->findChild<QLineEdit *>("url"), address);
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(program.document().text(), expected);
        // The caret after the tag; otherwise abc stays selected.
        QCOMPARE(program.document().selectionLength(), expected == "xabcy" ? 3 : 0);
        if (expected != "xabcy")
            QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        QVERIFY(!program.windows().find<PicInternet>());
        QCOMPARE(boxes.shown().size(), int(address.isEmpty()));
        if (address.isEmpty()) {
            const MessageBox::Message &message = boxes.shown().constFirst();
            QCOMPARE(message.text, QString("Image box is empty!"));
            QCOMPARE(message.title, QString("Error"));
            QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(message.icon, QMessageBox::NoIcon);
        }
        // Every opening starts afresh, with the focus in the empty address box.
        window = program.windows().show<PicInternet>();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window->findChild<QGroupBox *>("Frame1")->title(), QString("Image URL"));
        QStringList chain; // along the tab order, with the captions
        for (QWidget *w = QApplication::focusWidget(); chain.size() < 3; w = w->nextInFocusChain())
            chain.append(w->objectName() + ":" + w->property("text").toString());
        QCOMPARE(chain, (QStringList{"url:", "Command1:Done", "Command3:Cancel"}));
    }
};

QTEST_MAIN(TestPicInternet)
#include "tst_picinternet.moc"
