#pragma once

#include <QString>

#include <vector>

// Text that pieces refer to: the page as opened, or the characters added since.
// Text is only ever appended, so a piece's range never goes stale.
class TextBuffer
{
public:
    explicit TextBuffer(const QString &text = QString());

    const QString &text() const { return m_text; }
    int size() const { return int(m_text.size()); }
    void append(QStringView added);
    void reserve(qsizetype size) { m_text.reserve(size); }

    // Where the buffer starts in the stream of all text ever added to its
    // tree, when it is one of that stream's buffers; -1 otherwise.
    qint64 streamStart() const { return m_streamStart; }
    void setStreamStart(qint64 start) { m_streamStart = start; }

    // Line breaks within [start, end).
    int breaksIn(int start, int end) const;
    // Offset of the `n`th (from 0) line break at or after `start`.
    int nthBreakFrom(int start, int n) const;

private:
    // Line breaks are counted per block rather than listed, so that a page of
    // empty lines costs no more than its characters; a look-up scans at most
    // one block.
    static constexpr int Block = 256;
    int breaksBefore(int offset) const;
    void countBlocks();

    QString m_text;
    qint64 m_streamStart = -1;
    // Line breaks in [0, k * Block) for every whole block k.
    std::vector<int> m_counts{0};
};
