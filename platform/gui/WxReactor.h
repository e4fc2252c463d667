#pragma once
// The reactor of a window program's user-interface thread: descriptor watches are
// event-loop sources of the toolkit, posted closures arrive through CallAfter and
// timers are toolkit timers, so every handler runs inside the ordinary event loop
// (also in nested loops and modal dialogs). Construct it on the UI thread once the
// application object exists.

#include "platform/Reactor.h"

#include <wx/event.h>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class wxEventLoopSource;
class wxTimer;

namespace lfplat {

class WxReactor : public Reactor, public wxEvtHandler {
public:
    WxReactor();
    ~WxReactor() override;

    void Watch(int fd, ReadyHandler handler) override;
    void SetInterest(int fd, int interest) override;
    void Unwatch(int fd) override;
    TimerId StartTimer(std::chrono::milliseconds delay, std::function<void()> fn) override;
    void StopTimer(TimerId id) override;

protected:
    void WakeForPosted() override;

private:
    class SourceHandler;
    struct WatchEntry {
        uint64_t serial = 0;
        int interest = 0;
        std::shared_ptr<ReadyHandler> handler;
        wxEventLoopSource* source = nullptr;
        std::unique_ptr<SourceHandler> sourceHandler;
    };

    void Dispatch(SourceHandler* caller, int fd, uint64_t serial, int ready);
    // Sources can't change their flags: a change removes the source and adds another.
    void Retire(WatchEntry& entry);

    uint64_t m_nextSerial = 1;
    std::unordered_map<int, WatchEntry> m_watches;
    // A removed source stops firing at once, but the toolkit may still be inside its
    // callback: the handler object lives on until the next callback starts outside any
    // other, and ignores everything meanwhile.
    std::vector<std::unique_ptr<SourceHandler>> m_retiredHandlers;
    int m_dispatchDepth = 0;
    TimerId m_nextTimer = 1;
    std::map<TimerId, std::unique_ptr<wxTimer>> m_timers;
};

}  // namespace lfplat
