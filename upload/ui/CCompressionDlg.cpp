#include "upload/ui/CCompressionDlg.h"

#include "controls/DialogTemplate.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/UploadDialogs.h"
#include "upload/model/CUploadCopies.h"
#include "upload/ui/FinishDialog.h"
#include "upload/model/LoginReply.h"
#include "upload/model/ServiceSettings.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/radiobut.h>
#include <wx/utils.h>

CCompressionDlg::CCompressionDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::Compression());
    m_openBrowser = [](const std::string& url) { wxLaunchDefaultBrowser(wxString::FromUTF8(url)); };
    Bind(wxEVT_INIT_DIALOG, &CCompressionDlg::OnInitDialog, this);
    Bind(wxEVT_PAINT, &CCompressionDlg::OnPaint, this);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnNonCompressed(); }, mdlg::kCompressionNone);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnCompressed(); }, mdlg::kCompressionReduced);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSaveSelection(); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnHelp(); }, mdlg::kCompressionHelp);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); }, wxID_CANCEL);
}

void CCompressionDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    m_type = m_doc && m_doc->GetAppState() ? m_doc->GetAppState()->m_nUploadType : 0;
    static_cast<wxRadioButton*>(FindWindow(m_type != 0 ? mdlg::kCompressionReduced : mdlg::kCompressionNone))
        ->SetValue(true);
    if (m_doc)
        m_doc->m_nReducedHeight = m_height;
}

void CCompressionDlg::OnNonCompressed()
{
    m_type = 0;
}

void CCompressionDlg::OnCompressed()
{
    m_type = 1;
    m_height = CUploadCopies::kReducedHeight;
}

void CCompressionDlg::OnSaveSelection()
{
    if (m_doc) {
        m_doc->m_nReducedHeight = m_height;
        if (CQuorixState* state = m_doc->GetAppState(); state && m_type != state->m_nUploadType) {
            state->m_nUploadType = m_type;
            state->WriteRegString(std::to_string(m_type), "UploadType");
        }
    }
    FinishDialog(*this, wxID_OK);
}

void CCompressionDlg::OnHelp()
{
    UploadEndpoints at;
    if (m_doc && m_doc->GetAppState())
        at = ServiceSettings::Read(m_doc->GetAppState()->GetSettingsPath());
    m_openBrowser(LoginReply::WebPageUrl(at, "/webpages/editor/help/compressed.shtml"));
}

void CCompressionDlg::OnPaint(wxPaintEvent&)
{
    // The two choices' captions are drawn beside their buttons.
    wxPaintDC dc(this);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetForegroundColour());
    const struct {
        int id;
        const char* caption;
    } choices[] = {{mdlg::kCompressionNone, "Non Compressed"},
                   {mdlg::kCompressionReduced, "Compressed (for faster uploads)"}};
    for (const auto& choice : choices) {
        const wxRect button = FindWindow(choice.id)->GetRect();
        const int textHeight = dc.GetCharHeight();
        dc.DrawText(choice.caption, button.GetRight() + 6, button.y + (button.height - textHeight) / 2);
    }
}
