#include "manager/ui/CImageView.h"

#include "manager/model/CImageThread.h"
#include "manager/model/EditorHandOff.h"
#include "manager/ui/CPaneHost.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "platform/FolderPaths.h"
#include "manager/ui/ImageCards.h"
#include "manager/ui/ImageCommands.h"
#include "manager/model/ThumbGrid.h"
#include "manager/ui/ThumbnailBitmap.h"
#include "manager/model/ThumbnailMaker.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ManagerMenus.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>


wxIMPLEMENT_DYNAMIC_CLASS(CImageView, CPaneView);

namespace {

const wxColour kGridBackground(thumbs::kBackgroundRed, thumbs::kBackgroundGreen, thumbs::kBackgroundBlue);
constexpr int kScrollStepX = 7;   // 105 = 15 steps
constexpr int kScrollStepY = 17;  // 119 = 7 steps
constexpr int kThumbnailReadyMessage = lfplat::kUserMessage + 1;

}  // namespace

CImageView::CImageView()
    : m_background(imagecards::MakeCardBackground(false)), m_backgroundSelected(imagecards::MakeCardBackground(true))
{
}

CImageView::~CImageView()
{
    // The pass posts to this view's window: it ends before the window goes.
    if (CQuorixDoc* doc = Doc(); doc && doc->GetAppState())
        doc->GetAppState()->m_threads.StopAndWait(true);
}

wxWindow* CImageView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    m_canvas = new wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, size,
                                    wxBORDER_SUNKEN | wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE);
    m_canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_canvas->SetScrollRate(kScrollStepX, kScrollStepY);
    m_canvas->SetVirtualSize(400, 400);
    m_canvas->Bind(wxEVT_PAINT, &CImageView::OnPaint, this);
    m_thumbnailInbox = std::make_unique<lfplat::MessageInbox<ThumbnailReady>>(m_canvas, kThumbnailReadyMessage);
    m_canvas->Bind(lfplat::EVT_POSTED_MESSAGE, &CImageView::OnThumbnailMessage, this, kThumbnailReadyMessage);
    for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_RIGHT_DOWN, wxEVT_LEFT_DCLICK})
        m_canvas->Bind(type, &CImageView::OnMouse, this);
    m_canvas->Bind(wxEVT_MENU, &CImageView::OnCommand, this, ID_IMAGE_EDITOR);
    m_canvas->Bind(wxEVT_MENU, &CImageView::OnCommand, this, ID_IMAGE_COPY, ID_IMAGE_DELETE);
    m_canvas->Bind(wxEVT_MENU, &CImageView::OnCommand, this, ID_IMAGE_RENAME);
    return m_canvas;
}

CQuorixDoc* CImageView::Doc() const { return dynamic_cast<CQuorixDoc*>(GetDocument()); }

CFolderItem* CImageView::Folder() const
{
    CQuorixDoc* doc = Doc();
    return doc ? doc->GetCurrentFolder() : nullptr;
}

int CImageView::Columns(const CQuorixDoc* doc)
{
    return doc && doc->GetAppState() ? doc->GetAppState()->m_nThumbColumns.load() : 5;
}

void CImageView::OnUpdate(wxView*, wxObject*)
{
    if (m_canvas)
        m_canvas->Refresh(false);
}

// ---- Drawing ---------------------------------------------------------------------

void CImageView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_canvas);
    m_canvas->DoPrepareDC(dc);
    wxRect region = m_canvas->GetUpdateRegion().GetBox();
    region.SetPosition(m_canvas->CalcUnscrolledPosition(region.GetPosition()));
    PaintGrid(dc, region);
}

