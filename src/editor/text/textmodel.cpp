#include "editor/text/textmodel.h"

#include <algorithm>

TextModel::TextModel(QObject *parent) : QObject(parent) {}

bool TextModel::setText(const QString &text)
{
    const int old = m_tree.length();
    if (!allowsEdit(old, text.size()))
        return false;
    emit aboutToChange(0, old);
    m_tree.reset(text);
    m_history.clear();
    // A new text is no change to ask about, as in Qt's boxes.
    setUnmodified();
    m_caret = m_anchor = 0;
    emit changed(0, old, m_tree.length());
    emit selectionChanged(Follow::Caret);
    return true;
}

QString TextModel::selectedText() const
{
    return m_tree.text(selectionStart(), selectionEnd() - selectionStart());
}

void TextModel::setSelection(int caret, int anchor, Follow follow)
{
    caret = std::clamp(caret, 0, length());
    anchor = std::clamp(anchor, 0, length());
    if (caret == m_caret && anchor == m_anchor)
        return;
    m_caret = caret;
    m_anchor = anchor;
    emit selectionChanged(follow);
}

void TextModel::beginStep()
{
    if (m_depth++ > 0)
        return;
    m_step = UndoHistory::Step();
    m_step.before = m_tree.root();
    m_step.span.start = -1;
    m_spanEnd = 0;
    m_delta = 0;
    m_removedAny = m_insertedAny = m_insertEndsLine = m_breakAdded = m_breakRemoved = false;
}

bool TextModel::allowsEdit(int removed, qsizetype added)
{
    if (m_tree.fits(removed, added))
        return true;
    emit editRefused(tr("The page would grow past %L1 characters, the most it can hold. "
                        "Nothing was changed.")
                         .arg(PieceTree::MaxLength));
    return false;
}

bool TextModel::replace(int start, int removed, QStringView text)
{
    start = std::clamp(start, 0, length());
    removed = std::clamp(removed, 0, length() - start);
    if (!allowsEdit(removed, text.size()))
        return false;
    const int added = int(text.size());
    if (removed == 0 && added == 0)
        return true;
    const EditStep step(*this);
    if (removed > 0) {
        noteStored(start, removed);
        m_removedAny = true;
        m_breakRemoved = m_breakRemoved || m_tree.lineAt(start + removed) != m_tree.lineAt(start);
    }
    emit aboutToChange(start, removed);
    m_tree.remove(start, removed);
    m_tree.insert(start, text);
    if (added > 0) {
        noteStored(start, added);
        m_insertedAny = true;
        m_insertEndsLine = text.endsWith(u'\n');
        m_breakAdded = m_breakAdded || text.contains(u'\n');
    }
    changedSpan(start, removed, added);
    return true;
}

void TextModel::noteStored(int start, int count)
{
    const auto [buffer, at] = m_tree.storedAt(start);
    const auto [lastBuffer, lastAt] = m_tree.storedAt(start + count - 1);
    const bool whole = buffer == lastBuffer && lastAt - at == count - 1;
    m_step.buffer = whole ? buffer : nullptr;
    m_step.bufferStart = at;
    m_step.bufferEnd = at + count;
}

bool TextModel::copyWithin(int start, int count, int at)
{
    start = std::clamp(start, 0, length());
    count = std::clamp(count, 0, length() - start);
    at = std::clamp(at, 0, length());
    if (!allowsEdit(0, count))
        return false;
    if (count == 0)
        return true;
    const EditStep step(*this);
    emit aboutToChange(at, 0);
    m_tree.insertCopy(at, start, count);
    changedSpan(at, 0, count);
    m_caret = m_anchor = at + count;
    return true;
}

bool TextModel::adopt(const PieceTree::Edited &edited)
{
    if (edited.base != m_tree.root())
        return false;
    if (!edited.buffer) {
        allowsEdit(int(edited.removed), edited.added);
        return false;
    }
    if (edited.root == edited.base)
        return true;
    const EditStep step(*this);
    emit aboutToChange(edited.start, int(edited.removed));
    m_tree.adopt(edited);
    changedSpan(edited.start, int(edited.removed), int(edited.added));
    m_caret = edited.positions.at(0);
    m_anchor = edited.positions.at(1);
    return true;
}

