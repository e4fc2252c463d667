#pragma once
// The closing report of the graphical-text wizard: the output folder and the files the
// job wrote there.

#include <wx/dialog.h>

class CQuorixDoc;
class wxListCtrl;

class CWatermarkResultDlg : public wxDialog {
public:
    explicit CWatermarkResultDlg(wxWindow* parent = nullptr);
    void SetDocument(CQuorixDoc& doc) { m_doc = &doc; }
    // Builds the window from the document's output folder and saved list.
    bool Build();
    int DoModal();
    wxListCtrl* GetList() const { return m_list; }

private:
    wxWindow* m_parent;
    CQuorixDoc* m_doc = nullptr;
    wxListCtrl* m_list = nullptr;
};
