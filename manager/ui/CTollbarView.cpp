#include "manager/ui/CTollbarView.h"

#include "controls/CHoverButton.h"
#include "image/CLfImage.h"
#include "manager/ui/CDeleteHistoryDlg.h"
#include "manager/ui/CChangeViewDlg.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CFoldersView.h"
#include "manager/ui/CPaneHost.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSysImageList.h"
#include "manager/ui/CToolPanelArt.h"
#include "manager/model/CachedFolderLoad.h"
#include "manager/ui/ThumbnailBitmap.h"
#include "manager/model/ThumbnailMaker.h"
#include "manager/model/ToolPanelRules.h"
#include "resources/manager/ManagerDialogs.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ToolPanelPictures.h"
#include "platform/gui/NameText.h"

#include <wx/app.h>
#include <wx/bmpcbox.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>


wxIMPLEMENT_DYNAMIC_CLASS(CTollbarView, CPaneView);

// The commands the document's routing brings while the panel is the active view.
wxBEGIN_EVENT_TABLE(CTollbarView, CPaneView)
    EVT_MENU(ID_PANEL_SORT_NAME, CTollbarView::OnMenuCommand)
    EVT_MENU(ID_PANEL_SORT_SIZE, CTollbarView::OnMenuCommand)
    EVT_MENU(ID_PANEL_SORT_DATE, CTollbarView::OnMenuCommand)
    EVT_MENU_RANGE(ID_PANEL_SORT_FORWARD, ID_PANEL_VIEW_DETAILS_FOLDERS, CTollbarView::OnMenuCommand)
    EVT_MENU_RANGE(ID_PANEL_GRAPHIC_TEXT, ID_PANEL_HIDE_OTHER_FILES, CTollbarView::OnMenuCommand)
    EVT_MENU(ID_PANEL_SEARCH_NOTES, CTollbarView::OnMenuCommand)
    EVT_MENU(ID_FILE_NEW, CTollbarView::OnFileNew)
    EVT_MENU(ID_OPTIONS_DELETE_HISTORY, CTollbarView::OnDeleteHistoryCommand)
wxEND_EVENT_TABLE()

namespace {

const wxColour kPanelBackground(123, 142, 148);
const COLORREF kButtonKey = RGB(mpic::kKeyRed, mpic::kKeyGreen, mpic::kKeyBlue);
constexpr int kStripStart = 340;
constexpr int kStripTileWidth = 7;
constexpr int kStripHeight = 51;

// The view modes, the current one checked, then Refresh: the tail of the list-view menu
// and the whole view-by menu.
void AppendViewModeItems(wxMenu& menu, const CQuorixDoc& doc)
{
    menu.AppendCheckItem(ID_PANEL_VIEW_THUMBS_DETAIL, "Th&umbs+Detail")
        ->Check(doc.m_nViewMode == kViewThumbnailsAndDetails);
    menu.AppendCheckItem(ID_PANEL_VIEW_THUMBNAILS, "&Thumbnails")->Check(doc.m_nViewMode == kViewThumbnails);
    menu.AppendCheckItem(ID_PANEL_VIEW_DETAILS_FOLDERS, "&Details+folders")
        ->Check(doc.m_nViewMode == kViewDetailsAndFolders);
    menu.AppendSeparator();
    menu.Append(ID_DOC_REFRESH, "&Refresh");
}

struct PanelButton {
    int id;
    int picture;
    const char* tooltip;
    bool visible;
    wxRect place;  // where the layout puts a visible one (pixels)
};

// The address box's rectangle is computed from the panel's width.
constexpr int kAddressLeft = 115;
constexpr int kAddressTop = 75;
constexpr int kAddressHeight = 24;

const PanelButton kPanelButtons[] = {
    {ID_PANEL_EDITOR, 211, "Editor", true, {0, 0, 60, 51}},
    {ID_PANEL_SEARCH, 155, "Search", true, {60, 0, 54, 51}},
    {ID_PANEL_BATCH, 150, "Batch", true, {114, 0, 52, 51}},
    {ID_PANEL_FILE_OPS, 197, "You can also right click on the thumbnails for copy/del options.", true, {166, 0, 70, 51}},
    {ID_PANEL_PRINT, 247, "Print", true, {236, 0, 58, 51}},
    {ID_PANEL_UPLOAD, 207, "Upload", true, {294, 0, 65, 51}},
    {ID_PANEL_VIEW_MENU, 203, "View By", true, {10, 75, 101, 24}},
    {ID_PANEL_NOTES, 153, "Notes & Keyword", false, {}},
    {ID_PANEL_SORT_MENU, 157, "Sort By", false, {}},
    {ID_PANEL_VIEW_BY, 160, "View By", false, {}},
    {ID_IMAGE_COPY, 162, "Copy", false, {}},
    {ID_IMAGE_MOVE, 164, "Move", false, {}},
    {ID_IMAGE_DELETE, 167, "Delete", false, {}},
};

const PanelButton* FindPanelButton(int id)
{
    for (const PanelButton& button : kPanelButtons)
        if (button.id == id)
            return &button;
    return nullptr;
}

long IconStyle(toolpanel::MessageIcon icon)
{
    switch (icon) {
    case toolpanel::MessageIcon::Information: return wxICON_INFORMATION;
    case toolpanel::MessageIcon::Stop: return wxICON_ERROR;
    case toolpanel::MessageIcon::None: break;
    }
    return 0;
}

}  // namespace

