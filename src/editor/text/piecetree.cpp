#include "editor/text/piecetree.h"

#include <algorithm>
#include <limits>
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

using Leaf = PieceTree::Run;

// Appends the pieces of [start, end) to `leaves`, joining runs that continue one another.
void addLeaf(std::vector<Leaf> &leaves, const TextBuffer *buffer, int start, int length)
{
    if (length <= 0)
        return;
    if (!leaves.empty()) {
        Leaf &last = leaves.back();
        if (last.buffer == buffer && last.start + last.length == start) {
            last.length += length;
            return;
        }
    }
    leaves.push_back({buffer, start, length});
}

// Calls `visit(buffer, start, length)` with the stored runs of [start, end),
// in order; [base, base + totalLength) is what `node` covers.
template <class Visit> void walkRuns(const Node *node, int start, int end, int base, Visit &visit)
{
    while (node) {
        const int leftEnd = base + lengthOf(node->left);
        if (start < leftEnd)
            walkRuns(node->left.get(), start, end, base, visit);
        const int pieceEnd = leftEnd + node->length;
        if (end <= leftEnd)
            return;
        if (start < pieceEnd) {
            const int from = std::max(start, leftEnd);
            visit(node->buffer, node->start + from - leftEnd, std::min(end, pieceEnd) - from);
        }
        if (end <= pieceEnd)
            return;
        base = pieceEnd;
        node = node->right.get();
    }
}

void collectLeaves(const Node *node, int start, int end, int base, std::vector<Leaf> &leaves)
{
    auto add = [&leaves](const TextBuffer *buffer, int from, int length) {
        addLeaf(leaves, buffer, from, length);
    };
    walkRuns(node, start, end, base, add);
}

// A balanced tree of `leaves`, in order. Priorities fall by depth, in bands
// that share the range nextPriority() draws from, so that later edits keep
// it balanced as they would a tree built one insertion at a time.
Root buildBalanced(const std::vector<Leaf> &leaves, std::size_t from, std::size_t to, int depth,
                   quint32 band, int maxDepth, std::minstd_rand &generator)
{
    if (from >= to)
        return nullptr;
    const std::size_t middle = from + (to - from) / 2;
    Root left = buildBalanced(leaves, from, middle, depth + 1, band, maxDepth, generator);
    Root right = buildBalanced(leaves, middle + 1, to, depth + 1, band, maxDepth, generator);
    const quint32 priority = quint32(maxDepth - depth) * band + quint32(generator()) % band + 1;
    const Leaf &leaf = leaves[middle];
    return make(std::move(left), std::move(right), leaf.buffer, leaf.start, leaf.length, priority);
}

Root buildBalanced(const std::vector<Leaf> &leaves)
{
    int maxDepth = 0;
    while ((std::size_t(1) << maxDepth) <= leaves.size())
        ++maxDepth;
    const quint32 band = quint32(std::numeric_limits<qint32>::max()) / quint32(maxDepth + 1);
    std::minstd_rand generator(quint32(leaves.size()));
    return buildBalanced(leaves, 0, leaves.size(), 0, band, maxDepth, generator);
}

void readRange(const Node *node, int start, int end, const std::function<void(QStringView)> &chunk)
{
    auto read = [&chunk](const TextBuffer *buffer, int from, int length) {
        chunk(QStringView(buffer->text()).mid(from, length));
    };
    walkRuns(node, start, end, 0, read);
}

} // namespace

struct PieceTree::Buffers
{
    std::shared_ptr<TextBuffer> buffer;
    std::shared_ptr<const Buffers> older;

    Buffers(std::shared_ptr<TextBuffer> buffer, std::shared_ptr<const Buffers> older)
        : buffer(std::move(buffer)), older(std::move(older))
    {
    }
    Buffers(const Buffers &) = delete;
    Buffers &operator=(const Buffers &) = delete;
    ~Buffers()
    {
        // Let go one by one: a list of many thousands would overflow the stack.
        std::shared_ptr<const Buffers> next = std::move(older);
        while (next && next.use_count() == 1)
            next = std::move(const_cast<Buffers &>(*next).older);
    }
};

void PieceTree::addBuffer(std::shared_ptr<TextBuffer> buffer, std::shared_ptr<const Buffers> older)
{
    m_buffers = std::make_shared<const Buffers>(std::move(buffer), std::move(older));
}

PieceTree::PieceTree(int bufferSize) : m_bufferSize(bufferSize)
{
    reset(QString());
}

bool PieceTree::reset(const QString &text)
{
    if (text.size() > MaxLength)
        return false;
    m_root.reset();
    auto original = std::make_shared<TextBuffer>(text);
    if (!text.isEmpty())
        m_root = make(nullptr, nullptr, original.get(), 0, int(text.size()), nextPriority());
    m_buffers.reset();
    addBuffer(std::move(original), nullptr);
    addBuffer(std::make_shared<TextBuffer>(), m_buffers);
    m_buffers->buffer->setStreamStart(m_added);
    m_sealed = false;
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
        readRange(m_root.get(), start, start + count, chunk);
}

