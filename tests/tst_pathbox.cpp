#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "platform/filename.h"
#include "ui/pathbox.h"

// A name that is not UTF-8, pasted or dropped into a path box, keeps its bytes.
class TestPathBox : public QObject
{
    Q_OBJECT

    static QMimeData *dataOf(const QString &kind, const QByteArray &path)
    {
        auto *data = new QMimeData;
        if (kind == "address")
            data->setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
        else
            data->setData("text/plain", path);
        return data;
    }

    static void drop(QWidget *target, const QMimeData &data)
    {
        const QPoint at(target->width() - 2, target->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
    }

private slots:
    void taken_data()
    {
        QTest::addColumn<QString>("kind"); // a file: address or plain text
        QTest::addColumn<bool>("dropped"); // or pasted with Ctrl+V
        QTest::addColumn<QByteArray>("path");
        for (const bool dropped : {false, true}) {
            const char *how = dropped ? "dropped" : "pasted";
            for (const char *kind : {"address", "text"}) {
                QTest::addRow("%s %s, Latin-1 byte", kind, how)
                    << kind << dropped << QByteArray("/p/caf\xE9.html");
                QTest::addRow("%s %s, UTF-8", kind, how)
                    << kind << dropped << QByteArray("/p/caf\xC3\xA9 \xE4\xB8\xAD.html");
                QTest::addRow("%s %s, cut-off sequence", kind, how)
                    << kind << dropped << QByteArray("/p/\xE4\xB8/x.html");
            }
        }
    }
    void taken()
    {
        QFETCH(QString, kind);
        QFETCH(bool, dropped);
        QFETCH(QByteArray, path);
        PathBox box;
        box.setText("at:");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        std::unique_ptr<QMimeData> data(dataOf(kind, path));
        if (dropped) {
            drop(&box, *data);
        } else {
            QApplication::clipboard()->setMimeData(data.release());
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(FileName::encode(box.text()), "at:" + path);
    }
};

QTEST_MAIN(TestPathBox)
#include "tst_pathbox.moc"