CTollbarView::CTollbarView() = default;

CTollbarView::~CTollbarView()
{
    if (m_art)
        wxArtProvider::Delete(m_art);
}

// ---- Window and controls -------------------------------------------------------------

wxWindow* CTollbarView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    m_panel = new wxPanel(parent, wxID_ANY, wxDefaultPosition, size, wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE);
    m_panel->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_panel->SetBackgroundColour(kPanelBackground);
    // The pictures are made once, here; the buttons keep theirs from now on.
    m_art = new CToolPanelArt;
    wxArtProvider::Push(m_art);
    const wxBitmap& strip = m_art->Picture(mpic::kStripPicture);
    if (strip.IsOk())
        m_stripColumn = strip.GetSubBitmap(wxRect(0, 0, kStripTileWidth, kStripHeight));
    CreateControls();
    m_panel->Bind(wxEVT_PAINT, &CTollbarView::OnPaint, this);
    m_panel->Bind(wxEVT_SIZE, &CTollbarView::OnSize, this);
    m_panel->Bind(wxEVT_BUTTON, &CTollbarView::OnButton, this);
    return m_panel;
}

void CTollbarView::CreateControls()
{
    // Every control starts where the panel's layout table puts it; the visible buttons
    // and the address box move to their pixel places at the first paint.
    const DialogTemplate& layout = mdlg::ToolPanel();
    for (const DlgItem& item : layout.items) {
        const wxPoint pos = m_panel->ConvertDialogToPixels(wxPoint(item.x, item.y));
        const wxPoint extent = m_panel->ConvertDialogToPixels(wxPoint(item.width, item.height));
        const wxSize size(extent.x, extent.y);
        if (item.id == ID_PANEL_ADDRESS) {
            m_address = new wxBitmapComboBox(m_panel, item.id, wxString(), pos, size, 0, nullptr, wxCB_DROPDOWN);
            m_address->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnAddressChange(); });
            m_address->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { OnAddressChange(); });
            continue;
        }
        if (const PanelButton* spec = FindPanelButton(item.id)) {
            auto* button = new CHoverButton(m_panel, item.id, wxString(), pos, size);
            button->UseParentBackground(false);
            if (spec->id == ID_PANEL_VIEW_MENU)
                button->SetBitmaps(spec->picture, kButtonKey, spec->picture, kButtonKey);
            else
                button->SetBitmaps(spec->picture, kButtonKey);
            button->SetDrawBorder(true, false);
            button->SetTooltipText(wxString::FromUTF8(spec->tooltip), true);
            button->Show(spec->visible);
            m_buttons[item.id] = button;
            continue;
        }
        auto* button = new wxButton(m_panel, item.id, wxString::FromUTF8(item.text), pos, size);
        button->Hide();
        (item.id == ID_PANEL_ADD_TEXT ? m_addText : m_refresh) = button;
    }
}

