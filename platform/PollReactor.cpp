#include "platform/PollReactor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

namespace lfplat {

PollReactor::PollReactor()
{
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0)
        throw std::runtime_error("eventfd failed");
}

PollReactor::~PollReactor()
{
    CloseMailbox();
    close(m_wakeFd);
}

void PollReactor::Watch(int fd, ReadyHandler handler)
{
    WatchEntry& entry = m_watches[fd];
    entry.serial = m_nextSerial++;
    entry.interest = 0;
    entry.handler = std::make_shared<ReadyHandler>(std::move(handler));
}

void PollReactor::SetInterest(int fd, int interest)
{
    auto it = m_watches.find(fd);
    if (it != m_watches.end())
        it->second.interest = interest & (kRead | kWrite);
}

void PollReactor::Unwatch(int fd) { m_watches.erase(fd); }

Reactor::TimerId PollReactor::StartTimer(std::chrono::milliseconds delay, std::function<void()> fn)
{
    const TimerId id = m_nextTimer++;
    m_timers.emplace(Clock::now() + delay, std::make_pair(id, std::move(fn)));
    return id;
}

void PollReactor::StopTimer(TimerId id)
{
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->second.first == id) {
            m_timers.erase(it);
            return;
        }
    }
}

void PollReactor::WakeForPosted()
{
    const uint64_t one = 1;
    // A full counter already means "wake up"; nothing else can go wrong here.
    [[maybe_unused]] ssize_t n = write(m_wakeFd, &one, sizeof one);
}

bool PollReactor::RunOnce(std::chrono::milliseconds timeout)
{
    std::vector<pollfd> fds;
    std::vector<uint64_t> serials;
    fds.push_back({m_wakeFd, POLLIN, 0});
    serials.push_back(0);
    for (const auto& [fd, entry] : m_watches) {
        if (entry.interest == 0)
            continue;
        short events = 0;
        if (entry.interest & kRead)
            events |= POLLIN;
        if (entry.interest & kWrite)
            events |= POLLOUT;
        fds.push_back({fd, events, 0});
        serials.push_back(entry.serial);
    }

    auto wait = timeout;
    if (!m_timers.empty()) {
        auto untilTimer = std::chrono::ceil<std::chrono::milliseconds>(m_timers.begin()->first - Clock::now());
        wait = std::max(std::chrono::milliseconds(0), std::min(wait, untilTimer));
    }
    int n = poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
    if (n < 0 && errno != EINTR)
        throw std::runtime_error("poll failed");

    bool worked = false;
    for (size_t i = 1; n > 0 && i < fds.size(); ++i) {
        if (fds[i].revents == 0)
            continue;
        // A handler may have closed this descriptor and another watch may have taken
        // its number since the poll: only the watch that was polled is served.
        auto it = m_watches.find(fds[i].fd);
        if (it == m_watches.end() || it->second.serial != serials[i] || it->second.interest == 0)
            continue;
        int ready = 0;
        if (fds[i].revents & POLLIN)
            ready |= kRead;
        if (fds[i].revents & POLLOUT)
            ready |= kWrite;
        ready &= it->second.interest;
        if (ready == 0)
            ready = it->second.interest;
        auto handler = it->second.handler;
        (*handler)(ready);
        worked = true;
    }
    if (n > 0 && fds[0].revents) {
        uint64_t count;
        [[maybe_unused]] ssize_t r = read(m_wakeFd, &count, sizeof count);
        RunPosted();
        worked = true;
    }
    const auto now = Clock::now();
    while (!m_timers.empty() && m_timers.begin()->first <= now) {
        auto fn = std::move(m_timers.begin()->second.second);
        m_timers.erase(m_timers.begin());
        fn();
        worked = true;
    }
    if (worked)
        ++m_wakeUps;
    return worked;
}

bool PollReactor::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (!done()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return done();
        RunOnce(left);
    }
    return true;
}

void PollReactor::RunFor(std::chrono::milliseconds duration)
{
    RunUntil([] { return false; }, duration);
}

}  // namespace lfplat
