#include "manager/ui/CSort_listView.h"

#include "manager/ui/CDirectoryView.h"
#include "manager/model/CImageThread.h"
#include "manager/ui/CListPrintout.h"
#include "manager/ui/CPaneHost.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSysImageList.h"
#include "manager/model/EditorHandOff.h"
#include "platform/FolderPaths.h"
#include "manager/ui/ImageCommands.h"
#include "manager/model/FolderScan.h"
#include "manager/model/ListRows.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/ThumbnailMaker.h"
#include "platform/gui/PostedMessageEvent.h"
#include "controls/CPreviewFrame.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ManagerMenus.h"
#include "resources/manager/ManagerStrings.h"
#include "resources/manager/ToolPanelPictures.h"
#include "platform/gui/NameText.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/print.h>
#include <wx/printdlg.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

constexpr int kFillBatchMessage = lfplat::kUserMessage + 1;

}  // namespace

wxIMPLEMENT_ABSTRACT_CLASS(CSort_listView, CPaneView);

wxBEGIN_EVENT_TABLE(CSort_listView, CPaneView)
    EVT_MENU(ID_FILE_PRINT, CSort_listView::OnPrint)
    EVT_MENU(ID_FILE_PRINT_DIRECT, CSort_listView::OnPrint)
    EVT_MENU(ID_FILE_PRINT_PREVIEW, CSort_listView::OnPrintPreview)
    EVT_UPDATE_UI(ID_FILE_PRINT, CSort_listView::OnUpdatePrint)
    EVT_UPDATE_UI(ID_FILE_PRINT_PREVIEW, CSort_listView::OnUpdatePrint)
wxEND_EVENT_TABLE()

const wxColour CSort_listView::kHighlight(thumbs::kBackgroundRed, thumbs::kBackgroundGreen, thumbs::kBackgroundBlue);
const char* const CSort_listView::kSelectFirstText = "Please select one or more images in order to use this function.";
const char* const CSort_listView::kDeleteQuestion = " The file(s) you have selected will be deleted.\nAre you sure?";
const char* const CSort_listView::kSeveralToRenameText =
    "You have more than one image selected. Please select a single image to Rename";

// The list control: a virtual report list whose texts, pictures and colours come from
// the view's rows.
class CRowListCtrl : public wxListCtrl {
public:
    CRowListCtrl(CSort_listView& view, wxWindow* parent, const wxSize& size)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, size, wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
          m_view(view)
    {
    }

    wxString OnGetItemText(long item, long column) const override
    {
        const ListRowItem* row = m_view.Row(size_t(item));
        return row ? lfplat::NameToDisplay(listrows::ColumnText(*row, int(column))) : wxString();
    }
    int OnGetItemColumnImage(long item, long column) const override
    {
        const ListRowItem* row = column == 0 ? m_view.Row(size_t(item)) : nullptr;
        return row ? row->imageIndex : -1;
    }

private:
    CSort_listView& m_view;
};

CSort_listView::CSort_listView() = default;

CSort_listView::~CSort_listView()
{
    // The fill posts to this view's list: it ends before the list goes.
    if (CQuorixState* state = State())
        state->m_threads.StopAndWait(true);
    if (CQuorixDoc* doc = Doc())
        doc->m_arrListRows.clear();
    EndDragImage();
}

CQuorixDoc* CSort_listView::Doc() const { return dynamic_cast<CQuorixDoc*>(GetDocument()); }

CFolderItem* CSort_listView::Folder() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->GetCurrentFolder() : nullptr;
}

CQuorixState* CSort_listView::State() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->GetAppState() : nullptr;
}

