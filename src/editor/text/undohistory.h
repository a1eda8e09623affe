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
    // What a step may join, as in Qt's own boxes: characters typed where the
    // last ones ended, and characters erased next to the last ones erased,
    // when the text they add or take lies next to the last in its buffer too.
    enum class Kind {
        Command,       // joins nothing, and nothing joins it
        Inserted,      // typed with nothing selected
        EndsInserting, // typing or a paste over a selection: typing may follow on
        Removed,       // one character erased by Backspace or Delete
    };
    struct Step
    {
        PieceTree::Root before;
        PieceTree::Root after;
        Span span;
        Kind kind = Kind::Command;
        // The text it erased lay ahead of the caret (Delete, or a selection
        // made leftwards): put back, it goes in ahead of what stands at its start.
        bool erasedAhead = false;
        // Where the text last typed, or all text erased, is stored
        // (PieceTree::storedAt); no buffer when it is not stored in one run.
        const void *buffer = nullptr;
        qint64 bufferStart = 0;
        qint64 bufferEnd = 0;
    };

    void clear();
    // Records a step, or joins it to the last one done when it may; a step
    // made from the saved text joins nothing.
    void push(Step step, bool fromSaved);

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    const Step &undo() { return m_steps[--m_done]; }
    const Step &redo() { return m_steps[m_done++]; }

private:
    static bool join(Step &last, const Step &step);

    std::vector<Step> m_steps;
    std::size_t m_done = 0; // steps before this index are done
};
