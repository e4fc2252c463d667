#include "manager/ui/CNotesKeywordsDlg.h"

#include "manager/model/CImageThread.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/NotesKeywords.h"
#include "resources/manager/ManagerDialogs.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

CNotesKeywordsDlg::CNotesKeywordsDlg(wxWindow* parent) : m_parent(parent) {}

std::string CNotesKeywordsDlg::GetExtension(const std::string& path) { return CImageThread::GetExtension(path); }

bool CNotesKeywordsDlg::Build()
{
    if (GetHandle())
        return true;
    const DialogTemplate& layout = mdlg::NotesKeywords();
    if (!CreateDialogFromTemplate(*this, m_parent, layout))
        return false;
    // The template's hidden items: the small frame and the keywords field.
    for (wxWindow* child : GetChildren()) {
        const bool smallFrame = child->GetLabel() == layout.items[mdlg::kNotesHiddenFrameItem].text;
        if (smallFrame || child->GetId() == mdlg::kKeywordsEdit)
            child->Hide();
    }
    Bind(wxEVT_BUTTON, &CNotesKeywordsDlg::OnOK, this, wxID_OK);
    return TransferDataToWindow();
}

int CNotesKeywordsDlg::ShowModal()
{
    if (!Build())
        return wxID_CANCEL;
    return wxDialog::ShowModal();
}

bool CNotesKeywordsDlg::TransferDataToWindow()
{
    if (m_pDoc && m_pDoc->GetCurrentFolder()) {
        const noteskeywords::Shown shown = noteskeywords::ForSelection(*m_pDoc->GetCurrentFolder());
        m_strPath = shown.path;
        m_nType = shown.type;
        m_strLabel = shown.label;
        m_strKeywords = shown.keywords;
        m_strNotes = shown.notes;
    }
    if (wxWindow* label = FindWindow(mdlg::kNotesFileLabel))
        SetStaticText(label, m_strLabel.c_str());
    if (auto* keywords = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kKeywordsEdit)))
        keywords->ChangeValue(wxString::FromUTF8(m_strKeywords));
    if (auto* notes = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kNotesEdit)))
        notes->ChangeValue(wxString::FromUTF8(m_strNotes));
    return true;
}

bool CNotesKeywordsDlg::TransferDataFromWindow()
{
    if (auto* keywords = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kKeywordsEdit)))
        m_strKeywords = keywords->GetValue().utf8_string();
    if (auto* notes = dynamic_cast<wxTextCtrl*>(FindWindow(mdlg::kNotesEdit)))
        m_strNotes = notes->GetValue().utf8_string();
    return true;
}

void CNotesKeywordsDlg::ShowMessage(const std::string& text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        wxMessageBox(wxString::FromUTF8(text), GetTitle(), wxOK | wxICON_INFORMATION, this);
}

void CNotesKeywordsDlg::OnOK(wxCommandEvent&)
{
    TransferDataFromWindow();
    const std::string keywords = m_strKeywords;
    const std::string notes = m_strNotes;
    CFolderItem* folder = m_pDoc ? m_pDoc->GetCurrentFolder() : nullptr;
    if (folder) {
        // The loaders read the records' texts: none may run while they change.
        if (CQuorixState* state = m_pDoc->GetAppState())
            state->m_threads.StopAndWait(true, nullptr, state->m_pumpWhileWaiting);
        const std::string cacheDir = m_pDoc->GetCacheDirName(folder->m_strPath);
        if (!noteskeywords::Apply(*folder, notes, keywords, cacheDir, [this](const std::string& text) { ShowMessage(text); }))
            return;  // stays open
        m_pDoc->UpdateAllViews();
    }
    EndModal(wxID_OK);
}
