#pragma once

#include <vector>

// The parts of a text changed since it was last written down. Each span is
// where a changed part lies in the text as it stands and how long it was
// before; between spans the text is as it was. Writing each span's text at
// its start, over `before` characters, from the first span to the last,
// turns the old text into the new one.
class PendingEdits
{
public:
    struct Span
    {
        int start;
        int length;
        int before;
    };

    // Beyond this many, the two spans closest together are joined: edits all
    // over a page cost a little text between them, never a list that grows.
    static constexpr std::size_t MaxSpans = 64;

    // [start, start + removed) of the text became [start, start + added).
    void add(int start, int removed, int added);
    const std::vector<Span> &spans() const { return m_spans; }
    bool isEmpty() const { return m_spans.empty(); }
    void clear() { m_spans.clear(); }

private:
    void joinClosest();

    std::vector<Span> m_spans; // in order, apart from each other
};
