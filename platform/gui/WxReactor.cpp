#include "platform/gui/WxReactor.h"

#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>
#include <wx/timer.h>

namespace lfplat {

class WxReactor::SourceHandler : public wxEventLoopSourceHandler {
public:
    SourceHandler(WxReactor* reactor, int fd, uint64_t serial) : m_reactor(reactor), m_fd(fd), m_serial(serial) {}
    void OnReadWaiting() override { m_reactor->Dispatch(this, m_fd, m_serial, kRead); }
    void OnWriteWaiting() override { m_reactor->Dispatch(this, m_fd, m_serial, kWrite); }
    void OnExceptionWaiting() override { m_reactor->Dispatch(this, m_fd, m_serial, 0); }

private:
    WxReactor* m_reactor;
    int m_fd;
    uint64_t m_serial;
};

WxReactor::WxReactor() = default;

WxReactor::~WxReactor()
{
    CloseMailbox();
    for (auto& [fd, entry] : m_watches)
        delete entry.source;
    m_watches.clear();
    m_retiredHandlers.clear();
    m_timers.clear();
}

void WxReactor::Watch(int fd, ReadyHandler handler)
{
    WatchEntry& entry = m_watches[fd];
    Retire(entry);
    entry.serial = m_nextSerial++;
    entry.interest = 0;
    entry.handler = std::make_shared<ReadyHandler>(std::move(handler));
}

void WxReactor::SetInterest(int fd, int interest)
{
    auto it = m_watches.find(fd);
    if (it == m_watches.end())
        return;
    WatchEntry& entry = it->second;
    interest &= kRead | kWrite;
    if (interest == entry.interest)
        return;
    Retire(entry);
    entry.serial = m_nextSerial++;
    entry.interest = interest;
    if (interest == 0)
        return;
    int flags = 0;
    if (interest & kRead)
        flags |= wxEVENT_SOURCE_INPUT;
    if (interest & kWrite)
        flags |= wxEVENT_SOURCE_OUTPUT;
    entry.sourceHandler = std::make_unique<SourceHandler>(this, fd, entry.serial);
    entry.source = wxEventLoopBase::AddSourceForFD(fd, entry.sourceHandler.get(), flags | wxEVENT_SOURCE_EXCEPTION);
}

void WxReactor::Unwatch(int fd)
{
    auto it = m_watches.find(fd);
    if (it == m_watches.end())
        return;
    Retire(it->second);
    m_watches.erase(it);
}

void WxReactor::Retire(WatchEntry& entry)
{
    delete entry.source;
    entry.source = nullptr;
    if (entry.sourceHandler)
        m_retiredHandlers.push_back(std::move(entry.sourceHandler));
}

void WxReactor::Dispatch(SourceHandler* caller, int fd, uint64_t serial, int ready)
{
    // Outside any other callback, no retired handler but the caller can be running.
    if (m_dispatchDepth == 0) {
        std::erase_if(m_retiredHandlers, [caller](const auto& retired) { return retired.get() != caller; });
    }
    auto it = m_watches.find(fd);
    if (it == m_watches.end() || it->second.serial != serial || it->second.interest == 0)
        return;
    ready &= it->second.interest;
    if (ready == 0)
        ready = it->second.interest;
    auto handler = it->second.handler;
    ++m_dispatchDepth;
    (*handler)(ready);
    --m_dispatchDepth;
}

Reactor::TimerId WxReactor::StartTimer(std::chrono::milliseconds delay, std::function<void()> fn)
{
    const TimerId id = m_nextTimer++;
    auto timer = std::make_unique<wxTimer>();
    timer->Bind(wxEVT_TIMER, [this, id, fn = std::move(fn)](wxTimerEvent&) {
        auto it = m_timers.find(id);
        if (it == m_timers.end())
            return;
        // The timer object goes after the handler has returned.
        wxTimer* raw = it->second.release();
        m_timers.erase(it);
        CallAfter([raw] { delete raw; });
        fn();
    });
    timer->StartOnce(static_cast<int>(std::max<long long>(1, delay.count())));
    m_timers.emplace(id, std::move(timer));
    return id;
}

void WxReactor::StopTimer(TimerId id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    it->second->Stop();
    m_timers.erase(it);
}

void WxReactor::WakeForPosted() { CallAfter([this] { RunPosted(); }); }

}  // namespace lfplat
