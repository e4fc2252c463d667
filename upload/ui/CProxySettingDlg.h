#pragma once
// Edits the connection values of the document's session settings: whether a proxy is
// used, its protocol, host and port, and optional credentials. Apply checks and stores
// them; OK applies and closes when they were stored.

#include "upload/model/ProxySettings.h"

#include <wx/dialog.h>

#include <functional>
#include <string>

class CQuorixDoc;

class CProxySettingDlg : public wxDialog {
public:
    explicit CProxySettingDlg(wxWindow* parent);
    void SetDocument(CQuorixDoc* doc) { m_doc = doc; }
    // Where the validation messages go (a message box with an OK button by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_message = std::move(sink); }

    // The form as the controls hold it.
    ProxyForm Form() const;
    // True when the values were stored.
    bool OnApply();
    void OnOK();

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void UpdateEnabling();
    void Changed();
    void OnProtocol(int protocol);

    CQuorixDoc* m_doc = nullptr;
    std::function<void(const std::string&)> m_message;
};
