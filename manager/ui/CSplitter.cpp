#include "manager/ui/CSplitter.h"

#include "manager/ui/CPaneView.h"
#include "manager/ui/CQuorixDoc.h"

#include <memory>

wxBEGIN_EVENT_TABLE(CSplitter, wxSplitterWindow)
    EVT_MOUSE_EVENTS(CSplitter::OnMouse)
wxEND_EVENT_TABLE()

namespace {

// A pane of the splitter: whatever it holds fills it.
class PaneHost : public wxWindow {
public:
    explicit PaneHost(wxWindow* parent) : wxWindow(parent, wxID_ANY)
    {
        Bind(wxEVT_SIZE, [this](wxSizeEvent&) { Fill(); });
    }
    void Fill()
    {
        for (wxWindow* child : GetChildren())
            child->SetSize(GetClientSize());
    }
};

std::unique_ptr<CPaneView> MakeView(const wxClassInfo* viewClass)
{
    if (!viewClass || !viewClass->IsKindOf(wxCLASSINFO(CPaneView)))
        return nullptr;
    return std::unique_ptr<CPaneView>(static_cast<CPaneView*>(viewClass->CreateObject()));
}

// Creates the view's window in host; the document owns the view from then on.
CPaneView* CreateIn(wxWindow* host, const wxClassInfo* viewClass, wxDocument* doc)
{
    std::unique_ptr<CPaneView> view = MakeView(viewClass);
    if (!view || !view->CreatePane(host, doc, host->GetClientSize()))
        return nullptr;
    static_cast<PaneHost*>(host)->Fill();
    return view.release();
}

}  // namespace

CSplitter::CSplitter(wxWindow* parent, bool dragRows)
    : wxSplitterWindow(parent, wxID_ANY, wxDefaultPosition, parent->GetClientSize(), wxSP_3D | wxSP_LIVE_UPDATE),
      m_dragRows(dragRows)
{
    // A pane never collapses to nothing (which would also let a double click unsplit it).
    SetMinimumPaneSize(5);
    m_hosts[0] = new PaneHost(this);
    m_hosts[1] = new PaneHost(this);
    Initialize(m_hosts[0]);
    m_hosts[1]->Hide();
}

wxWindow* CSplitter::GetPaneHost(int pane) const { return pane >= 0 && pane <= 1 ? m_hosts[pane] : nullptr; }

bool CSplitter::SplitPanes(bool columns, int firstPaneSize)
{
    if (IsSplit())
        return false;
    return columns ? SplitVertically(m_hosts[0], m_hosts[1], firstPaneSize)
                   : SplitHorizontally(m_hosts[0], m_hosts[1], firstPaneSize);
}

CPaneView* CSplitter::GetPaneView(int pane) const
{
    return pane >= 0 && pane <= 1 ? m_views[pane].get() : nullptr;
}

CPaneView* CSplitter::CreateView(int pane, const wxClassInfo* viewClass, wxDocument* doc)
{
    if (pane < 0 || pane > 1 || m_views[pane])
        return nullptr;
    CPaneView* view = CreateIn(m_hosts[pane], viewClass, doc);
    m_views[pane] = view;
    return view;
}

bool CSplitter::ReplaceView(int pane, const wxClassInfo* viewClass, int mode)
{
    m_replaceMode = mode;
    CPaneView* old = GetPaneView(pane);
    if (!old || !viewClass || old->IsKindOf(viewClass))
        return false;
    wxDocument* doc = old->GetDocument();
    if (auto* quorixDoc = dynamic_cast<CQuorixDoc*>(doc))
        quorixDoc->m_bViewReplaced = true;
    wxDocManager* manager = doc ? doc->GetDocumentManager() : nullptr;
    const bool reactivate = manager && (!manager->GetCurrentView() || manager->GetCurrentView() == old);

    // The new view joins the document before the old one leaves it: a document left
    // without views would delete itself.
    CPaneView* view = CreateIn(m_hosts[pane], viewClass, doc);
    if (!view)
        return false;
    m_views[pane] = view;
    delete old;  // takes its window along
    if (reactivate)
        view->Activate(true);
    return true;
}

void CSplitter::OnMouse(wxMouseEvent& event)
{
    // Rows stay as the window laid them out: no drag, no sizing cursor.
    if (!m_dragRows && GetSplitMode() == wxSPLIT_HORIZONTAL && IsSplit())
        return;
    event.Skip();
}
