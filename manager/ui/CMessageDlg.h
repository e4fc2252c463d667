#pragma once
// A message with OK ("Delete cache files") and Cancel. The window is made when the dialog
// first runs, so a text set before that shows, while an OK caption set before that is not
// applied (the layout's caption stays); once the window exists, SetText renames OK.

#include <wx/dialog.h>

#include <string>

class CMessageDlg : public wxDialog {
public:
    explicit CMessageDlg(wxWindow* parent = nullptr);

    void SetText(const std::string& text, const std::string& okCaption);
    const std::string& GetText() const { return m_text; }

    // Makes the window with its controls and shows the text; ShowModal does it when needed.
    bool Build();
    // wxID_OK or wxID_CANCEL.
    int ShowModal() override;

private:
    wxWindow* m_parent;
    std::string m_text;
};
