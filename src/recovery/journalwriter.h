#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "files/descriptor.h"
#include "recovery/journalrecord.h"
#include "recovery/pendingedits.h"

class PieceTree;

// Writes this program's journal on a thread of its own, in the order asked.
// Nothing here waits for the disk but wait() and the destructor.
class JournalWriter
{
public:
    // What has changed since the last batch, and enough to start over.
    struct Batch
    {
        JournalRecord::Begin page;             // baseInFile set when the base is the page's file
        std::shared_ptr<const PieceTree> base; // the text the edits start from
        std::vector<PendingEdits::Span> spans;
        std::shared_ptr<const PieceTree> text; // the text as it stands
    };

    // `name` in JournalFolder.
    explicit JournalWriter(QByteArray name);
    ~JournalWriter(); // finishes what was asked first
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // Adds the batch to the journal, making it when there is none, and syncs it.
    void write(Batch batch);
    // Removes the journal; the next batch starts from its base again.
    void remove();
    // Removes `name`, a journal left behind that is held by `lock`, once what
    // was asked before is on disk.
    void removeLeftover(QByteArray name, Descriptor lock);
    // Waits until everything asked so far is done.
    void wait();

    // The most the edits in a journal grow to, against its text, before the
    // journal is written over with the text alone.
    static constexpr qint64 CompactAfter = 2;

private:
    void post(std::function<void()> task);
    void run();

    // On the writer's thread.
    void writeBatch(const Batch &batch);
    bool startOver(const JournalRecord::Begin &page, const PieceTree *inlineText);
    bool append(const std::function<bool(const JournalRecord::Sink &)> &record);
    void fail();

    QByteArray m_name;
    Descriptor m_folder;
    Descriptor m_file;
    bool m_atBase = true;  // the next batch's spans start from its base
    bool m_stale = false;  // a batch was lost: the next one writes the text whole
    qint64 m_editSize = 0; // characters of edits since the last whole text

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::function<void()>> m_tasks;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};
