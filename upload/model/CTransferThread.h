#pragma once
// The watchdog of one upload attempt, on a thread of its own: the login and the
// connection get 90 seconds to produce the service's greeting, a connected upload 20
// seconds between two handled commands. When a limit passes it reports once through
// the given callbacks (which post to the dialog; they never touch a window) and ends.
// The clock is injectable so that tests step time instead of waiting for it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class CTransferThread {
public:
    static constexpr int64_t kGreetingLimit = 90;   // seconds; reported from 91 on
    static constexpr int64_t kActivityLimit = 20;

    using Clock = std::function<int64_t()>;  // seconds
    struct Callbacks {
        std::function<void()> noResponse;  // no greeting within the limit
        std::function<void()> inactivity;  // connected, no handled command within the limit
    };

    // Clock defaults to the system's time in seconds.
    explicit CTransferThread(Callbacks callbacks, Clock clock = {});
    ~CTransferThread();
    CTransferThread(const CTransferThread&) = delete;
    CTransferThread& operator=(const CTransferThread&) = delete;

    // Starts the thread and returns once it watches (start time and last-activity
    // time set); false when no thread could be made.
    bool Start();
    void SetConnected() { m_connected = true; }
    // A handled command: restarts the activity limit.
    void Touch() { m_lastActivity = m_clock(); }
    // Sets the stop flag and the stop event; the thread ends at its next pass.
    void Stop();
    // Stop and wait for the thread to end.
    void Join();
    bool Done() const { return m_done; }
    bool Stopped() const { return m_stop; }

private:
    void Run();

    Callbacks m_callbacks;
    Clock m_clock;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_done{false};
    std::atomic<int64_t> m_start{0};
    std::atomic<int64_t> m_lastActivity{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopEvent = false;  // guarded by m_mutex
    bool m_ready = false;      // guarded by m_mutex
    std::thread m_thread;
};
