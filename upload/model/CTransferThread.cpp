#include "upload/model/CTransferThread.h"

#include <chrono>
#include <ctime>

CTransferThread::CTransferThread(Callbacks callbacks, Clock clock)
    : m_callbacks(std::move(callbacks)), m_clock(clock ? std::move(clock) : Clock([] {
                                                         return static_cast<int64_t>(std::time(nullptr));
                                                     }))
{
}

CTransferThread::~CTransferThread()
{
    Join();
}

bool CTransferThread::Start()
{
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_ready; });
    return true;
}

void CTransferThread::Stop()
{
    m_stop = true;
    {
        std::lock_guard lock(m_mutex);
        m_stopEvent = true;
    }
    m_wake.notify_all();
}

void CTransferThread::Join()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
}

void CTransferThread::Run()
{
    m_start = m_clock();
    m_lastActivity = m_start.load();
    {
        std::lock_guard lock(m_mutex);
        m_ready = true;
    }
    m_wake.notify_all();
    while (!m_stop) {
        const int64_t now = m_clock();
        if (!m_connected && now - m_start > kGreetingLimit) {
            m_stop = true;
            if (m_callbacks.noResponse)
                m_callbacks.noResponse();
            break;
        }
        if (m_connected && now - m_lastActivity >= kActivityLimit) {
            m_stop = true;
            if (m_callbacks.inactivity)
                m_callbacks.inactivity();
            break;
        }
        // Both limits are whole seconds: a pass every 50 ms keeps them, and the stop
        // event ends the wait at once.
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stopEvent; }))
            break;
    }
    m_done = true;
}
