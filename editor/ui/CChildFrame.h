#pragma once
// One image's window inside the main frame.

#include <wx/docmdi.h>

class CMainFrame;
class wxMenu;

class CChildFrame : public wxDocMDIChildFrame {
public:
    CChildFrame(wxDocument* doc, wxView* view, CMainFrame* parent);
    ~CChildFrame() override;

private:
    wxMenu* m_recentFileMenu = nullptr;
};
