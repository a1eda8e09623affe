#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "editor/text/textsearch.h"

// Work that runs on a thread of its own, one piece at a time: starting the
// next asks the one before to stop. The work reports how far it has got and
// looks at its cancel flag through a TextSearch::Control.
class BackgroundJob
{
public:
    using Work = std::function<void(const TextSearch::Control &control)>;

    BackgroundJob() = default;
    // Asks the work to stop and waits for it, and for any stopped before.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob &) = delete;
    BackgroundJob &operator=(const BackgroundJob &) = delete;

    void start(Work work);
    // Asks the work to stop, without waiting for it.
    void cancel();
    bool isRunning() const;
    // Waits up to `milliseconds` for the work to end; true when it has.
    bool waitFor(int milliseconds);
    // The position the work last reported.
    int reached() const;

private:
    struct State
    {
        std::atomic_bool cancel{false};
        std::atomic_int reached{0};
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };

    // Joins the threads of work stopped before that have ended.
    void reap();

    std::shared_ptr<State> m_state;
    std::thread m_thread;
    // Work asked to stop goes on until it next looks at its flag, which one
    // match of a runaway expression can put off: it is not waited for.
    std::vector<std::pair<std::thread, std::shared_ptr<State>>> m_stopping;
};
