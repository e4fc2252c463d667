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
