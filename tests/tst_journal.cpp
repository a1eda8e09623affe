#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "editor/document.h"
#include "files/pagecodec.h"
#include "files/pagefile.h"
#include "files/statefolder.h"
#include "journalscript.h"
#include "recovery/journal.h"
#include "recovery/journalfolder.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

namespace {

QStringList journals()
{
    return QDir(StateFolder::location()).entryList({"*.journal"}, QDir::Files);
}

void emptyFolder()
{
    QDir folder(StateFolder::location());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
}

// A copy of this program's journal under a name no program holds: what a
// killed program leaves.
QString leaveBehind(const QString &name = QStringLiteral("1-1.journal"))
{
    const QString ours = StateFolder::location() + '/' + JournalFolder::ownName();
    const QString left = StateFolder::location() + '/' + name;
    QFile::remove(left);
    return QFile::copy(ours, left) ? left : QString();
}

// When each step the child began began: its log has a line "N TIME" for each.
QList<qint64> readLog(const QString &path)
{
    QList<qint64> started;
    QFile log(path);
    log.open(QIODevice::ReadOnly);
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (const QList<QByteArray> fields = line.split(' '); fields.size() == 2)
            started.append(fields.at(1).toLongLong());
    }
    return started;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void init() { emptyFolder(); }
    void cleanupTestCase() { emptyFolder(); }
    void keepsAJournalOnlyWhileChanged_data();
    void keepsAJournalOnlyWhileChanged();
    void writesWithinASecondAndNothingWhileIdle();
    void recoversAKilledProgram_data();
    void recoversAKilledProgram();
    void runningProgramsKeepTheirOwn();
    void offersTheChangesBack_data();
    void offersTheChangesBack();
    void trustsOnlyItsOwnFolder_data();
    void trustsOnlyItsOwnFolder();

private:
    QTemporaryDir m_dir;
};

void TestJournal::keepsAJournalOnlyWhileChanged_data()
{
    // t types, u undoes, s saves, n starts a new page, o opens one, x exits.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("kept");
    QTest::newRow("never changed") << "" << false;
    QTest::newRow("changed") << "t" << true;
    QTest::newRow("undone back to the file") << "tu" << false;
    QTest::newRow("undone back, changed again") << "tut" << true;
    QTest::newRow("saved") << "ts" << false;
    QTest::newRow("saved, then changed") << "tst" << true;
    QTest::newRow("saved, undone to before") << "tsu" << true;
    QTest::newRow("new page") << "tn" << false;
    QTest::newRow("another page opened") << "to" << false;
    QTest::newRow("clean exit") << "tx" << false;
}

void TestJournal::keepsAJournalOnlyWhileChanged()
{
    QFETCH(QString, steps);
    QFETCH(bool, kept);
    QWidget container;
    Document document(&container);
    Journal journal(document);
    document.setPage(QStringLiteral("<p>page</p>"), PageFormat(), m_dir.filePath("page.html"));
    for (const QChar step : steps) {
        if (step == 't')
            document.insertFragment(QStringLiteral("typed"));
        else if (step == 'u')
            document.undo();
        else if (step == 's')
            document.setSaved(m_dir.filePath("saved.html"));
        else if (step == 'n')
            document.setPage(QString(), PageFormat());
        else if (step == 'o')
            document.setPage(QStringLiteral("other"), PageFormat(), m_dir.filePath("other.html"));
        else if (step == 'x')
            journal.discard();
        // Each step reaches the disk before the next, as with pauses in use.
        journal.flush();
    }
    QCOMPARE(journals().size(), kept ? 1 : 0);
}

// Written by the timer alone, within a second of a change; nothing while
// nothing changes.
void TestJournal::writesWithinASecondAndNothingWhileIdle()
{
    const auto written = [] {
        QFile io(QStringLiteral("/proc/self/io"));
        io.open(QIODevice::ReadOnly);
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("wchar:"))
                return line.mid(6).trimmed().toLongLong();
        }
        return qint64(-1);
    };
    QWidget container;
    Document document(&container);
    Journal journal(document);
    document.insertFragment(QStringLiteral("x"));
    QVERIFY(journals().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(journals().size(), 1, Journal::SyncInterval + 500);
    QTest::qWait(100);
    const qint64 before = written();
    QTest::qWait(2 * Journal::SyncInterval);
    QCOMPARE(written(), before);
}

