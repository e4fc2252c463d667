#pragma once
// The running and finished loader threads of the manager, with the stop-and-wait that
// runs before a folder is loaded, a loader is started, the view mode changes or the
// manager closes. The list owns the threads and frees them once they are joined; all
// of it may be used from any thread.

#include "manager/model/CMainThread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CThreadList {
public:
    CThreadList() = default;
    // Stops and joins whatever is still listed.
    ~CThreadList();
    CThreadList(const CThreadList&) = delete;
    CThreadList& operator=(const CThreadList&) = delete;

    // Lists the thread and runs it. Returns it, or null when no thread could be made.
    CMainThread* Start(std::unique_ptr<CMainThread> thread);
    size_t Count() const;
    // Listed threads whose done event is not set.
    int CountRunning() const;

    // Sets every listed thread's stop event and, with setFlag, its stop flag; waits for
    // nothing.
    void RequestStop(bool setFlag);
    // Sets the stop flag of the first listed thread (the search dialog's Cancel).
    void RequestStopFirst();

    // Signals every listed thread, waits until all have ended, then joins and frees
    // them. progress, when given, counts as the change-view bar expects: 100 per thread
    // signalled, 200 per waiting slice less 100 per thread still running, 100 per
    // thread joined. pump, when given, runs every few milliseconds while waiting, so a
    // wait on the user-interface thread keeps handling what loaders post.
    void StopAndWait(bool setFlag, std::atomic<int>* progress = nullptr, const std::function<void()>& pump = {});

    lfplat::Event& ThreadEndedEvent() { return m_threadEnded; }

private:
    // Takes the first listed thread out and counts it as being joined.
    std::unique_ptr<CMainThread> TakeFirst();
    void Joined();
    void WaitSlice(const std::function<void()>& pump);

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<CMainThread>> m_threads;
    // Threads taken out of the list by one stop and not yet joined: another stop
    // running at the same time must wait for them too, or it would return while they
    // still read the records.
    int m_nJoining = 0;
    lfplat::Event m_joinsDone{true, true};
    // Auto-reset: each ending thread sets it once; a missed ending costs one slice.
    lfplat::Event m_threadEnded{false, false};
};
