#include "editor/text/backgroundjob.h"

#include <chrono>

BackgroundJob::~BackgroundJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundJob::start(Work work)
{
    cancel();
    // The work before was asked to stop when the text changed or another
    // began, so this wait is short.
    if (m_thread.joinable())
        m_thread.join();
    m_state = std::make_shared<State>();
    m_thread = std::thread([state = m_state, work = std::move(work)] {
        work({&state->cancel, &state->reached});
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
    });
}

void BackgroundJob::cancel()
{
    if (m_state)
        m_state->cancel = true;
}

bool BackgroundJob::isRunning() const
{
    if (!m_state)
        return false;
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    return !m_state->done;
}

bool BackgroundJob::waitFor(int milliseconds)
{
    if (!m_state)
        return true;
    std::unique_lock<std::mutex> lock(m_state->mutex);
    return m_state->ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                   [this] { return m_state->done; });
}

int BackgroundJob::reached() const
{
    return m_state ? m_state->reached.load(std::memory_order_relaxed) : 0;
}
