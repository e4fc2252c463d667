#include "manager/ui/CFoldersView.h"

#include "manager/ui/CPaneHost.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/FolderLoaders.h"
#include "manager/model/RecentRows.h"
#include "resources/manager/ManagerIds.h"
#include "platform/gui/NameText.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/utils.h>

#include <dirent.h>

wxIMPLEMENT_DYNAMIC_CLASS(CFoldersView, CPaneView);

namespace {

const wxColour kCurrentRow(208, 218, 252);

wxBitmap MakeBand(int width, int height)
{
    wxBitmap bitmap(width, height, 24);
    wxMemoryDC dc(bitmap);
    dc.GradientFillLinear(wxRect(0, 0, width, height - 1), wxColour(40, 78, 160), wxColour(112, 150, 222), wxUP);
    dc.SetPen(wxPen(wxColour(20, 36, 80)));
    dc.DrawLine(0, height - 1, width, height - 1);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

void DrawFolderShape(wxDC& dc, int x, int y, bool open)
{
    dc.SetPen(wxPen(wxColour(150, 110, 0)));
    dc.SetBrush(wxBrush(wxColour(232, 192, 64)));
    dc.DrawRectangle(x + 1, y + 2, 7, 3);  // the tab
    dc.DrawRectangle(x + 1, y + 4, 15, 11);
    if (open) {
        dc.SetBrush(wxBrush(wxColour(252, 224, 120)));
        const wxPoint lid[] = {{x + 4, y + 7}, {x + 17, y + 7}, {x + 14, y + 14}, {x + 1, y + 14}};
        dc.DrawPolygon(4, lid);
    }
}

wxBitmap MakeFolder(bool open)
{
    wxBitmap bitmap(18, 16, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    DrawFolderShape(dc, 0, 0, open);
    dc.SelectObject(wxNullBitmap);
    bitmap.SetMask(new wxMask(bitmap, *wxWHITE));
    return bitmap;
}

wxBitmap MakeTitle(const wxBitmap& band)
{
    wxBitmap bitmap(135, 26, 24);
    wxMemoryDC dc(bitmap);
    dc.DrawBitmap(band, 0, 0);
    DrawFolderShape(dc, 2, 5, true);
    dc.SetFont(wxFont(wxFontInfo(9).Bold().FaceName("Arial")));
    dc.SetTextForeground(*wxWHITE);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxSize text = dc.GetTextExtent("Recent Folders");
    dc.DrawText("Recent Folders", 24, (26 - text.y) / 2);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

CFoldersView::CFoldersView()
    : m_header(MakeBand(1280, 26)), m_title(MakeTitle(m_header)), m_openFolder(MakeFolder(true)),
      m_folder(MakeFolder(false))
{
}

wxWindow* CFoldersView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    m_canvas = new wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, size, wxBORDER_SUNKEN | wxVSCROLL);
    m_canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_canvas->SetScrollRate(0, recentrows::kRowHeight);
    m_canvas->SetVirtualSize(100, 100);
    m_canvas->Bind(wxEVT_PAINT, &CFoldersView::OnPaint, this);
    m_canvas->Bind(wxEVT_LEFT_UP, &CFoldersView::OnMouse, this);
    m_canvas->Bind(wxEVT_RIGHT_UP, &CFoldersView::OnMouse, this);
    return m_canvas;
}

CQuorixDoc* CFoldersView::Doc() const { return dynamic_cast<CQuorixDoc*>(GetDocument()); }

int CFoldersView::ScrollY() const { return m_canvas ? m_canvas->CalcUnscrolledPosition(wxPoint(0, 0)).y : 0; }

void CFoldersView::OnUpdate(wxView*, wxObject*)
{
    if (m_canvas)
        m_canvas->Refresh();
}

// ---- Drawing -------------------------------------------------------------------------

void CFoldersView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_canvas);
    m_canvas->DoPrepareDC(dc);
    Draw(dc, m_canvas->GetClientSize());
}

void CFoldersView::Draw(wxDC& dc, const wxSize& client)
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    const int n = static_cast<int>(doc->GetRecentCount());
    if (CQuorixState* state = doc->GetAppState()) {
        // The column's own width where there is one: this pane's client is as wide as the
        // column here, and adding a border's worth would widen it at every start.
        auto* frame = m_canvas ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_canvas)) : nullptr;
        const wxWindow* column = frame ? frame->GetLeftColumn() : nullptr;
        state->m_nLeftViewWidth =
            column ? std::max(0, column->GetSize().x) : recentrows::StoredWidth(client.x);
    }
    const int scrollY = ScrollY();
    wxRect rect(0, scrollY, client.x, client.y);
    rect.height = std::max(rect.height, n * recentrows::kRowHeight + recentrows::kTop + 5);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(rect);
    dc.DrawBitmap(m_header.GetSubBitmap(wxRect(0, 0, std::clamp(client.x, 1, m_header.GetWidth()), 26)), 0, 0);
    dc.DrawBitmap(m_title, 8, 0);

    int shown = 0;
    if (n > 0) {
        dc.SetTextForeground(*wxBLACK);
        dc.SetFont(wxFont(wxFontInfo(wxSize(6, 10)).FaceName("Arial")));
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        for (int i = 0; i < n; ++i) {
            const CFolderItem* folder = doc->GetRecentFolder(static_cast<size_t>(i));
            if (!folder->m_bKeepInSession)
                continue;
            const int y = recentrows::kTop + 5 + shown * recentrows::kRowHeight;
            const bool current = i == doc->m_nCurrentRecent;
            dc.SetTextBackground(current ? kCurrentRow : *wxWHITE);
            const wxString name = lfplat::NameToDisplay(folder->m_strDisplayName);
            // The row's text stands on the baseline y + 10, as the pictures expect.
            wxCoord w = 0, h = 0, descent = 0;
            dc.GetTextExtent(name, &w, &h, &descent);
            dc.DrawText(name, recentrows::kLeft + 23, y + 10 - (h - descent));
            dc.DrawBitmap(current ? m_openFolder : m_folder, recentrows::kLeft + 5, y + 5, true);
            ++shown;
        }
        if (m_canvas)
            m_canvas->SetVirtualSize(recentrows::kLeft + 85, n * recentrows::kRowHeight + recentrows::kTop + 5);
    }
    if (shown == 0) {
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        dc.SetTextBackground(wxColour(128, 128, 128));
        dc.SetTextForeground(wxColour(250, 250, 250));
        dc.SetFont(wxFont(wxFontInfo(10).FaceName("Arial")));
        dc.DrawText("Nothing Selected", 10, 28);
        if (m_canvas)
            m_canvas->SetVirtualSize(recentrows::kLeft + 85, recentrows::kTop + 30);
    }
}

