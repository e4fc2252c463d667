#include "upload/model/CConnectionThread.h"

#include <system_error>

CConnectionThread::CConnectionThread(std::function<void()> work) : m_work(std::move(work)) {}

CConnectionThread::~CConnectionThread()
{
    Stop();
}

lfplat::Event& CConnectionThread::EndedEvent()
{
    static lfplat::Event ended(false, false);
    return ended;
}

bool CConnectionThread::Start()
{
    if (m_thread.joinable())
        return false;
    try {
        m_thread = std::thread([this] {
            if (m_work)
                m_work();
            m_dead.Set();
            EndedEvent().Set();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CConnectionThread::Stop()
{
    m_kill.Set();
    if (m_thread.joinable()) {
        m_dead.WaitForever();
        m_thread.join();
    }
}