wxWindow* CSort_listView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    auto* list = new CRowListCtrl(*this, parent, size);
    m_list = list;
    if (ViewMode() == kViewThumbnailsAndDetails) {
        m_thumbnails = std::make_unique<wxImageList>(thumbs::kThumbWidth, thumbs::kThumbHeight, true, 0);
        m_list->SetImageList(m_thumbnails.get(), wxIMAGE_LIST_SMALL);
    } else if (auto* host = dynamic_cast<CPaneHost*>(wxGetTopLevelParent(parent)); host && host->GetSysImageList()) {
        m_list->SetImageList(host->GetSysImageList()->GetImageList(true), wxIMAGE_LIST_SMALL);
    }
    // The size column is as wide as a large file's text in this desktop's font, never
    // narrower than its nominal width: "175.83 KB" was cut short in 70 pixels.
    const int sizeWidth = std::max(kSizeWidth, m_list->GetTextExtent("99999.99 KB").x + 16);
    int dateWidth = 150;
    if (auto* host = dynamic_cast<CPaneHost*>(wxGetTopLevelParent(parent))) {
        const int frameWidth = wxGetTopLevelParent(parent)->GetClientSize().x;
        const int left = host->GetLeftColumn() ? host->GetLeftColumn()->GetSize().x : 0;
        dateWidth = std::max(80, frameWidth - left - (kNameWidth + sizeWidth + 10));
    }
    m_list->AppendColumn("Filename", wxLIST_FORMAT_LEFT, kNameWidth);
    m_list->AppendColumn("Size", wxLIST_FORMAT_LEFT, sizeWidth);
    m_list->AppendColumn("Date", wxLIST_FORMAT_LEFT, dateWidth);

    m_fillInbox = std::make_unique<lfplat::MessageInbox<CImageShow::Batch>>(m_list, kFillBatchMessage);
    m_list->Bind(lfplat::EVT_POSTED_MESSAGE, &CSort_listView::OnFillMessage, this, kFillBatchMessage);
    m_list->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { ColumnClick(e.GetColumn()); });
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& e) { ScheduleSync(), e.Skip(); });
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent& e) { ScheduleSync(), e.Skip(); });
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& e) { DoubleClick(int(e.GetIndex())); });
    m_list->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, [this](wxListEvent& e) {
        RightClick(int(e.GetIndex()), m_list->ScreenToClient(wxGetMousePosition()));
    });
    m_list->Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent& e) { BeginDrag(int(e.GetIndex())); });
    m_list->Bind(wxEVT_MENU, &CSort_listView::OnCommand, this, ID_IMAGE_EDITOR);
    m_list->Bind(wxEVT_MENU, &CSort_listView::OnCommand, this, ID_IMAGE_COPY, ID_IMAGE_DELETE);
    m_list->Bind(wxEVT_MENU, &CSort_listView::OnCommand, this, ID_IMAGE_RENAME);
    // Mouse input reaches the window that holds the rows, not the control.
    if (wxWindow* items = ItemWindow()) {
        items->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
            if (m_bDragging)
                Drop(wxGetMousePosition());
            else
                ScheduleSync();
            e.Skip();
        });
        items->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
            if (m_bDragging)
                DragMove(wxGetMousePosition());
            e.Skip();
        });
        items->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
            if (m_bDragging)
                Drop(wxPoint(-1, -1));
        });
        items->Bind(wxEVT_RIGHT_UP, [this, items](wxMouseEvent& e) {
            int flags = 0;
            const wxPoint at = m_list->ScreenToClient(items->ClientToScreen(e.GetPosition()));
            if (m_list->HitTest(e.GetPosition(), flags) < 0)
                RightClick(-1, at);
            e.Skip();
        });
    }
    // The first fill, once the view has joined its document.
    m_list->CallAfter([this] { RefreshList(); });
    return m_list;
}

wxWindow* CSort_listView::ItemWindow() const
{
    if (!m_list)
        return nullptr;
    // The report list keeps its rows in a child window below the header: the tallest one.
    wxWindow* items = m_list;
    int tallest = -1;
    for (wxWindow* child : m_list->GetChildren())
        if (child->GetSize().y > tallest && wxString(child->GetClassInfo()->GetClassName()) != "wxListHeaderWindow") {
            tallest = child->GetSize().y;
            items = child;
        }
    return items;
}

// ---- Rows ------------------------------------------------------------------------

size_t CSort_listView::RowCount() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->m_arrListRows.size() : 0;
}

const ListRowItem* CSort_listView::Row(size_t index) const
{
    CQuorixDoc* doc = Doc();
    return doc && index < doc->m_arrListRows.size() ? doc->m_arrListRows[index].get() : nullptr;
}

void CSort_listView::OnUpdate(wxView*, wxObject*) { RefreshList(); }

