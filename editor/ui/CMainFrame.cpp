#include "editor/ui/CMainFrame.h"

#include "editor/ui/PathText.h"
#include "editor/ui/CPatternToolBar.h"
#include "controls/CFramePlacementHook.h"
#include "editor/ui/CPixoroDoc.h"
#include "image/CLfImage.h"
#include "image/gui/LfClipboard.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorMenus.h"
#include "resources/editor/EditorStrings.h"

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocMDIParentFrame)
    EVT_DROP_FILES(CMainFrame::OnDropFiles)
    EVT_SIZE(CMainFrame::OnSize)
    EVT_MENU(ID_EDIT_PASTE_NEW_VIEW, CMainFrame::OnPasteNew)
    EVT_UPDATE_UI(ID_EDIT_PASTE_NEW_VIEW, CMainFrame::OnUpdatePasteNew)
    EVT_MENU(ID_HELP_FILE, CMainFrame::OnHelp)
    EVT_MENU(ID_HELP_INDEX, CMainFrame::OnHelp)
    EVT_MENU(ID_VIEW_TOOLBAR, CMainFrame::OnViewToolBar)
    EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnViewStatusBar)
    EVT_UPDATE_UI(ID_VIEW_TOOLBAR, CMainFrame::OnUpdateViewToolBar)
    EVT_UPDATE_UI(ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateViewStatusBar)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocMDIParentFrame(manager, nullptr, wxID_ANY, estr::kAppTitle, wxDefaultPosition, wxSize(800, 600)),
      m_openUrl([](const wxString& url) { return wxLaunchDefaultBrowser(url); })
{
    // The document frame binds its own close handler, which closes the documents (with
    // their own prompt); bound later, this one runs before it.
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
#ifdef __WXGTK__
    // Shown as GTK shows a window, at the size it was given: the toolkit's deferred
    // first show maps the window at a passing tiny size, which the window manager then
    // places and the GTK layout warns about. The placement keeper counts the window
    // manager's frame instead.
    m_deferShow = false;
#endif
    SetMenuBar(CreateEditorMenuBar(IDR_MAINFRAME, &m_recentFileMenu));
    SetAcceleratorTable(CreateEditorAccelerators());
    if (manager && m_recentFileMenu) {
        manager->FileHistoryUseMenu(m_recentFileMenu);
        manager->FileHistoryAddFilesToMenu(m_recentFileMenu);
    }
    m_toolBar = new CPatternToolBar(this, ID_MAIN_TOOLBAR);
    CreateStatusBar(4);
    const int widths[] = {-1, 230, 170, 70};
    SetStatusWidths(4, widths);
    ShowNoImageStatus();
    DragAcceptFiles(true);
    LayOut();
    CFramePlacementHook::CentreOnPrimaryDisplay(*this);  // where a first start opens
}

void CMainFrame::ShowImageStatus(const CPixoroDocModel::StatusTexts& texts)
{
    SetTitle(pixoro::ShowText(texts.title));
    SetStatusText(wxString::FromUTF8(texts.imageSize), 1);
    SetStatusText(wxString::FromUTF8(texts.fileSize), 2);
}

void CMainFrame::ShowNoImageStatus()
{
    SetStatusText(estr::kNoImageLoaded, 1);
    SetStatusText(wxString::FromUTF8(CPixoroDocModel::FileSizeText(0)), 2);
    ShowZoom(0);
}

void CMainFrame::ShowZoom(double zoom) { SetStatusText(wxString::FromUTF8(CPixoroDocModel::ZoomText(zoom)), 3); }

void CMainFrame::LayOut()
{
    const wxSize client = GetClientSize();
    int top = 0;
    if (m_toolBar && m_toolBar->IsShown()) {
        const int height = m_toolBar->GetBestSize().y;
        m_toolBar->SetSize(0, 0, client.x, height);
        top = height;
    }
    if (wxWindow* area = GetClientWindow())
        area->SetSize(0, top, client.x, std::max(client.y - top, 0));
}

void CMainFrame::OnSize(wxSizeEvent&) { LayOut(); }

void CMainFrame::OnDropFiles(wxDropFilesEvent& event)
{
    // Each file opens as File > Open would (the shown image closes first).
    if (wxDocManager* manager = GetDocumentManager())
        for (int i = 0; i < event.GetNumberOfFiles(); ++i)
            manager->CreateDocument(event.GetFiles()[i], wxDOC_SILENT);
}

void CMainFrame::OnClose(wxCloseEvent& event)
{
    // The shown image's unsaved changes first; the documents' own prompt then stays away.
    wxDocManager* manager = GetDocumentManager();
    auto* doc = manager ? dynamic_cast<CPixoroDoc*>(manager->GetCurrentDocument()) : nullptr;
    if (doc && manager->GetCurrentView() && !doc->QueryFrameClose() && event.CanVeto()) {
        event.Veto();
        return;
    }
    event.Skip();
}

CPixoroDoc* CMainFrame::PasteAsNewImage()
{
    wxDocManager* manager = GetDocumentManager();
    if (!manager)
        return nullptr;
    auto* doc = dynamic_cast<CPixoroDoc*>(manager->CreateDocument(wxString(), wxDOC_NEW));
    if (!doc)
        return nullptr;
    auto image = std::make_unique<CLfImage>();
    if (lfclip::PasteImage(*image) && image->IsValid()) {
        doc->SetImage(std::move(image));
        CPixoroHint hint(CPixoroDocModel::kHintNewImage);
        doc->UpdateAllViews(nullptr, &hint);
    }
    return doc;
}

void CMainFrame::OnPasteNew(wxCommandEvent&) { PasteAsNewImage(); }

void CMainFrame::OnUpdatePasteNew(wxUpdateUIEvent& event) { event.Enable(lfclip::HasImage()); }

void CMainFrame::OpenHelp()
{
    if (m_openUrl)
        m_openUrl(wxString(estr::kServiceWebHost) + estr::kHelpPagePath);
}

void CMainFrame::OnHelp(wxCommandEvent&) { OpenHelp(); }

void CMainFrame::OnViewToolBar(wxCommandEvent&)
{
    m_toolBar->Show(!m_toolBar->IsShown());
    LayOut();
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&)
{
    if (wxStatusBar* bar = GetStatusBar()) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateViewToolBar(wxUpdateUIEvent& event) { event.Check(m_toolBar->IsShown()); }

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event)
{
    event.Check(GetStatusBar() && GetStatusBar()->IsShown());
}