void CTollbarView::LayOut()
{
    if (!m_panel)
        return;
    for (const PanelButton& spec : kPanelButtons)
        if (spec.visible)
            if (CHoverButton* button = GetButton(spec.id))
                button->SetSize(spec.place);
    if (m_address) {
        const int width = m_panel->GetClientSize().x;
        m_address->SetSize(kAddressLeft, kAddressTop, width - (kAddressLeft - 3), kAddressHeight);
        m_address->Refresh();
    }
}

CHoverButton* CTollbarView::GetButton(int id) const
{
    const auto found = m_buttons.find(id);
    return found != m_buttons.end() ? found->second : nullptr;
}

void CTollbarView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(m_panel);
    const wxSize client = m_panel->GetClientSize();
    dc.SetBrush(wxBrush(kPanelBackground));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, client.x, client.y);
    if (m_stripColumn.IsOk())
        for (int x = kStripStart; x <= client.x; x += kStripTileWidth)
            dc.DrawBitmap(m_stripColumn, x, 0);
    if (!m_bLaidOut) {
        LayOut();
        m_bLaidOut = true;
    }
}

void CTollbarView::OnSize(wxSizeEvent& event)
{
    if (m_bLaidOut)
        LayOut();
    event.Skip();
}

// ---- Document and neighbours -----------------------------------------------------------

CQuorixDoc* CTollbarView::Doc() const { return dynamic_cast<CQuorixDoc*>(GetDocument()); }

CFolderItem* CTollbarView::Folder() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->GetCurrentFolder() : nullptr;
}

CQuorixState* CTollbarView::State() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->GetAppState() : nullptr;
}

CPaneHost* CTollbarView::Host() const
{
    return m_panel ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_panel)) : nullptr;
}

void CTollbarView::OnUpdate(wxView*, wxObject*)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* current = Folder();
    if (!doc || !current || !m_address)
        return;
    doc->RememberCurrentFolder(false);
    m_bFillingAddress = true;
    m_address->Clear();
    CSysImageList* icons = Host() ? Host()->GetSysImageList() : nullptr;
    wxImageList* list = icons ? icons->GetImageList(true) : nullptr;
    const wxBitmap folderIcon =
        list && list->GetImageCount() > CSysImageList::kFolderIconIndex ? list->GetBitmap(CSysImageList::kFolderIconIndex)
                                                                      : wxBitmap();
    int shown = wxNOT_FOUND;
    for (size_t i = 0; i < doc->GetRecentCount(); ++i) {
        const std::string& path = doc->GetRecentFolder(i)->m_strPath;
        const int item = m_address->Append(lfplat::NameToDisplay(path), folderIcon);
        if (path == current->m_strPath)
            shown = item;
    }
    if (shown != wxNOT_FOUND)
        m_address->SetSelection(shown);
    else
        m_address->ChangeValue(wxString());
    m_strAddress = AddressPath();
    m_bFillingAddress = false;
}

std::string CTollbarView::AddressPath() const
{
    // The box shows paths as text: a listed folder's shown path stands for its bytes.
    const wxString text = m_address->GetValue();
    if (CQuorixDoc* doc = Doc())
        for (size_t i = 0; i < doc->GetRecentCount(); ++i)
            if (const std::string& path = doc->GetRecentFolder(i)->m_strPath; lfplat::NameToDisplay(path) == text)
                return path;
    return text.utf8_string();
}

// ---- Address box -------------------------------------------------------------------------

void CTollbarView::OnAddressChange()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* current = Folder();
    if (m_bFillingAddress || !doc || !current || !m_address)
        return;
    m_strAddress = AddressPath();
    std::vector<std::string> paths;
    for (size_t i = 0; i < doc->GetRecentCount(); ++i)
        paths.push_back(doc->GetRecentFolder(i)->m_strPath);
    const int index = toolpanel::RecentIndexOfAddress(paths, current->m_strPath, m_strAddress);
    if (index < 0)
        return;
    CFolderItem* folder = doc->GetRecentFolder(size_t(index));
    // The document stops the loaders, then frees an unlisted old folder and takes its
    // images out of the selection, before the entry becomes current.
    doc->SetCurrentFolder(folder);
    doc->m_nCurrentRecent = index;
    // As the recent folders view does: a folder never read in this run is read even when
    // the cache does not know it, or it would show empty.
    if (!folder->m_bThumbsComplete &&
        (!doc->GetCacheDirName(folder->m_strPath).empty() || folder->ImageCount() == 0)) {
        CPaneHost* host = Host();
        if (auto* recent = dynamic_cast<CFoldersView*>(host ? host->GetRecentFoldersView() : nullptr))
            recent->LoadFolder(folder->m_strPath);
    }
    m_panel->Refresh(true);
    doc->UpdateAllViews(this);
}