void CSort_listView::ClearRows()
{
    ++m_nFill;  // batches of an earlier fill still queued are dropped
    m_rowImages.clear();
    if (CQuorixDoc* doc = Doc())
        doc->m_arrListRows.clear();
    if (m_thumbnails)
        m_thumbnails->RemoveAll();
    if (m_list) {
        if (m_nNameWidthBefore > 0 && m_list->GetColumnCount() > 0)
            m_list->SetColumnWidth(0, m_nNameWidthBefore);  // as it was before long names widened it
        m_nNameWidthBefore = 0;
        m_bChangingSelection = true;
        m_list->SetItemCount(0);
        m_list->Refresh();
        m_bChangingSelection = false;
    }
}

void CSort_listView::RefreshList()
{
    CQuorixDoc* doc = Doc();
    CQuorixState* state = State();
    m_bFillDone = true;
    if (!doc || !m_list)
        return;
    // The rows name records that are about to change: no fill may run on.
    if (state)
        state->m_threads.StopAndWait(true, nullptr, state->m_pumpWhileWaiting);
    ClearRows();
    if (ViewMode() == kViewThumbnailsAndDetails)
        doc->m_bViewReplaced = false;
    CFolderItem* folder = doc->GetCurrentFolder();
    if (!state || !folder || folder->m_strPath.empty())
        return;

    CImageShow::Settings settings;
    settings.viewMode = ViewMode();
    settings.showOtherFiles = doc->m_bShowOtherFiles;
    settings.cacheFolder = doc->GetCacheDirName(folder->m_strPath);
    settings.placeholderPath = state->m_strAppFolder + mstr::kPlaceholderPicture;
    settings.fill = m_nFill;
    // The sink runs on the fill's thread: it only queues, to the list.
    auto fill = std::make_unique<CImageShow>(
        *state, *folder, std::move(settings),
        [sender = m_fillInbox->GetSender()](CImageShow::Batch batch) { sender.Send(std::move(batch)); });
    m_bFillDone = false;
    if (!state->m_threads.Start(std::move(fill)))
        m_bFillDone = true;  // no thread: the list stays empty
}

int CSort_listView::IconOf(const ListRowItem& row) const
{
    switch (row.kind) {
    case ListRowItem::Kind::ParentFolder: return CSysImageList::GetCurrentFolderIconIndex();
    case ListRowItem::Kind::Folder: return CSysImageList::kFolderIconIndex;
    default: break;
    }
    auto* host = m_list ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_list)) : nullptr;
    CSysImageList* icons = host ? host->GetSysImageList() : nullptr;
    return icons ? icons->GetIconIndex(row.name) : -1;
}

void CSort_listView::AppendRow(std::unique_ptr<ListRowItem> row)
{
    CQuorixDoc* doc = Doc();
    if (row->image && !m_rowImages.insert(row->image).second)
        return;  // a search result that has its row already
    if (row->image && (!row->cachedDescription.empty() || !row->cachedKeywords.empty()))
        if (CFolderItem* folder = Folder())
            for (const auto& image : folder->m_arrImages)
                if (image.get() == row->image)
                    CImageThread::TakeCachedNotes(*image, row->cachedDescription, row->cachedKeywords);
    if (ViewMode() == kViewThumbnailsAndDetails) {
        row->imageIndex = -1;
        if (row->thumbnail && m_thumbnails) {
            const wxBitmap bitmap = BitmapOfPixels(*row->thumbnail);
            if (bitmap.IsOk())
                row->imageIndex = m_thumbnails->Add(bitmap);
        }
        row->thumbnail.reset();  // the list holds the picture now
    } else {
        row->imageIndex = IconOf(*row);
    }
    doc->m_arrListRows.push_back(std::move(row));
}

void CSort_listView::OnFillMessage(lfplat::PostedMessageEvent&)
{
    if (!m_fillInbox)
        return;
    for (CImageShow::Batch& batch : m_fillInbox->TakeAll())
        OnBatch(batch);
}

void CSort_listView::OnBatch(CImageShow::Batch& batch)
{
    CQuorixDoc* doc = Doc();
    if (!doc || !m_list || batch.fill != m_nFill)
        return;
    const size_t first = doc->m_arrListRows.size();
    const int pictures = m_thumbnails ? m_thumbnails->GetImageCount() : 0;
    for (auto& row : batch.rows)
        AppendRow(std::move(row));
    FitRowHeight(pictures);
    FitNameColumn(first);
    m_bChangingSelection = true;
    m_list->SetItemCount(long(doc->m_arrListRows.size()));
    for (size_t i = first; i < doc->m_arrListRows.size(); ++i)
        if (doc->m_arrListRows[i]->selected)
            m_list->SetItemState(long(i), wxLIST_STATE_SELECTED | wxLIST_STATE_DROPHILITED,
                                 wxLIST_STATE_SELECTED | wxLIST_STATE_DROPHILITED);
    m_bChangingSelection = false;
    m_list->Refresh();
    if (batch.last)
        m_bFillDone = true;
}

