#pragma once
// The main window's splitters. Each of the two panes is a fixed host window that its
// content fills: a pane view's window, or a nested splitter. Views come and go inside
// their host (ReplaceView, or a new document), so the splitter never points at a window
// that is gone. A splitter of two rows cannot be dragged and shows no sizing cursor
// unless it is made with dragRows; one of two columns always can.

#include <wx/splitter.h>
#include <wx/weakref.h>

class CPaneView;
class wxDocument;

class CSplitter : public wxSplitterWindow {
public:
    explicit CSplitter(wxWindow* parent, bool dragRows = false);

    // The host window of pane 0 or 1, the parent for what the pane shows.
    wxWindow* GetPaneHost(int pane) const;
    // Shows the two panes side by side (columns) or one over the other (rows), the first
    // one firstPaneSize pixels wide or high.
    bool SplitPanes(bool columns, int firstPaneSize);

    // Makes a view of viewClass (a CPaneView with dynamic creation) for doc in an empty pane.
    CPaneView* CreateView(int pane, const wxClassInfo* viewClass, wxDocument* doc);
    // Replaces the pane's view with a new one of viewClass for the same document; false
    // (and the pane untouched) when the pane's view already is of that class. Marks the
    // document's view as replaced; the new view is active when the old one was, or when
    // no view was.
    bool ReplaceView(int pane, const wxClassInfo* viewClass, int mode);

    CPaneView* GetPaneView(int pane) const;
    int GetReplaceMode() const { return m_replaceMode; }

private:
    void OnMouse(wxMouseEvent& event);

    wxWindow* m_hosts[2];
    wxWeakRef<CPaneView> m_views[2];
    bool m_dragRows;
    int m_replaceMode = 0;

    wxDECLARE_EVENT_TABLE();
};
