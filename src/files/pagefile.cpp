#include "files/pagefile.h"

#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "files/descriptor.h"
#include "files/hiddenfile.h"
#include "files/pagebackup.h"
#include "files/pagelocation.h"
#include "platform/filename.h"
#include "platform/filesizesignal.h"

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The system's reason for `code`, such as "permission denied", to follow a colon.
QString systemReason(int code)
{
    if (code == ENOENT)
        return QStringLiteral("it does not exist");
    QString message = qt_error_string(code);
    if (!message.isEmpty())
        message[0] = message[0].toLower();
    return message;
}

bool failWith(QString *error, int code)
{
    return fail(error, systemReason(code));
}

std::optional<PageCodec::Page> refuse(QString *error, const QString &reason)
{
    fail(error, reason);
    return std::nullopt;
}

QString tooLarge()
{
    return QStringLiteral("it is larger than %1 MB").arg(PageFile::MaxBytes >> 20);
}

QString notRegular(const struct stat &status)
{
    return S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder")
                                   : QStringLiteral("it is not a regular file");
}

// The path as the system takes it; a NUL would cut it short.
bool systemName(const QString &path, QByteArray &name, QString *error)
{
    name = FileName::encode(path);
    if (name.isEmpty())
        return failWith(error, ENOENT);
    if (name.contains('\0'))
        return fail(error, QStringLiteral("the name holds a NUL character"));
    return true;
}

bool readAll(int fd, QByteArray &bytes, QString *error)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failWith(error, errno);
        if (got == 0)
            return true;
        if (bytes.size() + got > PageFile::MaxBytes)
            return fail(error, tooLarge());
        bytes.append(buffer, got);
    }
}

bool writeAll(int fd, const QByteArray &bytes, QString *error)
{
    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    off_t offset = 0;
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, at, size_t(left), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failWith(error, written < 0 ? errno : ENOSPC);
        at += written;
        offset += written;
        left -= written;
    }
    return true;
}

QList<QByteArray> attributeNames(const QByteArray &path, int fd)
{
    for (;;) {
        const ssize_t size =
            fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(path.constData(), nullptr, 0);
        if (size <= 0)
            return {};
        QByteArray list(size, Qt::Uninitialized);
        const ssize_t got = fd >= 0 ? ::flistxattr(fd, list.data(), size_t(size))
                                    : ::listxattr(path.constData(), list.data(), size_t(size));
        if (got < 0 && errno == ERANGE)
            continue; // the list grew meanwhile
        if (got <= 0)
            return {};
        list.truncate(got - 1); // each name ends in a NUL
        return list.split('\0');
    }
}

