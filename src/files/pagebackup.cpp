#include "files/pagebackup.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/hiddenfile.h"
#include "files/statefolder.h"
#include "platform/filename.h"

namespace {

// Copies [from, to) of one file into another at the same offsets: in the
// kernel where it can, else through a buffer (across file systems, on older
// kernels).
bool copyRange(int source, int target, off_t from, off_t to)
{
    bool byKernel = true;
    char buffer[65536];
    while (from < to) {
        const size_t wanted = size_t(qMin<off_t>(to - from, off_t(1) << 30));
        ssize_t copied;
        if (byKernel) {
            loff_t in = from, out = from;
            copied = ::copy_file_range(source, &in, target, &out, wanted, 0);
            if (copied < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                byKernel = false;
                continue;
            }
        } else {
            copied = ::pread(source, buffer, qMin(wanted, sizeof buffer), from);
            const ssize_t written = copied > 0 ? ::pwrite(target, buffer, size_t(copied), from) : 0;
            if (written != qMax<ssize_t>(copied, 0)) {
                errno = written < 0 ? errno : ENOSPC;
                return false;
            }
        }
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied <= 0) {
            errno = copied == 0 ? EIO : errno; // a file that shrank meanwhile
            return false;
        }
        from += copied;
    }
    return true;
}

// Copies the `size` bytes of `source` into the empty `target`, only the
// data, so that holes stay holes and take no room.
bool copyData(int source, int target, off_t size)
{
    for (off_t at = 0; at < size;) {
        off_t data = ::lseek(source, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break; // a hole to the end
        off_t hole = data < 0 ? size : ::lseek(source, data, SEEK_HOLE);
        if (data < 0) // no holes known here: all of it
            data = at;
        if (hole < 0 || hole > size)
            hole = size;
        if (!copyRange(source, target, data, hole))
            return false;
        at = hole;
    }
    return ::ftruncate(target, size) == 0;
}

} // namespace

PageBackup::PageBackup() = default;

PageBackup::~PageBackup() = default;

bool PageBackup::take(int folder, const QByteArray &name, int page, off_t size)
{
    m_size = size;
    const QByteArray role = "old-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
    m_copy = std::make_unique<HiddenFile>(folder, name, role.constData());
    if (!m_copy->create(0600)) {
        // A folder that takes no new file: the user's own state folder.
        m_stateFolder = StateFolder::open(true);
        if (!m_stateFolder.isOpen())
            return false;
        m_copy = std::make_unique<HiddenFile>(m_stateFolder.get(), name, role.constData());
        if (!m_copy->create(0600))
            return false;
    }
    // Blocks shared where the file system can; named and on disk, folder
    // entry included, before the page changes.
    m_shared = ::ioctl(m_copy->fd(), FICLONE, page) == 0;
    if ((!m_shared && !copyData(page, m_copy->fd(), size)) || ::fsync(m_copy->fd()) != 0 ||
        !m_copy->link())
        return false;
    Descriptor copyFolder(::openat(m_stateFolder.isOpen() ? m_stateFolder.get() : folder, ".",
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (copyFolder.isOpen())
        ::fsync(copyFolder.get());
    return true;
}

bool PageBackup::restore(int page)
{
    // Emptied first: that frees the room the failed write took.
    return ::ftruncate(page, 0) == 0 &&
           (::ioctl(page, FICLONE, m_copy->fd()) == 0 || copyData(m_copy->fd(), page, m_size)) &&
           ::fsync(page) == 0;
}

QString PageBackup::keep()
{
    m_copy->keep();
    const QByteArray folder = m_copy->folderPath();
    return FileName::decode(folder + '/' + m_copy->name());
}
