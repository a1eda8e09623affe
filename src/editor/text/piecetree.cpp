#include "editor/text/piecetree.h"

#include <algorithm>
#include <random>
#include <utility>

struct PieceTree::Node
{
    Root left;
    Root right;
    const TextBuffer *buffer = nullptr;
    int start = 0; // the piece: [start, start + length) of buffer
    int length = 0;
    int breaks = 0; // line breaks in the piece
    int totalLength = 0;
    int totalBreaks = 0;
    quint32 priority = 0;
};

namespace {

using Node = PieceTree::Node;
using Root = PieceTree::Root;

quint32 nextPriority()
{
    static std::minstd_rand generator(12345);
    return quint32(generator());
}

int lengthOf(const Root &node)
{
    return node ? node->totalLength : 0;
}

int breaksOf(const Root &node)
{
    return node ? node->totalBreaks : 0;
}

Root make(Root left, Root right, const TextBuffer *buffer, int start, int length, quint32 priority)
{
    auto node = std::make_shared<Node>();
    node->buffer = buffer;
    node->start = start;
    node->length = length;
    node->breaks = buffer->breaksIn(start, start + length);
    node->priority = priority;
    node->totalLength = lengthOf(left) + length + lengthOf(right);
    node->totalBreaks = breaksOf(left) + node->breaks + breaksOf(right);
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

Root withChildren(const Root &node, Root left, Root right)
{
    auto copy = std::make_shared<Node>(*node);
    copy->totalLength = lengthOf(left) + node->length + lengthOf(right);
    copy->totalBreaks = breaksOf(left) + node->breaks + breaksOf(right);
    copy->left = std::move(left);
    copy->right = std::move(right);
    return copy;
}

Root merge(const Root &a, const Root &b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    if (a->priority >= b->priority)
        return withChildren(a, a->left, merge(a->right, b));
    return withChildren(b, merge(a, b->left), b->right);
}

// The first `offset` characters and the rest.
std::pair<Root, Root> split(const Root &node, int offset)
{
    if (!node)
        return {};
    const int leftLength = lengthOf(node->left);
    if (offset <= leftLength) {
        if (offset == 0)
            return {nullptr, node};
        auto [a, b] = split(node->left, offset);
        return {std::move(a), withChildren(node, std::move(b), node->right)};
    }
    const int pieceEnd = leftLength + node->length;
    if (offset >= pieceEnd) {
        if (offset == node->totalLength)
            return {node, nullptr};
        auto [a, b] = split(node->right, offset - pieceEnd);
        return {withChildren(node, node->left, std::move(a)), std::move(b)};
    }
    const int cut = offset - leftLength;
    Root before = make(node->left, nullptr, node->buffer, node->start, cut, node->priority);
    Root after = make(nullptr, node->right, node->buffer, node->start + cut, node->length - cut,
                      node->priority);
    return {std::move(before), std::move(after)};
}

// Whether the last piece of `node` ends where `buffer` ends, so that text
// appended to the buffer can extend it.
Root extendLast(const Root &node, const TextBuffer *buffer, int added)
{
    if (node->right)
        return withChildren(node, node->left, extendLast(node->right, buffer, added));
    auto copy = std::make_shared<Node>(*node);
    copy->length += added;
    copy->breaks = buffer->breaksIn(copy->start, copy->start + copy->length);
    copy->totalLength += added;
    copy->totalBreaks = breaksOf(copy->left) + copy->breaks;
    return copy;
}

const Node *lastNode(const Node *node)
{
    while (node && node->right)
        node = node->right.get();
    return node;
}

void readRange(const Node *node, int start, int end, int base,
               const std::function<void(QStringView)> &chunk)
{
    // [base, base + totalLength) is what `node` covers.
    while (node) {
        const int leftEnd = base + lengthOf(node->left);
        if (start < leftEnd)
            readRange(node->left.get(), start, end, base, chunk);
        const int pieceEnd = leftEnd + node->length;
        if (end <= leftEnd)
            return;
        if (start < pieceEnd && end > leftEnd) {
            const int from = std::max(start, leftEnd);
            const int to = std::min(end, pieceEnd);
            chunk(QStringView(node->buffer->text()).mid(node->start + from - leftEnd, to - from));
        }
        if (end <= pieceEnd)
            return;
        base = pieceEnd;
        node = node->right.get();
    }
}

} // namespace

PieceTree::PieceTree(int bufferSize) : m_bufferSize(bufferSize)
{
    reset(QString());
}

bool PieceTree::reset(const QString &text)
{
    if (text.size() > MaxLength)
        return false;
    m_root.reset();
    m_buffers.clear();
    m_buffers.push_back(std::make_unique<TextBuffer>(text));
    m_buffers.push_back(std::make_unique<TextBuffer>());
    if (!text.isEmpty())
        m_root = make(nullptr, nullptr, m_buffers[0].get(), 0, int(text.size()), nextPriority());
    return true;
}

bool PieceTree::fits(int removed, qsizetype added) const
{
    return added <= qsizetype(MaxLength) - (length() - removed);
}

int PieceTree::length() const
{
    return lengthOf(m_root);
}

int PieceTree::lineCount() const
{
    return breaksOf(m_root) + 1;
}

int PieceTree::lineStart(int line) const
{
    if (line <= 0)
        return 0;
    // The offset just past the line's preceding break, the (line-1)th.
    int n = line - 1;
    int base = 0;
    const Node *node = m_root.get();
    while (node) {
        const int leftBreaks = breaksOf(node->left);
        if (n < leftBreaks) {
            node = node->left.get();
            continue;
        }
        const int leftEnd = base + lengthOf(node->left);
        if (n < leftBreaks + node->breaks) {
            const int at = node->buffer->nthBreakFrom(node->start, n - leftBreaks);
            return leftEnd + at - node->start + 1;
        }
        n -= leftBreaks + node->breaks;
        base = leftEnd + node->length;
        node = node->right.get();
    }
    return length();
}

int PieceTree::lineEnd(int line) const
{
    return line + 1 < lineCount() ? lineStart(line + 1) - 1 : length();
}

int PieceTree::lineAt(int offset) const
{
    int line = 0;
    const Node *node = m_root.get();
    while (node) {
        const int leftLength = lengthOf(node->left);
        if (offset < leftLength) {
            node = node->left.get();
            continue;
        }
        line += breaksOf(node->left);
        offset -= leftLength;
        if (offset < node->length)
            return line + node->buffer->breaksIn(node->start, node->start + offset);
        line += node->breaks;
        offset -= node->length;
        node = node->right.get();
    }
    return line;
}

QChar PieceTree::at(int offset) const
{
    const Node *node = m_root.get();
    while (node) {
        const int leftLength = lengthOf(node->left);
        if (offset < leftLength) {
            node = node->left.get();
            continue;
        }
        offset -= leftLength;
        if (offset < node->length)
            return node->buffer->text().at(node->start + offset);
        offset -= node->length;
        node = node->right.get();
    }
    return QChar();
}

QString PieceTree::text(int start, int count) const
{
    // A page as opened is handed out shared, not copied.
    const Node *node = m_root.get();
    if (node && !node->left && !node->right && start == 0 && count == node->length &&
        node->start == 0 && node->length == node->buffer->size())
        return node->buffer->text();
    QString result;
    result.reserve(count);
    read(start, count, [&result](QStringView chunk) { result.append(chunk); });
    return result;
}

void PieceTree::read(int start, int count, const std::function<void(QStringView)> &chunk) const
{
    start = std::clamp(start, 0, length());
    count = std::clamp(count, 0, length() - start);
    if (count > 0)
        readRange(m_root.get(), start, start + count, 0, chunk);
}

bool PieceTree::insert(int offset, QStringView text)
{
    if (!fits(0, text.size()))
        return false;
    if (text.isEmpty())
        return true;
    // The added text only grows, even when undone: past its size, a buffer of
    // its own takes what comes next, so that its offsets stay in range too.
    if (m_buffers.back()->size() > 0 && m_buffers.back()->size() > m_bufferSize - text.size())
        m_buffers.push_back(std::make_unique<TextBuffer>());
    TextBuffer *added = m_buffers.back().get();
    const int bufferEnd = added->size();
    added->append(text);
    auto [before, after] = split(m_root, offset);
    // Typing appends to the piece it typed last.
    const Node *last = lastNode(before.get());
    if (last && last->buffer == added && last->start + last->length == bufferEnd) {
        m_root = merge(extendLast(before, added, int(text.size())), after);
        return true;
    }
    Root piece = make(nullptr, nullptr, added, bufferEnd, int(text.size()), nextPriority());
    m_root = merge(merge(before, piece), after);
    return true;
}

bool PieceTree::insertCopy(int offset, int start, int count)
{
    start = std::clamp(start, 0, length());
    count = std::clamp(count, 0, length() - start);
    if (!fits(0, count))
        return false;
    auto [head, rest] = split(m_root, start);
    Root copied = split(rest, count).first;
    auto [before, after] = split(m_root, offset);
    m_root = merge(merge(before, copied), after);
    return true;
}

void PieceTree::remove(int offset, int count)
{
    if (count <= 0)
        return;
    auto [before, rest] = split(m_root, offset);
    auto [removed, after] = split(rest, count);
    m_root = merge(before, after);
}
