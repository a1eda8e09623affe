#include "files/statefolder.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filename.h"

namespace StateFolder {

QString location()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.startsWith(u'/')) // a relative one is to be ignored
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tagloom");
}

Descriptor open(bool create)
{
    const QByteArray path = FileName::encode(location());
    const qsizetype last = path.lastIndexOf('/');
    const QByteArray above = last > 0 ? path.left(last) : QByteArray("/");
    const QByteArray name = path.mid(last + 1);
    if (create) {
        for (qsizetype slash = path.indexOf('/', 1); slash != -1 && slash <= last;
             slash = path.indexOf('/', slash + 1)) {
            if (::mkdir(path.left(slash).constData(), 0700) != 0 && errno != EEXIST)
                return {};
        }
    }
    const Descriptor parent(::open(above.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.isOpen())
        return {};
    if (create && ::mkdirat(parent.get(), name.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // Opened from its parent, so that a link put in its place is not followed.
    Descriptor folder(
        ::openat(parent.get(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status;
    if (!folder.isOpen() || ::fstat(folder.get(), &status) != 0)
        return {};
    if (status.st_uid != ::geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        errno = EPERM;
        return {};
    }
    return folder;
}

} // namespace StateFolder
