#pragma once

#include <QObject>
#include <QString>

#include "editor/text/piecetree.h"
#include "editor/text/undohistory.h"

// The text of the source box with its caret, selection and undo steps.
// Every change goes through replace() inside a step.
class TextModel : public QObject
{
    Q_OBJECT

public:
    explicit TextModel(QObject *parent = nullptr);

    const PieceTree &text() const { return m_tree; }
    int length() const { return m_tree.length(); }

    // Replaces everything; no undo steps, unmodified, caret at the start.
    // A text longer than PieceTree::MaxLength is refused.
    bool setText(const QString &text);

    int caret() const { return m_caret; }
    int anchor() const { return m_anchor; }
    int selectionStart() const { return std::min(m_caret, m_anchor); }
    int selectionEnd() const { return std::max(m_caret, m_anchor); }
    bool hasSelection() const { return m_caret != m_anchor; }
    QString selectedText() const;
    void setSelection(int caret, int anchor);

    // One undo step holds every replace() between these two.
    void beginStep();
    void endStep(bool typing = false);
    // Edits that would make the text longer than PieceTree::MaxLength change
    // nothing, return false and are reported through editRefused().
    bool replace(int start, int removed, QStringView text);
    // Puts `text` in place of the selection as a step of its own.
    bool replaceSelection(QStringView text, bool typing = false);
    // Puts a copy of [start, start + count) at `at`, sharing its characters,
    // and the caret after it.
    bool copyWithin(int start, int count, int at);
    // Whether an edit that replaces `removed` characters by `added` fits;
    // when not, reports it as the edits do.
    bool allowsEdit(int removed, qsizetype added);

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();
    // Typing after this starts a new undo step.
    void closeTyping() { m_history.closeTyping(); }

    bool isModified() const { return m_tree.root() != m_clean; }
    void setUnmodified() { m_clean = m_tree.root(); }

signals:
    // [start, start + removed) became [start, start + added).
    void changed(int start, int removed, int added);
    void selectionChanged();
    // An edit was refused, for the reason `message` gives the user.
    void editRefused(const QString &message);

private:
    // Records [start, start + removed) becoming [start, start + added).
    void changedSpan(int start, int removed, int added);

    void restore(const PieceTree::Root &root, UndoHistory::Selection selection,
                 const UndoHistory::Span &span, bool forward);

    PieceTree m_tree;
    UndoHistory m_history;
    PieceTree::Root m_clean;
    int m_caret = 0;
    int m_anchor = 0;

    // The step being recorded.
    int m_depth = 0;
    UndoHistory::Step m_step;
    int m_spanEnd = 0; // end of the changed part, in the current text
    int m_delta = 0;
};
