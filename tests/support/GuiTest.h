#pragma once
// Pumping the event loop in window tests, which never run MainLoop.

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/window.h>

#include <chrono>
#include <functional>

namespace lftest {

// Dispatches events, idle time included (deferred window destruction happens there),
// until the condition holds or the time-out passes; returns the condition.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        loop.DispatchTimeout(10);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
    return true;
}

// Dispatches whatever is pending for roughly the given time.
inline void PumpFor(std::chrono::milliseconds duration)
{
    PumpUntil([] { return false; }, duration);
}

// Pumps until the window's rectangle has stayed the same for a while (a window's sizes
// settle over a few replies of the display server and the window manager); returns it.
inline wxRect PumpUntilSettled(const wxWindow& window,
                               std::chrono::milliseconds quiet = std::chrono::milliseconds(300))
{
    wxRect last = window.GetRect();
    auto since = std::chrono::steady_clock::now();
    PumpUntil([&] {
        const wxRect now = window.GetRect();
        if (now != last) {
            last = now;
            since = std::chrono::steady_clock::now();
        }
        return std::chrono::steady_clock::now() - since >= quiet;
    });
    return window.GetRect();
}

}  // namespace lftest
