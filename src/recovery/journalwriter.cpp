#include "recovery/journalwriter.h"

#include <QDateTime>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/file.h>

#include "editor/text/piecetree.h"
#include "files/hiddenfile.h"
#include "files/statefolder.h"
#include "platform/filesizesignal.h"
#include "recovery/journalfolder.h"

namespace {

bool writeAll(int fd, const char *bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, bytes, std::size_t(std::min<qsizetype>(size, 1 << 30)));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= done;
    }
    return true;
}

} // namespace

JournalWriter::JournalWriter(QByteArray name) : m_name(std::move(name)), m_thread([this] { run(); })
{
}

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void JournalWriter::write(Batch batch)
{
    post([this, batch = std::move(batch)] { writeBatch(batch); });
}

void JournalWriter::remove()
{
    post([this] {
        if (m_file.isOpen())
            ::unlinkat(m_folder.get(), m_name.constData(), 0);
        m_file = Descriptor();
        m_atBase = true;
        m_stale = false;
    });
}

void JournalWriter::removeLeftover(QByteArray name, Descriptor lock)
{
    auto held = std::make_shared<Descriptor>(std::move(lock));
    post([this, name = std::move(name), held] {
        // Only once ours is whole: until then the leftover is all there is.
        if (m_file.isOpen())
            ::unlinkat(m_folder.get(), name.constData(), 0);
    });
}

void JournalWriter::wait()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
}

void JournalWriter::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void JournalWriter::run()
{
    // Before the first journal is written, which comes before any save.
    FileSizeSignal::ignore();
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_busy = false;
            m_done.notify_all();
            m_wake.wait(lock, [this] { return m_stop || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_busy = true;
        }
        task();
    }
}

void JournalWriter::writeBatch(const Batch &batch)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 edits = 0;
    for (const PendingEdits::Span &span : batch.spans)
        edits += span.length;
    if (!m_file.isOpen() && m_atBase) {
        JournalRecord::Begin page = batch.page;
        if (page.baseInFile) {
            page.baseLength = batch.base->length();
            page.baseCrc = JournalRecord::crc(*batch.base);
        }
        if (!startOver(page, page.baseInFile ? nullptr : batch.base.get())) {
            m_atBase = false;
            return;
        }
    } else if (!m_file.isOpen() || m_stale ||
               m_editSize + edits > CompactAfter * batch.text->length() + 65536) {
        // Edits that would outgrow the text, or a journal that missed some:
        // the text as it stands starts a new one.
        JournalRecord::Begin whole = batch.page;
        whole.baseInFile = false;
        startOver(whole, batch.text.get());
        m_atBase = false;
        return;
    }
    m_atBase = false;
    if (batch.spans.empty())
        return;
    const PieceTree &text = *batch.text;
    if (append([&](const JournalRecord::Sink &sink) {
            return JournalRecord::writeEdits(sink, text, batch.spans, now);
        }))
        m_editSize += edits;
}

bool JournalWriter::startOver(const JournalRecord::Begin &page, const PieceTree *inlineText)
{
    if (!m_folder.isOpen())
        m_folder = StateFolder::open(true);
    if (!m_folder.isOpen()) {
        fail();
        return false;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    // Made whole and synced before it takes the journal's name, so that the
    // name always holds a journal that can be read.
    HiddenFile file(m_folder.get(), m_name, "new");
    const JournalRecord::Sink sink = [&file](const char *bytes, qsizetype size) {
        return writeAll(file.fd(), bytes, size);
    };
    const QByteArray magic = JournalRecord::magic();
    const bool written = file.create(0600) && sink(magic.constData(), magic.size()) &&
                         JournalRecord::writeBegin(sink, page, now) &&
                         (!inlineText || JournalRecord::writeSnapshot(sink, *inlineText, now)) &&
                         ::fdatasync(file.fd()) == 0 && file.replace(m_name);
    if (!written) {
        fail();
        return false;
    }
    ::fsync(m_folder.get());
    // A copy of the descriptor keeps the lock once the file object goes.
    m_file = Descriptor(::fcntl(file.fd(), F_DUPFD_CLOEXEC, 0));
    ::lseek(m_file.get(), 0, SEEK_END);
    m_editSize = 0;
    m_stale = false;
    return true;
}

bool JournalWriter::append(const std::function<bool(const JournalRecord::Sink &)> &record)
{
    const int fd = m_file.get();
    const JournalRecord::Sink sink = [fd](const char *bytes, qsizetype size) {
        return writeAll(fd, bytes, size);
    };
    if (record(sink) && ::fdatasync(fd) == 0)
        return true;
    fail();
    return false;
}

void JournalWriter::fail()
{
    // Said once, not every second while the disk stays full.
    if (!m_stale)
        qWarning("The recovery journal could not be written: %s", strerror(errno));
    // What the journal holds stays, and stays ours: an older text is better
    // than none after a crash. The next batch's edits would start from a
    // text it lacks, so that batch writes the text whole.
    m_stale = true;
}