void CImageView::PaintGrid(wxDC& dc, const wxRect& region)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    if (!m_bInitialised) {
        m_bInitialised = true;
        doc->m_bFolderChanged = true;
        doc->m_nViewMode = folder->m_nViewMode;
    }
    if (folder != m_pShownFolder) {
        m_thumbs.Clear();
        m_pShownFolder = folder;
    }
    const int count = static_cast<int>(folder->ImageCount());
    const int columns = Columns(doc);

    // The totals cover the whole folder, whatever part of it this paint draws.
    if (CQuorixState* state = doc->GetAppState()) {
        double kb = 0;
        for (const auto& image : folder->m_arrImages)
            kb += static_cast<double>(image->m_nSize) / 1024.0;
        state->ResetTotals();
        state->AddToTotals(count, kb);
    }

    dc.SetBrush(wxBrush(kGridBackground));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(region);

    if (m_canvas) {
        const wxSize client = m_canvas->GetClientSize();
        const thumbgrid::Extent extent = thumbgrid::ScrollExtent(count, columns, client.x, client.y);
        if (m_canvas->GetVirtualSize() != wxSize(extent.width, extent.height))
            m_canvas->SetVirtualSize(extent.width, extent.height);
    }
    if (count == 0) {
        doc->m_bFolderChanged = false;
        return;
    }
    if (folder->m_bThumbsNeeded) {
        folder->m_bThumbsNeeded = false;
        doc->m_bFolderChanged = false;
        if (m_canvas) {
            m_canvas->Scroll(0, 0);
            // Stopping the previous pass waits for it: not inside a paint.
            m_canvas->CallAfter([this] { StartThumbnailThread(); });
        }
    }

    dc.SetFont(wxFont(wxFontInfo(wxSize(6, 10)).FaceName("Arial")));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    RECT rect{region.GetLeft(), region.GetTop(), region.GetRight() + 1, region.GetBottom() + 1};
    const auto [first, end] = thumbgrid::CellsInRect(rect, columns, count);
    for (int i = first; i < end; ++i) {
        const RECT cell = thumbgrid::CellRect(i, columns);
        if (cell.left < rect.right && cell.right > rect.left)
            DrawCell(dc, i, *folder->Image(static_cast<size_t>(i)));
    }
}

const wxBitmap* CImageView::ThumbnailBitmap(const CImageItem& image)
{
    return m_thumbs.Get(image);
}

void CImageView::DrawCell(wxDC& dc, int index, const CImageItem& image)
{
    const bool selected = image.m_bSelected;
    imagecards::DrawCard(dc, thumbgrid::CellRect(index, Columns(Doc())), index, image,
                         selected ? m_backgroundSelected : m_background, selected, ThumbnailBitmap(image));
}

// ---- The thumbnail pass ------------------------------------------------------------

void CImageView::StartThumbnailThread()
{
    CQuorixDoc* doc = Doc();
    CQuorixState* state = doc ? doc->GetAppState() : nullptr;
    if (!state || !m_canvas || !m_thumbnailInbox || !Folder())
        return;
    state->m_threads.StopAndWait(true);
    // The sink runs on the pass's threads: it only queues, to this view's window.
    auto thread = doc->MakeThumbnailThread(
        [sender = m_thumbnailInbox->GetSender()](ThumbnailReady ready) { sender.Send(std::move(ready)); });
    if (thread)
        state->m_threads.Start(std::move(thread));
}

void CImageView::OnThumbnailMessage(lfplat::PostedMessageEvent&)
{
    if (!m_thumbnailInbox)
        return;
    for (const ThumbnailReady& ready : m_thumbnailInbox->TakeAll())
        OnThumbnailReady(ready);
}

void CImageView::OnThumbnailReady(const ThumbnailReady& ready)
{
    const CFolderItem* folder = Folder();
    if (!folder || folder != ready.folder || folder->m_strPath != ready.folderPath)
        return;
    if (ready.index < folder->ImageCount() && folder->Image(ready.index) == ready.image) {
        CImageThread::TakeCachedNotes(*folder->Image(ready.index), ready.description, ready.keywords);
        RefreshCell(static_cast<int>(ready.index));
    }
}

void CImageView::RefreshCell(int index)
{
    if (!m_canvas)
        return;
    const RECT cell = thumbgrid::CellRect(index, Columns(Doc()));
    const wxPoint at = m_canvas->CalcScrolledPosition(wxPoint(cell.left, cell.top));
    m_canvas->RefreshRect(wxRect(at, wxSize(thumbgrid::kCellWidth, thumbgrid::kCellHeight)), false);
}

// ---- Mouse ---------------------------------------------------------------------------

