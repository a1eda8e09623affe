#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "editor/textbuffer.h"

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

    PieceTree();

    // Drops every version and holds `text`, sharing its characters.
    void reset(const QString &text);

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

    void insert(int offset, QStringView text);
    void remove(int offset, int count);

    // The current version, and going back or forth to one taken earlier.
    Root root() const { return m_root; }
    void setRoot(Root root) { m_root = std::move(root); }

private:
    Root m_root;
    std::vector<std::unique_ptr<TextBuffer>> m_buffers; // [0] original, [1] added
};
