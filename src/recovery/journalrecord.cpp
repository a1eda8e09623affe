#include "recovery/journalrecord.h"

#include <zlib.h>

#include "editor/text/piecetree.h"
#include "recovery/cesu8.h"

namespace {

constexpr qsizetype Piece = qsizetype(1) << 20;

quint32 crcOf(quint32 crc, const char *bytes, qsizetype size)
{
    // zlib takes at most 4 GB at once.
    for (qsizetype done = 0; done < size;) {
        const auto step = uInt(std::min<qsizetype>(size - done, Piece));
        crc = quint32(::crc32(crc, reinterpret_cast<const Bytef *>(bytes + done), step));
        done += step;
    }
    return crc;
}

void putNumber(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// One record written through a sink a megabyte at a time, so that a long
// text never waits whole in memory.
class RecordOut
{
public:
    RecordOut(const JournalRecord::Sink &sink, JournalRecord::Type type, qint64 time,
              qint64 fieldsSize)
        : m_sink(sink)
    {
        QByteArray size;
        putNumber(size, quint64(1 + 8 + fieldsSize), 8);
        m_ok = m_sink(size.constData(), size.size());
        m_buffer.append(char(type));
        number(quint64(time), 8);
    }

    void number(quint64 value, int bytes) { putNumber(m_buffer, value, bytes); }
    void bytes(const QByteArray &bytes) { m_buffer.append(bytes); }
    void text(QStringView text)
    {
        for (qsizetype done = 0; done < text.size(); done += Piece) {
            Cesu8::encode(text.mid(done, Piece), m_buffer);
            if (m_buffer.size() >= Piece)
                flush();
        }
    }
    void text(const PieceTree &tree, int start, int count)
    {
        tree.read(start, count, [this](QStringView run) { text(run); });
    }
    bool finish()
    {
        flush();
        QByteArray crc;
        putNumber(crc, m_crc, 4);
        return m_ok && m_sink(crc.constData(), crc.size());
    }

private:
    void flush()
    {
        m_crc = crcOf(m_crc, m_buffer.constData(), m_buffer.size());
        m_ok = m_ok && m_sink(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }

    const JournalRecord::Sink &m_sink;
    QByteArray m_buffer;
    quint32 m_crc = quint32(::crc32(0, nullptr, 0));
    bool m_ok;
};

qsizetype encodedSize(const PieceTree &tree, int start, int count)
{
    qsizetype size = 0;
    tree.read(start, count, [&size](QStringView run) { size += Cesu8::size(run); });
    return size;
}

} // namespace

QByteArray JournalRecord::magic()
{
    return QByteArrayLiteral("TAGLOOM-JOURNAL-1\n");
}

bool JournalRecord::writeBegin(const Sink &sink, const Begin &begin, qint64 time)
{
    QByteArray path;
    Cesu8::encode(begin.path, path);
    QByteArray fields;
    putNumber(fields, quint64(begin.format.encoding), 1);
    putNumber(fields, quint64(begin.format.lineBreak), 1);
    putNumber(fields, begin.baseInFile, 1);
    putNumber(fields, quint64(begin.baseLength), 8);
    putNumber(fields, begin.baseCrc, 4);
    putNumber(fields, quint64(path.size()), 8);
    fields.append(path);
    RecordOut out(sink, Type::Begin, time, fields.size());
    out.bytes(fields);
    return out.finish();
}

bool JournalRecord::writeSnapshot(const Sink &sink, const PieceTree &text, qint64 time)
{
    RecordOut out(sink, Type::Snapshot, time, encodedSize(text, 0, text.length()));
    out.text(text, 0, text.length());
    return out.finish();
}

bool JournalRecord::writeEdits(const Sink &sink, const PieceTree &text,
                               const std::vector<PendingEdits::Span> &spans, qint64 time)
{
    std::vector<qsizetype> sizes;
    qsizetype fieldsSize = 4;
    for (const PendingEdits::Span &span : spans) {
        sizes.push_back(encodedSize(text, span.start, span.length));
        fieldsSize += 4 + 4 + 8 + sizes.back();
    }
    RecordOut out(sink, Type::Edits, time, fieldsSize);
    out.number(spans.size(), 4);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        out.number(quint32(spans[i].start), 4);
        out.number(quint32(spans[i].before), 4);
        out.number(quint64(sizes[i]), 8);
        out.text(text, spans[i].start, spans[i].length);
    }
    return out.finish();
}

quint32 JournalRecord::crc(const PieceTree &text)
{
    auto crc = quint32(::crc32(0, nullptr, 0));
    text.read(0, text.length(), [&crc](QStringView run) {
        crc = crcOf(crc, reinterpret_cast<const char *>(run.data()), run.size() * 2);
    });
    return crc;
}

quint32 JournalRecord::crc(QStringView text)
{
    return crc(reinterpret_cast<const char *>(text.data()), text.size() * 2);
}

quint32 JournalRecord::crc(const char *bytes, qsizetype size)
{
    return crcOf(quint32(::crc32(0, nullptr, 0)), bytes, size);
}
