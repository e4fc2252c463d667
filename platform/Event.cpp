#include "platform/Event.h"

#include <algorithm>

namespace lfplat {

Event::Event(bool manualReset, bool initiallySet) : m_set(initiallySet), m_manualReset(manualReset) {}

Event::~Event() = default;

void Event::Set()
{
    std::lock_guard lock(m_mutex);
    m_set = true;
    // Lock order is always event, then waiter; a waiter never holds its own lock
    // while it takes an event's.
    for (Waiter* waiter : m_waiters) {
        std::lock_guard wl(waiter->mutex);
        waiter->woken = true;
        waiter->wake.notify_all();
    }
}

void Event::Reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool Event::Wait(std::chrono::milliseconds timeout)
{
    Event* self = this;
    return WaitForEvents(std::span<Event* const>(&self, 1), false, timeout) == 0;
}

int WaitForEvents(std::span<Event* const> events, bool waitAll, std::chrono::milliseconds timeout)
{
    if (events.empty())
        return kWaitTimeout;
    // Events are locked together in one global order, so that concurrent waits on
    // overlapping sets cannot deadlock.
    std::vector<Event*> ordered(events.begin(), events.end());
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());

    const bool forever = timeout == Event::kInfinite;
    const auto deadline = forever ? std::chrono::steady_clock::time_point::max()
                                  : std::chrono::steady_clock::now() + timeout;

    Event::Waiter waiter;
    for (Event* e : ordered) {
        std::lock_guard lock(e->m_mutex);
        e->m_waiters.push_back(&waiter);
    }

    auto tryTake = [&]() -> int {
        for (Event* e : ordered)
            e->m_mutex.lock();
        int result = kWaitTimeout;
        if (waitAll) {
            if (std::all_of(ordered.begin(), ordered.end(), [](Event* e) { return e->m_set; })) {
                for (Event* e : ordered)
                    if (!e->m_manualReset)
                        e->m_set = false;
                result = 0;
            }
        } else {
            for (size_t i = 0; i < events.size(); ++i) {
                if (events[i]->m_set) {
                    if (!events[i]->m_manualReset)
                        events[i]->m_set = false;
                    result = static_cast<int>(i);
                    break;
                }
            }
        }
        for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
            (*it)->m_mutex.unlock();
        return result;
    };

    int result = kWaitTimeout;
    for (;;) {
        {
            std::lock_guard wl(waiter.mutex);
            waiter.woken = false;
        }
        result = tryTake();
        if (result != kWaitTimeout)
            break;
        std::unique_lock wl(waiter.mutex);
        if (forever) {
            waiter.wake.wait(wl, [&] { return waiter.woken; });
        } else if (!waiter.wake.wait_until(wl, deadline, [&] { return waiter.woken; })) {
            break;
        }
    }

    for (Event* e : ordered) {
        std::lock_guard lock(e->m_mutex);
        std::erase(e->m_waiters, &waiter);
    }
    return result;
}

}  // namespace lfplat
