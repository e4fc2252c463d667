#pragma once
// Events with the wait semantics the loader threads were designed around: manual-reset
// events stay set until reset; an auto-reset event wakes one waiter and clears itself.
// A wait may time out and may cover several events (the first of them, or all at once).

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <span>
#include <vector>

namespace lfplat {

class Event {
public:
    Event(bool manualReset, bool initiallySet);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when the event was set within the time-out; consumes an auto-reset event.
    // A zero time-out only tests.
    bool Wait(std::chrono::milliseconds timeout);
    bool WaitForever() { return Wait(kInfinite); }

    static constexpr std::chrono::milliseconds kInfinite = std::chrono::milliseconds::max();

private:
    friend int WaitForEvents(std::span<Event* const>, bool, std::chrono::milliseconds);
    struct Waiter {
        std::mutex mutex;
        std::condition_variable wake;
        bool woken = false;
    };

    std::mutex m_mutex;
    bool m_set;
    const bool m_manualReset;
    std::vector<Waiter*> m_waiters;
};

// Waits for one of the events (waitAll false: returns the index of the first set
// event, consuming it when it resets itself) or for all of them set at the same time
// (waitAll true: returns 0 and consumes every auto-reset one). Returns kWaitTimeout
// when the time-out passes first.
int WaitForEvents(std::span<Event* const> events, bool waitAll, std::chrono::milliseconds timeout);
constexpr int kWaitTimeout = -1;

}  // namespace lfplat
