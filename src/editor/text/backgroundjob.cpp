#include "editor/text/backgroundjob.h"

#include <algorithm>
#include <chrono>

BackgroundJob::~BackgroundJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
    for (auto &[thread, state] : m_stopping)
        thread.join();
}

void BackgroundJob::start(Work work)
{
    cancel();
    if (m_thread.joinable())
        m_stopping.emplace_back(std::move(m_thread), m_state);
    reap();
    m_state = std::make_shared<State>();
    m_thread = std::thread([state = m_state, work = std::move(work)] {
        work({&state->cancel, &state->reached});
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
    });
}

void BackgroundJob::reap()
{
    const auto ended = [](std::pair<std::thread, std::shared_ptr<State>> &stopping) {
        {
            const std::lock_guard<std::mutex> lock(stopping.second->mutex);
            if (!stopping.second->done)
                return false;
        }
        stopping.first.join();
        return true;
    };
    m_stopping.erase(std::remove_if(m_stopping.begin(), m_stopping.end(), ended), m_stopping.end());
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
