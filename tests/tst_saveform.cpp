#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>

#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "platform/filename.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

using TestSupport::entries;
using TestSupport::readBytes;

namespace {

const PageFormat Legacy{PageFormat::Encoding::Windows1252, PageFormat::LineBreak::Lf};

QWidget *openWindow(TestSupport::Program &program, const QString &window)
{
    if (window == WindowIds::name(SaveForm::Id))
        return program.windows().show<SaveForm>();
    return program.windows().show<SaveForm2>();
}

// Types `name` into the window's box and presses "Save".
void save(QWidget *form, const QString &name)
{
    TestSupport::type(form->findChild<QLineEdit *>("title"), name);
    QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
}

// Whether the one message box shown was the saved message, or else the failure one.
bool shownOnly(const TestSupport::MessageBoxes &boxes, bool saved)
{
    if (boxes.shown().size() != 1)
        return false;
    const MessageBox::Message &box = boxes.shown().constFirst();
    return box.text == (saved ? "File successfully saved!" : "Invalid File Name") &&
           box.title == (saved ? "Saved" : "Error") && box.buttons == QMessageBox::Ok &&
           box.icon == QMessageBox::NoIcon;
}

// What makes a file the user's, besides its bytes.
struct Identity
{
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    ino_t inode = 0;
    nlink_t links = 0;
    QMap<QByteArray, QByteArray> attributes;

    bool operator==(const Identity &other) const
    {
        return owner == other.owner && group == other.group && mode == other.mode &&
               links == other.links && attributes == other.attributes;
    }
};

Identity identityOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    Identity identity;
    struct stat status;
    if (stat(name.constData(), &status) != 0)
        return identity;
    identity = {status.st_uid, status.st_gid, status.st_mode, status.st_ino, status.st_nlink, {}};
    char list[4096];
    const ssize_t size = listxattr(name.constData(), list, sizeof list);
    for (const QByteArray &key : QByteArray(list, qMax<ssize_t>(size, 0)).split('\0')) {
        char value[4096];
        const ssize_t got = getxattr(name.constData(), key.constData(), value, sizeof value);
        if (!key.isEmpty())
            identity.attributes.insert(key, QByteArray(value, qMax<ssize_t>(got, 0)));
    }
    return identity;
}

// An access ACL that also lets the user "nobody" read, as setfacl would store it.
QByteArray aclReadableByNobody()
{
    QByteArray acl;
    const auto add = [&acl](quint16 tag, quint16 permissions, quint32 id) {
        acl.append(reinterpret_cast<const char *>(&tag), 2)
            .append(reinterpret_cast<const char *>(&permissions), 2)
            .append(reinterpret_cast<const char *>(&id), 4);
    };
    const quint32 version = 2, none = 0xFFFFFFFF;
    acl.append(reinterpret_cast<const char *>(&version), 4);
    add(0x01, 6, none);                     // owner rw-
    add(0x02, 4, TestSupport::PlainUserId); // nobody r--
    add(0x04, 4, none);                     // group r--
    add(0x10, 4, none);                     // mask r--
    add(0x20, 0, none);                     // others ---
    return acl;
}

// Writes `bytes` to `path`, leaving the `hole` bytes in their middle unwritten.
bool writeSparse(const QString &path, const QByteArray &bytes, qint64 hole)
{
    const qint64 head = (bytes.size() - hole) / 2, tail = head + hole;
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written = fd >= 0 && write(fd, bytes.constData(), size_t(head)) == head &&
                         pwrite(fd, bytes.constData() + tail, size_t(bytes.size() - tail), tail) ==
                             bytes.size() - tail;
    return fd >= 0 && close(fd) == 0 && written;
}

// Bytes the process `pid` has handed to write calls so far.
qint64 bytesWritten(pid_t pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("wchar: "))
            return line.mid(7).toLongLong();
    }
    return -1;
}

