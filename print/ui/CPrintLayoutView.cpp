#include "print/ui/CPrintLayoutView.h"

#include "image/CLfImage.h"
#include "manager/ui/CQuorixDoc.h"
#include "print/ui/CPrintFrame.h"
#include "print/model/LayoutConfigFile.h"
#include "print/model/LayoutListGeometry.h"
#include "print/ui/PrintColours.h"

#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/msgdlg.h>
#include <wx/weakref.h>

#include <algorithm>
#include <filesystem>

CPrintLayoutView::CPrintLayoutView(wxWindow* parent, CPrintFrame* frame, const wxSize& size)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, size, wxVSCROLL | wxFULL_REPAINT_ON_RESIZE),
      m_frame(frame)
{
    SetBackgroundColour(printcolours::kPaneBackground);
    SetScrollRate(1, 1);
    SetVirtualSize(100, 100);
    Bind(wxEVT_LEFT_DOWN, &CPrintLayoutView::OnLeftDown, this);
}

wxBitmap CPrintLayoutView::MakeThumbnail(const CLfImage* image, int width, int height)
{
    wxBitmap bitmap(width, height, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(printcolours::kPaneBackground));
    dc.Clear();
    if (image && image->IsValid()) {
        const RECT r = LayoutListGeometry::PictureRect(image->GetWidth(), image->GetHeight(), std::min(width, height));
        const int left = (width - (r.right - r.left)) / 2;
        const int top = (height - (r.bottom - r.top)) / 2;
        image->Draw(&dc, left, top, r.right - r.left, r.bottom - r.top);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

wxBitmap CPrintLayoutView::ThumbnailOfFile(const std::string& path)
{
    const CLfImage picture(path.c_str(), lfimg::kTypeBMP);
    const int size = LayoutListGeometry::kThumbnailSize;
    return MakeThumbnail(&picture, size, size);
}

void CPrintLayoutView::LoadLayouts()
{
    CQuorixDoc* doc = m_frame->GetDocument();
    if (!doc)
        return;
    SetVirtualSize(100, 100);
    doc->m_arrLayoutPictures.clear();
    m_records.clear();
    m_thumbs.clear();
    const std::string folder = m_frame->GetAppFolder();
    // The working folder's file first, as before; a manager started from elsewhere
    // still finds the one shipped beside the programs.
    std::string config = LayoutConfigFile::kFileName;
    std::error_code missing;
    if (!std::filesystem::is_regular_file(config, missing))
        config = folder + LayoutConfigFile::kFileName;
    std::vector<std::string> refused;
    const auto blocks = LayoutConfigFile::Parse(LayoutConfigFile::ReadTextFromFile(config), &refused);
    if (!refused.empty()) {
        // Told once the window is up; a layout that asks too much would hang every repaint.
        std::string text = std::string("These layouts of ") + LayoutConfigFile::kFileName +
                           " ask for more than a page can hold and are left out:";
        for (const std::string& problem : refused)
            text += "\n" + problem;
        wxWeakRef<wxWindow> owner(m_frame);
        CallAfter([owner, text] {
            if (owner)
                wxMessageBox(wxString::FromUTF8(text), wxGetTopLevelParent(owner.get())->GetLabel(),
                             wxOK | wxICON_WARNING, owner.get());
        });
    }
    for (const LayoutBlock& block : blocks) {
        const std::string path = folder + block.m_strImageName;
        std::error_code error;
        const auto length = std::filesystem::file_size(path, error);
        auto entry = std::make_unique<CImageItem>(block.m_strImageName, path, error ? 0 : static_cast<int64_t>(length),
                                                  0, 0);
        m_thumbs.push_back(ThumbnailOfFile(path));
        if (static_cast<int>(m_records.size()) == doc->m_nCurrentLayout) {
            if (doc->m_pPrintLayout)
                *doc->m_pPrintLayout = block.m_layout;
            entry->m_bSelected = true;
        }
        doc->m_arrLayoutPictures.push_back(std::move(entry));
        m_records.push_back(std::make_unique<PrintLayout>(block.m_layout));
    }
    Refresh();
}

void CPrintLayoutView::SelectLayout(int k)
{
    CQuorixDoc* doc = m_frame->GetDocument();
    if (!doc)
        return;
    auto& entries = doc->m_arrLayoutPictures;
    for (size_t j = 0; j < entries.size() && j < m_records.size(); ++j) {
        if (static_cast<int>(j) == k) {
            if (entries[j]->m_bSelected)
                continue;
            entries[j]->m_bSelected = true;
            doc->m_nCurrentLayout = k;
            if (doc->m_pPrintLayout)
                *doc->m_pPrintLayout = *m_records[j];
            m_frame->ApplyLayout();
        } else {
            entries[j]->m_bSelected = false;
        }
    }
}

void CPrintLayoutView::Click(const wxPoint& point, bool shift)
{
    CQuorixDoc* doc = m_frame->GetDocument();
    if (!doc)
        return;
    const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
    const int index = LayoutListGeometry::HitIndex(point.x, point.y, scroll.x, scroll.y);
    const auto& entries = doc->m_arrLayoutPictures;
    const int count = static_cast<int>(std::min(entries.size(), m_records.size()));
    if (index < 0 || index >= count)
        return;
    if (!shift) {
        SelectLayout(index);
    } else {
        int current = -1;
        for (int j = 0; j < count; ++j) {
            if (entries[static_cast<size_t>(j)]->m_bSelected)
                current = j;
        }
        for (int k : LayoutListGeometry::ShiftSelectionOrder(current, index))
            SelectLayout(k);
    }
    SetFocus();
    Refresh();
}

void CPrintLayoutView::OnDraw(wxDC& dc)
{
    CQuorixDoc* doc = m_frame->GetDocument();
    const size_t count = doc ? std::min(doc->m_arrLayoutPictures.size(), m_thumbs.size()) : 0;
    const int height = LayoutListGeometry::ScrollHeight(static_cast<int>(count));
    if (GetVirtualSize() != wxSize(100, height))
        SetVirtualSize(100, height);
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(printcolours::kPaneBackground));
    dc.DrawRectangle(0, 0, client.x, std::max(client.y, height));
    const std::string folder = m_frame->GetAppFolder();
    for (size_t i = 0; i < count; ++i) {
        CImageItem& entry = *doc->m_arrLayoutPictures[i];
        // The current layout shows its highlighted picture; the print mark says which
        // picture the thumbnail holds.
        if (entry.m_bSelected && !entry.m_bMarkedForPrint) {
            entry.m_bMarkedForPrint = true;
            m_thumbs[i] = ThumbnailOfFile(folder + "h" + entry.m_strName);
        } else if (!entry.m_bSelected && entry.m_bMarkedForPrint) {
            entry.m_bMarkedForPrint = false;
            m_thumbs[i] = ThumbnailOfFile(entry.m_strPath);
        }
        const RECT r = LayoutListGeometry::ThumbnailRect(static_cast<int>(i));
        dc.DrawBitmap(m_thumbs[i], r.left, r.top);
    }
}

void CPrintLayoutView::OnLeftDown(wxMouseEvent& event)
{
    Click(event.GetPosition(), event.ShiftDown());
    event.Skip();
}