int CImageView::HitTest(const wxPoint& point) const
{
    const CFolderItem* folder = Folder();
    if (!folder)
        return -1;
    const wxPoint scroll = m_canvas ? m_canvas->CalcUnscrolledPosition(wxPoint(0, 0)) : wxPoint(0, 0);
    return thumbgrid::HitTest(point.x, point.y, scroll.x, scroll.y, Columns(Doc()),
                              static_cast<int>(folder->ImageCount()));
}

void CImageView::OnMouse(wxMouseEvent& event)
{
    if (event.GetEventType() == wxEVT_LEFT_DOWN) {
        m_canvas->SetFocus();
        LeftDown(event.GetPosition(), event.ShiftDown());
    } else if (event.GetEventType() == wxEVT_RIGHT_DOWN) {
        RightDown(event.GetPosition());
    } else {
        LeftDoubleClick(event.GetPosition());
    }
}

void CImageView::LeftDown(const wxPoint& point, bool shift)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    doc->m_nTargetImage = kTargetWholeSelection;
    const int hit = HitTest(point);
    if (hit < 0)
        return;
    doc->m_nTargetImage = hit;
    if (shift) {
        std::vector<bool> selected;
        for (const auto& image : folder->m_arrImages)
            selected.push_back(image->m_bSelected);
        for (int i : thumbgrid::ShiftRange(selected, hit))
            doc->SelectImage(i, true, false);
        if (m_canvas)
            m_canvas->Refresh(true);
    } else {
        doc->SelectImage(hit, true, false);
        RefreshCell(hit);
    }
    if (!folder->Image(static_cast<size_t>(hit))->m_bSelected)
        doc->m_nTargetImage = kTargetWholeSelection;
    if (folder->ImageCount() > 0 && !doc->m_bSearchResults)
        doc->RememberCurrentFolder(true);
    MakeActivePane();
    RepaintRecentFolders(false);
}

void CImageView::RightDown(const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    doc->m_nTargetImage = kTargetWholeSelection;
    const int hit = point.y < 5 ? -1 : HitTest(point);
    if (hit < 0)
        return;
    if (!folder->Image(static_cast<size_t>(hit))->m_bSelected)
        doc->SelectImage(hit, true, false);
    const bool remember = folder->ImageCount() > 0 && !doc->m_bSearchResults;
    if (remember)
        folder->m_bKeepInSession = true;
    doc->m_nTargetImage = hit;
    const int selected = doc->GetSelectedCount();
    if (remember)
        doc->RememberCurrentFolder(true);
    if (m_canvas)
        m_canvas->Refresh(true);
    MakeActivePane();
    RepaintRecentFolders(true);
    if (selected < 1)
        return;
    wxMenu menu;
    AppendImageCommands(menu);
    if (m_menuRunner)
        m_menuRunner(menu, point);
    else if (m_canvas)
        m_canvas->PopupMenu(&menu, point);
}

void CImageView::LeftDoubleClick(const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    const int hit = HitTest(point);
    if (!doc || hit < 0)
        return;
    doc->SelectImage(hit, false, true);
    doc->EditImage(hit);
    MakeActivePane();
}

void CImageView::MakeActivePane()
{
    CPaneView::Activate(true);
}

void CImageView::RepaintRecentFolders(bool erase)
{
    auto* frame = m_canvas ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_canvas)) : nullptr;
    CPaneView* recent = frame ? frame->GetRecentFoldersView() : nullptr;
    if (wxWindow* window = recent ? recent->GetPaneWindow() : nullptr) {
        const wxSize size = window->GetClientSize();
        if (erase)
            window->Refresh(true);
        else
            window->RefreshRect(wxRect(0, 2, size.x, std::max(0, size.y - 2)), false);
    }
}

// ---- Commands ------------------------------------------------------------------------

void CImageView::OnCommand(wxCommandEvent& event)
{
    if (!RunImageCommand(*this, event.GetId()))
        event.Skip();
}

