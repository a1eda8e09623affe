#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

#include "editor/text/searchquery.h"
#include "editor/text/textsearch.h"

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
    // The marks changed: views repaint them.
    void marksChanged();

private:
    class Private;
    std::unique_ptr<Private> d;
    TextModel &m_model;
    Settings m_settings;
    bool m_marksShown = false;
    QString m_status;
};
