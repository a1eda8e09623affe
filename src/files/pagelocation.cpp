#include "files/pagelocation.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Linux gives up on a chain of links after 40; so do we.
constexpr int MaxLinks = 40;

// Splits `path` into the folder part (opened relative to `base`) and the last part.
Descriptor openFolderOf(int base, const QByteArray &path, QByteArray &last)
{
    const qsizetype slash = path.lastIndexOf('/');
    last = path.mid(slash + 1);
    const QByteArray folder = slash < 0    ? QByteArrayLiteral(".")
                              : slash == 0 ? QByteArrayLiteral("/")
                                           : path.left(slash);
    return Descriptor(::openat(base, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

QByteArray readLink(int folder, const QByteArray &name)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    for (;;) {
        const ssize_t got =
            ::readlinkat(folder, name.constData(), target.data(), size_t(target.size()));
        if (got < 0)
            return {};
        if (got < target.size()) {
            target.truncate(got);
            return target;
        }
        target.resize(target.size() * 2);
    }
}

} // namespace

PageLocation PageLocation::find(const QByteArray &path)
{
    PageLocation location;
    location.folder = openFolderOf(AT_FDCWD, path, location.name);
    for (int links = 0; location.folder.isOpen(); ++links) {
        if (location.name.isEmpty() || location.name == "." || location.name == "..") {
            errno = EISDIR;
            break;
        }
        struct stat status;
        if (::fstatat(location.folder.get(), location.name.constData(), &status,
                      AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? std::move(location) : PageLocation();
        if (!S_ISLNK(status.st_mode))
            return location;
        if (links == MaxLinks) {
            errno = ELOOP;
            break;
        }
        const QByteArray target = readLink(location.folder.get(), location.name);
        if (target.isEmpty())
            break;
        location.folder = openFolderOf(location.folder.get(), target, location.name);
    }
    return {};
}

Descriptor PageLocation::openFolder() const
{
    return Descriptor(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

QByteArray PageLocation::fullPath() const
{
    return Descriptor::path(folder.get()) + '/' + name;
}
