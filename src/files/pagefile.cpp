#include "files/pagefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::optional<PageCodec::Page> fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

// A system message such as "Permission denied", to follow a colon.
QString systemReason(QString message)
{
    if (!message.isEmpty())
        message[0] = message[0].toLower();
    return message;
}

// Opens a regular file for reading. Without O_NONBLOCK, a FIFO put in place
// of the file after the check in read() would block the open for ever.
bool openRegularFile(QFile &file, const QString &path, QString *error)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(error, systemReason(qt_error_string(errno)));
        return false;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        fail(error, QStringLiteral("it is not a regular file"));
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(error, systemReason(file.errorString()));
        return false;
    }
    return true;
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, systemReason(file.errorString()));
        return false;
    }
    return true;
#endif
}

} // namespace

std::optional<PageCodec::Page> PageFile::read(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return fail(error, QStringLiteral("it does not exist"));
    if (info.isDir())
        return fail(error, QStringLiteral("it is a folder"));
    if (!info.isFile())
        return fail(error, QStringLiteral("it is not a regular file"));
    if (info.size() > MaxBytes)
        return fail(error, QStringLiteral("it is larger than %1 MB").arg(MaxBytes >> 20));

    QFile file;
    if (!openRegularFile(file, path, error))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error, systemReason(file.errorString()));
    if (bytes.size() > MaxBytes)
        return fail(error, QStringLiteral("it is larger than %1 MB").arg(MaxBytes >> 20));
    return PageCodec::decode(bytes);
}

bool PageFile::write(const QString &path, const QString &text, const PageFormat &format)
{
    // The new file is renamed over the old one: that would replace a device
    // node or a FIFO, so only regular files are replaced.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;

    const QByteArray bytes = PageCodec::encode(text, format);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() flushes the last buffered bytes itself but ignores a failure
    // there, so a short write must be caught before it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting(); // the temporary file goes with `file`
        return false;
    }
    return file.commit();
}