void CSort_listView::AddImageItem()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    CQuorixState* state = State();
    if (!doc || !folder || !m_list)
        return;
    const int pictures = m_thumbnails ? m_thumbnails->GetImageCount() : 0;
    const size_t first = doc->m_arrListRows.size();
    // Each record of the folder that has no row yet gets one: the search appends its
    // records at the end, and a record that left the folder meanwhile is no longer there.
    for (const auto& record : folder->m_arrImages) {
        const CImageItem* image = record.get();
        if (m_rowImages.count(image))
            continue;
        auto row = std::make_unique<ListRowItem>();
        row->name = image->m_strName;
        row->sizeKB = double(image->m_nSize) / 1024.0;
        row->lastWrite = image->m_tLastWrite;
        row->description = image->m_strDescription;
        row->image = image;
        row->thumbnail = image->GetFramedThumbnail();
        if (state)
            state->AddToTotals(1, row->sizeKB);
        AppendRow(std::move(row));
    }
    FitRowHeight(pictures);
    FitNameColumn(first);
    m_list->SetItemCount(long(doc->m_arrListRows.size()));
    m_list->Refresh();
    m_list->Update();
}

void CSort_listView::FitNameColumn(size_t first)
{
    CQuorixDoc* doc = Doc();
    if (!doc || !m_list || m_list->GetColumnCount() == 0)
        return;
    // A search's rows are whole paths: the column grows until the longest reads whole,
    // and the list scrolls sideways when it grows past the pane.
    int picture = 0, pictureHeight = 0;
    if (wxImageList* pictures = m_list->GetImageList(wxIMAGE_LIST_SMALL); pictures && pictures->GetImageCount() > 0)
        pictures->GetSize(0, picture, pictureHeight);
    constexpr int kPadding = 16;  // the list's margins around the picture and the text
    const int width = m_list->GetColumnWidth(0);
    // A name shorter than this many bytes fits whatever its letters.
    const size_t surelyFits = size_t(std::max(0, width - picture - kPadding) / (2 * m_list->GetCharWidth()));
    int needed = width;
    for (size_t i = first; i < doc->m_arrListRows.size(); ++i) {
        const std::string& name = doc->m_arrListRows[i]->name;
        if (name.size() > surelyFits)
            needed = std::max(needed, picture + m_list->GetTextExtent(lfplat::NameToDisplay(name)).x + kPadding);
    }
    if (needed <= width)
        return;
    if (m_nNameWidthBefore == 0)
        m_nNameWidthBefore = width;
    m_list->SetColumnWidth(0, needed);
}

void CSort_listView::FitRowHeight(int picturesBefore)
{
    // The list measures its row height once, by its font and by its first picture if it
    // has one then, and keeps it: a list that was measured while it had no picture yet
    // (as a fresh list for search results is) cuts every picture to a line of text.
    // Setting the pictures again makes it measure anew.
    if (m_list && m_thumbnails && picturesBefore == 0 && m_thumbnails->GetImageCount() > 0)
        m_list->SetImageList(m_thumbnails.get(), wxIMAGE_LIST_SMALL);
}

// ---- Sorting and selection --------------------------------------------------------