void TestJournal::recoversAKilledProgram_data()
{
    QTest::addColumn<quint32>("seed");
    // Past this many bytes a file cannot grow (0: no limit), as on a full disk.
    QTest::addColumn<int>("fileSizeLimit");
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %u", seed) << seed << 0;
    QTest::addRow("disk full") << 9u << (16 << 10);
}

// A child runs the script with a journal and is killed at a seeded moment.
// What comes back is the child's text as it stood at most a second before
// the kill (and a little more for a loaded machine to run the writer),
// never a text it did not have.
void TestJournal::recoversAKilledProgram()
{
    QFETCH(quint32, seed);
    QFETCH(int, fileSizeLimit);
    constexpr qint64 Slack = 500;
    const QString page = m_dir.filePath(QStringLiteral("killed %1.html").arg(seed));
    const QString logPath = m_dir.filePath(QStringLiteral("log %1").arg(seed));
    QProcess child;
    QStringList arguments{QString::number(seed), logPath, page};
    if (fileSizeLimit > 0) {
        // The page is written here and never saved by the child, which
        // writes its journal before anything else.
        QWidget container;
        Document written(&container);
        JournalScript(seed, page, false).open(written, true);
        arguments << "-1"
                  << "nosave";
        child.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            // As a shell starts it: the signal ends the program unless it
            // ignores it itself.
            ::signal(SIGXFSZ, SIG_DFL);
        });
    }
    child.start(QCoreApplication::applicationDirPath() + "/journalchild", arguments);
    QVERIFY(child.waitForStarted());
    QTest::qWait(1200 + int(seed * 2654435761u % 3000));
    // A running program's journal is never offered.
    QVERIFY(JournalFolder::leftovers().empty());
    // Alive until killed, a size limit or not.
    QCOMPARE(child.state(), QProcess::Running);
    const qint64 killed = QDateTime::currentMSecsSinceEpoch();
    child.kill();
    QVERIFY(child.waitForFinished());
    if (fileSizeLimit > 0)
        QVERIFY(child.readAllStandardError().contains("recovery journal could not be written"));
    const QList<qint64> started = readLog(logPath);
    QVERIFY(!started.isEmpty());

    // The texts the child had: after opening, and after each step it began.
    QWidget container;
    Document replay(&container);
    JournalScript script(seed, page, fileSizeLimit == 0);
    script.open(replay, false);
    QStringList texts{replay.text()};
    for (int n = 0; n < started.size(); ++n) {
        script.step(replay, false);
        texts << replay.text();
    }

    std::vector<JournalFolder::Leftover> left = JournalFolder::leftovers();
    QVERIFY(left.size() <= 1);
    QString recovered;
    if (left.empty()) {
        // Nothing unsaved: the page's file is the text, as saving writes it
        // (a lone surrogate as a character reference).
        recovered = PageFile::read(page)->text.chopped(1);
        for (QString &text : texts)
            text = PageCodec::decode(PageCodec::encode(text, script.format())).text.chopped(1);
    } else {
        const JournalFolder::Recovered back = JournalFolder::recover(left.front());
        QVERIFY2(back.failure.isEmpty(), qPrintable(back.failure));
        // On a full disk a record may be cut short; those before it count.
        QVERIFY(!back.damaged || fileSizeLimit > 0);
        QCOMPARE(back.format, script.format());
        QCOMPARE(back.pagePath, page);
        recovered = back.text;
        JournalFolder::remove(left.front());
    }
    // Text k stood from step k's start until step k + 1 began.
    bool found = false;
    for (int k = 0; k < texts.size() && !found; ++k) {
        // On a full disk, the last text that fitted.
        const bool recent = k + 1 >= started.size() || fileSizeLimit > 0 ||
                            started.at(k + 1) >= killed - Journal::SyncInterval - Slack;
        found = recent && texts.at(k) == recovered;
    }
    const qsizetype any = texts.lastIndexOf(recovered);
    QVERIFY2(found,
             qPrintable(QStringLiteral("recovered text %1 of %2, begun %3 ms before the kill")
                            .arg(any)
                            .arg(texts.size())
                            .arg(any > 0 ? killed - started.at(any - 1) : -1)));
}

