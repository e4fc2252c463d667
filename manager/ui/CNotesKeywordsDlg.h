#pragma once
// Notes & Keywords: edits the notes (and the hidden keywords) of the selected images
// of the current folder. OK gives them to every selected image (see NotesKeywords.h)
// and updates the views; a text over the limit keeps the dialog open. No command of
// the manager opens it.

#include "manager/model/CIptcData.h"

#include <wx/dialog.h>

#include <functional>
#include <string>

class CQuorixDoc;

class CNotesKeywordsDlg : public wxDialog {
public:
    explicit CNotesKeywordsDlg(wxWindow* parent = nullptr);

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    // Where messages go (a message box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }

    // Makes the window with its controls and shows the selection's texts; ShowModal
    // does it when needed.
    bool Build();
    int ShowModal() override;
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // The text after the path's last dot, or an empty text.
    static std::string GetExtension(const std::string& path);

    const std::string& GetFileLabel() const { return m_strLabel; }
    const std::string& GetNotes() const { return m_strNotes; }
    const std::string& GetKeywords() const { return m_strKeywords; }

private:
    void OnOK(wxCommandEvent& event);
    void ShowMessage(const std::string& text);

    wxWindow* m_parent;
    CIptcData m_iptc;
    std::string m_strPath;
    CQuorixDoc* m_pDoc = nullptr;
    int m_nType = 0;
    std::string m_strLabel;
    std::string m_strKeywords;
    std::string m_strNotes;
    std::function<void(const std::string&)> m_messageSink;
};
