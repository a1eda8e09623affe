#pragma once

#include <vector>

#include "editor/text/piecetree.h"

// Undo steps as versions of the piece tree: a step keeps the tree before and
// after it, which share all but a few nodes, so replacing a huge selection
// stores no copy of it.
class UndoHistory
{
public:
    // The part of the text a step changed: [start, start + before) became
    // [start, start + after).
    struct Span
    {
        int start = 0;
        int before = 0;
        int after = 0;
    };
    struct Step
    {
        PieceTree::Root before;
        PieceTree::Root after;
        Span span;
        bool typing = false;
    };

    void clear();
    // Records a step; typing that continues the last typed step joins it.
    void push(Step step);
    // Typing after this starts a step of its own.
    void closeTyping() { m_typingOpen = false; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    const Step &undo() { return m_steps[--m_done]; }
    const Step &redo() { return m_steps[m_done++]; }

private:
    std::vector<Step> m_steps;
    std::size_t m_done = 0; // steps before this index are done
    bool m_typingOpen = false;
};
