#pragma once
// A reactor driven by a plain poll() loop on the calling thread: for headless tests,
// console programs and benchmarks. Nothing runs unless the owner runs the loop.

#include "platform/Reactor.h"

#include <map>
#include <unordered_map>

namespace lfplat {

class PollReactor : public Reactor {
public:
    PollReactor();
    ~PollReactor() override;

    void Watch(int fd, ReadyHandler handler) override;
    void SetInterest(int fd, int interest) override;
    void Unwatch(int fd) override;
    TimerId StartTimer(std::chrono::milliseconds delay, std::function<void()> fn) override;
    void StopTimer(TimerId id) override;

    // Waits up to timeout for something to do and does it: ready watches, posted
    // closures, due timers. False when the time-out passed with nothing to do.
    bool RunOnce(std::chrono::milliseconds timeout);
    // Runs until done() holds or the time limit passes; returns done().
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Runs for the whole duration.
    void RunFor(std::chrono::milliseconds duration);

    // How many times the loop woke up with work (not counting time-outs): an idle
    // process keeps this still.
    uint64_t WakeUps() const { return m_wakeUps; }

protected:
    void WakeForPosted() override;

private:
    struct WatchEntry {
        uint64_t serial = 0;
        int interest = 0;
        std::shared_ptr<ReadyHandler> handler;
    };
    using Clock = std::chrono::steady_clock;

    int m_wakeFd = -1;
    uint64_t m_nextSerial = 1;
    std::unordered_map<int, WatchEntry> m_watches;
    TimerId m_nextTimer = 1;
    std::multimap<Clock::time_point, std::pair<TimerId, std::function<void()>>> m_timers;
    uint64_t m_wakeUps = 0;
};

}  // namespace lfplat
