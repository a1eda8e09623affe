// The editor under a real screen reader's listener: on an X server with a
// window manager, in a D-Bus session with the accessibility bus and a
// listener of text changes (tests/atspi_listener.py), as on a desktop where
// Orca runs. Run through tests/with-atspi.sh; CTest does so.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "editor/document.h"
#include "editor/view/accessibletextchanges.h"
#include "find/findreplace.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

class TestScreenReader : public QObject
{
    Q_OBJECT

    // What the listener heard, one event a line.
    QList<QJsonObject> heard() const
    {
        QFile log(m_dir.filePath("heard.jsonl"));
        QList<QJsonObject> events;
        if (!log.open(QIODevice::ReadOnly))
            return events;
        for (const QByteArray &line : log.readAll().split('\n'))
            if (!line.isEmpty())
                events << QJsonDocument::fromJson(line).object();
        return events;
    }
    // The texts of the insertions into the source box heard from `from` on.
    QStringList insertedIntoPage(qsizetype from) const
    {
        QStringList texts;
        const QList<QJsonObject> events = heard();
        for (qsizetype i = from; i < events.size(); ++i)
            if (events[i]["type"] == "object:text-changed:insert" && events[i]["role"] == "text")
                texts << events[i]["text"].toString();
        return texts;
    }
    // How many events of `type` from an object of `role` carried `text`.
    int heardEvents(const QString &type, const QString &role, const QString &text) const
    {
        const QList<QJsonObject> events = heard();
        return int(std::count_if(events.begin(), events.end(), [&](const QJsonObject &event) {
            return event["type"] == type && event["role"] == role && event["text"] == text;
        }));
    }

    QTemporaryDir m_dir;
    QProcess m_listener;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb" ||
            qEnvironmentVariableIsEmpty("WITH_ATSPI_INSIDE"))
            QSKIP("needs an X server and tests/with-atspi.sh");
        m_listener.start("/usr/bin/python3",
                         {QStringLiteral(TAGLOOM_SOURCE_DIR "/../tests/atspi_listener.py"),
                          m_dir.filePath("heard.jsonl")});
        QVERIFY(m_listener.waitForReadyRead(20000));
        QCOMPARE(m_listener.readLine().trimmed(), QByteArray("ready"));
    }

    void cleanupTestCase()
    {
        m_listener.kill();
        m_listener.waitForFinished();
    }

    // Every edit reaches the listener and the program keeps running; each
    // typed character arrives in an insertion carrying it, and no event
    // carries more than the bound, even for a page of megabytes.
    void editsHeard()
    {
        TestSupport::Program program;
        Document &document = program.document();
        QWidget *box = program.source();
        // Qt's bridge learns of the listener on its own time: type until it speaks.
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        const auto spoke = [this] { return !insertedIntoPage(0).isEmpty(); };
        for (int tries = 0; tries < 20; ++tries) {
            TestSupport::type(box, "a");
            if (QTest::qWaitFor(spoke, 500))
                break;
        }
        QVERIFY(spoke());
        const qsizetype start = heard().size();

        // While a screen reader listens, Qt's bridge hands each key to it
        // first and delivers it when it answers, so the test waits for what
        // keys do; characters that come as input method text do not wait,
        // and are typed one at a time to keep their order.
        const QStringList typed{"<", "b", ">", "w", "\u00f6", "r", "\U0001F600", "\n"};
        QString soFar;
        for (const QString &character : typed) {
            TestSupport::type(box, character);
            soFar += character;
            QTRY_VERIFY_WITH_TIMEOUT(document.text().endsWith(soFar), 10000);
        }
        QApplication::clipboard()->setText(QStringLiteral("pasted\ntext"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(document.text().endsWith("pasted\ntext"), 10000);
        const QString page = QString(2 << 20, QLatin1Char('p')) + QStringLiteral("\nend");
        QVERIFY(document.setPage(page, document.format()));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        QTRY_COMPARE_WITH_TIMEOUT(document.length(), 0, 10000);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(document.length(), page.size(), 10000);

        // Replace All from the find window, whose status line is heard too.
        QTest::keyClick(box, Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(program.windows().find<FindReplace>(), 10000);
        auto *find = program.windows().find<FindReplace>();
        find->findChild<QLineEdit *>("findwhat")->setText("p");
        find->findChild<QLineEdit *>("replacewith")->setText("q");
        find->findChild<QPushButton *>("replaceall")->click();
        QTRY_VERIFY_WITH_TIMEOUT(document.text().startsWith('q'), 20000);
        const QString replaced = QStringLiteral("Replaced ") + QLocale().toString(2 << 20);
        QTRY_VERIFY_WITH_TIMEOUT(
            heardEvents("object:text-changed:insert", "status bar", replaced) > 0, 10000);

        // With the window closed, F3 that finds nothing shows it by the
        // caret, heard each time, the same answer again too.
        find->close();
        QTRY_VERIFY(!program.windows().find<FindReplace>());
        for (int times = 1; times <= 2; ++times) {
            QTest::keyClick(box, Qt::Key_F3);
            QTRY_COMPARE_WITH_TIMEOUT(
                heardEvents("object:text-changed:insert", "status bar", "No matches"), times,
                10000);
        }
        // It takes no focus from the page, under a window manager too.
        QTRY_COMPARE(QApplication::focusWidget(), box);

        // The last key is heard last: everything before it has been.
        TestSupport::type(box, "#");
        QTRY_VERIFY_WITH_TIMEOUT(insertedIntoPage(start).endsWith("#"), 10000);
        const QStringList inserted = insertedIntoPage(start);
        qsizetype at = 0;
        for (const QString &character : typed) {
            at = inserted.indexOf(character, at) + 1;
            QVERIFY2(at > 0, qPrintable("not heard: " + character));
        }
        for (const QJsonObject &event : heard().mid(start))
            QVERIFY(event["text"].toString().size() <= AccessibleTextChanges::TextLimit);
    }
};

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
