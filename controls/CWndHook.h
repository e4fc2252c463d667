#pragma once
// Lets an object see the events of a window it does not own, without deriving from the
// window's class. A hook joins the front of the window's event-handler chain, so several
// hooks may sit on one window, the newest first; a hook passes an event on (to the next
// hook and finally to the window) with event.Skip(), or keeps it by not skipping.
//
// The window's handler chain is the registry of its hooks (see CWndHookMap).
// Every hook leaves the chain before the window is gone: when the window is destroyed,
// each hook hears OnWindowDestroying (newest first, all still in place), then all are
// unhooked, and the window's own handlers still receive the destroy event.

#include <wx/event.h>

class wxWindow;
class wxWindowDestroyEvent;

class CWndHook : public wxEvtHandler {
public:
    CWndHook();
    // An installed hook unhooks itself.
    ~CWndHook() override;
    CWndHook(const CWndHook&) = delete;
    CWndHook& operator=(const CWndHook&) = delete;

    // With a window: puts this hook first in the window's chain. Refused (false) when the
    // hook already sits on a window; unhook it first.
    // With null: takes the hook out of its window's chain. Refused (false) when the hook
    // is not in that chain any more; the hook then counts as idle.
    virtual bool HookWindow(wxWindow* window);

    wxWindow* GetHookedWindow() const { return m_window; }
    // The hook after this one in its window's chain, or null for the last.
    CWndHook* GetNextHook() const;

    // Passes the event this hook is handling now on to the rest of the window's chain
    // (the older hooks, then the window) at once, even while other events were handled in
    // between; true when one of them handled it. A handler that calls it has passed the
    // event on and must not skip it as well. False outside the handling of an event.
    bool Default();

    // Records the event being handled, for Default.
    bool ProcessEvent(wxEvent& event) override;

protected:
    // The hooked window is being destroyed: a last look at it while every hook is in place.
    // The window's derived parts may already be gone, so use only what the hook recorded.
    virtual void OnWindowDestroying() {}

private:
    void OnDestroy(wxWindowDestroyEvent& event);

    wxWindow* m_window = nullptr;
};
