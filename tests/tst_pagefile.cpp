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
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            QString error;
            return !PageFile::read(path, &error) && error == "permission denied";
        };
        QCOMPARE(TestSupport::runInChild(-1, refusedToUser), 0);
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
