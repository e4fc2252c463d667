#include "manager/ui/CMainFrame.h"

#include "controls/CFramePlacementHook.h"
#include "manager/ui/CDetailListView.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CFoldersView.h"
#include "manager/ui/CImageListView.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSplitter.h"
#include "manager/ui/CTollbarView.h"
#include "manager/model/MainFrameLayout.h"
#include "manager/model/ManagerModes.h"
#include "platform/gui/DisplayFlush.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ManagerMenus.h"
#include "resources/manager/ManagerStrings.h"
#include "resources/manager/QuorixIcon.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

wxIMPLEMENT_CLASS(CMainFrame, wxDocParentFrame);

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_TIMER(wxID_ANY, CMainFrame::OnTimer)
    EVT_SIZE(CMainFrame::OnSize)
    EVT_CLOSE(CMainFrame::OnClose)
    EVT_MENU(ID_OPTIONS_DELETE_HISTORY, CMainFrame::OnDeleteHistory)
    EVT_MENU(ID_HELP_FILE, CMainFrame::OnHelpFile)
    EVT_MENU(ID_FILE_PRINT_PREVIEW, CMainFrame::OnPrintPreview)
    // Commands nobody handles show disabled; a view or the document that handles one (an
    // active list view prints) answers its update first, through the document manager,
    // and enables it.
    EVT_UPDATE_UI(ID_FILE_PRINT, CMainFrame::OnUpdateNoHandler)
    EVT_UPDATE_UI(ID_OPTIONS_SET_PROXY, CMainFrame::OnUpdateNoHandler)
    EVT_UPDATE_UI(ID_FILE_MRU_MENU, CMainFrame::OnUpdateRecentFile)
wxEND_EVENT_TABLE()

namespace {

// The outer size a new main window gets before its placement is restored.
wxSize DefaultFrameSize()
{
    const wxRect area = wxDisplay(0u).GetClientArea();
    return wxSize(area.width * 3 / 4, area.height * 3 / 4);
}

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager, CQuorixState& state, CSysImageList* sysImages)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, mstr::kAppTitle, wxDefaultPosition, DefaultFrameSize()),
      m_state(state), m_sysImages(sysImages), m_timer(this), m_port(this)
{
#ifdef __WXGTK__
    // Shown as GTK shows a window, at the size it was given: the toolkit's deferred
    // first show maps the window at a passing tiny size, which the window manager then
    // places and the GTK layout warns about. The placement keeper counts the window
    // manager's frame instead.
    m_deferShow = false;
#endif
    SetIcon(QuorixIcon());
    SetMenuBar(CreateMainMenuBar(&m_recentFileMenu));
    SetAcceleratorTable(CreateMainAccelerators());
    if (m_recentFileMenu && manager && manager->GetFileHistory()) {
        manager->FileHistoryUseMenu(m_recentFileMenu);
        manager->FileHistoryAddFilesToMenu(m_recentFileMenu);
    }
    // Numbered messages come from threads through the port, one handler per number.
    Bind(lfplat::EVT_POSTED_MESSAGE, &CMainFrame::OnAddFoundImage, this, kAddFoundImage);
    // Bound, not in the table: the document frame's own close handler (which closes the
    // documents) is bound too, and the handlers bound last come first.
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnCloseRequest, this);

    wxStatusBar* bar = CreateStatusBar(3);
    const int widths[3] = {mstr::kStatusPane0Width, bar->GetTextExtent(mstr::kStatusPane1Sizing).x,
                           bar->GetTextExtent(mstr::kStatusPane2Sizing).x};
    bar->SetStatusWidths(3, widths);
    m_timer.Start(mstr::kStatusTimerMs);
    CFramePlacementHook::CentreOnPrimaryDisplay(*this);  // where a first start opens
}

CMainFrame::~CMainFrame()
{
    m_timer.Stop();
    m_port.Close();
    if (GetDocumentManager() && m_recentFileMenu)
        GetDocumentManager()->FileHistoryRemoveMenu(m_recentFileMenu);
}

bool CMainFrame::CreateClient(wxDocument* doc)
{
    if (!m_wndMainSplitter) {
        m_wndMainSplitter = new CSplitter(this);
        m_wndLeftSplitter = new CSplitter(m_wndMainSplitter->GetPaneHost(0), true);
        m_wndRightSplitter = new CSplitter(m_wndMainSplitter->GetPaneHost(1));
        m_state.m_nLeftViewWidth = mainframe::LeftColumnWidth(m_state.m_nLeftViewWidth);
        m_wndMainSplitter->SplitPanes(true, m_state.m_nLeftViewWidth);
    }
    const struct {
        CSplitter* splitter;
        int pane;
        const wxClassInfo* viewClass;
    } panes[] = {
        {m_wndLeftSplitter, 0, wxCLASSINFO(CDirectoryView)},
        {m_wndLeftSplitter, 1, wxCLASSINFO(CFoldersView)},
        {m_wndRightSplitter, 0, wxCLASSINFO(CTollbarView)},
        {m_wndRightSplitter, 1, ImagePaneClass(kViewThumbnails)},
    };
    for (const auto& p : panes)
        if (!p.splitter->GetPaneView(p.pane) && !p.splitter->CreateView(p.pane, p.viewClass, doc))
            return false;
    if (!m_wndLeftSplitter->IsSplit()) {
        // The recent folders keep their stored height at every start, whatever the
        // frame around them measures.
        m_wndLeftSplitter->SplitPanes(false, mainframe::LeftSashPosition(GetSize().GetHeight(),
                                                                         m_state.m_nLeftViewHeight));
        m_wndRightSplitter->SplitPanes(false, 100);
    }
    SendSizeEvent();
    return true;
}