void CSort_listView::ColumnClick(int column)
{
    CQuorixDoc* doc = Doc();
    if (!doc || !listrows::ClickColumn(column, doc->m_nSortKey, m_bDescending))
        return;
    // The list's selection belongs to positions: carry it over to the rows' new places.
    std::unordered_set<const ListRowItem*> selected;
    for (long i : SelectedRows())
        selected.insert(doc->m_arrListRows[size_t(i)].get());
    listrows::SortRows(doc->m_arrListRows, column, m_bDescending);
    if (!m_list)
        return;
    m_bChangingSelection = true;
    m_list->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    for (size_t i = 0; i < doc->m_arrListRows.size(); ++i)
        if (selected.count(doc->m_arrListRows[i].get()))
            m_list->SetItemState(long(i), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    m_bChangingSelection = false;
    m_list->Refresh();
}

std::vector<long> CSort_listView::SelectedRows() const
{
    std::vector<long> rows;
    if (!m_list)
        return rows;
    for (long i = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
         i = m_list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        if (size_t(i) < RowCount())
            rows.push_back(i);
    return rows;
}

void CSort_listView::ScheduleSync()
{
    if (m_bChangingSelection || m_bSyncPending || !m_list)
        return;
    m_bSyncPending = true;
    m_list->CallAfter([this] {
        m_bSyncPending = false;
        SyncSelection();
    });
}

int CSort_listView::FlagSelectedRows(bool list)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return 0;
    for (const auto& image : folder->m_arrImages) {
        image->m_bSelected = false;
        if (list)
            doc->UpdateSelectionList(image.get(), false);
    }
    if (m_list)
        m_list->SetItemState(-1, 0, wxLIST_STATE_DROPHILITED);
    std::unordered_multimap<std::string, CImageItem*> byName;
    for (const auto& image : folder->m_arrImages)
        byName.emplace(image->m_strName, image.get());
    int flagged = 0;
    for (long i : SelectedRows()) {
        const auto [begin, end] = byName.equal_range(doc->m_arrListRows[size_t(i)]->name);
        for (auto it = begin; it != end; ++it) {
            it->second->m_bSelected = true;
            if (list)
                doc->UpdateSelectionList(it->second, true);
            ++flagged;
        }
    }
    return flagged;
}

void CSort_listView::RememberFolder()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder || folder->ImageCount() == 0 || doc->m_bSearchResults)
        return;
    doc->RememberCurrentFolder(true);
    auto* host = m_list ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_list)) : nullptr;
    if (CPaneView* recent = host ? host->GetRecentFoldersView() : nullptr)
        if (wxWindow* window = recent->GetPaneWindow())
            window->Refresh();
}

void CSort_listView::SyncSelection()
{
    FlagSelectedRows(true);
    RememberFolder();
}

std::vector<CImageItem*> CSort_listView::SelectedImages() const
{
    std::vector<CImageItem*> images;
    if (const CFolderItem* folder = Folder())
        for (const auto& image : folder->m_arrImages)
            if (image->m_bSelected)
                images.push_back(image.get());
    return images;
}

// ---- Context menu and commands ------------------------------------------------------

void CSort_listView::RightClick(int hit, const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    m_clickPoint = point;
    if (hit < 0) {
        for (const auto& image : folder->m_arrImages)
            image->m_bSelected = false;
    } else {
        FlagSelectedRows(false);
    }
    RememberFolder();
    if (SelectedImages().empty())
        return;
    wxMenu menu;
    AppendImageCommands(menu);
    if (m_menuRunner)
        m_menuRunner(menu, point);
    else if (m_list)
        m_list->PopupMenu(&menu, point);
}

void CSort_listView::OnCommand(wxCommandEvent& event)
{
    if (!RunImageCommand(*this, event.GetId()))
        event.Skip();
}

void CSort_listView::ShowMessage(const std::string& text, const std::string& caption, long icon)
{
    if (m_messageSink) {
        m_messageSink(text, caption);
        return;
    }
    const wxString title = caption.empty() ? wxTheApp->GetAppDisplayName() : wxString::FromUTF8(caption);
    wxMessageBox(wxString::FromUTF8(text), title, wxOK | icon, m_list);
}

bool CSort_listView::Ask(const std::string& text)
{
    if (m_questionSink)
        return m_questionSink(text);
    return wxMessageBox(wxString::FromUTF8(text), wxTheApp->GetAppDisplayName(), wxYES_NO | wxICON_QUESTION,
                        m_list) == wxYES;
}

void CSort_listView::OnEditor()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    const std::vector<CImageItem*> images = SelectedImages();
    if (images.size() > 1) {
        ShowMessage(EditorHandOff::kSeveralSelectedText, "", 0);
        return;
    }
    if (images.empty()) {
        ShowMessage(doc->m_strNoImageText, "", wxICON_INFORMATION);
        return;
    }
    for (size_t i = 0; i < folder->ImageCount(); ++i)
        if (folder->Image(i) == images.front())
            doc->EditImage(int(i));
}