void TestJournal::runningProgramsKeepTheirOwn()
{
    QProcess first, second;
    const QString child = QCoreApplication::applicationDirPath() + "/journalchild";
    // Pages never saved: each program keeps its journal while it runs.
    first.start(child, {"101", m_dir.filePath("log a"), m_dir.filePath("a.html"), "-1", "nosave"});
    second.start(child, {"102", m_dir.filePath("log b"), m_dir.filePath("b.html"), "-1", "nosave"});
    QVERIFY(first.waitForStarted() && second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(journals().size(), 2, 5000);
    QVERIFY(JournalFolder::leftovers().empty());
    ::kill(pid_t(second.processId()), SIGKILL);
    QVERIFY(second.waitForFinished());
    const std::vector<JournalFolder::Leftover> left = JournalFolder::leftovers();
    QCOMPARE(left.size(), std::size_t(1));
    QCOMPARE(left.front().pagePath, m_dir.filePath("b.html"));
    first.kill();
    first.waitForFinished();

    // A program that ends cleanly leaves nothing.
    emptyFolder();
    QProcess clean;
    clean.start(child, {"103", m_dir.filePath("log c"), m_dir.filePath("c.html"), "400"});
    QVERIFY(clean.waitForFinished(60000));
    QCOMPARE(clean.exitCode(), 0);
    QVERIFY(journals().isEmpty());
}

void TestJournal::offersTheChangesBack_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    // The text the edits start from is the page's file rather than a copy.
    QTest::addColumn<bool>("baseInFile");
    // Bytes cut off the journal's end.
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("fileChanged");
    QTest::addColumn<QString>("expected"); // the page after the answer
    QTest::addColumn<bool>("leftoverKept");

    const auto Yes = QMessageBox::Yes;
    QTest::newRow("yes") << Yes << false << 0 << false << "one two<p>page</p>" << false;
    QTest::newRow("yes, from the file")
        << Yes << true << 0 << false << "one two<p>page</p>" << false;
    QTest::newRow("yes, end damaged") << Yes << false << 3 << false << "one<p>page</p>" << false;
    QTest::newRow("file changed since") << Yes << true << 0 << true << "" << true;
    QTest::newRow("file changed, copy kept")
        << Yes << false << 0 << true << "one two<p>page</p>" << false;
    QTest::newRow("no") << QMessageBox::No << false << 0 << false << "" << false;
    QTest::newRow("keep for later") << QMessageBox::Ignore << false << 0 << false << "" << true;
}

void TestJournal::offersTheChangesBack()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, baseInFile);
    QFETCH(int, cut);
    QFETCH(bool, fileChanged);
    QFETCH(QString, expected);
    QFETCH(bool, leftoverKept);

    const QString page = m_dir.filePath(QStringLiteral("offered.html"));
    const PageFormat format{PageFormat::Encoding::Utf16BeWithBom, PageFormat::LineBreak::Lf};
    QString left;
    {
        QWidget container;
        Document document(&container);
        Journal journal(document, nullptr, baseInFile ? 4 : Journal::BaseInFileAbove);
        QVERIFY(PageFile::write(page, QStringLiteral("<p>page</p>"), format));
        document.setPage(PageFile::read(page)->text.chopped(1), format, page);
        document.insertFragment(QStringLiteral("one"));
        journal.flush();
        document.insertFragment(QStringLiteral(" two"));
        journal.flush();
        left = leaveBehind();
        QVERIFY(!left.isEmpty());
    }
    QVERIFY(QFile::resize(left, QFileInfo(left).size() - cut));
    if (fileChanged)
        QVERIFY(PageFile::write(page, QStringLiteral("changed"), format));

    // Asked at start, once the splash is over and the main window shows.
    WindowRegistry windows;
    TestSupport::MessageBoxes boxes(answer);
    windows.show<Splash>()->findChild<QTimer *>("Timer1")->start(1);
    QVERIFY(boxes.shown().isEmpty());
    QTRY_VERIFY(!boxes.shown().isEmpty());
    Main *main = windows.find<Main>();
    QVERIFY(main && main->isVisible() && !windows.find<Splash>());
    const MessageBox::Message &question = boxes.shown().first();
    QVERIFY(
        question.text.startsWith("Tagloom closed without saving your changes to " + page + " ("));
    QVERIFY(question.text.endsWith("). Recover them?"));
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.captions.value(0).second, QStringLiteral("Keep for later"));
    // A damaged end, or a file that changed under the edits, is told.
    QCOMPARE(boxes.shown().size(), cut > 0 || (fileChanged && baseInFile) ? 2 : 1);

    Document &document = windows.document();
    QCOMPARE(document.text(), expected);
    const bool recovered = !expected.isEmpty();
    QCOMPARE(document.isModified(), recovered);
    if (recovered) {
        QCOMPARE(document.format(), format);
        QCOMPARE(document.path(), page);
    }
    main->journal().flush();
    QCOMPARE(QFile::exists(left), leftoverKept);
    // The recovered page is kept by this program's own journal.
    QCOMPARE(journals().size(), int(leftoverKept) + int(recovered));
}

