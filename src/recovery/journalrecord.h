#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "editor/pageformat.h"
#include "recovery/pendingedits.h"

class PieceTree;

// The bytes of a recovery journal: a magic number, then records. A record is
// the size of its body (8 bytes), the body, and the body's CRC-32 (4 bytes),
// so that a record cut short or damaged is told from a whole one. A body is
// its type (1 byte), when it was written (milliseconds since the epoch, 8
// bytes) and its fields; numbers are little-endian, texts as Cesu8.
class JournalRecord
{
public:
    enum class Type : quint8 {
        Begin = 1,    // the page: its path, format and the text the edits start from
        Snapshot = 2, // the whole text
        Edits = 3,    // spans of the text as PendingEdits keeps them, with their text
    };

    // The first record of a journal.
    struct Begin
    {
        QString path; // the page's file; empty for a new page
        PageFormat format;
        // The text the edits start from is the file's (of this length and
        // CRC-32), rather than the Snapshot that follows.
        bool baseInFile = false;
        qint64 baseLength = 0;
        quint32 baseCrc = 0;
    };

    // Takes the bytes in order; false when they could not be written.
    using Sink = std::function<bool(const char *bytes, qsizetype size)>;

    static QByteArray magic();
    static bool writeBegin(const Sink &sink, const Begin &begin, qint64 time);
    static bool writeSnapshot(const Sink &sink, const PieceTree &text, qint64 time);
    // The spans' text is read from `text`, the text as it stands.
    static bool writeEdits(const Sink &sink, const PieceTree &text,
                           const std::vector<PendingEdits::Span> &spans, qint64 time);

    // The CRC-32 of a text's UTF-16 code units, as a base is checked.
    static quint32 crc(const PieceTree &text);
    static quint32 crc(QStringView text);
    // The CRC-32 of bytes, as a record's body is checked.
    static quint32 crc(const char *bytes, qsizetype size);
};
