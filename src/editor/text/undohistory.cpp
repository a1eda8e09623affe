#include "editor/text/undohistory.h"

#include <algorithm>

void UndoHistory::clear()
{
    m_steps.clear();
    m_done = 0;
    m_typingOpen = false;
}

void UndoHistory::push(Step step)
{
    m_steps.resize(m_done);
    if (step.typing && m_typingOpen && !m_steps.empty()) {
        Step &last = m_steps.back();
        const Span &span = last.span;
        // Adjacent typing only: the new characters follow the last ones.
        if (last.typing && step.span.start == span.start + span.after && step.span.before == 0) {
            last.after = std::move(step.after);
            last.span.after += step.span.after;
            return;
        }
    }
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    m_typingOpen = m_steps.back().typing;
}
