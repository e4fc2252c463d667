#include "upload/ui/CServerMessageDlg.h"

#include "controls/CHtmlStatic.h"
#include "controls/DialogTemplate.h"
#include "resources/manager/UploadDialogs.h"
#include "upload/ui/FinishDialog.h"

#include <wx/button.h>
#include <wx/textctrl.h>

CServerMessageDlg::CServerMessageDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::ServerMessage());
    // A reply can be long (up to the login's bound) and has lines: a one-line field
    // would show a sliver of it. The field becomes a read-only box that scrolls both
    // ways, in the same place, with room for a page of text.
    wxWindow* line = FindWindow(mdlg::kServerMessageText);
    const wxRect at = line->GetRect();
    const int extra = FromDIP(220);
    line->Destroy();
    auto* box = new wxTextCtrl(this, mdlg::kServerMessageText, wxString(), at.GetPosition(),
                               wxSize(at.width, at.height + extra),
                               wxTE_MULTILINE | wxTE_READONLY | wxHSCROLL | wxTE_DONTWRAP);
    box->MoveBeforeInTabOrder(FindWindow(wxID_OK));
    for (wxWindow* below : {FindWindow(mdlg::kServerMessageHtml), FindWindow(wxID_OK)})
        below->Move(below->GetPosition() + wxPoint(0, extra));
    SetClientSize(GetClientSize() + wxSize(0, extra));
    // The markup static is kept for its place in the layout; nothing fills it.
    auto* html = new CHtmlStatic;
    html->SubclassControl(FindWindow(mdlg::kServerMessageHtml));
    html->Hide();
    html->Disable();
    Bind(wxEVT_INIT_DIALOG, &CServerMessageDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_OK); }, wxID_OK);
}

void CServerMessageDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kServerMessageText))->ChangeValue(wxString::FromUTF8(m_text));
}

wxString CServerMessageDlg::ShownText() const
{
    return static_cast<wxTextCtrl*>(FindWindow(mdlg::kServerMessageText))->GetValue();
}
