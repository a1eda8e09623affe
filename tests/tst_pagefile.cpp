#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "files/pagefile.h"
#include "testsupport.h"

// Opening and saving go through the windows in their tests; these are the
// file cases that the windows cannot show.
class TestPageFile : public QObject
{
    Q_OBJECT
private slots:
    void readWithoutPermission()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("secret.html");
        QVERIFY(TestSupport::writeBytes(path, "x"));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0200), 0);
        QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), 0701), 0);
        const auto refusedToUser = [&] {
            // Permission bits do not stop root: read as an ordinary user.
            if (!TestSupport::becomePlainUser())
                return false;
            QString error;
            return !PageFile::read(path, &error) && error == "permission denied";
        };
        QCOMPARE(TestSupport::runInChild(-1, refusedToUser), 0);
    }

    // The save window shows one message for every failure; the reason is
    // still the true one, and nothing is left behind.
    void writeRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "nowhere/page.html" << "it does not exist";
        QTest::newRow("folder") << "folder" << "it is a folder";
        QTest::newRow("FIFO") << "fifo" << "it is not a regular file";
        QTest::newRow("name too long") << QString(300, 'n') << "file name too long";
        QTest::newRow("file taken for a folder") << "page.html/x" << "not a directory";
        QTest::newRow("NUL in the name") << QStringView(u"page.html\0x", 11).toString()
                                         << "the name holds a NUL character";
        QTest::newRow("write-protected page") << "locked.html" << "permission denied";
    }
    void writeRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
        QVERIFY(QDir(folder.path()).mkdir("folder"));
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("fifo")).constData(), 0644), 0);
        QVERIFY(TestSupport::writeBytes(folder.filePath("page.html"), "old"));
        QVERIFY(TestSupport::writeBytes(folder.filePath("locked.html"), "old"));
        QCOMPARE(chmod(QFile::encodeName(folder.filePath("locked.html")).constData(), 0444), 0);
        const QStringList before = TestSupport::entries(folder.path());
        TestSupport::WorkingDirectory inFolder(folder.path());
        const int result = TestSupport::runInChild(-1, [&] {
            QString error;
            return TestSupport::becomePlainUser() &&
                   !PageFile::write(name, "new", PageFormat(), &error) && error == reason;
        });
        QCOMPARE(result, 0);
        QCOMPARE(TestSupport::entries(folder.path()), before);
        QCOMPARE(TestSupport::readBytes("page.html"), QByteArray("old"));
    }

    // A replaced file keeps its mode and loses its old tail.
    void writeKeepsMode()
    {
        QTemporaryDir folder;
        const QString page = folder.filePath("page.html");
        QVERIFY(TestSupport::writeBytes(page, "the old page"));
        QCOMPARE(chmod(QFile::encodeName(page).constData(), 0640), 0);
        QVERIFY(PageFile::write(page, "new", PageFormat()));
        QCOMPARE(TestSupport::readBytes(page), QByteArray("new\r\n"));
        struct stat status;
        QCOMPARE(stat(QFile::encodeName(page).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0640u);
        QCOMPARE(TestSupport::entries(folder.path()), QStringList{"page.html"});
    }
};

QTEST_GUILESS_MAIN(TestPageFile)
#include "tst_pagefile.moc"
