#include "print/ui/CQKPrintView.h"

#include "controls/COffscreenDC.h"
#include "image/CLfImage.h"
#include "manager/model/CImageItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "print/ui/CPrintFrame.h"
#include "print/ui/CPrintPageOut.h"
#include "print/ui/PrintColours.h"
#include "resources/print/PrintIds.h"
#include "resources/print/PrintPictures.h"
#include "resources/print/PrintStrings.h"

#include <wx/dcclient.h>
#include <wx/print.h>
#include <wx/utils.h>

#include <algorithm>

namespace {

void DrawFrame(wxDC& dc, const RECT& r, const wxColour& colour)
{
    dc.SetPen(wxPen(colour));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// A one-pixel raised edge: white top and left, black bottom and right.
void Draw3dFrame(wxDC& dc, const RECT& r)
{
    dc.SetPen(*wxWHITE_PEN);
    dc.DrawLine(r.left, r.top, r.right - 1, r.top);
    dc.DrawLine(r.left, r.top, r.left, r.bottom - 1);
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawLine(r.right - 1, r.top, r.right - 1, r.bottom);
    dc.DrawLine(r.left, r.bottom - 1, r.right, r.bottom - 1);
}

void DrawCellImage(wxDC& dc, CPrintCell& cell, float zoom)
{
    if (!cell.m_pImage)
        return;
    const RECT r = PageComposition::PreviewImageRect(cell.m_rcCell, cell.m_pImage->GetWidth(),
                                                     cell.m_pImage->GetHeight(), zoom);
    if (const CLfImage* preview = cell.PreviewImage(r.right - r.left + 1, r.bottom - r.top + 1))
        preview->Stretch(&dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

CQKPrintView::CQKPrintView(wxWindow* parent, CPrintFrame* frame, const wxSize& size)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, size, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      m_frame(frame), m_cells(&CQKPrintView::LoadCellImage), m_header(PrintBitmap(printid::kBitmapPageHeader)),
      m_previousButton(PrintBitmap(printid::kBitmapPreviousPage)), m_nextButton(PrintBitmap(printid::kBitmapNextPage))
{
    // The paint covers the whole pane.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_printData.SetPaperId(wxPAPER_A4);
    Bind(wxEVT_PAINT, &CQKPrintView::OnPaint, this);
    Bind(wxEVT_SIZE, &CQKPrintView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CQKPrintView::OnLeftDown, this);
}

std::unique_ptr<CLfImage> CQKPrintView::LoadCellImage(const CImageItem& image)
{
    const std::string& name = image.m_strName;
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
    auto picture = std::make_unique<CLfImage>(image.m_strPath.c_str(),
                                              static_cast<uint32_t>(CQuorixDoc::ImageTypeFromExtension(extension)));
    if (!picture->IsValid())
        return nullptr;
    return picture;
}

void CQKPrintView::InitialUpdate()
{
    if (CQuorixDoc* doc = m_frame->GetDocument()) {
        if (doc->m_pPrintLayout)
            m_cells.SetLayout(*doc->m_pPrintLayout);
        m_cells.AddSelectedImages(doc->GetCurrentFolder());
    }
    LayoutPages();
}

void CQKPrintView::AddSelectedImages()
{
    if (CQuorixDoc* doc = m_frame->GetDocument())
        m_cells.AddSelectedImages(doc->GetCurrentFolder());
    LayoutPages();
}

void CQKPrintView::AddToPrint()
{
    CQuorixDoc* doc = m_frame->GetDocument();
    if (!doc)
        return;
    bool added = false;
    {
        wxBusyCursor wait;
        added = m_cells.AddToPrint(doc->GetCurrentFolder());
    }
    if (!added) {
        m_frame->ShowMessage(pstr::kNothingMarked, true);
        return;
    }
    LayoutPages();
}

void CQKPrintView::RemoveImages()
{
    if (!m_cells.RemoveImages()) {
        m_frame->ShowMessage(pstr::kNothingToRemove, true);
        return;
    }
    Refresh();
}

void CQKPrintView::RemovePage()
{
    m_cells.RemovePage();
    LayoutPages();
}

void CQKPrintView::ApplyLayout()
{
    if (CQuorixDoc* doc = m_frame->GetDocument(); doc && doc->m_pPrintLayout)
        m_cells.ApplyLayout(*doc->m_pPrintLayout);
    LayoutPages();
}

void CQKPrintView::PreviousPage()
{
    if (m_cells.PreviousPage())
        Refresh();
}

void CQKPrintView::NextPage()
{
    if (m_cells.NextPage())
        Refresh();
}

void CQKPrintView::ClearPage()
{
    m_cells.ClearPage();
    Refresh();
}

void CQKPrintView::LayoutPages()
{
    m_cells.LayoutPages();
    Refresh();
}

void CQKPrintView::Print(bool allPages)
{
    CQuorixDoc* doc = m_frame->GetDocument();
    if (doc && doc->m_pPrintLayout)
        m_cells.SetLayout(*doc->m_pPrintLayout);
    const wxPrintOrientation orientation = m_cells.Layout().m_nPageOrientation == 1 ? wxLANDSCAPE : wxPORTRAIT;
    m_printData.SetOrientation(orientation);
    m_printData.SetPaperId(wxPAPER_A4);
    wxPrintDialogData data(m_printData);
    data.EnableSelection(false);
    data.EnablePageNumbers(false);
    data.EnablePrintToFile(false);
    data.SetAllPages(allPages);
    if (data.GetNoCopies() < 1)
        data.SetNoCopies(1);

    CPrintPageOut printout(m_cells, allPages, m_nScreenDpi);
    bool error = false;
    const CPrintFrame::PrintRunner& runner = m_frame->GetPrintRunner();
    const bool printed = runner ? runner(this, printout, data, error) : false;
    // What the dialog chose stays for the next print, with the layout's orientation.
    m_printData = data.GetPrintData();
    m_printData.SetOrientation(orientation);
    if (!printed && error)
        m_frame->ShowMessage(pstr::kInvalidPrinter, false);
    // The preview now shows the proportions of the printable area.
    Refresh();
}

PreviewGeometry CQKPrintView::DrawPreview(wxDC& dc, const wxSize& pane, int screenDpi)
{
    PrintCellSequence& cells = m_cells;
    const int W = pane.x;
    const int H = pane.y;
    const PrintLayout& layout = cells.Layout();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(printcolours::kPaneBackground));
    dc.SetBackground(wxBrush(printcolours::kPaneBackground));
    dc.DrawRectangle(0, PageComposition::kHeaderHeight, W, std::max(cells.PageCount() * H, H));

    const PreviewGeometry g = PageComposition::Preview(layout, W, H, screenDpi);
    dc.SetFont(wxFont(wxFontInfo(wxSize(0, 14)).FaceName("Arial").Bold()));
    dc.SetTextForeground(*wxWHITE);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    // The page.
    const int top = PageComposition::kPageTop;
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(g.margin, top, W - 2 * g.margin, g.pageHeight);
    Draw3dFrame(dc, RECT{g.margin, top, W - g.margin + 2, g.pageHeight + top + 2});

    // The cells of the current page, then the grid over every position.
    const int columns = std::max(layout.m_nColumns, 1);
    const int rows = std::max(layout.m_nRows, 1);
    const size_t first = PageComposition::FirstCellOfPage(cells.CurrentPage(), layout);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const RECT r = PageComposition::PreviewCellRect(g, row, column);
            const size_t index = first + static_cast<size_t>(row) * static_cast<size_t>(columns) +
                                 static_cast<size_t>(column);
            if (CPrintCell* cell = cells.Cell(index)) {
                cell->m_rcCell = r;
                if (!cell->IsEmptyPlace())
                    DrawCellImage(dc, *cell, g.zoom);
                if (cell->m_bSelected)
                    DrawFrame(dc, RECT{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2}, printcolours::kSelectedCell);
            }
            DrawFrame(dc, r, printcolours::kCellFrame);
        }
    }

    const wxString caption = wxString::Format(pstr::kPageCaption, cells.CurrentPage() + 1, cells.PageCount());
    wxCoord width = 0, height = 0, descent = 0;
    dc.GetTextExtent(caption, &width, &height, &descent);
    dc.DrawText(caption, PageComposition::CaptionLeft(W, width), 35 - (height - descent));

    // The header strip with its two buttons.
    const wxBitmap strip =
        m_header.GetSubBitmap(wxRect(0, 0, std::clamp(W, 1, m_header.GetWidth()), m_header.GetHeight()));
    dc.DrawBitmap(strip, 0, 0);
    dc.DrawBitmap(m_previousButton, g.previousButtonX, 0);
    dc.DrawBitmap(m_nextButton, g.nextButtonX, 0);
    m_geometry = g;
    return g;
}

void CQKPrintView::OnPaint(wxPaintEvent&)
{
    wxPaintDC target(this);
    m_nScreenDpi = target.GetPPI().x > 0 ? target.GetPPI().x : m_nScreenDpi;
    COffscreenDC offscreen(&target);
    DrawPreview(offscreen.GetDrawDC(), GetClientSize(), m_nScreenDpi);
}

void CQKPrintView::OnSize(wxSizeEvent& event)
{
    if (!m_frame->IsIconized())
        LayoutPages();
    event.Skip();
}

void CQKPrintView::OnLeftDown(wxMouseEvent& event)
{
    switch (PageComposition::HitPreview(m_geometry, event.GetX(), event.GetY())) {
    case PreviewHit::PreviousPage:
        PreviousPage();
        break;
    case PreviewHit::NextPage:
        NextPage();
        break;
    case PreviewHit::Header:
        break;
    case PreviewHit::Page:
        m_cells.Click(event.GetX(), event.GetY(), event.ControlDown());
        Refresh();
        break;
    }
    event.Skip();
}
