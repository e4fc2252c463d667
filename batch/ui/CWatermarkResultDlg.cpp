#include "batch/ui/CWatermarkResultDlg.h"

#include "controls/DialogTemplate.h"
#include "manager/ui/CQuorixDoc.h"
#include "resources/manager/WatermarkDialogs.h"

#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <filesystem>

CWatermarkResultDlg::CWatermarkResultDlg(wxWindow* parent) : m_parent(parent) {}

bool CWatermarkResultDlg::Build()
{
    if (!m_doc || !CreateDialogFromTemplate(*this, m_parent, mdlg::WatermarkResult()))
        return false;
    if (auto* folder = dynamic_cast<wxTextCtrl*>(FindWindow(DialogControlId(IDC_WMR_FOLDER))))
        folder->ChangeValue(wxString::FromUTF8(m_doc->m_strTextOutputFolder));
    m_list = dynamic_cast<wxListCtrl*>(FindWindow(DialogControlId(IDC_WMR_LIST)));
    if (m_list) {
        m_list->EnableCheckBoxes(false);
        m_list->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, 350);
        for (const std::string& path : m_doc->m_arrTextSavedFiles)
            m_list->InsertItem(m_list->GetItemCount(),
                               wxString::FromUTF8(std::filesystem::path(path).filename().string()));
    }
    return true;
}

int CWatermarkResultDlg::DoModal()
{
    if (!GetHandle() && !Build())
        return wxID_CANCEL;
    return ShowModal();
}
