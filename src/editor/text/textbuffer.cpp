#include "editor/text/textbuffer.h"

#include <algorithm>

namespace {

int breaksWithin(const char16_t *from, const char16_t *to)
{
    return int(std::count(from, to, u'\n'));
}

} // namespace

TextBuffer::TextBuffer(const QString &text) : m_text(text)
{
    countBlocks();
}

void TextBuffer::append(QStringView added)
{
    m_text.append(added);
    countBlocks();
}

void TextBuffer::countBlocks()
{
    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.constData());
    const std::size_t blocks = std::size_t(size() / Block) + 1;
    for (std::size_t k = m_counts.size(); k < blocks; ++k) {
        const char16_t *start = data + (k - 1) * Block;
        m_counts.push_back(m_counts.back() + breaksWithin(start, start + Block));
    }
}

int TextBuffer::breaksBefore(int offset) const
{
    const int block = offset / Block;
    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.constData());
    return m_counts[std::size_t(block)] + breaksWithin(data + block * Block, data + offset);
}

int TextBuffer::breaksIn(int start, int end) const
{
    return start < end ? breaksBefore(end) - breaksBefore(start) : 0;
}

int TextBuffer::nthBreakFrom(int start, int n) const
{
    // The block where the count passes the wanted break, then a scan in it.
    const int wanted = breaksBefore(start) + n;
    const auto after = std::upper_bound(m_counts.begin(), m_counts.end(), wanted);
    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.constData());
    int offset = int(after - m_counts.begin() - 1) * Block;
    for (int seen = m_counts[std::size_t(offset / Block)];; ++offset) {
        if (data[offset] == u'\n' && seen++ == wanted)
            return offset;
    }
}
