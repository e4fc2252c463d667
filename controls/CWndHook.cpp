#include "controls/CWndHook.h"

#include "controls/CWndHookMap.h"

#include <wx/window.h>

namespace {

// The event the hooks of this thread are handling now (the innermost one while events
// nest), for Default.
thread_local wxEvent* t_currentEvent = nullptr;

}  // namespace

CWndHook::CWndHook()
{
    Bind(wxEVT_DESTROY, &CWndHook::OnDestroy, this);
}

CWndHook::~CWndHook()
{
    if (m_window)
        CWndHook::HookWindow(nullptr);
}

bool CWndHook::HookWindow(wxWindow* window)
{
    if (window) {
        if (m_window)
            return false;
        CWndHookMap::GetHookMap().Add(window, this);
        m_window = window;
        return true;
    }
    if (!m_window)
        return true;
    const bool inChain = CWndHookMap::GetHookMap().Remove(this);
    m_window = nullptr;
    return inChain;
}

bool CWndHook::ProcessEvent(wxEvent& event)
{
    wxEvent* const outer = t_currentEvent;
    t_currentEvent = &event;
    const bool handled = wxEvtHandler::ProcessEvent(event);
    t_currentEvent = outer;
    return handled;
}

bool CWndHook::Default()
{
    wxEvent* const event = t_currentEvent;
    wxEvtHandler* const next = GetNextHandler();
    if (!event || !m_window || !next)
        return false;
    return next->ProcessEventLocally(*event);
}

CWndHook* CWndHook::GetNextHook() const
{
    if (!m_window)
        return nullptr;
    for (wxEvtHandler* h = GetNextHandler(); h && h != m_window; h = h->GetNextHandler())
        if (auto* hook = dynamic_cast<CWndHook*>(h))
            return hook;
    return nullptr;
}

void CWndHook::OnDestroy(wxWindowDestroyEvent& event)
{
    wxWindow* window = m_window;
    if (!window || event.GetEventObject() != window) {
        event.Skip();  // a child's destroy event on its way up
        return;
    }
    CWndHookMap& map = CWndHookMap::GetHookMap();
    for (CWndHook* hook = map.Lookup(window); hook; hook = hook->GetNextHook())
        hook->OnWindowDestroying();
    map.RemoveAll(window);
    // The chain after this hook is cut now, so hand the event to the window itself
    // (any foreign handler in front of the hooks has seen it already).
    static_cast<wxEvtHandler*>(window)->ProcessEventLocally(event);
}
