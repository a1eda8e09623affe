#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/messagebox.h"

// The real box, not an answerer: what the user sees and what each key returns.
class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void realBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("Enter takes the default, Yes")
            << int(Qt::Key_Return) << int(QMessageBox::Yes);
        QTest::newRow("Escape is Cancel") << int(Qt::Key_Escape) << int(QMessageBox::Cancel);
    }

    void realBox()
    {
        QFETCH(int, key);
        bool asked = false;
        QTimer::singleShot(0, this, [&asked, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            asked = true;
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->windowTitle(), QString("New file"));
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
            QTest::keyClick(box, Qt::Key(key));
        });
        const QMessageBox::StandardButton answer =
            MessageBox::show({QStringLiteral("Would you like to save?"), QStringLiteral("New file"),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                              QMessageBox::Yes, QMessageBox::Warning});
        QVERIFY(asked);
        QTEST(int(answer), "expected");
    }

    void layout()
    {
        QTimer::singleShot(0, this, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->text(), QString("Invalid File Name"));
            QCOMPARE(box->windowTitle(), QString("Error"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(QApplication::modalWindow());
            box->button(QMessageBox::Ok)->click();
        });
        MessageBox::inform(QStringLiteral("Invalid File Name"), QStringLiteral("Error"));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
