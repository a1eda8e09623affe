#pragma once

#include <QByteArray>

#include "recovery/journalrecord.h"

class PieceTree;

// Reads a journal's bytes back into the text they record. Every complete
// record before the first damaged one counts: a record cut short, with a
// wrong checksum, or with edits that do not fit the text ends the reading.
class JournalReader
{
public:
    explicit JournalReader(QByteArray bytes);

    // Whether the first record, which names the page, is whole.
    bool hasPage() const { return m_pageEnd > 0; }
    const JournalRecord::Begin &page() const { return m_page; }

    // The text the records make of `base`, the text the edits start from
    // (only used when page().baseInFile).
    QString rebuild(const QString &base);
    // After rebuild(): whether bytes after the last complete record were
    // damaged, and when the last complete record was written.
    bool isDamaged() const { return m_damaged; }
    qint64 lastTime() const { return m_lastTime; }

private:
    struct Body
    {
        JournalRecord::Type type;
        qint64 time;
        const char *fields;
        qsizetype size;
    };
    // The whole record at m_bytes[at], moving `at` past it.
    bool next(qsizetype &at, Body &body) const;
    static bool readSnapshot(const Body &body, PieceTree &text);
    static bool applyEdits(const Body &body, PieceTree &text);

    QByteArray m_bytes;
    JournalRecord::Begin m_page;
    qsizetype m_pageEnd = 0;
    qint64 m_lastTime = 0;
    bool m_damaged = false;
};
