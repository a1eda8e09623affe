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

class TestPicInternet : public QObject
{
    Q_OBJECT

private slots:
    void opening()
    {
        TestSupport::Program program;
        QCOMPARE(program.windows().openWindows(), QStringList{"Main"});
        PicInternet *window = program.windows().show<PicInternet>();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->windowTitle(), QString("Add Picture From Internet"));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window->size(), Twips::size(5325, 1455));
        auto *frame = window->findChild<QGroupBox *>("Frame1");
        QCOMPARE(frame->title(), QString("Image URL"));
        QCOMPARE(window->findChild<QLineEdit *>("url")->parentWidget(), frame);

        // From the focus in the address box along the tab order, with the captions.
        QStringList chain;
        for (QWidget *w = QApplication::focusWidget(); chain.size() < 3; w = w->nextInFocusChain())
            chain.append(w->objectName() + ":" + w->property("text").toString());
        QCOMPARE(chain, (QStringList{"url:", "Command1:Done", "Command3:Cancel"}));
    }

    void done_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("abc") << "abc"
                             << "Command1"
                             << "x<img src=abc>y";
        QTest::newRow("address as is") << "http://example.com/a b.png"
                                       << "Command1"
                                       << "x<img src=http://example.com/a b.png>y";
        QTest::newRow("blanks only are written") << "   "
                                                 << "Command1"
                                                 << "x<img src=   >y";
        QTest::newRow("cancel writes nothing") << "http://x/y.gif"
                                               << "Command3"
                                               << "xabcy";
        QTest::newRow("empty address writes nothing") << ""
                                                      << "Command1"
                                                      << "xabcy";
    }

    void done()
    {
        QFETCH(QString, address);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        TestSupport::Program program;
        program.document().setText("xabcy");
        program.document().select(1, 3);
        QPointer<PicInternet> window = program.windows().show<PicInternet>();
        TestSupport::type(window->findChild<QLineEdit *>("url"), address);
        QList<MessageBox::Message> shown;
        bool openWhileAsking = false;
        MessageBox::setAnswerer([&](const MessageBox::Message &message) {
            shown.append(message);
            openWhileAsking = window && window->isVisible();
            return QMessageBox::Ok;
        });

        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
        MessageBox::setAnswerer({});

        QCOMPARE(program.document().text(), expected);
        if (expected.contains('>'))
            QCOMPARE(program.document().caretPosition(), int(expected.indexOf('>')) + 1);
        else
            QCOMPARE(program.document().selectionLength(), 3);
        QVERIFY(!program.windows().find<PicInternet>());
        QCOMPARE(shown.size(), int(address.isEmpty()));
        if (address.isEmpty()) {
            QVERIFY(openWhileAsking); // the window waits for OK, then closes
            QCOMPARE(shown[0].text, QString("Image box is empty!"));
            QCOMPARE(shown[0].title, QString("Error"));
            QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(shown[0].icon, QMessageBox::NoIcon);
        }
        // The next opening starts empty.
        QVERIFY(
            program.windows().show<PicInternet>()->findChild<QLineEdit *>("url")->text().isEmpty());
    }
};

QTEST_MAIN(TestPicInternet)
#include "tst_picinternet.moc"