// ---- Commands ------------------------------------------------------------------------------

void CTollbarView::OnButton(wxCommandEvent& event)
{
    if (!RunCommand(event.GetId()))
        event.Skip();
}

void CTollbarView::OnMenuCommand(wxCommandEvent& event)
{
    if (!RunCommand(event.GetId()))
        event.Skip();
}

bool CTollbarView::RunCommand(int id)
{
    switch (id) {
    case ID_PANEL_EDITOR: OnEditor(); break;
    case ID_PANEL_SEARCH: OnSearch(); break;
    case ID_PANEL_BATCH: OnBatchMenu(); break;
    case ID_PANEL_FILE_OPS: OnFileOpMenu(); break;
    case ID_PANEL_PRINT: OnPrint(); break;
    case ID_PANEL_UPLOAD: OnUpload(); break;
    case ID_PANEL_VIEW_MENU: OnListViewMenu(); break;
    case ID_PANEL_SORT_MENU: OnSortByMenu(); break;
    case ID_PANEL_VIEW_BY: OnViewByMenu(); break;
    case ID_PANEL_NOTES: OnNotesKeywords(); break;
    case ID_IMAGE_COPY: OnCopy(); break;
    case ID_IMAGE_MOVE: OnMove(); break;
    case ID_IMAGE_DELETE: OnDelete(); break;
    case ID_DOC_REFRESH: OnRefresh(); break;
    case ID_PANEL_ADD_TEXT:
    case ID_PANEL_GRAPHIC_TEXT: OnAddGraphicalText(); break;
    case ID_PANEL_SORT_NAME: OnSortByName(); break;
    case ID_PANEL_SORT_SIZE: OnSortBySize(); break;
    case ID_PANEL_SORT_DATE: OnSortByDate(); break;
    case ID_PANEL_SORT_FORWARD: OnSortForward(); break;
    case ID_PANEL_SORT_REVERSE: OnSortReverse(); break;
    case ID_PANEL_VIEW_THUMBS_DETAIL: OnViewThumbsDetail(); break;
    case ID_PANEL_VIEW_THUMBNAILS: OnViewThumbnails(); break;
    case ID_PANEL_VIEW_DETAILS_FOLDERS: OnViewDetailsFolders(); break;
    case ID_PANEL_BATCH_RENAME: OnBatchRename(); break;
    case ID_PANEL_BATCH_RESIZE: OnBatchResize(); break;
    case ID_PANEL_SHOW_OTHER_FILES: OnShowOtherFiles(); break;
    case ID_PANEL_HIDE_OTHER_FILES: OnHideOtherFiles(); break;
    case ID_PANEL_SEARCH_NOTES: OnSearchNotesKeywords(); break;
    default: return false;
    }
    return true;
}

void CTollbarView::ShowMessage(const std::string& text, const std::string& caption, long icon)
{
    if (m_messageSink) {
        m_messageSink(text, caption);
        return;
    }
    const wxString title = caption.empty() ? wxTheApp->GetAppDisplayName() : wxString::FromUTF8(caption);
    wxMessageBox(wxString::FromUTF8(text), title, wxOK | icon, m_panel);
}

// ---- Sorting and view modes -----------------------------------------------------------------

