#pragma once
// The editor's main window: a multiple-document frame (its children show as tabs) with
// the main toolbar on top, the menu bar of the state it is in and four status panes. It
// asks about unsaved changes when it closes, pastes a clipboard picture as a new image,
// opens the help page, and opens files dropped on it.

#include "editor/model/CPixoroDocModel.h"

#include <wx/docmdi.h>

#include <functional>

class CPatternToolBar;
class CPixoroDoc;
class wxDropFilesEvent;
class wxMenu;
class wxSizeEvent;

class CMainFrame : public wxDocMDIParentFrame {
public:
    CMainFrame(wxDocManager* manager);

    // Status panes for an open image (title included), or for none.
    void ShowImageStatus(const CPixoroDocModel::StatusTexts& texts);
    void ShowNoImageStatus();
    // Pane 3: the view's zoom.
    void ShowZoom(double zoom);

    wxMenu* GetRecentFileMenu() const { return m_recentFileMenu; }
    CPatternToolBar* GetMainToolBar() const { return m_toolBar; }

    // Help > Help File: the help page in the desktop's browser (tests catch the address).
    void OpenHelp();
    void SetUrlOpener(std::function<bool(const wxString&)> opener) { m_openUrl = std::move(opener); }

    // Ctrl+M without an image: a new image window from the clipboard's picture; without a
    // picture the window has no image. Returns the new document.
    CPixoroDoc* PasteAsNewImage();

private:
    void OnDropFiles(wxDropFilesEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnPasteNew(wxCommandEvent& event);
    void OnUpdatePasteNew(wxUpdateUIEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnViewToolBar(wxCommandEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewToolBar(wxUpdateUIEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    // The toolbar across the top, the image windows below it.
    void LayOut();

    CPatternToolBar* m_toolBar = nullptr;
    wxMenu* m_recentFileMenu = nullptr;
    std::function<bool(const wxString&)> m_openUrl;

    wxDECLARE_EVENT_TABLE();
};
