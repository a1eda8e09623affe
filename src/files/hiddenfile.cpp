#include "files/hiddenfile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The hidden name for `page`, shortened where the whole would be too long.
QByteArray hiddenName(const QByteArray &page, const char *role)
{
    const QByteArray suffix = QByteArray(".tagloom-") + role;
    return '.' + page.left(NAME_MAX - 1 - suffix.size()) + suffix;
}

} // namespace

HiddenFile::HiddenFile(int folder, const QByteArray &page, const char *role)
    : m_folder(folder), m_name(hiddenName(page, role))
{
}

HiddenFile::~HiddenFile()
{
    if (m_named && !m_kept)
        ::unlinkat(m_folder, m_name.constData(), 0);
}

bool HiddenFile::create(mode_t mode)
{
    m_file = Descriptor(::openat(m_folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (!m_file.isOpen()) {
        // Not every file system makes unnamed files.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
        for (int attempt = 0; attempt < 2 && !m_file.isOpen(); ++attempt) {
            m_file = Descriptor(::openat(m_folder, m_name.constData(),
                                         O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, mode));
            if (!m_file.isOpen() && (errno != EEXIST || !removeLeftOver()))
                return false;
        }
        m_named = true;
    }
    return ::flock(m_file.get(), LOCK_EX | LOCK_NB) == 0;
}

bool HiddenFile::link()
{
    // Linking by the descriptor itself needs a privilege; its /proc entry does not.
    const QByteArray self = Descriptor::path(m_file.get());
    for (int attempt = 0; attempt < 2 && !m_named; ++attempt) {
        m_named = ::linkat(AT_FDCWD, self.constData(), m_folder, m_name.constData(),
                           AT_SYMLINK_FOLLOW) == 0;
        if (!m_named && (errno != EEXIST || !removeLeftOver()))
            return false;
    }
    return m_named;
}

bool HiddenFile::replace(const QByteArray &target)
{
    if (!link())
        return false;
    if (::renameat(m_folder, m_name.constData(), m_folder, target.constData()) != 0)
        return false;
    m_named = false;
    return true;
}

QByteArray HiddenFile::folderPath() const
{
    const QByteArray self = Descriptor::path(m_folder);
    QByteArray path(PATH_MAX, Qt::Uninitialized);
    const ssize_t got = ::readlink(self.constData(), path.data(), size_t(path.size()));
    path.truncate(qMax<ssize_t>(got, 0));
    return path;
}

// Removes a file of our name that nobody holds: one a killed save left behind.
bool HiddenFile::removeLeftOver()
{
    Descriptor old(
        ::openat(m_folder, m_name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!old.isOpen() || ::flock(old.get(), LOCK_EX | LOCK_NB) != 0) {
        errno = EBUSY; // another save of this page is under way
        return false;
    }
    return ::unlinkat(m_folder, m_name.constData(), 0) == 0;
}