void CTollbarView::Sort(int key, int order)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    // The loaders walk the folder's records by index: they end before the order changes,
    // and a thumbnail pass cut short runs again at the grid's next paint.
    if (CQuorixState* state = State()) {
        const bool running = state->m_threads.CountRunning() > 0;
        state->m_threads.StopAndWait(true, nullptr, state->m_pumpWhileWaiting);
        if (running && !folder->m_bThumbsComplete)
            folder->m_bThumbsNeeded = true;
    }
    doc->m_nSortKey = key;
    doc->m_nSortOrder = order;
    folder->SortImages(key, order);
    doc->UpdateAllViews(this);
}

void CTollbarView::OnSortByName()
{
    if (CQuorixDoc* doc = Doc()) {
        const auto next = toolpanel::SortByKey({doc->m_nSortKey, doc->m_nSortOrder}, kSortByName);
        Sort(next.key, next.order);
    }
}

void CTollbarView::OnSortBySize()
{
    if (CQuorixDoc* doc = Doc()) {
        const auto next = toolpanel::SortByKey({doc->m_nSortKey, doc->m_nSortOrder}, kSortBySize);
        Sort(next.key, next.order);
    }
}

void CTollbarView::OnSortByDate()
{
    if (CQuorixDoc* doc = Doc()) {
        const auto next = toolpanel::SortByKey({doc->m_nSortKey, doc->m_nSortOrder}, kSortByFileTime);
        Sort(next.key, next.order);
    }
}

void CTollbarView::OnSortForward()
{
    if (CQuorixDoc* doc = Doc())
        Sort(doc->m_nSortKey, kSortForward);
}

void CTollbarView::OnSortReverse()
{
    if (CQuorixDoc* doc = Doc())
        Sort(doc->m_nSortKey, kSortReverse);
}

void CTollbarView::SetViewMode(int mode)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    CQuorixState* state = State();
    if (!doc || !folder || !state)
        return;
    folder->m_nViewMode = mode;
    doc->m_nViewMode = mode;
    CPaneHost* host = Host();
    CChangeViewDlg dialog(nullptr, state->m_threads);
    dialog.SetTarget(doc, false, [host, doc] {
        if (host)
            host->SwitchImageView(doc->m_nViewMode);
    });
    dialog.ShowModal();
}

void CTollbarView::OnViewThumbsDetail() { SetViewMode(kViewThumbnailsAndDetails); }
void CTollbarView::OnViewThumbnails() { SetViewMode(kViewThumbnails); }
void CTollbarView::OnViewDetailsFolders() { SetViewMode(kViewDetailsAndFolders); }

void CTollbarView::OnShowOtherFiles()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    doc->m_bShowOtherFiles = true;
    if (doc->m_nViewMode == kViewDetailsAndFolders)
        doc->UpdateAllViews(this);
    else
        SetViewMode(kViewDetailsAndFolders);
}

void CTollbarView::OnHideOtherFiles()
{
    if (CQuorixDoc* doc = Doc()) {
        doc->m_bShowOtherFiles = false;
        doc->UpdateAllViews(this);
    }
}

// ---- Pop-up menus -----------------------------------------------------------------------------

void CTollbarView::RunMenu(wxMenu& menu, const wxPoint& at)
{
    int chosen = wxID_NONE;
    if (m_menuRunner)
        chosen = m_menuRunner(menu, at);
    else if (m_panel)
        chosen = m_panel->GetPopupMenuSelectionFromUser(menu, at);
    if (chosen != wxID_NONE)
        RunCommand(chosen);
}

void CTollbarView::OnListViewMenu()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxMenu menu;
    menu.AppendCheckItem(ID_PANEL_SORT_NAME, "List by Filename")->Check(doc->m_nSortKey == kSortByName);
    menu.AppendCheckItem(ID_PANEL_SORT_SIZE, "List by Size")->Check(doc->m_nSortKey == kSortBySize);
    menu.AppendCheckItem(ID_PANEL_SORT_DATE, "List by Date")->Check(doc->m_nSortKey == kSortByFileTime);
    menu.AppendSeparator();
    AppendViewModeItems(menu, *doc);
    RunMenu(menu, wxPoint(0, 75));
}