void TextModel::changedSpan(int start, int removed, int added)
{
    // Where the caret and anchor were is where they stay, shifted by the change.
    const auto shift = [&](int position) {
        if (position >= start + removed)
            return position + added - removed;
        return position > start ? start : position;
    };
    m_caret = shift(m_caret);
    m_anchor = shift(m_anchor);

    UndoHistory::Span &span = m_step.span;
    if (span.start < 0) {
        span.start = start;
        m_spanEnd = start + added;
    } else {
        m_spanEnd = start < m_spanEnd ? std::max(m_spanEnd + added - removed, start + added)
                                      : start + added;
        span.start = std::min(span.start, start);
    }
    m_delta += added - removed;
    emit changed(start, removed, added);
}

void TextModel::endStep(EditStep::Kind kind)
{
    if (--m_depth > 0)
        return;
    if (m_step.span.start < 0) {
        emit selectionChanged(Follow::Caret);
        return;
    }
    // A line break is a block of its own in Qt's box: typing that holds one,
    // or erasing one, joins nothing; typing may follow on a paste unless it
    // ends in one.
    using Kind = UndoHistory::Kind;
    const bool inserting = m_insertedAny && !m_insertEndsLine;
    if (kind == EditStep::Typing && inserting && !m_breakAdded)
        m_step.kind = m_removedAny ? Kind::EndsInserting : Kind::Inserted;
    else if (kind == EditStep::Pasting && inserting)
        m_step.kind = Kind::EndsInserting;
    else if (kind == EditStep::Erasing && m_removedAny && !m_insertedAny && !m_breakRemoved)
        m_step.kind = Kind::Removed;
    else
        m_step.kind = Kind::Command;
    const bool fromSaved = !m_cleanLost && m_step.before == m_clean;
    m_step.after = m_tree.root();
    m_step.span.after = m_spanEnd - m_step.span.start;
    m_step.span.before = m_step.span.after - m_delta;
    m_history.push(std::move(m_step), fromSaved);
    emit selectionChanged(Follow::Caret);
}

bool TextModel::replaceSelection(QStringView text, EditStep::Kind kind)
{
    const int start = selectionStart();
    const EditStep step(*this, kind);
    m_step.erasedAhead = m_step.erasedAhead || m_caret < m_anchor;
    const bool done = replace(start, selectionEnd() - start, text);
    if (done)
        m_caret = m_anchor = start + int(text.size());
    return done;
}

bool TextModel::wrapSelection(QStringView open, QStringView close)
{
    if (!allowsEdit(0, open.size() + close.size()))
        return false;
    if (open.isEmpty() && close.isEmpty()) {
        setSelection(m_caret, m_caret);
        return true;
    }
    // The tags go in on either side, so that a huge selection is not copied.
    const int start = selectionStart();
    const int end = selectionEnd();
    const EditStep step(*this);
    replace(end, 0, close);
    replace(start, 0, open);
    m_caret = m_anchor = end + int(open.size() + close.size());
    return true;
}

void TextModel::undo()
{
    if (!m_history.canUndo())
        return;
    const UndoHistory::Step &step = m_history.undo();
    m_restoringAhead = step.erasedAhead;
    restore(step.before, step.span, false);
    m_restoringAhead = false;
}

void TextModel::redo()
{
    if (!m_history.canRedo())
        return;
    const UndoHistory::Step &step = m_history.redo();
    restore(step.after, step.span, true);
}

void TextModel::restore(const PieceTree::Root &root, const UndoHistory::Span &span, bool forward)
{
    emit aboutToChange(span.start, forward ? span.before : span.after);
    m_tree.setRoot(root);
    // As Qt's boxes do: the caret after the text put back or taken out,
    // nothing selected, so that the next key cannot overwrite it unseen.
    m_caret = m_anchor = span.start + (forward ? span.after : span.before);
    if (forward)
        emit changed(span.start, span.before, span.after);
    else
        emit changed(span.start, span.after, span.before);
    emit selectionChanged(Follow::Caret);
}
