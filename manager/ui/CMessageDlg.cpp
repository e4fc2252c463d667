#include "manager/ui/CMessageDlg.h"

#include "resources/manager/ManagerDialogs.h"

#include <wx/button.h>

CMessageDlg::CMessageDlg(wxWindow* parent) : m_parent(parent) {}

void CMessageDlg::SetText(const std::string& text, const std::string& okCaption)
{
    m_text = text;
    if (!GetHandle())
        return;
    if (wxWindow* ok = FindWindow(wxID_OK)) {
        ok->SetLabel(wxString::FromUTF8(okCaption));
        ok->Refresh();
    }
    Refresh(false);
}

bool CMessageDlg::Build()
{
    if (GetHandle())
        return true;
    if (!CreateDialogFromTemplate(*this, m_parent, mdlg::Message()))
        return false;
    SetStaticText(FindWindow(mdlg::kMessageStatic), m_text.c_str());
    return true;
}

int CMessageDlg::ShowModal()
{
    if (!Build())
        return wxID_CANCEL;
    return wxDialog::ShowModal();
}
