#include "batch/ui/CRenameDlg.h"

#include "batch/model/RenameFile.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/NameText.h"
#include "resources/manager/ManagerDialogs.h"

#include <wx/msgdlg.h>
#include <wx/textctrl.h>

CRenameDlg::CRenameDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::Rename());
    Bind(wxEVT_BUTTON, &CRenameDlg::OnOK, this, wxID_OK);
}

void CRenameDlg::SetTexts(const std::string& newName, const std::string& currentName, const std::string& extension)
{
    m_strNewName = newName;
    m_strCurrentName = currentName;
    m_strExtension = extension;
}

int CRenameDlg::ShowModal()
{
    // The names are shown as text; the file keeps its own bytes.
    SetStaticText(FindWindow(mdlg::kCurrentNameStatic), lfplat::NameToDisplay(m_strCurrentName).utf8_str());
    SetStaticText(FindWindow(mdlg::kExtensionStatic), lfplat::NameToDisplay(m_strExtension).utf8_str());
    if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kNewNameEdit)))
        edit->ChangeValue(lfplat::NameToDisplay(m_strNewName));
    return wxDialog::ShowModal();
}

void CRenameDlg::ShowMessage(const std::string& text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        wxMessageBox(wxString::FromUTF8(text), GetTitle(), wxOK | wxICON_INFORMATION, this);
}

void CRenameDlg::OnOK(wxCommandEvent&)
{
    if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kNewNameEdit)))
        m_strNewName = lfplat::NameFromDisplay(edit->GetValue(), m_strNewName);
    const std::string folder = m_pDoc ? m_pDoc->GetCurrentFolder()->m_strPath : std::string();
    switch (RenameImageFile(folder, m_strCurrentName, m_strNewName, m_strExtension)) {
    case RenameOutcome::Unchanged:
        m_bDone = false;
        EndModal(wxID_OK);
        break;
    case RenameOutcome::SystemFile:
        ShowMessage(kRenameSystemFileText);
        m_bDone = false;
        EndModal(wxID_OK);
        break;
    case RenameOutcome::Renamed: EndModal(wxID_OK); break;
    case RenameOutcome::Failed:
        ShowMessage(RenameFailedText(m_strCurrentName));
        m_bDone = true;
        break;
    }
}