void CTollbarView::OnSortByMenu()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxMenu menu;
    menu.AppendCheckItem(ID_PANEL_SORT_NAME, "&Name")->Check(doc->m_nSortKey == kSortByName);
    menu.AppendCheckItem(ID_PANEL_SORT_SIZE, "&Size")->Check(doc->m_nSortKey == kSortBySize);
    menu.AppendSeparator();
    menu.AppendCheckItem(ID_PANEL_SORT_FORWARD, "&Forward")->Check(doc->m_nSortOrder == kSortForward);
    menu.AppendCheckItem(ID_PANEL_SORT_REVERSE, "&Reverse")->Check(doc->m_nSortOrder != kSortForward);
    RunMenu(menu, wxPoint(150, 55));
}

void CTollbarView::OnViewByMenu()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxMenu menu;
    AppendViewModeItems(menu, *doc);
    RunMenu(menu, wxPoint(150, 55));
}

void CTollbarView::OnBatchMenu()
{
    wxMenu menu;
    menu.Append(ID_PANEL_BATCH_RENAME, "Batch Rename");
    menu.Append(ID_PANEL_BATCH_RESIZE, "Batch Resize");
    menu.Append(ID_PANEL_GRAPHIC_TEXT, "Add Graphical Text");
    RunMenu(menu, wxPoint(120, 55));
}

void CTollbarView::OnFileOpMenu()
{
    wxMenu menu;
    menu.Append(ID_IMAGE_COPY, "Copy");
    menu.Append(ID_IMAGE_MOVE, "Move");
    menu.Append(ID_IMAGE_DELETE, "Delete");
    RunMenu(menu, wxPoint(170, 55));
}

// ---- Batch jobs, graphical text, notes ---------------------------------------------------------

void CTollbarView::RunBatch(void (*pick)(CQuorixDoc&, ManagerServices&))
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    const toolpanel::PanelMessage refusal = toolpanel::BatchRefusal(toolpanel::CountSelection(*folder));
    if (refusal.text) {
        ShowMessage(refusal.text, refusal.caption, IconStyle(refusal.icon));
        return;
    }
    if (CQuorixState* state = State())
        pick(*doc, state->m_services);
}

void CTollbarView::OnBatchRename()
{
    RunBatch([](CQuorixDoc& doc, ManagerServices& services) {
        if (services.batchRename)
            services.batchRename(doc);
    });
}

void CTollbarView::OnBatchResize()
{
    RunBatch([](CQuorixDoc& doc, ManagerServices& services) {
        if (services.batchResize)
            services.batchResize(doc);
    });
}

void CTollbarView::OnAddGraphicalText()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    CQuorixState* state = State();
    if (!doc || !folder)
        return;
    const toolpanel::PanelMessage refusal = toolpanel::GraphicTextRefusal(toolpanel::CountSelection(*folder));
    if (refusal.text) {
        ShowMessage(refusal.text, refusal.caption, IconStyle(refusal.icon));
        return;
    }
    if (!state || !state->m_services.graphicText)
        return;
    state->m_services.graphicText(*doc);
    // The job saved pictures: show where they went.
    if (doc->m_arrTextSavedFiles.empty())
        return;
    CPaneHost* host = Host();
    if (auto* tree = dynamic_cast<CDirectoryView*>(host ? host->GetDirectoryView() : nullptr)) {
        tree->Activate(true);
        tree->SelectPath(doc->m_strTextOutputFolder);
    }
    doc->Refresh();
}

void CTollbarView::OnNotesKeywords()
{
    CFolderItem* folder = Folder();
    if (!folder)
        return;
    const toolpanel::PanelMessage message = toolpanel::NotesMessage(toolpanel::CountSelection(*folder));
    if (message.text)
        ShowMessage(message.text, message.caption, IconStyle(message.icon));
}

// ---- Search --------------------------------------------------------------------------------------

void CTollbarView::RunSearch(const char* caption)
{
    m_strAddress.clear();
    if (m_address) {
        m_bFillingAddress = true;
        m_address->ChangeValue(wxString());
        m_bFillingAddress = false;
    }
    CQuorixDoc* doc = Doc();
    CQuorixState* state = State();
    if (doc && state && state->m_services.search)
        state->m_services.search(*doc, m_panel ? wxGetTopLevelParent(m_panel) : nullptr, caption);
}

