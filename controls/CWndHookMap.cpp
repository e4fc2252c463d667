#include "controls/CWndHookMap.h"

#include "controls/CWndHook.h"

#include <wx/window.h>

CWndHookMap& CWndHookMap::GetHookMap()
{
    static CWndHookMap map;
    return map;
}

CWndHook* CWndHookMap::Lookup(wxWindow* window) const
{
    if (!window)
        return nullptr;
    for (wxEvtHandler* h = window->GetEventHandler(); h && h != window; h = h->GetNextHandler())
        if (auto* hook = dynamic_cast<CWndHook*>(h))
            return hook;
    return nullptr;
}

void CWndHookMap::Add(wxWindow* window, CWndHook* hook) { window->PushEventHandler(hook); }

bool CWndHookMap::Remove(CWndHook* hook)
{
    wxWindow* window = hook->GetHookedWindow();
    if (!window)
        return false;
    // Someone else may have taken the handler out; wx would assert on a missing one.
    for (wxEvtHandler* h = window->GetEventHandler(); h && h != window; h = h->GetNextHandler()) {
        if (h == hook) {
            window->RemoveEventHandler(hook);
            return true;
        }
    }
    return false;
}

void CWndHookMap::RemoveAll(wxWindow* window)
{
    // Look the first hook up again after each removal: an override may have changed the chain.
    while (CWndHook* hook = Lookup(window)) {
        hook->HookWindow(nullptr);
        if (Lookup(window) == hook)
            break;  // an override that refuses to leave would loop forever
    }
}