void CSort_listView::OnCopy()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    if (SelectedImages().empty()) {
        ShowMessage(kSelectFirstText, "Copy Image", wxICON_INFORMATION);
        return;
    }
    if (CQuorixState* state = State(); state && state->m_services.destination)
        state->m_services.destination(*doc, 1);
}

void CSort_listView::OnMove()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    if (SelectedImages().empty()) {
        ShowMessage(kSelectFirstText, "Move Image", wxICON_INFORMATION);
        return;
    }
    if (CQuorixState* state = State(); state && state->m_services.destination)
        state->m_services.destination(*doc, 0);
}

void CSort_listView::OnDelete()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    if (SelectedImages().empty()) {
        ShowMessage(kSelectFirstText, "Delete Image", wxICON_INFORMATION);
        return;
    }
    if (!Ask(kDeleteQuestion))
        return;
    if (CQuorixState* state = State(); state && state->m_services.deleteFiles)
        state->m_services.deleteFiles(*doc);
}

void CSort_listView::OnRename()
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    const std::vector<CImageItem*> images = SelectedImages();
    if (images.size() > 1) {
        ShowMessage(kSeveralToRenameText, "", wxICON_INFORMATION);
        return;
    }
    if (images.empty()) {
        ShowMessage(doc->m_strNoImageText, "", wxICON_INFORMATION);
        return;
    }
    const std::string name = images.front()->m_strName;
    // A name without a dot is all stem: it has no extension to keep.
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    CQuorixState* state = State();
    if (state && state->m_services.renameFile && state->m_services.renameFile(*doc, stem, name, extension))
        doc->Refresh();
}

// ---- Double click and opening folders ----------------------------------------------

void CSort_listView::DoubleClick(int hit)
{
    CQuorixDoc* doc = Doc();
    if (!doc || hit < 0 || size_t(hit) >= RowCount())
        return;
    SyncSelection();
    std::vector<std::string> names;
    for (long i : SelectedRows())
        names.push_back(doc->m_arrListRows[size_t(i)]->name);
    for (const std::string& name : names) {
        CFolderItem* folder = Folder();
        if (!folder)
            return;
        if (ViewMode() == kViewDetailsAndFolders) {
            for (const std::string& sub : folder->m_arrSubfolders) {
                if (sub != name)
                    continue;
                const std::string path =
                    name == ".." ? ParentFolder(folder->m_strPath) : JoinPath(folder->m_strPath, name);
                if (!path.empty())
                    OpenFolder(path);
                break;
            }
        }
        folder = Folder();
        for (const auto& image : folder->m_arrImages)
            if (image->m_strName == name) {
                doc->EditImage(EditorHandOff::kSelectedImage);
                return;
            }
    }
}

void CSort_listView::OpenFolder(const std::string& path)
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxBusyCursor wait;
    // A fresh record with the names, sizes, times and types the disk gives; the
    // document frees the old one only when no loader and no selection holds it.
    auto folder = std::make_unique<CFolderItem>(LastPathComponent(path), path, 0);
    folderscan::ScanFolder(path, *folder);
    doc->SetCurrentFolder(std::move(folder));
    doc->m_bSearchResults = false;
    doc->m_nCurrentRecent = -1;
    doc->UpdateAllViews();
}

// ---- Dragging onto the folder tree ----------------------------------------------------

wxBitmap CSort_listView::RowPicture(int row) const
{
    const ListRowItem* item = row >= 0 ? Row(size_t(row)) : nullptr;
    if (!m_list || !item)
        return wxBitmap();
    // The row's picture with its name beside it, as the list draws them.
    wxImageList* pictures = m_list->GetImageList(wxIMAGE_LIST_SMALL);
    const bool hasPicture = pictures && item->imageIndex >= 0 && item->imageIndex < pictures->GetImageCount();
    int pictureWidth = 0, pictureHeight = 0;
    if (hasPicture)
        pictures->GetSize(item->imageIndex, pictureWidth, pictureHeight);
    const wxString name = lfplat::NameToDisplay(item->name);
    const wxSize text = m_list->GetTextExtent(name);
    const int gap = hasPicture ? 4 : 0;
    wxBitmap picture(std::max(1, pictureWidth + gap + text.x), std::max({1, pictureHeight, text.y}), 24);
    wxMemoryDC dc(picture);
    dc.SetBackground(wxBrush(m_list->GetBackgroundColour()));
    dc.Clear();
    if (hasPicture)
        pictures->Draw(item->imageIndex, dc, 0, (picture.GetHeight() - pictureHeight) / 2, wxIMAGELIST_DRAW_TRANSPARENT);
    dc.SetFont(m_list->GetFont());
    dc.SetTextForeground(m_list->GetForegroundColour());
    dc.DrawText(name, pictureWidth + gap, (picture.GetHeight() - text.y) / 2);
    dc.SelectObject(wxNullBitmap);
    return picture;
}

