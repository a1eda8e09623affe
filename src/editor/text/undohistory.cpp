#include "editor/text/undohistory.h"

#include <algorithm>

void UndoHistory::clear()
{
    m_steps.clear();
    m_done = 0;
}

void UndoHistory::push(Step step, bool fromSaved)
{
    m_steps.resize(m_done);
    if (!fromSaved && !m_steps.empty() && join(m_steps.back(), step))
        return;
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
}

bool UndoHistory::join(Step &last, const Step &step)
{
    if (!step.buffer || step.buffer != last.buffer)
        return false;
    if (step.kind == Kind::Inserted &&
        (last.kind == Kind::Inserted || last.kind == Kind::EndsInserting) &&
        step.span.start == last.span.start + last.span.after &&
        step.bufferStart == last.bufferEnd) {
        last.span.after += step.span.after;
        last.bufferEnd = step.bufferEnd;
    } else if (step.kind == Kind::Removed && last.kind == Kind::Removed &&
               step.span.start + step.span.before == last.span.start &&
               step.bufferEnd == last.bufferStart) {
        // Backspace: the character before the last one erased.
        last.span.start = step.span.start;
        last.span.before += step.span.before;
        last.bufferStart = step.bufferStart;
    } else if (step.kind == Kind::Removed && last.kind == Kind::Removed &&
               step.span.start == last.span.start && step.bufferStart == last.bufferEnd) {
        // Delete: the character after it.
        last.span.before += step.span.before;
        last.bufferEnd = step.bufferEnd;
    } else {
        return false;
    }
    last.after = step.after;
    return true;
}
