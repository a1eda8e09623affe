#pragma once

#include <QString>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "editor/text/textbuffer.h"

// The text of a page as a balanced tree of pieces of immutable buffers. Every
// node counts the characters and line breaks below it, so edits and look-ups
// cost O(log pieces). A tree is never changed in place: an edit copies the
// path it touches and shares the rest, so an old version (an undo step) costs
// a few nodes, never a copy of the text.
class PieceTree
{
public:
    struct Node;
    using Root = std::shared_ptr<const Node>;

    // The longest text a tree holds. Offsets are `int`; the room left above
    // it lets the view add the few thousand characters it looks ahead.
    static constexpr int MaxLength = std::numeric_limits<int>::max() - (1 << 20);

    // `bufferSize` is how far the buffer of added text grows before another
    // one starts.
    explicit PieceTree(int bufferSize = MaxLength);

    // Drops every version and holds `text`, sharing its characters; false,
    // with nothing changed, for a text longer than MaxLength.
    bool reset(const QString &text);
    // Whether replacing `removed` characters by `added` stays within MaxLength.
    bool fits(int removed, qsizetype added) const;

    int length() const;
    // Lines are separated by '\n' alone; an empty text has one line.
    int lineCount() const;
    // Offset where `line` starts (0 <= line < lineCount()).
    int lineStart(int line) const;
    // The line that holds `offset` (0 <= offset <= length()).
    int lineAt(int offset) const;
    int lineEnd(int line) const;
    QChar at(int offset) const;

    QString text() const { return text(0, length()); }
    QString text(int start, int count) const;
    // Calls `chunk` with consecutive runs of [start, start + count).
    void read(int start, int count, const std::function<void(QStringView)> &chunk) const;
    // The stored run that holds `offset`, and where it starts in the text;
    // empty at the end of the text.
    QStringView pieceAt(int offset, int *pieceStart) const;
    // Where the character at `offset` is stored: its buffer, or for text added
    // by edits the one stream all their buffers make, and its place there.
    // Text added one run after another lies side by side in the stream,
    // whichever buffer holds it.
    std::pair<const void *, qint64> storedAt(int offset) const;

    // Both insertions change nothing and return false past MaxLength.
    bool insert(int offset, QStringView text);
    // Inserts at `offset` a copy of [start, start + count), sharing its pieces.
    bool insertCopy(int offset, int start, int count);
    void remove(int offset, int count);

    // The current version, and going back or forth to one taken earlier.
    Root root() const { return m_root; }
    void setRoot(Root root) { m_root = std::move(root); }

    // The text as it stands, for reading on another thread while this tree
    // goes on changing: the snapshot shares every piece and buffer, and the
    // buffers it sees are never appended to again.
    std::shared_ptr<const PieceTree> snapshot();

    // A text made from this one, to be adopted by the tree it was taken from.
    struct Edited
    {
        Root base; // the text it was made from
        Root root;
        std::shared_ptr<TextBuffer> buffer; // the characters it adds; none when it would not fit
        // The part changed: [start, start + removed) became [start, start + added).
        int start = 0;
        qsizetype removed = 0;
        qsizetype added = 0;
        // The positions handed in, moved with the text around them.
        std::vector<int> positions;
    };
    // A run of one buffer, as a piece of a text being built.
    struct Run
    {
        const TextBuffer *buffer;
        int start;
        int length;
    };

    // Builds from a tree the text with replacements made, without touching
    // the tree, so that a snapshot can be edited on another thread. The text
    // is built as the replacements come, so that they are never all held.
    class Builder
    {
    public:
        Builder(const PieceTree &from, std::vector<int> positions);
        // [start, start + removed) of the tree's text becomes `text`; each
        // replacement comes after the one before, not overlapping it.
        void replace(int start, int removed, QStringView text);
        Edited finish();

    private:
        void keep(int from, int to);

        const PieceTree &m_from;
        Edited m_edited;
        std::vector<Run> m_runs;
        std::vector<bool> m_moved; // which positions have been moved
        int m_end = -1;            // where the last replacement ended
        qsizetype m_shift = 0;     // how much longer the text has grown
    };

    // Takes `edited` as the current text; false, with nothing changed, when
    // it was made from another text.
    bool adopt(const Edited &edited);

private:
    // The piece that holds `offset`, and where it starts in the text.
    const Node *nodeAt(int offset, int *nodeStart) const;
    // Appends `text` to the buffer of added text, or a new one when that is
    // full or a snapshot sees it; returns where it went.
    std::pair<const TextBuffer *, int> append(QStringView text);

    // Every buffer the versions refer to, the one typing appends to first:
    // a list shared with snapshots, so that taking one costs the same after
    // hours of edits as at the start.
    struct Buffers;
    void addBuffer(std::shared_ptr<TextBuffer> buffer, std::shared_ptr<const Buffers> older);

    Root m_root;
    int m_bufferSize;
    std::shared_ptr<const Buffers> m_buffers;
    bool m_sealed = false; // a snapshot sees the first buffer
    qint64 m_added = 0;    // characters ever added to the buffers of added text
};
