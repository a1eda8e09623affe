#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/pagefile.h"
#include "testsupport.h"

using TestSupport::entries;
using TestSupport::readBytes;
using TestSupport::writeBytes;

class TestPageFile : public QObject
{
    Q_OBJECT

    QString path(const char *name) const { return m_folder->filePath(QString::fromLatin1(name)); }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");
        for (const TestSupport::SamplePage &page : TestSupport::samplePages())
            QTest::newRow(page.name) << page.bytes << page.saved;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QVERIFY(writeBytes(path("page.html"), bytes));
        const auto page = PageFile::read(path("page.html"));
        QVERIFY(page);
        QVERIFY(PageFile::write(path("page.html"), page->text, page->format));
        QCOMPARE(readBytes(path("page.html")), saved);
        QCOMPARE(entries(m_folder->path()), QStringList{"page.html"});
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.html"
                                 << "it does not exist";
        QTest::newRow("folder") << "folder"
                                << "it is a folder";
        QTest::newRow("FIFO") << "fifo"
                              << "it is not a regular file";
        QTest::newRow("dangling link") << "dangling"
                                       << "it does not exist";
        QTest::newRow("empty name") << ""
                                    << "it does not exist";
        QTest::newRow("too large") << "huge.html"
                                   << "it is larger than 256 MB";
    }
    void readFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(m_folder->path()).mkdir("folder"));
        QCOMPARE(mkfifo(QFile::encodeName(path("fifo")).constData(), 0644), 0);
        QVERIFY(QFile::link(path("gone.html"), path("dangling")));
        QFile huge(path("huge.html"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(PageFile::MaxBytes + 1));
        huge.close();

        TestSupport::WorkingDirectory inFolder(m_folder->path());
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!PageFile::read(name, &error));
        QCOMPARE(error, reason);
        QVERIFY(timer.elapsed() < 5000); // a FIFO must not be waited on
    }

    void readRefusesDevices()
    {
        QString error;
        QVERIFY(!PageFile::read("/dev/zero", &error));
        QCOMPARE(error, QString("it is not a regular file"));
    }

    void readWithoutPermission()
    {
        QVERIFY(writeBytes(path("secret.html"), "x"));
        QVERIFY(QFile::setPermissions(path("secret.html"), QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(m_folder->path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ExeOther));
        const auto readRefused = [this] {
            QString error;
            return !PageFile::read(path("secret.html"), &error) && error == "permission denied";
        };
        if (geteuid() != 0) {
            QVERIFY(readRefused());
            return;
        }
        // Permission bits do not stop root: read as an ordinary user.
        const pid_t child = fork();
        if (child == 0)
            _exit(setgid(65534) == 0 && setuid(65534) == 0 && readRefused() ? 0 : 1);
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void readFollowsLinks()
    {
        QVERIFY(writeBytes(path("page.html"), "a\nb\n"));
        QVERIFY(QFile::link(path("page.html"), path("link.html")));
        const auto page = PageFile::read(path("link.html"));
        QVERIFY(page);
        QCOMPARE(page->text, QString("a\nb\n"));
    }

    void writeCreatesFile()
    {
        QVERIFY(PageFile::write(path("new.html"), "a\nb", PageFormat()));
        QCOMPARE(readBytes(path("new.html")), QByteArray("a\r\nb\r\n"));
        const mode_t mask = umask(0);
        umask(mask);
        struct stat status;
        QCOMPARE(stat(QFile::encodeName(path("new.html")).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0666 & ~mask);
    }

    void writeReplacesAndKeepsPermissions()
    {
        QVERIFY(writeBytes(path("page.html"), "old page, longer than the new one"));
        QCOMPARE(chmod(QFile::encodeName(path("page.html")).constData(), 0640), 0);
        QVERIFY(PageFile::write(path("page.html"), "new", PageFormat()));
        QCOMPARE(readBytes(path("page.html")), QByteArray("new\r\n"));
        struct stat status;
        QCOMPARE(stat(QFile::encodeName(path("page.html")).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0640));
        QCOMPARE(entries(m_folder->path()), QStringList{"page.html"});
    }

    void writeThroughLinkReplacesTarget()
    {
        QVERIFY(writeBytes(path("page.html"), "old"));
        QVERIFY(QFile::link(path("page.html"), path("link.html")));
        QVERIFY(PageFile::write(path("link.html"), "new", PageFormat()));
        QCOMPARE(readBytes(path("page.html")), QByteArray("new\r\n"));
        QVERIFY(QFileInfo(path("link.html")).isSymLink());
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "nowhere/page.html";
        QTest::newRow("name too long") << QString(300, QLatin1Char('n')) + ".html";
        QTest::newRow("folder") << "folder";
        QTest::newRow("FIFO") << "fifo";
    }
    void writeFailures()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(m_folder->path()).mkdir("folder"));
        QVERIFY(writeBytes(path("folder/inside.html"), "kept"));
        QCOMPARE(mkfifo(QFile::encodeName(path("fifo")).constData(), 0644), 0);
        QVERIFY(writeBytes(path("page.html"), "old"));
        const QStringList before = entries(m_folder->path());

        TestSupport::WorkingDirectory inFolder(m_folder->path());
        QVERIFY(!PageFile::write(name, "new", PageFormat()));
        QCOMPARE(entries(m_folder->path()), before);
        QCOMPARE(entries(path("folder")), QStringList{"inside.html"});
        QVERIFY(QFileInfo(path("fifo")).exists() && !QFileInfo(path("fifo")).isFile());
        QCOMPARE(readBytes(path("page.html")), QByteArray("old"));
    }

    // The disk fills while the page is written: under the write buffer, where
    // only the final flush can notice, and past it.
    void writeFailsWhenDiskFills_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<bool>("existing");
        QTest::newRow("small page, existing file") << 3000 << true;
        QTest::newRow("small page, new file") << 3000 << false;
        QTest::newRow("large page, existing file") << 200000 << true;
        QTest::newRow("large page, new file") << 200000 << false;
    }
    void writeFailsWhenDiskFills()
    {
        QFETCH(int, pageSize);
        QFETCH(bool, existing);
        const QByteArray old(500, 'o');
        if (existing)
            QVERIFY(writeBytes(path("page.html"), old));
        const QStringList before = entries(m_folder->path());

        const QString text(pageSize, QLatin1Char('x'));
        const int status = TestSupport::runWithFileSizeLimit(
            1000, [&] { return PageFile::write(path("page.html"), text, PageFormat()); });
        QCOMPARE(status, 1);
        QCOMPARE(entries(m_folder->path()), before);
        if (existing)
            QCOMPARE(readBytes(path("page.html")), old);

        // The same write without the limit succeeds: the limit made it fail.
        QCOMPARE(TestSupport::runWithFileSizeLimit(
                     qint64(1) << 30,
                     [&] { return PageFile::write(path("page.html"), text, PageFormat()); }),
                 0);
        QCOMPARE(readBytes(path("page.html")).size(), pageSize + 2);
    }
};

QTEST_GUILESS_MAIN(TestPageFile)
#include "tst_pagefile.moc"