void CTollbarView::OnSearch() { OnSearchFilename(); }
void CTollbarView::OnSearchFilename() { RunSearch("Search by Filename"); }
void CTollbarView::OnSearchNotesKeywords() { RunSearch("Search by Notes/Keywords"); }

// ---- Editor, print, upload, refresh ------------------------------------------------------------------

void CTollbarView::OnEditor()
{
    if (CQuorixDoc* doc = Doc())
        doc->EditImage(kSelectedImageIndex);
}

void CTollbarView::OnPrint()
{
    if (CPaneHost* host = Host())
        host->PrintPreview();
}

void CTollbarView::OnUpload()
{
    if (CQuorixDoc* doc = Doc())
        doc->OnUpload();
}

void CTollbarView::OnRefresh()
{
    if (CQuorixDoc* doc = Doc())
        doc->Refresh();
}

// ---- Copy, move, delete --------------------------------------------------------------------------------

bool CTollbarView::NothingSelected(const char* text, const char* caption)
{
    CQuorixDoc* doc = Doc();
    if (doc && Folder() && doc->GetSelectedCount() > 0)
        return false;
    ShowMessage(text, caption, wxICON_INFORMATION);
    return true;
}

void CTollbarView::OnCopy()
{
    if (NothingSelected("Please select one or more images in order to use this function.", "Copy Image"))
        return;
    if (CQuorixState* state = State(); state && state->m_services.destination)
        state->m_services.destination(*Doc(), 1);
}

void CTollbarView::OnMove()
{
    if (NothingSelected("Please select one or more images in order to use this function.", "Move Image"))
        return;
    if (CQuorixState* state = State(); state && state->m_services.destination)
        state->m_services.destination(*Doc(), 0);
}

void CTollbarView::OnDelete()
{
    if (NothingSelected("Please select one or more images in order to use this function.", "Delete Image"))
        return;
    const std::string question = " The file(s) you have selected will be deleted \n Are you sure ?";
    const bool yes = m_questionSink ? m_questionSink(question)
                                    : wxMessageBox(wxString::FromUTF8(question), wxTheApp->GetAppDisplayName(),
                                                   wxYES_NO | wxICON_QUESTION, m_panel) == wxYES;
    if (!yes)
        return;
    if (CQuorixState* state = State(); state && state->m_services.deleteFiles)
        state->m_services.deleteFiles(*Doc());
}

// ---- Delete History --------------------------------------------------------------------------------------

void CTollbarView::DeleteHistory()
{
    CDeleteHistoryDlg dialog(nullptr);
    const int result = m_dialogRunner ? m_dialogRunner(dialog) : dialog.ShowModal();
    if (result != wxID_CANCEL && m_address) {
        m_bFillingAddress = true;
        m_address->Clear();
        m_bFillingAddress = false;
    }
}

// ---- The cached folder load ----------------------------------------------------------------------------------

bool CTollbarView::IsImageFile(const std::string& path) { return cachedload::IsImageFile(path); }

void CTollbarView::LoadFolderWithCache(const std::string& path)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder || path.empty())
        return;
    if (CQuorixState* state = State())
        state->m_threads.StopAndWait(true, nullptr, state->m_pumpWhileWaiting);
    cachedload::LoadFolderWithCache(path, doc->GetCacheDirName(path), *folder);
}

wxBitmap CTollbarView::MakeThumbnail(const CLfImage* source, int maxWidth, int maxHeight, bool fit)
{
    if (!source) {
        if (m_pImageInProgress) {
            m_pImageInProgress->m_nThumbWidth = maxWidth;
            m_pImageInProgress->m_nThumbHeight = maxHeight;
        }
        return m_art ? m_art->Picture(mpic::kNoPictureThumb) : mpic::MakeToolPanelPicture(mpic::kNoPictureThumb);
    }
    CLfImage copy(*source);
    const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&copy, maxWidth, maxHeight);
    if (fit && m_pImageInProgress) {
        m_pImageInProgress->m_nThumbWidth = pair.fitted->width;
        m_pImageInProgress->m_nThumbHeight = pair.fitted->height;
    }
    return BitmapOfPixels(fit ? *pair.fitted : *pair.framed);
}
