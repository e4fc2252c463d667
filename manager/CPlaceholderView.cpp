#include "manager/CPlaceholderView.h"

#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

wxIMPLEMENT_ABSTRACT_CLASS(CPlaceholderView, CPaneView);

wxWindow* CPlaceholderView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    auto* panel = new wxPanel(parent, wxID_ANY, wxDefaultPosition, size, wxBORDER_SUNKEN | wxTAB_TRAVERSAL);
    auto* label = new wxStaticText(panel, wxID_ANY, PaneName());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->AddStretchSpacer();
    sizer->Add(label, 0, wxALIGN_CENTER_HORIZONTAL);
    sizer->AddStretchSpacer();
    panel->SetSizer(sizer);
    return panel;
}

#define LF_PLACEHOLDER_NAME(Name, text)                                                                             \
    wxIMPLEMENT_DYNAMIC_CLASS(Name, CPlaceholderView);                                                              \
    const char* Name::PaneName() const { return text; }

LF_PLACEHOLDER_NAME(CToolPanelPlaceholder, "Tools")