// The state folder holds page text: it is used only when it is the user's
// own and private, never through a link and never changed, and only the
// user's own regular files in it are offered.
void TestJournal::trustsOnlyItsOwnFolder_data()
{
    QTest::addColumn<QString>("folder");  // what stands at the folder's place
    QTest::addColumn<QString>("planted"); // the leftover journal's kind
    QTest::addColumn<bool>("used");
    QTest::addColumn<bool>("offered");
    QTest::newRow("private") << "private"
                             << "journal" << true << true;
    QTest::newRow("a link to a private folder") << "link"
                                                << "journal" << false << false;
    QTest::newRow("writable by all") << "0777"
                                     << "journal" << false << false;
    QTest::newRow("a journal as a link") << "private"
                                         << "link" << true << false;
    QTest::newRow("a journal as a FIFO") << "private"
                                         << "fifo" << true << false;
    if (::geteuid() == 0) {
        QTest::newRow("another user's folder") << "nobody"
                                               << "journal" << false << false;
        QTest::newRow("another user's journal") << "private"
                                                << "nobody" << true << false;
    }
}

void TestJournal::trustsOnlyItsOwnFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, planted);
    QFETCH(bool, used);
    QFETCH(bool, offered);
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const auto restore = qScopeGuard([&saved] { qputenv("XDG_STATE_HOME", saved); });
    // Types with a journal and gives back the journal's bytes, if it was kept in `folder`.
    const auto typeWithJournal = [this](const QString &folder) {
        QWidget container;
        Document document(&container);
        Journal writer(document);
        document.setPage("<p>page</p>", PageFormat(), m_dir.filePath("planted.html"));
        document.insertFragment("typed");
        writer.flush();
        QFile own(folder + '/' + JournalFolder::ownName());
        const QByteArray bytes = own.open(QIODevice::ReadOnly) ? own.readAll() : QByteArray();
        writer.discard();
        return bytes;
    };
    // A journal as a killed program leaves it, from a folder of its own.
    const QTemporaryDir states;
    qputenv("XDG_STATE_HOME", QFile::encodeName(states.filePath("made")));
    const QByteArray journal = typeWithJournal(StateFolder::location());
    QVERIFY(!journal.isEmpty());

    qputenv("XDG_STATE_HOME", QFile::encodeName(states.filePath("state")));
    const QString place = StateFolder::location();
    const QString real = folder == "link" ? states.filePath("elsewhere") : place;
    QVERIFY(QDir().mkpath(real) && QDir().mkpath(QFileInfo(place).path()));
    const mode_t mode = folder == "0777" ? 0777 : 0700;
    QVERIFY(::chmod(QFile::encodeName(real), mode) == 0);
    if (folder == "link")
        QVERIFY(QFile::link(real, place));
    const QByteArray left = QFile::encodeName(real + "/1-1.journal");
    const QString target = planted == "link" ? states.filePath("journal") : QFile::decodeName(left);
    if (planted == "fifo") {
        QVERIFY(::mkfifo(left, 0600) == 0);
    } else {
        QFile write(target);
        QVERIFY(write.open(QIODevice::WriteOnly) && write.write(journal) == journal.size());
        write.close();
        if (planted == "link")
            QVERIFY(QFile::link(target, QFile::decodeName(left)));
    }
    const struct passwd *nobody = ::getpwnam("nobody");
    if (folder == "nobody")
        QVERIFY(nobody && ::chown(QFile::encodeName(real), nobody->pw_uid, nobody->pw_gid) == 0);
    if (planted == "nobody")
        QVERIFY(nobody && ::chown(left, nobody->pw_uid, nobody->pw_gid) == 0);

    QCOMPARE(JournalFolder::leftovers().size(), std::size_t(offered));
    QCOMPARE(!typeWithJournal(real).isEmpty(), used);
    // Nothing found there was changed: not the folder's mode, nor a link.
    struct stat status;
    QVERIFY(::stat(QFile::encodeName(real), &status) == 0);
    QCOMPARE(status.st_mode & 07777, mode);
    QCOMPARE(QFileInfo(place).isSymLink(), folder == "link");
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
