#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

#include "recovery/journalfolder.h"
#include "recovery/journalwriter.h"
#include "recovery/pendingedits.h"

class Document;
class PieceTree;

// Keeps a journal of the page's unsaved changes, so that they outlive a
// crash, a kill or a power cut. The journal exists while the page differs
// from its file (or from the empty page it began as); it is written on
// another thread at most once a second and within a second of a change.
// A clean end of the program removes it.
class Journal : public QObject
{
    Q_OBJECT

public:
    // Edits start from the page's file when it holds more than this many
    // characters; a smaller page starts its journal with a copy of itself,
    // which stays whole should the file change.
    static constexpr int BaseInFileAbove = 1 << 20;
    static constexpr int SyncInterval = 1000; // milliseconds

    explicit Journal(Document &document, QObject *parent = nullptr,
                     int baseInFileAbove = BaseInFileAbove);
    ~Journal() override; // a clean end: the journal goes

    // The page now holds what `leftover` recovered: this journal starts with
    // it, and the leftover goes once this one is on disk.
    void takeOver(JournalFolder::Leftover leftover);
    // Removes the journal and keeps none from now on: the program ends cleanly.
    void discard();
    // Writes what is pending now rather than on the timer, and waits for the
    // disk (tests and benchmarks).
    void flush();

private:
    void textChanged(int start, int removed, int added);
    void settled();
    // The page as it stands needs no journal: the one written goes.
    void forget();
    void sync();
    JournalWriter::Batch batch();

    Document &m_document;
    const int m_baseInFileAbove;
    std::shared_ptr<const PieceTree> m_base; // the page's text when last settled
    bool m_baseInFile = false;
    bool m_written = false; // a journal of this page is on its way to disk
    bool m_discarded = false;
    PendingEdits m_pending;
    QTimer m_timer;
    JournalWriter m_writer;
};
