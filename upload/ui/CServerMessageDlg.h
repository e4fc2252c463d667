#pragma once
// Shows the whole text of a login reply that carried no user id, in a box that scrolls.

#include <wx/dialog.h>

#include <string>

class CServerMessageDlg : public wxDialog {
public:
    explicit CServerMessageDlg(wxWindow* parent);
    void SetText(const std::string& text) { m_text = text; }
    // The text as the edit shows it.
    wxString ShownText() const;

private:
    void OnInitDialog(wxInitDialogEvent& event);
    std::string m_text;
};