std::pair<const TextBuffer *, int> PieceTree::append(QStringView text)
{
    // The added text only grows, even when undone: past its size, a buffer of
    // its own takes what comes next, so that its offsets stay in range too.
    // A buffer a snapshot sees is read on another thread and never grows again.
    TextBuffer *last = m_buffers->buffer.get();
    if (m_sealed || (last->size() > 0 && last->size() > m_bufferSize - text.size())) {
        addBuffer(std::make_shared<TextBuffer>(), m_buffers);
        m_buffers->buffer->setStreamStart(m_added);
        m_sealed = false;
        last = m_buffers->buffer.get();
    }
    const int at = last->size();
    last->append(text);
    m_added += text.size();
    return {last, at};
}

bool PieceTree::insert(int offset, QStringView text)
{
    if (!fits(0, text.size()))
        return false;
    if (text.isEmpty())
        return true;
    const auto [added, bufferEnd] = append(text);
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

const PieceTree::Node *PieceTree::nodeAt(int offset, int *nodeStart) const
{
    int base = 0;
    const Node *node = m_root.get();
    while (node) {
        const int leftEnd = base + lengthOf(node->left);
        if (offset < leftEnd) {
            node = node->left.get();
        } else if (offset < leftEnd + node->length) {
            *nodeStart = leftEnd;
            return node;
        } else {
            base = leftEnd + node->length;
            node = node->right.get();
        }
    }
    *nodeStart = length();
    return nullptr;
}

QStringView PieceTree::pieceAt(int offset, int *pieceStart) const
{
    const Node *node = nodeAt(offset, pieceStart);
    return node ? QStringView(node->buffer->text()).mid(node->start, node->length) : QStringView();
}

std::pair<const void *, qint64> PieceTree::storedAt(int offset) const
{
    static const char addedStream = 0;
    int nodeStart = 0;
    const Node *node = nodeAt(offset, &nodeStart);
    if (!node)
        return {nullptr, 0};
    const int at = node->start + offset - nodeStart;
    const qint64 stream = node->buffer->streamStart();
    if (stream < 0)
        return {node->buffer, at};
    return {&addedStream, stream + at};
}

std::shared_ptr<const PieceTree> PieceTree::snapshot()
{
    m_sealed = true;
    return std::make_shared<const PieceTree>(*this);
}

PieceTree::Builder::Builder(const PieceTree &from, std::vector<int> positions)
    : m_from(from), m_moved(positions.size())
{
    m_edited.base = from.m_root;
    m_edited.root = from.m_root;
    m_edited.buffer = std::make_shared<TextBuffer>();
    m_edited.positions = std::move(positions);
}

void PieceTree::Builder::keep(int from, int to)
{
    // A run between two replacements shorter than this is copied with them:
    // it and the replacement after it would cost two nodes, about as much
    // as this many characters.
    constexpr int CopyBelow = 96;
    if (to - from >= CopyBelow) {
        collectLeaves(m_from.m_root.get(), from, to, 0, m_runs);
        return;
    }
    TextBuffer &buffer = *m_edited.buffer;
    const int at = buffer.size();
    m_from.read(from, to - from, [&buffer](QStringView chunk) { buffer.append(chunk); });
    addLeaf(m_runs, &buffer, at, to - from);
}

void PieceTree::Builder::replace(int start, int removed, QStringView text)
{
    if (m_end < 0) {
        m_edited.start = start;
        m_end = 0;
    }
    m_edited.removed = start + removed - m_edited.start;
    m_shift += text.size() - removed;
    m_edited.added = m_edited.removed + m_shift;
    // Past the most a tree holds, the rest is only measured.
    if (!m_from.fits(int(m_edited.removed), m_edited.added))
        m_edited.buffer.reset();
    if (m_edited.buffer) {
        keep(m_end, start);
        const int at = m_edited.buffer->size();
        m_edited.buffer->append(text);
        addLeaf(m_runs, m_edited.buffer.get(), at, int(text.size()));
    }
    m_end = start + removed;
    // A position is moved by the first replacement that reaches it.
    const qsizetype shiftBefore = m_shift - (text.size() - removed);
    for (std::size_t i = 0; i < m_moved.size(); ++i) {
        int &position = m_edited.positions[i];
        if (m_moved[i])
            continue;
        if (position <= start)
            position += int(shiftBefore);
        else if (position < start + removed)
            position = int(start + shiftBefore + text.size());
        else
            continue;
        m_moved[i] = true;
    }
}

PieceTree::Edited PieceTree::Builder::finish()
{
    for (std::size_t i = 0; i < m_moved.size(); ++i)
        m_edited.positions[i] += m_moved[i] ? 0 : int(m_shift);
    if (m_end < 0 || !m_edited.buffer)
        return std::move(m_edited);
    if (m_end < m_from.length())
        collectLeaves(m_from.m_root.get(), m_end, m_from.length(), 0, m_runs);
    m_edited.root = buildBalanced(m_runs);
    return std::move(m_edited);
}

bool PieceTree::adopt(const Edited &edited)
{
    if (!edited.buffer || edited.base != m_root)
        return false;
    // After the buffer typing appends to, which stays the first one.
    addBuffer(m_buffers->buffer, std::make_shared<const Buffers>(edited.buffer, m_buffers->older));
    m_root = edited.root;
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
