#include "upload/ui/CNewsDlg.h"

#include "controls/CHtmlStatic.h"
#include "controls/ControlDrawing.h"
#include "controls/DialogTemplate.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/UploadDialogs.h"
#include "upload/ui/FinishDialog.h"
#include "upload/model/HttpLogin.h"
#include "upload/model/NewsReply.h"
#include "upload/model/ServiceSettings.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

CNewsDlg::CNewsDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::News());
    m_fetch = HttpLogin::Fetch;
    m_message = [this](const std::string& text) {
        wxMessageBox(wxString::FromUTF8(text), "Lanternfolio News", wxOK | wxICON_STOP, this);
    };
    m_openBrowser = [](const std::string& url) { return wxLaunchDefaultBrowser(wxString::FromUTF8(url)); };
    const COLORREF face = ToColorRef(GetBackgroundColour());
    for (int id : mdlg::kNewsLinks) {
        auto* html = new CHtmlStatic;
        html->SubclassControl(FindWindow(id));
        html->SetBackgroundColor(face);
        html->SetLinkLauncher([this](const wxString& address) {
            const std::string url = address.utf8_string();
            return NewsReply::IsWebLink(url) && m_openBrowser(url);
        });
    }
    static_cast<CHtmlStatic*>(FindWindow(mdlg::kNewsLinks[0]))
        ->SetLabel("Check the latest news for the Lanternfolio Photo Editor.");
    Bind(wxEVT_INIT_DIALOG, &CNewsDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClose(wxID_OK); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClose(wxID_CANCEL); }, wxID_CANCEL);
}

void CNewsDlg::SetDocument(CQuorixDoc* doc)
{
    m_doc = doc;
    if (m_doc && m_doc->GetAppState())
        m_endpoints = ServiceSettings::Read(m_doc->GetAppState()->GetSettingsPath());
}

void CNewsDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    if (!m_doc)
        return;
    const CQuorixState* state = m_doc->GetAppState();
    const int stored = state ? state->m_nNewsID : 0;
    const std::string url = NewsReply::ListUrl(m_endpoints, stored);
    // A connection through the proxy that fails at once ends the loading silently.
    if (!m_connection.Open(url, *m_doc))
        return;
    bool ok = false;
    const std::string reply =
        m_fetch(url, HttpLogin::ProxyFor(m_doc->m_strProxy, m_doc->m_strProxyHost, m_doc->m_strProxyPort), ok);
    m_connection.Close();
    if (!ok) {
        m_message("ERROR: Network cunection failed. Please try again or connect internet.");
        return;
    }
    const std::vector<std::string> links = NewsReply::Links(reply, m_endpoints, stored);
    for (size_t i = 0; i < links.size(); ++i)
        static_cast<CHtmlStatic*>(FindWindow(mdlg::kNewsLinks[i]))->SetLabel(wxString::FromUTF8(links[i]));
}

std::vector<std::string> CNewsDlg::Texts() const
{
    std::vector<std::string> texts;
    for (int id : mdlg::kNewsLinks)
        texts.push_back(FindWindow(id)->GetLabel().utf8_string());
    return texts;
}

void CNewsDlg::OnClose(int result)
{
    if (m_doc)
        if (CQuorixState* state = m_doc->GetAppState(); state && state->m_nMaxNewsID != state->m_nNewsID)
            state->WriteRegString(std::to_string(state->m_nMaxNewsID), "MaxNewsID");
    FinishDialog(*this, result);
}

void ShowNewsDialog(CQuorixDoc& doc)
{
    CNewsDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    dialog.ShowModal();
}
