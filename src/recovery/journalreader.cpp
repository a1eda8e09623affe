#include "recovery/journalreader.h"

#include <vector>

#include "editor/text/piecetree.h"
#include "recovery/cesu8.h"

namespace {

quint64 numberAt(const char *at, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(at[i]);
    return value;
}

// Reads fields in order from a body, failing once past its end.
class Fields
{
public:
    Fields(const char *at, qsizetype size) : m_at(at), m_left(size) {}
    bool number(quint64 &value, int bytes)
    {
        if (m_left < bytes)
            return false;
        value = numberAt(m_at, bytes);
        m_at += bytes;
        m_left -= bytes;
        return true;
    }
    bool text(quint64 size, QString &out)
    {
        if (quint64(m_left) < size)
            return false;
        const bool whole = Cesu8::decode(m_at, qsizetype(size), out);
        m_at += size;
        m_left -= qsizetype(size);
        return whole;
    }
    qsizetype left() const { return m_left; }

private:
    const char *m_at;
    qsizetype m_left;
};

} // namespace

JournalReader::JournalReader(QByteArray bytes) : m_bytes(std::move(bytes))
{
    const QByteArray magic = JournalRecord::magic();
    if (!m_bytes.startsWith(magic))
        return;
    qsizetype at = magic.size();
    Body body;
    if (!next(at, body) || body.type != JournalRecord::Type::Begin)
        return;
    Fields fields(body.fields, body.size);
    quint64 encoding, lineBreak, inFile, length, crc, pathSize;
    if (!fields.number(encoding, 1) || !fields.number(lineBreak, 1) || !fields.number(inFile, 1) ||
        !fields.number(length, 8) || !fields.number(crc, 4) || !fields.number(pathSize, 8) ||
        !fields.text(pathSize, m_page.path) || fields.left() != 0 ||
        encoding > quint64(PageFormat::Encoding::Utf32BeWithBom) ||
        lineBreak > quint64(PageFormat::LineBreak::Lf) || inFile > 1)
        return;
    m_page.format.encoding = PageFormat::Encoding(encoding);
    m_page.format.lineBreak = PageFormat::LineBreak(lineBreak);
    m_page.baseInFile = inFile;
    m_page.baseLength = qint64(length);
    m_page.baseCrc = quint32(crc);
    m_pageEnd = at;
    m_lastTime = body.time;
}

QString JournalReader::rebuild(const QString &base)
{
    // Edits go into a piece tree: each costs O(log n), not a move of the
    // text after it.
    PieceTree text;
    text.reset(m_page.baseInFile ? base : QString());
    qsizetype at = m_pageEnd;
    Body body;
    m_damaged = false;
    while (at < m_bytes.size() && !m_damaged) {
        if (!next(at, body))
            m_damaged = true;
        else if (body.type == JournalRecord::Type::Snapshot)
            m_damaged = !readSnapshot(body, text);
        else
            m_damaged = body.type != JournalRecord::Type::Edits || !applyEdits(body, text);
        if (!m_damaged)
            m_lastTime = body.time;
    }
    return text.text();
}

bool JournalReader::readSnapshot(const Body &body, PieceTree &text)
{
    QString whole;
    if (!Fields(body.fields, body.size).text(quint64(body.size), whole))
        return false;
    return text.reset(whole);
}

bool JournalReader::next(qsizetype &at, Body &body) const
{
    constexpr qsizetype Head = 1 + 8;
    const qsizetype left = m_bytes.size() - at;
    if (left < 8 + Head + 4)
        return false;
    const quint64 size = numberAt(m_bytes.constData() + at, 8);
    if (size < quint64(Head) || size > quint64(left - 8 - 4))
        return false;
    const char *start = m_bytes.constData() + at + 8;
    if (JournalRecord::crc(start, qsizetype(size)) != quint32(numberAt(start + size, 4)))
        return false;
    body.type = JournalRecord::Type(quint8(start[0]));
    body.time = qint64(numberAt(start + 1, 8));
    body.fields = start + Head;
    body.size = qsizetype(size) - Head;
    at += 8 + qsizetype(size) + 4;
    return true;
}

bool JournalReader::applyEdits(const Body &body, PieceTree &text)
{
    struct Edit
    {
        qsizetype start;
        qsizetype before;
        QString text;
    };
    // Checked whole before the text is touched: a damaged record changes nothing.
    Fields fields(body.fields, body.size);
    quint64 count;
    if (!fields.number(count, 4))
        return false;
    std::vector<Edit> edits;
    quint64 length = quint64(text.length());
    for (quint64 i = 0; i < count; ++i) {
        quint64 start, before, size;
        Edit edit;
        if (!fields.number(start, 4) || !fields.number(before, 4) || !fields.number(size, 8) ||
            !fields.text(size, edit.text) || start > length || before > length - start ||
            length - before + quint64(edit.text.size()) > quint64(PieceTree::MaxLength))
            return false;
        length = length - before + quint64(edit.text.size());
        edit.start = qsizetype(start);
        edit.before = qsizetype(before);
        edits.push_back(std::move(edit));
    }
    if (fields.left() != 0)
        return false;
    for (const Edit &edit : edits) {
        text.remove(int(edit.start), int(edit.before));
        text.insert(int(edit.start), edit.text);
    }
    return true;
}