const wxClassInfo* CMainFrame::ImagePaneClass(int viewMode)
{
    switch (viewMode) {
    case kViewThumbnails: return wxCLASSINFO(CImageView);
    case kViewThumbnailsAndDetails: return wxCLASSINFO(CImageListView);
    case kViewDetailsAndFolders: return wxCLASSINFO(CDetailListView);
    default: return nullptr;
    }
}

void CMainFrame::SwitchImageView(int viewMode)
{
    if (const wxClassInfo* viewClass = ImagePaneClass(viewMode); viewClass && m_wndRightSplitter)
        m_wndRightSplitter->ReplaceView(1, viewClass, viewMode);
}

CPaneView* CMainFrame::GetDirectoryView() const
{
    return m_wndLeftSplitter ? m_wndLeftSplitter->GetPaneView(0) : nullptr;
}

wxWindow* CMainFrame::GetLeftColumn() const { return m_wndLeftSplitter; }

CPaneView* CMainFrame::GetRecentFoldersView() const
{
    return m_wndLeftSplitter ? m_wndLeftSplitter->GetPaneView(1) : nullptr;
}

CPaneView* CMainFrame::GetToolPanelView() const
{
    return m_wndRightSplitter ? m_wndRightSplitter->GetPaneView(0) : nullptr;
}

CPaneView* CMainFrame::GetImagePaneView() const
{
    return m_wndRightSplitter ? m_wndRightSplitter->GetPaneView(1) : nullptr;
}

void CMainFrame::ShowTotals()
{
    const auto [files, kb] = m_state.GetTotals();
    SetStatusText(mainframe::ImageFilesText(files), 1);
    SetStatusText(mainframe::TotalKBText(kb), 2);
}

void CMainFrame::Raise()
{
    // The document manager raises the frame of a new document; the first one comes
    // before the placement keeper has given the frame its size, and raising would show it.
    if (IsShown())
        wxDocParentFrame::Raise();
}

void CMainFrame::OnTimer(wxTimerEvent&) { ShowTotals(); }

void CMainFrame::OnSize(wxSizeEvent& event)
{
    m_state.m_nThumbColumns = mainframe::ThumbColumnsForWidth(GetClientSize().GetWidth());
    event.Skip();
}

void CMainFrame::OnCloseRequest(wxCloseEvent& event)
{
    m_state.WriteRegString(std::to_string(GetSize().GetHeight()), "WindowHeight");
    // The window leaves the screen at once: the document's close writes the session and
    // the thumbnail cache, which takes seconds after a large folder, and a window that
    // stays meanwhile looks as if the close had been lost.
    Hide();
    lfplat::FlushDisplay();
    if (wxDocManager* manager = GetDocumentManager(); manager && !manager->Clear(!event.CanVeto())) {
        Show();
        event.Veto();
        return;
    }
    event.Skip();  // the document frame's handler, then OnClose, then the frame goes
}

void CMainFrame::OnClose(wxCloseEvent& event)
{
    // Written by the document's close, in the measure the next start restores.
    if (m_wndLeftSplitter && m_wndLeftSplitter->IsSplit())
        m_state.m_nLeftViewHeight = mainframe::StoredRecentHeight(m_wndLeftSplitter->GetClientSize().GetHeight(),
                                                                  m_wndLeftSplitter->GetSashPosition());
    event.Skip();  // the document manager closes the document, then the frame goes
}

void CMainFrame::OnAddFoundImage(lfplat::PostedMessageEvent&)
{
    // The list view the thread named may be gone by now: ask whichever view the image
    // pane holds at delivery.
    if (CPaneView* view = GetImagePaneView())
        view->AddImageItem();
}

void CMainFrame::OnDeleteHistory(wxCommandEvent& event)
{
    if (CPaneView* panel = GetToolPanelView())
        panel->ProcessEventLocally(event);
}

void CMainFrame::OnHelpFile(wxCommandEvent&)
{
    wxLaunchDefaultBrowser(wxString(mstr::kServiceWebHost) + mstr::kHelpPagePath);
}

void CMainFrame::OnPrintPreview(wxCommandEvent&) { PrintPreview(); }

void CMainFrame::PrintPreview()
{
    auto* doc = dynamic_cast<CQuorixDoc*>(GetDocumentManager()->GetCurrentDocument());
    CFolderItem* folder = doc ? doc->GetCurrentFolder() : nullptr;
    if (!folder || folder->m_strPath.empty()) {
        ShowMessage(mstr::kPrintNoFolder);
        return;
    }
    if (folder->ImageCount() == 0) {
        ShowMessage(mstr::kPrintNoImages);
        return;
    }
    for (const auto& image : folder->m_arrImages)
        image->m_bMarkedForPrint = image->m_bSelected.load();
    if (m_state.m_services.printLayout)
        m_state.m_services.printLayout(*doc, this);
}

void CMainFrame::ShowMessage(const char* text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        wxMessageBox(wxString::FromUTF8(text), mstr::kAppTitle, wxOK | wxICON_INFORMATION, this);
}

void CMainFrame::OnUpdateNoHandler(wxUpdateUIEvent& event) { event.Enable(false); }

void CMainFrame::OnUpdateRecentFile(wxUpdateUIEvent& event)
{
    wxDocManager* manager = GetDocumentManager();
    event.Enable(manager && manager->GetHistoryFilesCount() > 0);
}
