#include "files/pagefile.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "files/filename.h"

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

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    // Closes now, so that a failure to close is seen.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

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

QByteArray folderOf(const QByteArray &name)
{
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : name.left(slash);
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

// A new file of an unused name in `folder`, or -1 with errno set.
int createTemporary(const QByteArray &folder, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.tagloom-" +
               QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

enum class Replaced {
    Done,
    Failed,
    NotPossible, // the file must be written in place instead
};

// Writes a new file beside `target` and renames it over `target`. With
// `original`, the new file takes that file's owner, group, mode and attributes
// first, or nothing is replaced.
Replaced replace(const QByteArray &target, const struct stat *original, const QByteArray &bytes,
                 QString *error)
{
    QByteArray temporary;
    // Private until it has the original's mode; a new page gets the usual one.
    Descriptor file(createTemporary(folderOf(target), original ? 0600 : 0666, temporary));
    if (file.get() < 0) {
        failWith(error, errno);
        return original ? Replaced::NotPossible : Replaced::Failed;
    }
    const auto discard = [&](Replaced result) {
        ::unlink(temporary.constData());
        return result;
    };
    if (original) {
        struct stat created;
        if (::fstat(file.get(), &created) != 0)
            return discard(Replaced::NotPossible);
        // Changing the owner clears set-user-ID and set-group-ID: the mode comes last.
        if ((created.st_uid != original->st_uid || created.st_gid != original->st_gid) &&
            ::fchown(file.get(), original->st_uid, original->st_gid) != 0)
            return discard(Replaced::NotPossible);
        if (!copyAttributes(target, file.get()) ||
            ::fchmod(file.get(), original->st_mode & 07777) != 0)
            return discard(Replaced::NotPossible);
    }
    if (!writeAll(file.get(), bytes, error))
        return discard(Replaced::Failed);
    if (::fsync(file.get()) != 0 || !file.close()) {
        failWith(error, errno);
        return discard(Replaced::Failed);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        failWith(error, errno);
        return discard(Replaced::Failed);
    }
    // The rename itself is on disk only once the folder is.
    Descriptor folder(::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return Replaced::Done;
}

// Overwrites `target`, the file described by `original`, keeping the file
// itself. Room for the whole page is taken before the first byte changes.
bool writeInPlace(const QByteArray &target, const struct stat &original, const QByteArray &bytes,
                  QString *error)
{
    // Readable too where allowed: where the file system cannot reserve room
    // itself, posix_fallocate reads the file to find the blocks to fill.
    const int flags = O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(target.constData(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES)
        fd = ::open(target.constData(), O_WRONLY | flags);
    Descriptor file(fd);
    struct stat status;
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return failWith(error, errno);
    if (status.st_dev != original.st_dev || status.st_ino != original.st_ino)
        return fail(error, QStringLiteral("the file changed while it was saved"));
    if (bytes.size() > status.st_size) {
        if (const int code = ::posix_fallocate(file.get(), 0, off_t(bytes.size()))) {
            // Whatever was added beyond the old end goes again.
            (void)!::ftruncate(file.get(), status.st_size);
            return failWith(error, code);
        }
    }
    if (!writeAll(file.get(), bytes, error))
        return false;
    if (::ftruncate(file.get(), off_t(bytes.size())) != 0 || ::fsync(file.get()) != 0 ||
        !file.close())
        return failWith(error, errno);
    return true;
}

// Puts the page at `path` as PageFile::write() describes; `bytes` were
// encoded in full before anything on disk is touched.
bool writePage(const QString &path, const QByteArray &bytes, QString *error)
{
    QByteArray name;
    if (!systemName(path, name, error))
        return false;
    struct stat status;
    if (::stat(name.constData(), &status) != 0) {
        if (errno != ENOENT)
            return failWith(error, errno);
        return replace(name, nullptr, bytes, error) == Replaced::Done;
    }
    // A rename would put a file in place of a device node or a FIFO.
    if (!S_ISREG(status.st_mode))
        return fail(error, notRegular(status));
    // Through a symbolic link, the file it names is saved and the link stays.
    char resolved[PATH_MAX];
    if (!::realpath(name.constData(), resolved))
        return failWith(error, errno);
    const QByteArray target(resolved);
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return failWith(error, errno);
    if (status.st_nlink == 1) {
        const Replaced replaced = replace(target, &status, bytes, error);
        if (replaced != Replaced::NotPossible)
            return replaced == Replaced::Done;
    }
    return writeInPlace(target, status, bytes, error);
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
                     QString *error)
{
    return writePage(path, PageCodec::encode(text, format), error);
}

bool PageFile::write(const QString &path, const PageCodec::Chunks &text, qsizetype length,
                     const PageFormat &format, QString *error)
{
    return writePage(path, PageCodec::encode(text, length, format), error);
}