// Runs `save` in a child and kills it as soon as it has begun: once `page`
// changes, or else once the child has written a megabyte elsewhere. False
// when the save ended first (then the kill came too late to tell).
bool killedMidway(const QString &page, bool pageChanges, const std::function<bool()> &save)
{
    const QByteArray name = QFile::encodeName(page);
    struct stat before;
    if (stat(name.constData(), &before) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
        _exit(save() ? 0 : 1);
    const qint64 startedAt = bytesWritten(child);
    const auto begun = [&] {
        struct stat now;
        if (!pageChanges)
            return bytesWritten(child) > startedAt + (1 << 20);
        return stat(name.constData(), &now) == 0 &&
               (now.st_mtim.tv_nsec != before.st_mtim.tv_nsec ||
                now.st_mtim.tv_sec != before.st_mtim.tv_sec);
    };
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (begun()) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
    }
    return WIFSIGNALED(status);
}

} // namespace

// saveform2 is saveform that starts a new page after a successful save.
class TestSaveForm : public QObject
{
    Q_OBJECT
private slots:
    void freshWindow()
    {
        TestSupport::Program program;
        QWidget *form = openWindow(program, "saveform");
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(form->windowTitle(), QString("Save..."));
        QCOMPARE(form->size(), Twips::size(4575, 1380));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        auto *frame = form->findChild<QGroupBox *>("Frame1");
        auto *title = form->findChild<QLineEdit *>("title");
        auto *button = form->findChild<QPushButton *>("Command1");
        QVERIFY(frame && title && button);
        QCOMPARE(frame->title(), QString("HTML Title"));
        QCOMPARE(frame->geometry(), Twips::rect(120, 120, 4215, 975));
        QVERIFY(title->parentWidget() == frame && button->parentWidget() == frame);
        QCOMPARE(title->geometry(), Twips::rect(120, 360, 2895, 375));
        QCOMPARE(button->geometry(), Twips::rect(3120, 360, 975, 375));
        QCOMPARE(button->text(), QString("Save"));
        // The focus starts in the name box; Tab goes to Save and back.
        QCOMPARE(QApplication::focusWidget(), title);
        QTest::keyClick(title, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), title);
    }

    // ".html" is added to what is typed, used against the working directory.
    // saveform keeps the page it saved (saveform2 is tested with "New").
    void saved_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("name") << QString("abc") << "abc.html";
        QTest::newRow("empty") << QString("") << ".html";
        QTest::newRow("extension typed") << QString("page.html") << "page.html.html";
        QTest::newRow("blanks kept") << QString(" my page ") << " my page .html";
        QTest::newRow("subfolder") << QString("sub/page") << "sub/page.html";
        QTest::newRow("full path") << QString("OTHER/page") << "OTHER/page.html";
    }
    void saved()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QTemporaryDir folder;
        QTemporaryDir other;
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        typed.replace("OTHER", other.path());
        file.replace("OTHER", other.path());
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("<p>page</p>\nend"); // a page begun here
        program.document().select(1, 2);
        save(openWindow(program, "saveform"), typed);
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(QDir(folder.path()).filePath(file)),
                 QByteArray("<p>page</p>\r\nend\r\n"));
        QVERIFY(!program.windows().find<SaveForm>());
        QCOMPARE(program.document().text(), QString("<p>page</p>\nend"));
        QCOMPARE(program.document().selectionLength(), 2);
    }

    // Each save runs in a child whose disk is full after 1000 bytes. A page
    // of 3000 stays under the write buffer, where only the last flush notices.
    void failures_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        for (const char *window : {"saveform", "saveform2"}) {
            const QString name(window);
            QTest::addRow("%s, missing folder", window) << name << "nowhere/page" << 10;
            QTest::addRow("%s, name too long", window) << name << QString(300, 'n') << 10;
            QTest::addRow("%s, target is a folder", window) << name << "folder" << 10;
            QTest::addRow("%s, target is a FIFO", window) << name << "fifo" << 10;
            QTest::addRow("%s, disk full over a file", window) << name << "page" << 3000;
            QTest::addRow("%s, disk full, new file", window) << name << "new" << 200000;
        }
    }
    void failures()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(int, size);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("folder.html"));
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("fifo.html")).constData(), 0644), 0);
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), "old"));
        const QStringList before = entries(folder.path());
        TestSupport::WorkingDirectory inFolder(folder.path());
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        const QString page(size, 'x');
        program.document().setPage(page, Legacy);
        QWidget *form = openWindow(program, window);
        const auto saveFails = [&](qint64 room) {
            return TestSupport::runInChild(room, [&] {
                       save(form, name);
                       return shownOnly(boxes, false) && program.document().text() == page &&
                              program.document().format() == Legacy &&
                              !TestSupport::findWindow(program.windows(), window);
                   }) == 0;
        };
        QVERIFY(saveFails(1000));
        QCOMPARE(entries(folder.path()), before);
        QVERIFY(QFileInfo("folder.html").isDir() && !QFileInfo("fifo.html").isFile());
        QCOMPARE(readBytes("page.html"), QByteArray("old"));
        // With room on the disk, only the full disk's failures go away.
        QCOMPARE(saveFails(-1), size < 1000);
    }

    // A saved page is still the user's file: the same owner, group, mode,
    // attributes and links. Some cases are saved by a plain user in a child.
    void keepsIdentity_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("asPlainUser");
        QTest::addColumn<bool>("inPlace"); // the file itself is written
        QTest::addColumn<bool>("saved");
        QTest::newRow("second hard link") << "hard link" << false << true << true;
        QTest::newRow("symbolic link") << "symbolic link" << false << false << true;
        QTest::newRow("attributes and ACL") << "attributes" << false << false << true;
        QTest::newRow("another user's page, saved by root") << "owner" << false << false << true;
        QTest::newRow("write-protected page, refused to root too")
            << "read-only" << false << false << false;
        QTest::newRow("owner that cannot be given back") << "root's" << true << true << true;
        QTest::newRow("folder that takes no new file")
            << "read-only folder" << true << true << true;
        QTest::newRow("write-protected page") << "read-only" << true << false << false;
    }
    void keepsIdentity()
    {
        QFETCH(QString, kind);
        QFETCH(bool, asPlainUser);
        QFETCH(bool, inPlace);
        QFETCH(bool, saved);
        const bool root = geteuid() == 0;
        if (!root && (kind == "owner" || kind == "root's" || (kind == "read-only" && saved)))
            QSKIP("needs root to give the page another owner or to write a read-only page");
        QTemporaryDir top;
        QCOMPARE(chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
        const QString folder = top.filePath("folder");
        QVERIFY(QDir().mkdir(folder));
        const QString page = folder + "/page.html";
        QVERIFY(TestSupport::writeBytes(page, "the old page, longer than the new one"));
        const QByteArray name = QFile::encodeName(page);
        QCOMPARE(chmod(name.constData(), kind == "read-only" ? 0444 : 0666), 0);
        QString typed = folder + "/page";
        if (kind == "hard link")
            QCOMPARE(link(name.constData(), QFile::encodeName(folder + "/other.html")), 0);
        if (kind == "symbolic link") {
            QVERIFY(QFile::link("page.html", folder + "/alias.html"));
            typed = folder + "/alias";
        }
        if (kind == "attributes") {
            const QByteArray acl = aclReadableByNobody();
            if (setxattr(name.constData(), "user.tagloom", "kept", 4, 0) != 0 ||
                setxattr(name.constData(), "system.posix_acl_access", acl.constData(),
                         size_t(acl.size()), 0) != 0)
                QSKIP("the file system takes no extended attributes");
        }
        if (kind == "owner")
            QCOMPARE(chown(name.constData(), TestSupport::PlainUserId, TestSupport::PlainUserId),
                     0);
        QCOMPARE(
            chmod(QFile::encodeName(folder).constData(), kind == "read-only folder" ? 0555 : 0777),
            0);
        const Identity before = identityOf(page);
        const QStringList entriesBefore = entries(folder);

        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("new\npage");
        // Where the folder takes no new file, the old page's copy goes to the
        // user's state folder.
        QTemporaryDir state;
        QCOMPARE(chmod(QFile::encodeName(state.path()).constData(), 0777), 0);
        const int result = TestSupport::runInChild(-1, [&] {
            qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
            if (asPlainUser && !TestSupport::becomePlainUser())
                return false;
            save(openWindow(program, "saveform"), typed);
            return shownOnly(boxes, saved);
        });
        QCOMPARE(chmod(QFile::encodeName(folder).constData(), 0777), 0);
        QCOMPARE(result, 0);
        QCOMPARE(readBytes(page), saved ? QByteArray("new\r\npage\r\n")
                                        : QByteArray("the old page, longer than the new one"));
        const Identity after = identityOf(page);
        QVERIFY(after == before);
        QCOMPARE(after.inode == before.inode, inPlace || !saved);
        QCOMPARE(entries(folder), entriesBefore); // no temporary file left
        QCOMPARE(entries(state.path() + "/tagloom"), QStringList());
        if (kind == "hard link")
            QCOMPARE(readBytes(folder + "/other.html"), QByteArray("new\r\npage\r\n"));
        if (kind == "symbolic link")
            QVERIFY(QFileInfo(folder + "/alias.html").isSymLink());
    }

    // A page written in place, here through a second hard link, is whole
    // again after any fault of the write: old in every link, or, where the
    // save is killed midway, kept whole in the copy beside it. Each save runs
    // in a child; the disk is a small one of its own, or the usual one with a
    // file-size limit (its signal at the default, which would end a program
    // that did not ignore it).
    void inPlaceFaults_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<qint64>("room"); // left on the disk, or the tmpfs size
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<qint64>("hole"); // the old page's unwritten middle
        QTest::addColumn<int>("newLength");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("kill"); // where the save is killed midway, if at all
        const QByteArray half(100000, 'a');
        QTest::newRow("full disk, holes of a sparse page filled")
            << "tmpfs" << qint64(700 << 10) << half + QByteArray(400000, '\0') + half
            << qint64(400000) << 600000 - 10 << qint64(-1) << "";
        QTest::newRow("nearly full copy-on-write disk")
            << "btrfs" << qint64(4 << 20) << QByteArray(8 << 20, 'o') << qint64(0) << (8 << 20) - 10
            << qint64(-1) << "";
        QTest::newRow("size limit, page growing past it")
            << "" << qint64(0) << QByteArray("old") << qint64(0) << 3000 << qint64(1000) << "";
        QTest::newRow("size limit, no room for the copy")
            << "" << qint64(0) << QByteArray(3000, 'o') << qint64(0) << 2000 << qint64(1000) << "";
        // A page of one link is replaced as a whole instead.
        for (const char *kill : {"over the page", "beside it"}) {
            QTest::addRow("killed while written %s", kill)
                << "" << qint64(0) << QByteArray(16 << 20, 'o') << qint64(0) << (16 << 20) - 2
                << qint64(-1) << kill;
        }
    }
    void inPlaceFaults()
    {
        QFETCH(QString, disk);
        QFETCH(qint64, room);
        QFETCH(QByteArray, old);
        QFETCH(qint64, hole);
        QFETCH(int, newLength);
        QFETCH(qint64, limit);
        QFETCH(QString, kill);
        const bool inPlace = kill != "beside it";
        QTemporaryDir usual;
        std::unique_ptr<TestSupport::SmallDisk> small;
        if (!disk.isEmpty()) {
            small = std::make_unique<TestSupport::SmallDisk>(
                disk == "tmpfs" ? TestSupport::SmallDisk::Kind::Tmpfs
                                : TestSupport::SmallDisk::Kind::Btrfs,
                disk == "tmpfs" ? room : qint64(128) << 20);
            if (!small->isMounted())
                QSKIP(qPrintable(small->reason()));
        }
        const QString folder = small ? small->path() : usual.path();
        const QString page = folder + "/page.html", other = folder + "/other.html";
        QVERIFY(writeSparse(page, old, hole));
        if (inPlace)
            QCOMPARE(
                link(QFile::encodeName(page).constData(), QFile::encodeName(other).constData()), 0);
        if (disk == "btrfs")
            QVERIFY(small->fill(room));
        const QStringList before = entries(folder);

        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        const QString text(newLength, 'x');
        program.document().setPage(text, Legacy);
        QWidget *form = openWindow(program, "saveform");
        const auto saveIt = [&] {
            save(form, folder + "/page");
            return shownOnly(boxes, false) && program.document().text() == text;
        };
        if (kill.isEmpty()) {
            QCOMPARE(TestSupport::runInChild(limit, saveIt), 0);
            QCOMPARE(readBytes(page), old);
            QCOMPARE(readBytes(other), old);
            QCOMPARE(entries(folder), before);
            return;
        }
        if (!killedMidway(page, inPlace, saveIt))
            QSKIP("the save ended before it could be killed (a disk that syncs at once)");
        if (!inPlace) {
            // Old or new, never between; a kill in the instant between naming
            // the new page and putting it in place leaves it named, and the
            // next save removes it.
            const QByteArray saved = readBytes(page);
            QVERIFY(saved == old || saved == text.toLatin1() + '\n');
            QVERIFY(entries(folder).endsWith("page.html") && entries(folder).size() <= 2);
            save(openWindow(program, "saveform"), folder + "/page");
            QCOMPARE(entries(folder), QStringList{"page.html"});
            return;
        }
        QStringList added = entries(folder);
        for (const QString &name : before)
            added.removeOne(name);
        QCOMPARE(added.size(), 1);
        QVERIFY(added.constFirst().startsWith(".page.html.tagloom-old-"));
        QCOMPARE(readBytes(folder + '/' + added.constFirst()), old);
        QCOMPARE(readBytes(other), readBytes(page)); // one file, damaged
    }

    // Where the typed name leads elsewhere, that file is written and the way
    // there stays as it was.
    void savedThrough_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>(
            "leftOver"); // by a save killed on a file system without unnamed files
        QTest::newRow("dangling symbolic link") << "alias"
                                                << "sub/target.html" << false;
        QTest::newRow("link to a dangling link") << "chain"
                                                 << "sub/target.html" << false;
        QTest::newRow("folder path longer than PATH_MAX") << "page"
                                                          << "page.html" << false;
        QTest::newRow("a killed save's file removed") << "page"
                                                      << "page.html" << true;
    }
    void savedThrough()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(bool, leftOver);
        QTemporaryDir top;
        // rm walks a tree deeper than PATH_MAX; QDir cannot.
        const auto removeTree = qScopeGuard([&] { QProcess::execute("rm", {"-rf", top.path()}); });
        TestSupport::WorkingDirectory inTop(top.path());
        // Deep enough that the page's full path is longer than the system takes,
        // reached a step at a time.
        for (qsizetype depth = top.path().size(); depth <= PATH_MAX; depth += 201) {
            QVERIFY(QDir().mkdir(QString(200, 'd')));
            QVERIFY(QDir::setCurrent(QString(200, 'd')));
        }
        QVERIFY(QDir().mkdir("sub"));
        QVERIFY(QFile::link("sub/target.html", "alias.html"));
        QVERIFY(QFile::link("alias.html", "chain.html"));
        QVERIFY(TestSupport::writeBytes("page.html", "old"));
        if (leftOver)
            QVERIFY(TestSupport::writeBytes(".page.html.tagloom-new", "half a pa"));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("new");
        save(openWindow(program, "saveform"), typed);
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(written), QByteArray("new\r\n"));
        QVERIFY(QFileInfo("alias.html").isSymLink() && QFileInfo("chain.html").isSymLink());
        const QStringList sub =
            written.startsWith("sub/") ? QStringList{"target.html"} : QStringList{};
        QCOMPARE(entries("."), QStringList({"alias.html", "chain.html", "page.html", "sub"}));
        QCOMPARE(entries("sub"), sub); // and nothing left behind
    }

    // A name that is not UTF-8 is written with its own bytes.
    void nameNotUtf8()
    {
        QTemporaryDir folder;
        const QByteArray name = QFile::encodeName(folder.path()) + "/caf\xE9";
        const auto removeFile = qScopeGuard([&] { ::unlink(name + ".html"); });
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.document().insertFragment("x");
        QWidget *form = openWindow(program, "saveform");
        form->findChild<QLineEdit *>("title")->insert(FileName::decode(name)); // pasted
        QTest::mouseClick(form->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(FileName::decode(name + ".html")), QByteArray("x\r\n"));
    }

    // Edits leave the text in pieces, and a save takes it piece by piece:
    // each insertion here ends where a unit it belongs with begins.
    void editedPage()
    {
        QTemporaryDir folder;
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        Document &document = program.document();
        const char16_t page[] = {u'a', 0xDE00, u'\n', 0xDCE9, u'b', 0};
        document.setPage(QString::fromUtf16(page), PageFormat());
        document.select(1, 0);
        document.insertFragment(QString(QChar(0xD83D))); // the pair's first half
        document.select(3, 0);
        document.insertFragment("\r"); // a lone CR before a break
        document.select(5, 0);
        document.insertFragment(QString(QChar(0xD800))); // makes a pair of a stray byte
        save(openWindow(program, "saveform"), folder.filePath("page"));
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(folder.filePath("page.html")),
                 QByteArray("a\xF0\x9F\x98\x80\r\r\n\xF0\x90\x83\xA9"
                            "b\r\n"));
    }

    // Pasted text takes the page's line breaks; a CR the page held is kept.
    void pastedBreaks_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("LF page") << QByteArray("a\rb\nc") << QByteArray("a\rb\nx\ny\nz\nc\n");
        QTest::newRow("CR LF page")
            << QByteArray("a\rb\r\nc") << QByteArray("a\rb\r\nx\r\ny\r\nz\r\nc\r\n");
    }
    void pastedBreaks()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, saved);
        QTemporaryDir folder;
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), page));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        OpenForm::openPage(program.document(), folder.filePath("page.html"));
        program.document().select(program.document().length() - 1, 0); // before the "c"
        QApplication::clipboard()->setText("x\r\ny\rz\n");
        QTest::keyClick(program.source(), Qt::Key_V, Qt::ControlModifier);
        save(openWindow(program, "saveform"), folder.filePath("page"));
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(folder.filePath("page.html")), saved);
    }

    // Opening a page and saving it again gives back its bytes and one line break.
    void roundTrip_data() { TestSupport::addRoundTripRows(); }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QTemporaryDir folder;
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), bytes));
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.entry("open")->trigger();
        auto *open = program.windows().find<OpenForm>();
        open->findChild<QLineEdit *>("Text1")->setText(folder.filePath("page.html"));
        QTest::mouseClick(open->findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QVERIFY(!program.windows().find<OpenForm>());
        program.entry("save")->trigger();
        save(program.windows().find<SaveForm>(), folder.filePath("page"));
        QVERIFY(shownOnly(boxes, true));
        QCOMPARE(readBytes(folder.filePath("page.html")), saved);
        QCOMPARE(entries(folder.path()), QStringList{"page.html"});
    }
};

QTEST_MAIN(TestSaveForm)
#include "tst_saveform.moc"