wxBitmap CSort_listView::SeveralFilesPicture(const wxSize& size)
{
    // The program's picture for several files, cut to the size of a row's picture.
    const wxBitmap strip = mpic::MakeToolPanelPicture(mpic::kStripPicture);
    const wxRect part(0, 0, std::clamp(size.x, 1, strip.GetWidth()), std::clamp(size.y, 1, strip.GetHeight()));
    return strip.GetSubBitmap(part);
}

void CSort_listView::BeginDrag(int hit)
{
    CQuorixState* state = State();
    if (hit < 0 || !state || !m_list || m_bDragging)
        return;
    FlagSelectedRows(false);
    m_dragPicture = RowPicture(hit);
    if (SelectedRows().size() > 1)
        m_dragPicture = SeveralFilesPicture(m_dragPicture.IsOk() ? m_dragPicture.GetSize() : wxSize(48, 16));
    m_bDragging = true;
    state->m_bDragging = true;
    // The picture is drawn over the whole frame, so that it crosses from the list to
    // the tree; the frame holds the mouse until the drop.
    m_dragFrame = wxGetTopLevelParent(m_list);
    if (m_dragFrame && m_dragPicture.IsOk()) {
        m_pDragImage = std::make_unique<wxDragImage>(m_dragPicture);
        if (m_pDragImage->BeginDrag(wxPoint(0, 0), m_dragFrame)) {
            // The frame's mouse comes here first; the handler goes on top of the frame's
            // own, whose table stays as it is.
            if (!m_dragMouse) {
                m_dragMouse = std::make_unique<wxEvtHandler>();
                m_dragMouse->Bind(wxEVT_MOTION, &CSort_listView::OnDragMouse, this);
                m_dragMouse->Bind(wxEVT_LEFT_UP, &CSort_listView::OnDragMouse, this);
                m_dragMouse->Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSort_listView::OnDragCaptureLost, this);
            }
            m_dragFrame->PushEventHandler(m_dragMouse.get());
            m_dragFrame->SetCursor(wxCursor(wxCURSOR_NO_ENTRY));
            m_pDragImage->Move(m_dragFrame->ScreenToClient(wxGetMousePosition()));
            m_pDragImage->Show();
            return;
        }
        m_pDragImage.reset();
    }
    // No frame to draw over: the rows go without their picture.
    m_dragFrame = nullptr;
    if (wxWindow* items = ItemWindow(); items && !items->HasCapture())
        items->CaptureMouse();
    m_list->SetCursor(wxCursor(wxCURSOR_NO_ENTRY));
}

void CSort_listView::OnDragMouse(wxMouseEvent& event)
{
    if (!m_bDragging)
        return;
    if (event.GetEventType() == wxEVT_LEFT_UP)
        Drop(wxGetMousePosition());
    else
        DragMove(wxGetMousePosition());
}

void CSort_listView::OnDragCaptureLost(wxMouseCaptureLostEvent&)
{
    if (m_bDragging)
        Drop(wxPoint(-1, -1));
}

void CSort_listView::EndDragImage()
{
    if (!m_pDragImage)
        return;
    // Taken off the frame, not deleted: this may run inside its own handler.
    if (m_dragFrame->GetEventHandler() == m_dragMouse.get())
        m_dragFrame->PopEventHandler();
    else
        m_dragFrame->RemoveEventHandler(m_dragMouse.get());
    m_pDragImage->Hide();
    if (m_dragFrame->HasCapture())
        m_pDragImage->EndDrag();
    m_dragFrame->SetCursor(wxNullCursor);
    m_pDragImage.reset();
    m_dragFrame = nullptr;
}

namespace {

// The folder tree under a screen point, with its view.
struct TreeAt {
    CDirectoryView* view = nullptr;
    wxTreeCtrl* tree = nullptr;
};

CDirectoryView* DirectoryViewOf(wxWindow* anyPane)
{
    auto* host = anyPane ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(anyPane)) : nullptr;
    return host ? dynamic_cast<CDirectoryView*>(host->GetDirectoryView()) : nullptr;
}

