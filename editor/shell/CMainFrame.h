#pragma once
// The editor's main window: a multiple-document frame (its children show as tabs), the
// menu bar of the state it is in, and four status panes. Files dropped on it open as
// images.

#include "editor/shell/CPixoroDocModel.h"

#include <wx/docmdi.h>

class wxDropFilesEvent;
class wxMenu;

class CMainFrame : public wxDocMDIParentFrame {
public:
    CMainFrame(wxDocManager* manager);

    // Status panes for an open image (title included), or for none.
    void ShowImageStatus(const CPixoroDocModel::StatusTexts& texts);
    void ShowNoImageStatus();
    // Pane 3: the view's zoom.
    void ShowZoom(double zoom);

    wxMenu* GetRecentFileMenu() const { return m_recentFileMenu; }

private:
    void OnDropFiles(wxDropFilesEvent& event);

    wxMenu* m_recentFileMenu = nullptr;

    wxDECLARE_EVENT_TABLE();
};
