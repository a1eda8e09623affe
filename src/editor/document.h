#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <memory>

#include "editor/pageformat.h"
#include "editor/view/findrequest.h"

class PageSearch;
class PieceTree;
class SourceBox;
class TextModel;
class QWidget;

// The page being edited: the text of the source box `htmlsource` and nothing
// else. Every command writes through insertFragment() or wrapSelection(); only
// this class touches the box's text, so the widget can be replaced.
class Document : public QObject
{
    Q_OBJECT

public:
    // Creates the source box inside `container`.
    explicit Document(QWidget *container);
    ~Document() override;

    QWidget *widget() const;

    // Puts `fragment` in place of the selection (at the caret when nothing is
    // selected). The caret ends after it, nothing selected; one undo step.
    void insertFragment(const QString &fragment);

    // Replaces the selected text S by open + S + close. The caret ends after
    // `close`, nothing selected; one undo step.
    void wrapSelection(const QString &open, const QString &close);

    // The selected text exactly as typed, line breaks as '\n'.
    QString selectedText() const;

    // The whole text exactly as typed, line breaks as '\n'.
    QString text() const;
    int length() const;
    // Hands the whole text to `chunk` in consecutive runs, without a copy of it.
    void readText(const std::function<void(QStringView)> &chunk) const;

    // Replaces the whole text (line breaks as '\n'); the caret goes to the start.
    // Every edit, this one too, is refused through editRefused() when the
    // text would grow past the most it can hold (over two thousand million
    // characters).
    void setText(const QString &text);

    // Replaces the whole page, its text as setText() does and the file format
    // it is saved in, as opening a page or starting a new one does; the new
    // page is unchanged. `path` is the file it came from, empty for a new page.
    // False, with nothing changed, for a text too long to hold.
    bool setPage(const QString &text, const PageFormat &format, const QString &path = QString());
    PageFormat format() const { return m_format; }
    // The file the page was last opened from or saved to; empty for a new page.
    QString path() const { return m_path; }

    // Whether the text differs from the page as it was last opened, saved or
    // emptied; undoing back to that text makes it unchanged again.
    bool isModified() const;
    // The text as it stands is the saved page.
    void setUnmodified();
    // The text as it stands was saved to `path`.
    void setSaved(const QString &path);
    // The text as it stands is saved nowhere, as a recovered page is.
    void setModified();
    // The text as it stands, to be read on another thread.
    std::shared_ptr<const PieceTree> snapshot();

    // Takes back the last undo step, or puts it back: a command, a run of typing.
    void undo();
    void redo();

    int caretPosition() const;
    int selectionStart() const;
    int selectionLength() const;
    // Selects `length` characters from `start`; a negative length selects backwards.
    void select(int start, int length);
    // The rows of the selection, or the caret when nothing is selected, as
    // the source box shows them, in global coordinates: the part on screen
    // only, empty when none of it is. Windows over the box keep off it.
    QRect selectionOnScreen() const;

    // Find and Replace over the page; the source box marks its matches.
    PageSearch &search() { return *m_search; }

signals:
    // Files dropped (or pasted) on the source box at character `position`,
    // as their file: addresses, which keep names that are not UTF-8; nothing
    // has been written for them.
    void filesDropped(const QList<QUrl> &files, int position);
    // An edit was refused and nothing changed; `message` says why, for the user.
    void editRefused(const QString &message);
    // The source box asks for the Find and Replace window: Find or Replace.
    // F3 and Shift+F3 search by themselves and ask for it only while there
    // is nothing to find yet.
    void findRequested(FindRequest request);
    // A Find Next or Find Previous ended without a match; `status` says why.
    void searchFoundNothing(const QString &status);
    // [start, start + removed) of the text became [start, start + added).
    void textChanged(int start, int removed, int added);
    // The text became the page's file, or a page begun: opened, saved or
    // emptied. Undoing back to it is not this.
    void settled();

private:
    void answerFindKey(FindRequest request);

    TextModel *m_model; // the page's text, its selection and undo steps
    // Made after the text and gone before it (a member, not a child).
    std::unique_ptr<PageSearch> m_search;
    QPointer<SourceBox> m_box;
    PageFormat m_format;
    QString m_path;
};
