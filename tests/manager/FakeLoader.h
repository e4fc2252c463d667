#pragma once
// A loader thread for tests: it keeps reading the image records it was given until it
// is asked to stop, and can be held back from ending.

#include "manager/model/CFolderItem.h"
#include "manager/model/CMainThread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace lftest {

struct LoaderProbe {
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::atomic<int> destroyed{0};
    std::atomic<bool> release{true};  // false holds loaders after their stop
};

class FakeLoader : public CMainThread {
public:
    FakeLoader(LoaderProbe& probe, const CFolderItem* folder = nullptr, std::function<void()> beforeEnd = {})
        : m_probe(probe), m_folder(folder), m_beforeEnd(std::move(beforeEnd))
    {
    }
    ~FakeLoader() override { ++m_probe.destroyed; }

    // Sets the done event before the thread has really ended.
    void ReportEndedEarly() { m_hDoneEvent.Set(); }

    bool InitInstance() override
    {
        m_bStopRequested = false;
        ++m_probe.started;
        size_t sum = 0;
        while (!StopWanted()) {
            if (m_folder)
                for (const auto& image : m_folder->m_arrImages)
                    sum += image->m_strPath.size() + static_cast<size_t>(image->m_bSelected.load());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        while (!m_probe.release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (m_beforeEnd)
            m_beforeEnd();
        m_sum = sum;
        ++m_probe.finished;
        return false;
    }

private:
    LoaderProbe& m_probe;
    const CFolderItem* m_folder;
    std::function<void()> m_beforeEnd;
    size_t m_sum = 0;
};

}  // namespace lftest
