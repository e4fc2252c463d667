#include "upload/ui/CProxySettingDlg.h"

#include "controls/DialogTemplate.h"
#include "manager/ui/CQuorixDoc.h"
#include "resources/manager/UploadDialogs.h"
#include "upload/ui/FinishDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

namespace {

constexpr int kRadios[] = {mdlg::kProxySocks4, mdlg::kProxySocks5, mdlg::kProxyHttp};
constexpr int kEdits[] = {mdlg::kProxyHost, mdlg::kProxyPort, mdlg::kProxyUser, mdlg::kProxyPass};

}  // namespace

CProxySettingDlg::CProxySettingDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::ProxySetting());
    m_message = [this](const std::string& text) { wxMessageBox(wxString::FromUTF8(text), GetTitle(), wxOK, this); };
    Bind(wxEVT_INIT_DIALOG, &CProxySettingDlg::OnInitDialog, this);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabling(); Changed(); }, mdlg::kProxyUse);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateEnabling(); Changed(); }, mdlg::kProxyAuth);
    for (int i = 0; i < 3; ++i)
        Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) { OnProtocol(i + 1); }, kRadios[i]);
    for (int id : kEdits)
        Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Changed(); }, id);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(); }, mdlg::kProxyApply);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); }, wxID_CANCEL);
}

void CProxySettingDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    const ProxyForm form = m_doc ? ProxySettings::FromSession(*m_doc) : ProxyForm();
    for (int i = 0; i < 3; ++i)
        static_cast<wxRadioButton*>(FindWindow(kRadios[i]))->SetValue(form.protocol == i + 1);
    // Filling the fields is no change of the user's.
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyHost))->ChangeValue(wxString::FromUTF8(form.host));
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyPort))->ChangeValue(wxString::FromUTF8(form.port));
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyUser))->ChangeValue(wxString::FromUTF8(form.user));
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyPass))->ChangeValue(wxString::FromUTF8(form.password));
    static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyAuth))->SetValue(form.authentication);
    static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyUse))->SetValue(form.useProxy);
    UpdateEnabling();
    FindWindow(mdlg::kProxyApply)->Disable();
}

ProxyForm CProxySettingDlg::Form() const
{
    ProxyForm form;
    form.useProxy = static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyUse))->GetValue();
    for (int i = 0; i < 3; ++i)
        if (static_cast<wxRadioButton*>(FindWindow(kRadios[i]))->GetValue())
            form.protocol = i + 1;
    form.host = static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyHost))->GetValue().utf8_string();
    form.port = static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyPort))->GetValue().utf8_string();
    form.authentication = static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyAuth))->GetValue();
    form.user = static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyUser))->GetValue().utf8_string();
    form.password = static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyPass))->GetValue().utf8_string();
    return form;
}

void CProxySettingDlg::UpdateEnabling()
{
    const bool use = static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyUse))->GetValue();
    for (int id : {kRadios[0], kRadios[1], kRadios[2], int(mdlg::kProxyHost), int(mdlg::kProxyPort),
                   int(mdlg::kProxyAuth)})
        FindWindow(id)->Enable(use);
    const bool credentials = use && static_cast<wxCheckBox*>(FindWindow(mdlg::kProxyAuth))->GetValue();
    FindWindow(mdlg::kProxyUser)->Enable(credentials);
    FindWindow(mdlg::kProxyPass)->Enable(credentials);
}

void CProxySettingDlg::Changed()
{
    FindWindow(mdlg::kProxyApply)->Enable();
}

void CProxySettingDlg::OnProtocol(int protocol)
{
    static_cast<wxTextCtrl*>(FindWindow(mdlg::kProxyPort))->SetValue(ProxySettings::DefaultPort(protocol));
    Changed();
}

bool CProxySettingDlg::OnApply()
{
    if (!m_doc)
        return false;
    const ProxySettings::Apply result = ProxySettings::Store(Form(), *m_doc);
    if (result != ProxySettings::Apply::kStored) {
        const bool host = result == ProxySettings::Apply::kBadHost;
        m_message(host ? ProxySettings::kBadHost : ProxySettings::kBadPort);
        auto* field = static_cast<wxTextCtrl*>(FindWindow(host ? mdlg::kProxyHost : mdlg::kProxyPort));
        field->SetSelection(-1, -1);
        field->SetFocus();
        return false;
    }
    FindWindow(mdlg::kProxyApply)->Disable();
    return true;
}

void CProxySettingDlg::OnOK()
{
    if (OnApply())
        FinishDialog(*this, wxID_OK);
}