// Gives the new file at `fd` the extended attributes of `original`, and only those.
bool copyAttributes(const QByteArray &original, int fd)
{
    const QList<QByteArray> names = attributeNames(original, -1);
    for (const QByteArray &inherited : attributeNames({}, fd)) {
        // A default ACL of the folder gives the new file one the original lacks.
        if (!names.contains(inherited) && ::fremovexattr(fd, inherited.constData()) != 0)
            return false;
    }
    for (const QByteArray &name : names) {
        const ssize_t size = ::getxattr(original.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got =
            ::getxattr(original.constData(), name.constData(), value.data(), size_t(size));
        if (got != size ||
            ::fsetxattr(fd, name.constData(), value.constData(), size_t(size), 0) != 0)
            return false;
    }
    return true;
}

// Root may write anything; a page nobody may write is still refused.
bool writable(const PageLocation &page, const struct stat &status)
{
    if (::faccessat(page.folder.get(), page.name.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    errno = EACCES;
    return (status.st_mode & 0222) != 0;
}

// Whether the disk of `fd` has room for `size` bytes and a margin: the free
// room a copy-on-write file system reports is only an estimate.
bool roomToSpare(int fd, qsizetype size)
{
    struct statvfs disk;
    const qsizetype margin = size / 8 + (qsizetype(4) << 20);
    return ::fstatvfs(fd, &disk) == 0 &&
           qsizetype(disk.f_bavail) * qsizetype(disk.f_frsize) >= size + margin;
}

enum class Replaced {
    Done,
    Failed,
    NotPossible, // the file must be written in place instead
};

// Gives the new file at `fd` the owner, group, mode and attributes of `original`.
bool takeIdentity(int fd, const PageLocation &page, const struct stat &original)
{
    struct stat created;
    if (::fstat(fd, &created) != 0)
        return false;
    // Changing the owner clears set-user-ID and set-group-ID: the mode comes last.
    if ((created.st_uid != original.st_uid || created.st_gid != original.st_gid) &&
        ::fchown(fd, original.st_uid, original.st_gid) != 0)
        return false;
    return copyAttributes(page.fullPath(), fd) && ::fchmod(fd, original.st_mode & 07777) == 0;
}

// Writes a new file beside the page and puts it in the page's place. With
// `original`, the new file takes that file's identity first, or nothing is
// replaced.
Replaced replace(const PageLocation &page, const struct stat *original, const QByteArray &bytes,
                 QString *error)
{
    // Private until it has the original's mode; a new page gets the usual one.
    HiddenFile file(page.folder.get(), page.name, "new");
    if (!file.create(original ? 0600 : 0666)) {
        failWith(error, errno);
        return original ? Replaced::NotPossible : Replaced::Failed;
    }
    if (original && !takeIdentity(file.fd(), page, *original))
        return Replaced::NotPossible;
    if (!writeAll(file.fd(), bytes, error))
        return Replaced::Failed;
    if (::fsync(file.fd()) != 0 || !file.replace(page.name)) {
        failWith(error, errno);
        return Replaced::Failed;
    }
    // The new name itself is on disk only once the folder is.
    const Descriptor folder = page.openFolder();
    if (folder.isOpen())
        ::fsync(folder.get());
    return Replaced::Done;
}

// Overwrites the page described by `original`, keeping the file itself. A
// copy of the old bytes is on disk first; should the write fail, they are
// written back, and where even that fails, `oldPageAt` says where they are.
bool writeInPlace(const PageLocation &page, const struct stat &original, const QByteArray &bytes,
                  QString *error, QString *oldPageAt)
{
    // Readable too: the old bytes are copied from it.
    Descriptor file(::openat(page.folder.get(), page.name.constData(),
                             O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat status;
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0)
        return failWith(error, errno);
    if (status.st_dev != original.st_dev || status.st_ino != original.st_ino)
        return fail(error, QStringLiteral("the file changed while it was saved"));
    PageBackup backup;
    if (!backup.take(page.folder.get(), page.name, file.get(), status.st_size))
        return fail(error, QStringLiteral("no copy of the old page could be kept: ") +
                               systemReason(errno));
    // Room for a larger page is taken first, where the file system can. Over
    // shared blocks every byte takes new room, which no file system reserves:
    // the page is written only where the disk has plenty to spare.
    if (backup.sharesBlocks() && !roomToSpare(file.get(), bytes.size()))
        return failWith(error, ENOSPC);
    if (bytes.size() > status.st_size) {
        if (const int code = ::posix_fallocate(file.get(), 0, off_t(bytes.size()))) {
            (void)!::ftruncate(file.get(), status.st_size);
            return failWith(error, code);
        }
    }
    if (writeAll(file.get(), bytes, error)) {
        if (::ftruncate(file.get(), off_t(bytes.size())) == 0 && ::fsync(file.get()) == 0 &&
            file.close())
            return true;
        failWith(error, errno);
    }
    if (!backup.restore(file.get()) && oldPageAt)
        *oldPageAt = backup.keep();
    return false;
}

// Puts the page at `path` as PageFile::write() describes; `bytes` were
// encoded in full before anything on disk is touched.
bool writePage(const QString &path, const QByteArray &bytes, QString *error, QString *oldPageAt)
{
    FileSizeSignal::ignore();
    QByteArray name;
    if (!systemName(path, name, error))
        return false;
    const PageLocation page = PageLocation::find(name);
    if (!page.folder.isOpen())
        return failWith(error, errno);
    struct stat status;
    if (::fstatat(page.folder.get(), page.name.constData(), &status, 0) != 0) {
        if (errno != ENOENT)
            return failWith(error, errno);
        return replace(page, nullptr, bytes, error) == Replaced::Done;
    }
    // A rename would put a file in place of a device node or a FIFO.
    if (!S_ISREG(status.st_mode))
        return fail(error, notRegular(status));
    if (!writable(page, status))
        return failWith(error, errno);
    if (status.st_nlink == 1) {
        const Replaced replaced = replace(page, &status, bytes, error);
        if (replaced != Replaced::NotPossible)
            return replaced == Replaced::Done;
    }
    return writeInPlace(page, status, bytes, error, oldPageAt);
}

} // namespace

std::optional<PageCodec::Page> PageFile::read(const QString &path, QString *error)
{
    QByteArray name;
    if (!systemName(path, name, error))
        return std::nullopt;
    // Looked at before it is opened: opening a device may do something.
    struct stat status;
    if (::stat(name.constData(), &status) != 0)
        return refuse(error, systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(error, notRegular(status));
    if (status.st_size > MaxBytes)
        return refuse(error, tooLarge());
    // Without O_NONBLOCK, a FIFO put in place of the file after the look above
    // would block the open for ever.
    Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return refuse(error, systemReason(errno));
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return refuse(error, notRegular(status));
    QByteArray bytes;
    bytes.reserve(qsizetype(status.st_size));
    if (!readAll(file.get(), bytes, error))
        return std::nullopt;
    return PageCodec::decode(bytes);
}

bool PageFile::write(const QString &path, const QString &text, const PageFormat &format,
                     QString *error, QString *oldPageAt)
{
    return writePage(path, PageCodec::encode(text, format), error, oldPageAt);
}

bool PageFile::write(const QString &path, const PageCodec::Chunks &text, qsizetype length,
                     const PageFormat &format, QString *error, QString *oldPageAt)
{
    return writePage(path, PageCodec::encode(text, length, format), error, oldPageAt);
}
