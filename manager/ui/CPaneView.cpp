#include "manager/ui/CPaneView.h"

#include <wx/toplevel.h>

wxIMPLEMENT_ABSTRACT_CLASS(CPaneView, wxView);

CPaneView::~CPaneView()
{
    if (m_window)
        m_window->Destroy();
}

bool CPaneView::CreatePane(wxWindow* parent, wxDocument* doc, const wxSize& size)
{
    if (m_window || !parent)
        return false;
    wxWindow* window = CreatePaneWindow(parent, size);
    if (!window)
        return false;
    m_window = window;
    SetDocument(doc);
    SetFrame(wxGetTopLevelParent(parent));
    // The pane with the focus is the active view, as commands and printing expect.
    window->Bind(wxEVT_SET_FOCUS, &CPaneView::OnPaneFocus, this);
    window->Bind(wxEVT_CHILD_FOCUS, &CPaneView::OnChildFocus, this);
    return true;
}

bool CPaneView::OnClose(bool) { return true; }

void CPaneView::OnPaneFocus(wxFocusEvent& event)
{
    Activate(true);
    event.Skip();
}

void CPaneView::OnChildFocus(wxChildFocusEvent& event)
{
    Activate(true);
    event.Skip();
}
