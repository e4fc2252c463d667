#pragma once
// A thread that runs one piece of work (the upload's login and connection) off the
// user-interface thread and ends at once. It touches no window: the work it is given must
// not either. When it ends it signals its dead event and the process-wide ended event.

#include "platform/Event.h"

#include <functional>
#include <thread>

class CConnectionThread {
public:
    explicit CConnectionThread(std::function<void()> work);
    ~CConnectionThread();
    CConnectionThread(const CConnectionThread&) = delete;
    CConnectionThread& operator=(const CConnectionThread&) = delete;

    // Starts the thread; false when none could be made.
    bool Start();
    // Signals the kill event, waits for the dead event and for the thread.
    void Stop();

    lfplat::Event& DeadEvent() { return m_dead; }
    lfplat::Event& KillEvent() { return m_kill; }
    // Signalled by every connection thread that ends (auto-reset); made on first use.
    static lfplat::Event& EndedEvent();

private:
    std::function<void()> m_work;
    lfplat::Event m_kill{true, false};
    lfplat::Event m_dead{true, false};
    std::thread m_thread;
};
