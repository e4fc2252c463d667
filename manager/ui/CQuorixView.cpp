#include "manager/ui/CQuorixView.h"

#include "manager/ui/CMainFrame.h"

#include <wx/app.h>

wxIMPLEMENT_DYNAMIC_CLASS(CQuorixView, wxView);

bool CQuorixView::OnCreate(wxDocument* doc, long)
{
    auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame);
    if (!frame)
        return false;
    SetFrame(frame);
    return frame->CreateClient(doc);
}

bool CQuorixView::OnClose(bool) { return true; }
