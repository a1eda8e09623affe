#include "recovery/journalfolder.h"

#include <QCoreApplication>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "files/pagefile.h"
#include "files/statefolder.h"
#include "recovery/journalreader.h"

namespace {

constexpr char Suffix[] = ".journal";

// The file's bytes from its start, at most `most` of them.
QByteArray readFrom(int fd, qsizetype most = std::numeric_limits<qsizetype>::max())
{
    QByteArray bytes;
    char buffer[1 << 16];
    while (bytes.size() < most) {
        const ssize_t got = ::pread(
            fd, buffer, std::min<qsizetype>(sizeof buffer, most - bytes.size()), bytes.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

// The journal `name` in `folder`, locked, unless its program still holds it
// or it was replaced by a newer one while it was being opened.
Descriptor lockIfLeft(int folder, const char *name)
{
    // Only a file of the user's own is opened: opening a device may act on
    // it, and another user's journal holds their page, not ours.
    struct stat named, opened;
    if (::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
        named.st_uid != ::geteuid())
        return {};
    Descriptor file(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(file.get(), &opened) != 0 || opened.st_ino != named.st_ino ||
        opened.st_dev != named.st_dev)
        return {};
    return file;
}

} // namespace

QByteArray JournalFolder::ownName()
{
    static const QByteArray name = QByteArray::number(QCoreApplication::applicationPid()) + '-' +
                                   QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + Suffix;
    return name;
}

std::vector<JournalFolder::Leftover> JournalFolder::leftovers()
{
    std::vector<Leftover> found;
    const Descriptor folder = StateFolder::open();
    if (!folder.isOpen())
        return found;
    DIR *listing = ::fdopendir(::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0));
    if (!listing)
        return found;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (!name.endsWith(Suffix) || name.startsWith('.') || name == ownName())
            continue;
        Descriptor file = lockIfLeft(folder.get(), entry->d_name);
        if (!file.isOpen())
            continue;
        // The first record, naming the page, is short.
        const JournalReader reader(readFrom(file.get(), qsizetype(1) << 20));
        struct stat status;
        if (!reader.hasPage() || ::fstat(file.get(), &status) != 0) {
            // Cut before its first record was whole: it holds nothing.
            ::unlinkat(folder.get(), entry->d_name, 0);
            continue;
        }
        const qint64 written =
            qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
        found.push_back(
            {std::move(file), name, QDateTime::fromMSecsSinceEpoch(written), reader.page().path});
    }
    ::closedir(listing);
    std::sort(found.begin(), found.end(),
              [](const Leftover &a, const Leftover &b) { return a.written > b.written; });
    return found;
}

JournalFolder::Recovered JournalFolder::recover(const Leftover &leftover)
{
    JournalReader reader(readFrom(leftover.file.get()));
    const JournalRecord::Begin &page = reader.page();
    Recovered recovered{QString(), page.format, page.path, false, QDateTime(), QString()};
    QString base;
    if (page.baseInFile) {
        // The edits start from the page's file as it was opened or saved;
        // a save wrote one more line break after the text.
        QString reason;
        const std::optional<PageCodec::Page> file = PageFile::read(page.path, &reason);
        if (file)
            base = file->text;
        const auto matches = [&page](QStringView text) {
            return text.size() == page.baseLength && JournalRecord::crc(text) == page.baseCrc;
        };
        if (file && !matches(base) && base.endsWith(u'\n') && matches(QStringView(base).chopped(1)))
            base.chop(1);
        else if (!file || !matches(base)) {
            recovered.failure = file ? QStringLiteral("the page has changed since") : reason;
            return recovered;
        }
    }
    recovered.text = reader.rebuild(base);
    recovered.damaged = reader.isDamaged();
    recovered.written = QDateTime::fromMSecsSinceEpoch(reader.lastTime());
    return recovered;
}

void JournalFolder::remove(Leftover &leftover)
{
    const Descriptor folder = StateFolder::open();
    if (folder.isOpen())
        ::unlinkat(folder.get(), leftover.name.constData(), 0);
    leftover.file = Descriptor();
}
