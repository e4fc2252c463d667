#pragma once
// Base of the manager's loader threads (thumbnails, list filling, search). A loader
// overrides InitInstance, does all its work there and tests StopWanted between steps.
// It reads records and computes; it never touches a window and never waits for the
// user-interface thread: it reports by posting messages.
//
// Start it through CThreadList::Start, which owns it from then on.

#include "platform/Event.h"

#include <atomic>
#include <thread>

class CMainThread {
public:
    CMainThread();
    // The thread must have ended (CThreadList joins before it frees a thread).
    virtual ~CMainThread();
    CMainThread(const CMainThread&) = delete;
    CMainThread& operator=(const CMainThread&) = delete;

    // The thread's work; the thread ends when it returns.
    virtual bool InitInstance() { return true; }

    // True once a stop was asked for by event or by flag.
    bool StopWanted() { return m_bStopRequested.load() || m_hStopEvent.Wait(std::chrono::milliseconds(0)); }

    // Asks the thread to stop: sets the stop event and, with setFlag, the stop flag (the
    // list modes set both).
    void RequestStop(bool setFlag);
    // Sets the stop flag alone (the search dialog's Cancel).
    void RequestStopFlag() { m_bStopRequested = true; }
    bool StopFlagSet() const { return m_bStopRequested.load(); }
    bool StopEventSet() { return m_hStopEvent.Wait(std::chrono::milliseconds(0)); }
    // True once the thread has ended, waiting at most wait for it.
    bool Ended(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) { return m_hDoneEvent.Wait(wait); }
    void WaitUntilEnded() { m_hDoneEvent.WaitForever(); }

protected:
    lfplat::Event m_hStopEvent{true, false};  // set to ask the thread to stop
    lfplat::Event m_hDoneEvent{true, false};  // set when the thread has ended
    // Set with the stop event in the list modes; a loader clears it when it begins.
    std::atomic<bool> m_bStopRequested{false};

private:
    friend class CThreadList;
    // Runs the thread; threadEnded is set, after the done event, when it ends.
    void Launch(lfplat::Event* threadEnded);
    void Join();
    // The end-of-thread step: done event, then the process-wide thread-ended event.
    void Delete();

    std::jthread m_thread;
    lfplat::Event* m_pThreadEnded = nullptr;
};
