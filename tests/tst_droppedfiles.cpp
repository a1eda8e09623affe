#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <unistd.h>

#include "editor/document.h"
#include "platform/filename.h"
#include "testsupport.h"

// Files and text dropped on the source box.
class TestDroppedFiles : public QObject
{
    Q_OBJECT

    // Drops `data` at the start or the end of the text, as a file manager would.
    static void drop(QWidget *source, const QMimeData &data, bool atEnd)
    {
        QWidget *target = source;
        if (auto *area = qobject_cast<QAbstractScrollArea *>(source))
            target = area->viewport();
        const QPoint at = atEnd ? QPoint(target->width() - 5, target->height() - 5) : QPoint(1, 1);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        TestSupport::flushEvents(); // the drop is handled once it is over
    }

private slots:
    void drops_data()
    {
        // Paths are relative to a folder holding new.html and old.htm; a text
        // of "-" drops no text.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("atEnd");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("result"); // {} for the folder
        QTest::addColumn<QStringList>("messages");
        const QString page = "ab\ncd";
        const QString asked = "Would you like to save?";
        const QString unused = "Only one web page";
        QTest::newRow("picture at the start")
            << QStringList{"a.png"} << "-" << false << false << QMessageBox::Ok
            << "<img src={}a.png>" + page << QStringList();
        QTest::newRow("pictures at the end, any letter case")
            << QStringList{"a.JPG", "b.gif"} << "-" << true << false << QMessageBox::Ok
            << page + "<img src={}a.JPG><img src={}b.gif>" << QStringList();
        QTest::newRow("picture with a file address as text too")
            << QStringList{"a.svg"} << "file:///elsewhere/a.svg" << true << true << QMessageBox::Ok
            << page + "<img src={}a.svg>" << QStringList();
        QTest::newRow("page over an unchanged page")
            << QStringList{"new.html"} << "-" << false << false << QMessageBox::Cancel
            << "<p>new</p>" << QStringList();
        QTest::newRow("htm page over a changed page, No")
            << QStringList{"old.htm"} << "-" << true << true << QMessageBox::No << "<p>old</p>"
            << QStringList{asked};
        QTest::newRow("page over a changed page, Cancel")
            << QStringList{"new.html"} << "-" << true << true << QMessageBox::Cancel << page
            << QStringList{asked};
        QTest::newRow("page with a picture and a second page")
            << QStringList{"a.png", "new.html", "old.htm"} << "-" << false << false
            << QMessageBox::Ok << "<p>new</p>" << QStringList{unused};
        QTest::newRow("neither page nor picture")
            << QStringList{"notes.txt", "."} << "-" << false << false << QMessageBox::Ok << page
            << QStringList{unused};
        QTest::newRow("missing page") << QStringList{"gone.html"} << "-" << false << false
                                      << QMessageBox::Ok << page << QStringList{"Could not open"};
        // As a file manager gives them: the name's own bytes, percent-encoded.
        const QString cafe = FileName::decode("caf\xE9");
        QTest::newRow("picture whose name is not UTF-8")
            << QStringList{cafe + ".png"} << "-" << false << false << QMessageBox::Ok
            << "<img src={}" + cafe + ".png>" + page << QStringList();
        QTest::newRow("page whose name is not UTF-8")
            << QStringList{cafe + ".html"} << "-" << false << false << QMessageBox::Ok
            << "<p>caf</p>" << QStringList();
        QTest::newRow("plain text at the end") << QStringList() << "<hr>" << true << false
                                               << QMessageBox::Ok << page + "<hr>" << QStringList();
    }
    void drops()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        QFETCH(bool, atEnd);
        QFETCH(bool, changed);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, result);
        QFETCH(QStringList, messages);
        QTemporaryDir folder;
        QVERIFY(TestSupport::writeBytes(folder.filePath("new.html"), "<p>new</p>"));
        QVERIFY(TestSupport::writeBytes(folder.filePath("old.htm"), "<p>old</p>"));
        // Qt cannot remove a name that is not UTF-8.
        const QString cafe = folder.filePath(FileName::decode("caf\xE9.html"));
        const auto removeCafe = qScopeGuard([&] { unlink(FileName::encode(cafe).constData()); });
        QVERIFY(TestSupport::writeBytes(cafe, "<p>caf</p>"));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes(answer);
        program.document().setPage("ab\ncd", PageFormat());
        if (changed) {
            program.document().select(0, 1);
            program.document().insertFragment("a");
        }
        QCOMPARE(program.document().isModified(), changed);

        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files) {
            const QByteArray path = FileName::encode(folder.filePath(file));
            urls.append(QUrl::fromEncoded("file://" + path.toPercentEncoding("/")));
        }
        data.setUrls(urls);
        if (text != "-")
            data.setText(text);
        drop(program.source(), data, atEnd);

        QCOMPARE(program.document().text(), result.replace("{}", folder.path() + "/"));
        // A page just opened is unchanged; a drop that wrote nothing changes nothing.
        const bool opened = result.startsWith("<p>");
        QCOMPARE(program.document().isModified(), !opened && (changed || result != "ab\ncd"));
        QCOMPARE(boxes.shown().size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(boxes.shown()[i].text.startsWith(messages[i]),
                     qPrintable(boxes.shown()[i].text));
        QVERIFY(!program.document().text().contains("file:"));
    }

    // Pasted files are taken as dropped ones at the caret, never as addresses.
    void pastedFile()
    {
        TestSupport::Program program;
        program.document().setPage("abcd", PageFormat());
        program.document().select(2, 0);
        QSignalSpy dropped(&program.document(), &Document::filesDropped);
        auto *data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile("/p/a.png")});
        QApplication::clipboard()->setMimeData(data);
        QTest::keyClick(program.source(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0][0].value<QList<QUrl>>(), QList<QUrl>{QUrl("file:///p/a.png")});
        QCOMPARE(dropped[0][1].toInt(), 2);
        TestSupport::flushEvents();
        QCOMPARE(program.document().text(), QString("ab<img src=/p/a.png>cd"));
    }
};

QTEST_MAIN(TestDroppedFiles)
#include "tst_droppedfiles.moc"
