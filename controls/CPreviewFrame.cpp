#include "controls/CPreviewFrame.h"

#include "controls/CFramePlacementHook.h"

CPreviewFrame::CPreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent, const wxString& title)
    : wxPreviewFrame(preview, parent, title)
{
}

void CPreviewFrame::Initialize()
{
    wxPreviewFrame::Initialize();
    CFramePlacementHook::CentreOnDisplayOf(*this, GetParent());
}
