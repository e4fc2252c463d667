#pragma once
// Finds and changes the hooks of a window. A window's event-handler chain is the record
// of its hooks (the newest first), so the map keeps nothing of its own: it is one object
// for the process, made the first time it is asked for, and every operation reads or
// changes the chain of the window concerned.

class CWndHook;
class wxWindow;

class CWndHookMap {
public:
    // The process's map.
    static CWndHookMap& GetHookMap();

    // The first hook of the window's chain, or null when it has none.
    CWndHook* Lookup(wxWindow* window) const;
    // Puts hook first in the window's chain.
    void Add(wxWindow* window, CWndHook* hook);
    // Takes hook out of its window's chain; false when it is not in that chain.
    bool Remove(CWndHook* hook);
    // Unhooks every hook of the window through its HookWindow(nullptr), the first one
    // first, looking the first one up again after each.
    void RemoveAll(wxWindow* window);

private:
    CWndHookMap() = default;
};
