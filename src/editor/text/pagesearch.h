#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <vector>

#include "editor/text/backgroundjob.h"
#include "editor/text/piecetree.h"
#include "editor/text/searchquery.h"
#include "editor/text/textsearch.h"

class QTimer;
class TextModel;

// Find and Replace over a page of any size. A search that takes longer than a
// frame goes on off the interface thread, on a snapshot of the text; an edit
// or cancel() stops it, and what it found is never applied to a text that
// has changed since. What it knows is told in one status line.
class PageSearch : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        QString pattern;
        QString replacement;
        SearchQuery::Options options;
        bool inSelection = false;
        bool wrapAround = true;
    };

    explicit PageSearch(TextModel &model, QObject *parent = nullptr);
    ~PageSearch() override;

    const Settings &settings() const { return m_settings; }
    // A changed query drops the count and the marks. Turning "in selection"
    // on takes the model's selection as the part searched, which then
    // follows the edits.
    void setSettings(const Settings &settings);

    // Selects the next (previous) match after (before) the selection, and
    // wraps around at the end of the part searched when told to.
    void findNext();
    void findPrevious();
    // Replaces the match found last when it is still the selection, then finds the next.
    void replace();
    // Replaces every match of the part searched: one undo step.
    void replaceAll();
    // Stops a search that is running; nothing changes.
    void cancel();
    bool isBusy() const;

    // What views mark: the match found last, and every match counted that
    // overlaps [from, to). Both go when the text changes or hideMarks() is called.
    bool marksShown() const { return m_marksShown; }
    void hideMarks();
    TextSearch::Match current() const;
    std::vector<TextSearch::Match> matchesIn(int from, int to) const;

    // "3 of 1,204 matches", "No matches", "Replaced 1,204", progress or an error.
    QString status() const { return m_status; }

signals:
    void statusChanged(const QString &status);
    // A Find Next or Find Previous ended without a match (none, no more, or
    // the query could not run); the status says why, even when it is the same
    // as before.
    void nothingFound();
    // The marks changed: views repaint them.
    void marksChanged();

private:
    using Match = TextSearch::Match;
    struct Found
    {
        Match match;
        TextSearch::Outcome outcome = TextSearch::Outcome::Done;
    };
    // Every match of the query in the part searched, for one version of the text.
    struct Count
    {
        PieceTree::Root root;
        std::vector<Match> kept; // the first MaxKept of them
        int total = -1;          // -1 while not counted
    };
    struct Replaced
    {
        PieceTree::Edited edited;
        int count = 0;
        TextSearch::Outcome outcome = TextSearch::Outcome::Done;
    };

    // Whether the query can be searched; says why not when not.
    bool ready();
    TextSearch::Scope scope() const;
    bool counted() const;
    // Looks for the match after or before the selection, in the background
    // when it takes longer than a frame.
    void find(bool backward);
    void showFound(int ticket, const PieceTree::Root &root, const Found &found);
    void select(const Match &match);
    void startCount();
    void showCount(int ticket, const std::shared_ptr<Count> &count);
    void showReplaced(int ticket, const Replaced &replaced);
    void textChanged(int start, int removed, int added);
    // Drops what was found for the query or text before.
    void forget();
    void setStatus(const QString &status);
    void showProgress();
    QString countStatus() const;

    TextModel &m_model;
    Settings m_settings;
    SearchQuery m_query;
    TextSearch::Scope m_selection; // what "in selection" searches, following edits
    Match m_current;
    PieceTree::Root m_currentRoot; // the text m_current was found in
    Count m_count;
    bool m_marksShown = false;
    QString m_status;

    // Finding and replacing, and counting, each run on a thread of their own.
    // A result is shown only when its ticket is still the latest.
    BackgroundJob m_finder;
    BackgroundJob m_counter;
    int m_findTicket = 0;
    int m_countTicket = 0;
    QDeadlineTimer m_frame; // a frame from when the last command began
    bool m_finding = false;
    bool m_counting = false;
    QTimer *m_progress;
};
