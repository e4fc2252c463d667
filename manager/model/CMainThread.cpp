#include "manager/model/CMainThread.h"

CMainThread::CMainThread() = default;

CMainThread::~CMainThread() { Join(); }

void CMainThread::RequestStop(bool setFlag)
{
    if (setFlag)
        m_bStopRequested = true;
    m_hStopEvent.Set();
}

void CMainThread::Launch(lfplat::Event* threadEnded)
{
    m_pThreadEnded = threadEnded;
    m_thread = std::jthread([this] {
        InitInstance();
        Delete();
    });
}

void CMainThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CMainThread::Delete()
{
    m_hDoneEvent.Set();
    if (m_pThreadEnded)
        m_pThreadEnded->Set();
}
