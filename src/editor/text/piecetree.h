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

    // [start, start + removed) becomes the `length` characters from `from`
    // of the replacement texts.
    struct Replacement
    {
        int start = 0;
        int removed = 0;
        int from = 0;
        int length = 0;
    };
    // A text made from this one, to be adopted by the tree it was taken from.
    struct Edited
    {
        Root base; // the text it was made from
        Root root;
        std::shared_ptr<TextBuffer> buffer; // the characters it adds; none when it would not fit
    };
    // The text with `replacements` (in order, not overlapping) made, built
    // without touching this tree, so that a snapshot can be edited on another
    // thread.
    Edited replaced(const std::vector<Replacement> &replacements, QStringView texts) const;
    // Takes `edited` as the current text; false, with nothing changed, when
    // it was made from another text.
    bool adopt(const Edited &edited);

private:
    // Appends `text` to the buffer of added text, or a new one when that is
    // full or a snapshot sees it; returns where it went.
    std::pair<const TextBuffer *, int> append(QStringView text);

    Root m_root;
    int m_bufferSize;
    std::vector<std::shared_ptr<TextBuffer>> m_buffers; // [0] original, then added text
    bool m_sealed = false;                              // a snapshot sees the last buffer
};
