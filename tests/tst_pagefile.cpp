#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "files/pagefile.h"
#include "testsupport.h"

namespace {

mode_t mode(const QString &path)
{
    struct stat status;
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
}

} // namespace

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
        QCOMPARE(TestSupport::runInChild([&] {
                     // Permission bits do not stop root: read as an ordinary user.
                     if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                         return false;
                     QString error;
                     return !PageFile::read(path, &error) && error == "permission denied";
                 }),
                 0);
    }

    // A new file gets the usual mode. A replaced one keeps its mode and loses
    // its old tail, and a link to it stays a link.
    void writeKeepsModeAndLinks()
    {
        QTemporaryDir folder;
        const QString page = folder.filePath("page.html");
        const QString link = folder.filePath("link.html");
        const mode_t mask = umask(022);
        QVERIFY(PageFile::write(page, "a\nb", PageFormat()));
        umask(mask);
        QCOMPARE(mode(page), mode_t(0644));
        QCOMPARE(chmod(QFile::encodeName(page).constData(), 0640), 0);
        QVERIFY(QFile::link(page, link));
        QVERIFY(PageFile::write(link, "c", PageFormat()));
        QCOMPARE(TestSupport::readBytes(page), QByteArray("c\r\n"));
        QCOMPARE(mode(page), mode_t(0640));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(TestSupport::entries(folder.path()), QStringList({"link.html", "page.html"}));
    }
};

QTEST_GUILESS_MAIN(TestPageFile)
#include "tst_pagefile.moc"
