#pragma once
// The compression choice of uploads: reduced copies ("Compressed (for faster uploads)")
// or full size ("Non Compressed"). Save Selection keeps the choice in the program's
// "UploadType" setting, written only when it changed.

#include <wx/dialog.h>

#include <functional>
#include <string>

class CQuorixDoc;

class CCompressionDlg : public wxDialog {
public:
    explicit CCompressionDlg(wxWindow* parent);
    void SetDocument(CQuorixDoc* doc) { m_doc = doc; }
    // Where Help opens its page (the desktop's browser by default).
    void SetBrowser(std::function<void(const std::string& url)> open) { m_openBrowser = std::move(open); }

    int ChosenType() const { return m_type; }
    void OnNonCompressed();
    void OnCompressed();
    void OnSaveSelection();
    void OnHelp();

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnPaint(wxPaintEvent& event);

    CQuorixDoc* m_doc = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_type = 0;  // 0 full size, 1 reduced
    std::function<void(const std::string&)> m_openBrowser;
};