void CImageView::ShowMessage(const std::string& text, const std::string& caption, long icon)
{
    if (m_messageSink) {
        m_messageSink(text, caption);
        return;
    }
    const wxString title = caption.empty() ? wxTheApp->GetAppDisplayName() : wxString::FromUTF8(caption);
    wxMessageBox(wxString::FromUTF8(text), title, wxOK | icon, m_canvas);
}

void CImageView::OnEditor()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    const int count = static_cast<int>(folder->ImageCount());
    int index = doc->m_nTargetImage;
    // A target outside the folder (the folder changed since the click) counts as none.
    if (index < 0 || index >= count) {
        index = -1;
        int selected = 0;
        for (int i = 0; i < count; ++i)
            if (folder->Image(static_cast<size_t>(i))->m_bSelected) {
                index = i;
                ++selected;
            }
        if (selected > 1) {
            ShowMessage("You have more than one image selected. Please select a single image to Edit", "", 0);
            doc->m_nTargetImage = kTargetWholeSelection;
            return;
        }
    }
    doc->m_nTargetImage = kTargetWholeSelection;
    if (index < 0) {
        ShowMessage(doc->m_strNoImageText, "", wxICON_INFORMATION);
        return;
    }
    // The picture's own extension decides, as for every road to the editor.
    if (EditorHandOff::IsGifPath(folder->Image(static_cast<size_t>(index))->m_strPath)) {
        ShowMessage("Gif images are not supported by Editor.", "", wxICON_STOP);
        return;
    }
    doc->EditImage(index);
}

bool CImageView::NothingSelected(const char* text, const char* caption)
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return true;
    doc->m_nTargetImage = kTargetWholeSelection;
    if (Folder() && doc->GetSelectedCount() > 0)
        return false;
    ShowMessage(text, caption, wxICON_INFORMATION);
    return true;
}

const ManagerServices* CImageView::Services() const
{
    CQuorixDoc* doc = Doc();
    return doc && doc->GetAppState() ? &doc->GetAppState()->m_services : nullptr;
}

bool CImageView::AskYesNo(const std::string& text)
{
    if (m_questionSink)
        return m_questionSink(text);
    return wxMessageBox(wxString::FromUTF8(text), wxTheApp->GetAppDisplayName(), wxYES_NO | wxICON_QUESTION,
                        m_canvas) == wxYES;
}

// The dialogs ask for the folder, run the job and report it themselves.
void CImageView::OnCopy()
{
    if (NothingSelected("Please select one or more images in order to use this function", "Copy Images"))
        return;
    if (const ManagerServices* services = Services(); services && services->destination)
        services->destination(*Doc(), 1);
}

void CImageView::OnMove()
{
    if (NothingSelected("Please select one or more images in order to use this function.", "Move Image"))
        return;
    if (const ManagerServices* services = Services(); services && services->destination)
        services->destination(*Doc(), 0);
}

void CImageView::OnDelete()
{
    if (NothingSelected("Please select one or more images in order to use this function.", "Delete Image"))
        return;
    if (!AskYesNo(" The file(s) you have selected will be deleted.\nAre you sure?"))
        return;
    if (const ManagerServices* services = Services(); services && services->deleteFiles)
        services->deleteFiles(*Doc());
}

void CImageView::OnRename()
{
    CQuorixDoc* doc = Doc();
    CFolderItem* folder = Folder();
    if (!doc || !folder)
        return;
    const int index = doc->m_nTargetImage;
    std::string path;
    if (index >= 0 && static_cast<size_t>(index) < folder->ImageCount() &&
        folder->Image(static_cast<size_t>(index))->m_bSelected)
        path = folder->Image(static_cast<size_t>(index))->m_strPath;
    doc->m_nTargetImage = kTargetWholeSelection;
    if (path.empty()) {
        ShowMessage(doc->m_strNoImageText, "", wxICON_INFORMATION);
        return;
    }
    const std::string name = folder->Image(static_cast<size_t>(index))->m_strName;
    const auto dot = name.rfind('.');
    // A name without a dot is all extension, as splitting at position -1 gives.
    const std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
    const std::string stem = dot == std::string::npos ? std::string() : name.substr(0, dot);
    const ManagerServices* services = Services();
    if (services && services->renameFile && services->renameFile(*doc, stem, name, extension))
        doc->Refresh();
}
