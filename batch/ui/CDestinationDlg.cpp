#include "batch/ui/CDestinationDlg.h"

#include "batch/ui/CFileOpDlg.h"
#include "controls/CFolderTreeCtrl.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/NameText.h"
#include "resources/manager/ManagerDialogs.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <sys/stat.h>

CDestinationDlg::CDestinationDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::Destination());
    m_pTree = dynamic_cast<CFolderTreeCtrl*>(FindWindow(mdlg::kFolderTree));
    if (auto* edit = FindWindow(mdlg::kNewFolderEdit))
        edit->Disable();
    Bind(wxEVT_TREE_SEL_CHANGED, &CDestinationDlg::OnSelectionChanged, this, mdlg::kFolderTree);
    Bind(wxEVT_CHECKBOX, &CDestinationDlg::OnCreateNew, this, mdlg::kCreateNewCheck);
    Bind(wxEVT_BUTTON, &CDestinationDlg::OnOK, this, wxID_OK);
}

void CDestinationDlg::SetTarget(CQuorixDoc* doc, int mode)
{
    m_pDoc = doc;
    m_nMode = mode;
}

std::string CDestinationDlg::Destination(const std::string& selectedPath, bool createNew, std::string name)
{
    const auto first = name.find_first_not_of(" \t");
    name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t") - first + 1);
    if (!createNew || name.empty())
        return selectedPath;
    std::string folder = selectedPath;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + name + "/";
}

void CDestinationDlg::TransferToControls()
{
    SetStaticText(FindWindow(mdlg::kSelectedPathStatic), lfplat::NameToDisplay(m_strSelectedPath).utf8_str());
}

int CDestinationDlg::ShowModal()
{
    if (!m_pDoc)
        return wxID_CANCEL;
    const std::string& last = m_nMode == 1 ? m_pDoc->m_strLastCopyFolder : m_pDoc->m_strLastMoveFolder;
    m_strSelectedPath = !last.empty() ? last : m_pDoc->GetCurrentFolder()->m_strPath + "/";
    SetStaticText(FindWindow(mdlg::kModeLabelStatic), m_nMode == 0 ? "Move to:" : "Copy to:");
    const std::string start = m_strSelectedPath;
    if (m_pTree) {
        m_pTree->Populate();
        std::string path = start;
        if (path.size() > 1 && path.back() == '/')
            path.pop_back();
        m_pTree->SelectFolder(path);
    }
    // Selecting in the tree reports its own form of the path; the dialog starts with
    // the folder it was given.
    m_strSelectedPath = start;
    TransferToControls();
    return wxDialog::ShowModal();
}

void CDestinationDlg::OnSelectionChanged(wxTreeEvent& event)
{
    if (!m_pTree || !event.GetItem().IsOk())
        return;
    m_strSelectedPath = m_pTree->GetItemFolder(event.GetItem());
    TransferToControls();
}

void CDestinationDlg::OnCreateNew(wxCommandEvent& event)
{
    if (auto* edit = FindWindow(mdlg::kNewFolderEdit))
        edit->Enable(event.IsChecked());
}

void CDestinationDlg::OnOK(wxCommandEvent&)
{
    auto* check = dynamic_cast<wxCheckBox*>(FindWindow(mdlg::kCreateNewCheck));
    auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kNewFolderEdit));
    const bool createNew = check && check->IsChecked();
    m_strDestination = Destination(m_strSelectedPath, createNew, edit ? lfplat::PathFromText(edit->GetValue()) : "");
    if (m_strDestination != m_strSelectedPath) {
        // A folder of that name that exists already is simply used.
        ::mkdir(m_strDestination.c_str(), 0777);
    }
    (m_nMode == 1 ? m_pDoc->m_strLastCopyFolder : m_pDoc->m_strLastMoveFolder) = m_strDestination;
    m_pDoc->m_strDestFolder = m_strDestination;

    CFileOpDlg operation(this);
    operation.SetOperation(m_pDoc, m_nMode);
    if (m_promptSink)
        operation.SetPromptSink(m_promptSink);
    operation.ShowModal();
    const int done = operation.GetDoneCount();

    EndModal(wxID_OK);
    if (done <= 0)
        return;
    char text[128];
    std::snprintf(text, sizeof text,
                  m_nMode == 0 ? "%d of %d File(s) moved successfully." : "%d of %d File(s) copied successfully.", done,
                  m_pDoc->m_nFileOpCount);
    const std::string caption = m_nMode == 0 ? "File Move" : "File Copy";
    if (m_messageSink)
        m_messageSink(text, caption);
    else
        wxMessageBox(text, caption, wxOK | wxICON_INFORMATION);
}
