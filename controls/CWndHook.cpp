#include "controls/CWndHook.h"

#include <wx/window.h>

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
        window->PushEventHandler(this);
        m_window = window;
        return true;
    }
    if (!m_window)
        return true;
    // Someone else may have taken the handler out; wx would assert on a missing one.
    const bool inChain = IsInChain();
    if (inChain)
        m_window->RemoveEventHandler(this);
    m_window = nullptr;
    return inChain;
}

bool CWndHook::IsInChain() const
{
    for (wxEvtHandler* h = m_window->GetEventHandler(); h && h != m_window; h = h->GetNextHandler())
        if (h == this)
            return true;
    return false;
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

CWndHook* CWndHook::Lookup(wxWindow* window)
{
    if (!window)
        return nullptr;
    for (wxEvtHandler* h = window->GetEventHandler(); h && h != window; h = h->GetNextHandler())
        if (auto* hook = dynamic_cast<CWndHook*>(h))
            return hook;
    return nullptr;
}

void CWndHook::RemoveAll(wxWindow* window)
{
    // Look the first hook up again after each removal: an override may have changed the chain.
    while (CWndHook* hook = Lookup(window)) {
        hook->HookWindow(nullptr);
        if (Lookup(window) == hook)
            break;  // an override that refuses to leave would loop forever
    }
}

void CWndHook::OnDestroy(wxWindowDestroyEvent& event)
{
    wxWindow* window = m_window;
    if (!window || event.GetEventObject() != window) {
        event.Skip();  // a child's destroy event on its way up
        return;
    }
    for (CWndHook* hook = Lookup(window); hook; hook = hook->GetNextHook())
        hook->OnWindowDestroying();
    RemoveAll(window);
    // The chain after this hook is cut now, so hand the event to the window itself
    // (any foreign handler in front of the hooks has seen it already).
    static_cast<wxEvtHandler*>(window)->ProcessEventLocally(event);
}