TreeAt FindTreeAt(wxWindow* anyPane, const wxPoint& screen)
{
    TreeAt found;
    CDirectoryView* view = DirectoryViewOf(anyPane);
    wxTreeCtrl* tree = view ? view->GetTree() : nullptr;
    if (!tree)
        return found;
    for (wxWindow* w = wxFindWindowAtPoint(screen); w; w = w->GetParent())
        if (w == tree) {
            found.view = view;
            found.tree = tree;
            break;
        }
    return found;
}

}  // namespace

void CSort_listView::DragMove(const wxPoint& screen)
{
    if (!m_bDragging || !m_list)
        return;
    // The picture goes while the windows under it change, and comes back over them.
    if (m_pDragImage)
        m_pDragImage->Hide();
    wxWindow* cursorOwner = m_dragFrame ? m_dragFrame : m_list;
    const TreeAt at = FindTreeAt(m_list, screen);
    wxTreeItemId item;
    if (at.tree) {
        cursorOwner->SetCursor(wxCursor(wxCURSOR_ARROW));
        int flags = 0;
        item = at.tree->HitTest(at.tree->ScreenToClient(screen), flags);
    } else {
        cursorOwner->SetCursor(wxCursor(wxCURSOR_NO_ENTRY));
    }
    // The tree opens nothing while rows are dragged: the target is highlighted, not selected.
    if (CDirectoryView* tree = DirectoryViewOf(m_list); tree && tree->GetDropHighlight() != item) {
        if (!tree->SetDropHighlight(item))
            ShowMessage("Not Successfull", "", 0);
        tree->GetTree()->Update();
    }
    if (item.IsOk())
        if (CQuorixDoc* doc = Doc())
            doc->m_strDestFolder = at.view->GetItemPath(item);
    if (m_pDragImage) {
        m_pDragImage->Move(m_dragFrame->ScreenToClient(screen));
        m_pDragImage->Show();
    }
}

void CSort_listView::Drop(const wxPoint& screen)
{
    if (!m_bDragging)
        return;
    DragMove(screen);
    m_bDragging = false;
    if (CQuorixState* state = State())
        state->m_bDragging = false;
    EndDragImage();
    if (wxWindow* items = ItemWindow(); items && items->HasCapture())
        items->ReleaseMouse();
    if (m_list)
        m_list->SetCursor(wxNullCursor);
    if (CDirectoryView* tree = DirectoryViewOf(m_list))
        tree->SetDropHighlight(wxTreeItemId());
    CQuorixDoc* doc = Doc();
    CQuorixState* state = State();
    if (doc && state && FindTreeAt(m_list, screen).tree && state->m_services.copyMoveDrop)
        state->m_services.copyMoveDrop(*doc);
}

// ---- Printing ---------------------------------------------------------------------------

std::unique_ptr<CListPrintout> CSort_listView::MakePrintout() const
{
    std::vector<CListPrintout::Line> lines;
    for (size_t i = 0; i < RowCount(); ++i) {
        const ListRowItem& row = *Row(i);
        lines.push_back({row.name, listrows::SizeText(row.sizeKB), listrows::DateText(row.lastWrite)});
    }
    const CFolderItem* folder = Folder();
    return std::make_unique<CListPrintout>(wxString::FromUTF8(folder ? folder->m_strPath : std::string()),
                                           std::move(lines));
}

void CSort_listView::OnUpdatePrint(wxUpdateUIEvent& event) { event.Enable(true); }

void CSort_listView::OnPrint(wxCommandEvent& event)
{
    wxPrinter printer;
    std::unique_ptr<CListPrintout> printout = MakePrintout();
    printer.Print(m_list, printout.get(), event.GetId() == ID_FILE_PRINT);
}

void CSort_listView::OnPrintPreview(wxCommandEvent&)
{
    auto* preview = new wxPrintPreview(MakePrintout().release(), MakePrintout().release());
    if (!preview->IsOk()) {
        delete preview;
        return;
    }
    auto* frame = new CPreviewFrame(preview, wxGetTopLevelParent(m_list), "Print Preview");
    frame->Initialize();
    frame->Show();
}
