#include "manager/model/CThreadList.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(258);
constexpr auto kPumpInterval = std::chrono::milliseconds(10);

}  // namespace

CThreadList::~CThreadList() { StopAndWait(true); }

CMainThread* CThreadList::Start(std::unique_ptr<CMainThread> thread)
{
    std::lock_guard lock(m_mutex);
    CMainThread* raw = thread.get();
    try {
        raw->Launch(&m_threadEnded);
    } catch (const std::system_error&) {
        return nullptr;
    }
    m_threads.push_back(std::move(thread));
    return raw;
}

size_t CThreadList::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_threads.size();
}

int CThreadList::CountRunning() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_threads.begin(), m_threads.end(), [](const auto& t) {
        return !t->Ended();
    }));
}

void CThreadList::RequestStop(bool setFlag)
{
    std::lock_guard lock(m_mutex);
    for (const auto& t : m_threads)
        t->RequestStop(setFlag);
}

void CThreadList::RequestStopFirst()
{
    std::lock_guard lock(m_mutex);
    if (!m_threads.empty())
        m_threads.front()->RequestStopFlag();
}

std::unique_ptr<CMainThread> CThreadList::TakeFirst()
{
    std::lock_guard lock(m_mutex);
    if (m_threads.empty())
        return nullptr;
    std::unique_ptr<CMainThread> first = std::move(m_threads.front());
    m_threads.erase(m_threads.begin());
    if (m_nJoining++ == 0)
        m_joinsDone.Reset();
    return first;
}

void CThreadList::Joined()
{
    std::lock_guard lock(m_mutex);
    if (--m_nJoining == 0)
        m_joinsDone.Set();
}

void CThreadList::WaitSlice(const std::function<void()>& pump)
{
    if (!pump) {
        m_threadEnded.Wait(kWaitSlice);
        return;
    }
    const auto end = std::chrono::steady_clock::now() + kWaitSlice;
    while (std::chrono::steady_clock::now() < end) {
        if (m_threadEnded.Wait(kPumpInterval))
            break;
        pump();
    }
    pump();
}

void CThreadList::StopAndWait(bool setFlag, std::atomic<int>* progress, const std::function<void()>& pump)
{
    auto add = [progress](int amount) {
        if (progress)
            *progress += amount;
    };
    if (progress)
        *progress = 0;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& t : m_threads) {
            t->RequestStop(setFlag);
            add(100);
        }
    }
    int running = static_cast<int>(Count());
    while (running > 0) {
        WaitSlice(pump);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * running));
        add(200);
        // A loader started meanwhile is asked to stop as well.
        RequestStop(setFlag);
        running = CountRunning();
        add(-100 * running);
    }
    while (std::unique_ptr<CMainThread> thread = TakeFirst()) {
        thread->RequestStop(false);
        thread->Join();
        thread.reset();
        Joined();
        add(100);
    }
    // A stop on another thread (the change-view dialog's worker) may still be joining
    // threads it took out of the list.
    while (!m_joinsDone.Wait(pump ? kPumpInterval : kWaitSlice)) {
        if (pump)
            pump();
    }
}
