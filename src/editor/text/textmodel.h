#pragma once

#include <QObject>
#include <QString>

#include "editor/text/piecetree.h"
#include "editor/text/undohistory.h"

// The text of a page with its caret, selection and undo steps. Every change
// goes through replace(), inside an EditStep when several make one step.
// Steps group as in Qt's own box (UndoHistory::Kind): typing where the last
// typing ended joins it, and so does erasing next to the last erased.
class TextModel : public QObject
{
    Q_OBJECT

public:
    // How a view follows a change of the selection.
    enum class Follow {
        Caret,     // scrolls the caret into view
        KeepView,  // leaves the view where it is
        KeepPageY, // the caret keeps its place on the screen, as a page move does
    };

    // Every change made while one lives is one undo step; steps nest, and the
    // outermost one ends the step however its scope is left.
    class EditStep
    {
    public:
        // What the step may join, as in Qt's own boxes (UndoHistory::Kind).
        enum Kind {
            Command,
            Typing,  // typed text, over the selection if any
            Erasing, // Backspace or Delete with nothing selected
            Pasting, // pasted or dropped text, over the selection if any
        };
        explicit EditStep(TextModel &model, Kind kind = Command) : m_model(model), m_kind(kind)
        {
            m_model.beginStep();
        }
        ~EditStep() { m_model.endStep(m_kind); }
        EditStep(const EditStep &) = delete;
        EditStep &operator=(const EditStep &) = delete;

    private:
        TextModel &m_model;
        Kind m_kind;
    };

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
    void setSelection(int caret, int anchor, Follow follow = Follow::Caret);

    // Edits that would make the text longer than PieceTree::MaxLength change
    // nothing, return false and are reported through editRefused(). Each is
    // a step of its own unless an EditStep holds it.
    bool replace(int start, int removed, QStringView text);
    // Puts `text` in place of the selection, the caret after it.
    bool replaceSelection(QStringView text, EditStep::Kind kind = EditStep::Command);
    // Replaces the selected text S by open + S + close without copying S; the
    // caret ends after `close`, nothing selected.
    bool wrapSelection(QStringView open, QStringView close);
    // Puts a copy of [start, start + count) at `at`, sharing its characters,
    // and the caret after it.
    bool copyWithin(int start, int count, int at);
    // Takes `edited`, made from the text as it stands, as one step and one
    // change, the caret and anchor at its first two positions. False, with
    // nothing changed, when the text has changed since or the result would
    // not fit.
    bool adopt(const PieceTree::Edited &edited);
    // The text as it stands, to be read on another thread.
    std::shared_ptr<const PieceTree> snapshot() { return m_tree.snapshot(); }
    // Whether an edit that replaces `removed` characters by `added` fits;
    // when not, reports it as the edits do.
    bool allowsEdit(int removed, qsizetype added);

    // During a change that an undo makes: whether the text it puts back goes
    // in ahead of positions at its start, as Qt's text cursors see it.
    bool restoringAhead() const { return m_restoringAhead; }

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();

    bool isModified() const { return m_cleanLost || m_tree.root() != m_clean; }
    void setUnmodified()
    {
        m_clean = m_tree.root();
        m_cleanLost = false;
    }
    // No text of this history is a saved page.
    void setModified() { m_cleanLost = true; }

signals:
    // [start, start + removed) is about to be replaced and can still be read.
    void aboutToChange(int start, int removed);
    // [start, start + removed) became [start, start + added).
    void changed(int start, int removed, int added);
    void selectionChanged(TextModel::Follow follow);
    // An edit was refused, for the reason `message` gives the user.
    void editRefused(const QString &message);

private:
    void beginStep();
    void endStep(EditStep::Kind kind);
    // Where the text an edit adds, or takes, is stored, for the step to join the last.
    void noteStored(int start, int count);
    // Records [start, start + removed) becoming [start, start + added).
    void changedSpan(int start, int removed, int added);

    void restore(const PieceTree::Root &root, const UndoHistory::Span &span, bool forward);

    PieceTree m_tree;
    UndoHistory m_history;
    PieceTree::Root m_clean;
    bool m_cleanLost = false;
    int m_caret = 0;
    int m_anchor = 0;

    // The step being recorded.
    int m_depth = 0;
    UndoHistory::Step m_step;
    int m_spanEnd = 0; // end of the changed part, in the current text
    int m_delta = 0;
    bool m_removedAny = false;
    bool m_insertedAny = false;
    bool m_insertEndsLine = false; // the last text added ends in a line break
    bool m_breakAdded = false;     // some text added holds a line break
    bool m_breakRemoved = false;   // some text removed held one
    bool m_restoringAhead = false;
};
