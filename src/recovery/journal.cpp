#include "recovery/journal.h"

#include "editor/document.h"
#include "editor/text/piecetree.h"

Journal::Journal(Document &document, QObject *parent, int baseInFileAbove)
    : QObject(parent), m_document(document), m_baseInFileAbove(baseInFileAbove),
      m_writer(JournalFolder::ownName())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(SyncInterval);
    connect(&m_timer, &QTimer::timeout, this, &Journal::sync);
    connect(&document, &Document::textChanged, this, &Journal::textChanged);
    connect(&document, &Document::settled, this, &Journal::settled);
    settled();
}

Journal::~Journal()
{
    discard();
}

void Journal::discard()
{
    // The page may already be gone: it is not touched here.
    m_discarded = true;
    m_timer.stop();
    m_writer.remove();
    m_writer.wait();
}

void Journal::textChanged(int start, int removed, int added)
{
    if (m_discarded)
        return;
    if (!m_document.isModified()) {
        // Undone back to the page's file: nothing to keep.
        forget();
        return;
    }
    m_pending.add(start, removed, added);
    // Started by the first change after a sync, not restarted by the next
    // ones: typing without a pause is still written every second.
    if (!m_timer.isActive())
        m_timer.start();
}

void Journal::settled()
{
    if (m_discarded)
        return;
    forget();
    m_base = m_document.snapshot();
    m_baseInFile = !m_document.path().isEmpty() && m_base->length() > m_baseInFileAbove;
}

void Journal::forget()
{
    if (m_written)
        m_writer.remove();
    m_written = false;
    m_pending.clear();
    m_timer.stop();
}

void Journal::takeOver(JournalFolder::Leftover leftover)
{
    // The recovered text is in no file: the journal starts with a copy of it.
    settled();
    m_baseInFile = false;
    sync();
    m_writer.removeLeftover(leftover.name, std::move(leftover.file));
}

void Journal::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        sync();
    }
    m_writer.wait();
}

void Journal::sync()
{
    if (!m_document.isModified())
        return;
    m_writer.write(batch());
    m_written = true;
    m_pending.clear();
}

JournalWriter::Batch Journal::batch()
{
    JournalRecord::Begin page;
    page.path = m_document.path();
    page.format = m_document.format();
    page.baseInFile = m_baseInFile;
    return {page, m_base, m_pending.spans(), m_document.snapshot()};
}