// ---- Mouse ---------------------------------------------------------------------------

int CFoldersView::RecordAt(const wxPoint& point) const
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return -1;
    std::vector<bool> shown;
    for (size_t i = 0; i < doc->GetRecentCount(); ++i)
        shown.push_back(doc->GetRecentFolder(i)->m_bKeepInSession);
    return recentrows::RecordOfRow(shown, recentrows::RowOfPoint(point.y, ScrollY()));
}

void CFoldersView::OnMouse(wxMouseEvent& event)
{
    if (event.GetEventType() == wxEVT_LEFT_UP)
        LButtonUp(event.GetPosition());
    else
        RButtonUp(event.GetPosition());
    event.Skip();
}

void CFoldersView::LButtonUp(const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    const int k = RecordAt(point);
    if (!doc || k < 0 || k == doc->m_nCurrentRecent)
        return;
    CFolderItem* folder = doc->GetRecentFolder(static_cast<size_t>(k));
    wxBusyCursor wait;
    if (DIR* dir = opendir(folder->m_strPath.c_str()))
        closedir(dir);
    else {
        if (m_messageSink)
            m_messageSink("This resource is not currently available.");
        else
            wxMessageBox("This resource is not currently available.", wxTheApp->GetAppDisplayName(),
                         wxOK | wxICON_INFORMATION, m_canvas);
        return;
    }
    // Stops the loaders (waiting, without a dialog) before the records change hands.
    doc->SetCurrentFolder(folder);
    doc->m_nCurrentRecent = k;
    if (!folder->m_bThumbsComplete || folder->m_bThumbsNeeded) {
        // A folder the cache does not know keeps the records it has; but one never read in
        // this run (listed by the session file, its cache deleted or never written) has
        // none, and would show empty: that one is read.
        if (!doc->GetCacheDirName(folder->m_strPath).empty() || folder->ImageCount() == 0) {
            folder->m_bThumbsNeeded = true;
            doc->m_bFolderChanged = true;
            LoadFolder(folder->m_strPath);
        }
    }
    if (folder->m_nViewMode != doc->m_nViewMode) {
        doc->m_nViewMode = folder->m_nViewMode;
        if (auto* frame = m_canvas ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_canvas)) : nullptr)
            frame->SwitchImageView(doc->m_nViewMode);
    }
    doc->m_bFolderChanged = true;
    if (m_canvas)
        m_canvas->Refresh(true);
    doc->UpdateAllViews(this);
}

void CFoldersView::RButtonUp(const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    const int row = recentrows::RowOfPoint(point.y, ScrollY());
    if (!doc || row < 0 || row >= static_cast<int>(doc->GetRecentCount()))
        return;
    wxMenu menu;
    menu.Append(ID_RECENT_REMOVE, "Remove from Recent Folders List");
    const int chosen = m_menuRunner ? m_menuRunner(menu, point)
                                    : (m_canvas ? m_canvas->GetPopupMenuSelectionFromUser(menu, point) : wxID_NONE);
    if (chosen == ID_RECENT_REMOVE)
        RemoveRecentFolder(point);
}

void CFoldersView::RemoveRecentFolder(const wxPoint& point)
{
    CQuorixDoc* doc = Doc();
    const int k = RecordAt(point);
    if (!doc || k < 0)
        return;
    CFolderItem* folder = doc->GetRecentFolder(static_cast<size_t>(k));
    // Stops the loaders and drops the folder's images from the selection before they go.
    doc->ClearFolderImages(folder);
    folder->m_bKeepInSession = false;
    doc->m_nCurrentRecent = -1;
    if (m_canvas)
        m_canvas->Refresh(true);
    doc->UpdateAllViews(this);
}

void CFoldersView::LoadFolder(const std::string& path)
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxBusyCursor wait;
    if (folderload::RescanCurrentFolder(*doc, path))
        if (auto* frame = m_canvas ? dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_canvas)) : nullptr)
            frame->SwitchImageView(doc->m_nViewMode);
}
