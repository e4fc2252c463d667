#pragma once
// Renames one image of the document's current folder: the user edits the name without
// its extension, the extension stays. A failed rename keeps the dialog open for
// another try.

#include <wx/dialog.h>

#include <functional>
#include <string>

class CQuorixDoc;

class CRenameDlg : public wxDialog {
public:
    explicit CRenameDlg(wxWindow* parent = nullptr);

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    // The caller's texts: the name without extension (the one the user edits), the
    // file's whole name and its extension without the dot.
    void SetTexts(const std::string& newName, const std::string& currentName, const std::string& extension);
    int ShowModal() override;

    // Cleared when the dialog ended without renaming.
    bool GetDone() const { return m_bDone; }
    // Where the information boxes go (a message box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }

private:
    void OnOK(wxCommandEvent&);
    void ShowMessage(const std::string& text);

    CQuorixDoc* m_pDoc = nullptr;
    std::string m_strNewName;
    std::string m_strCurrentName;
    std::string m_strExtension;
    bool m_bDone = true;
    std::function<void(const std::string&)> m_messageSink;
};
