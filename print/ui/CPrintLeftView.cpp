#include "print/ui/CPrintLeftView.h"

#include "manager/model/CFolderItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "print/ui/CPrintFrame.h"
#include "print/model/PickerCards.h"
#include "print/ui/PrintColours.h"

#include <wx/dc.h>

#include <algorithm>

CPrintLeftView::CPrintLeftView(wxWindow* parent, CPrintFrame* frame, const wxSize& size)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, size, wxVSCROLL | wxHSCROLL | wxFULL_REPAINT_ON_RESIZE),
      m_frame(frame), m_card(imagecards::MakeCardBackground(false)), m_markedCard(imagecards::MakeCardBackground(true))
{
    SetBackgroundColour(printcolours::kPaneBackground);
    SetScrollRate(1, 1);
    SetVirtualSize(230, 230);
    Bind(wxEVT_LEFT_DOWN, &CPrintLeftView::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CPrintLeftView::OnDoubleClick, this);
}

CFolderItem* CPrintLeftView::Folder() const
{
    CQuorixDoc* doc = m_frame->GetDocument();
    return doc ? doc->GetCurrentFolder() : nullptr;
}

void CPrintLeftView::OnDraw(wxDC& dc)
{
    CFolderItem* folder = Folder();
    const size_t count = folder ? folder->ImageCount() : 0;
    const wxSize client = GetClientSize();
    const wxSize scroll(PickerCards::ScrollWidth(client.x), PickerCards::ScrollHeight(count));
    if (GetVirtualSize() != scroll)
        SetVirtualSize(scroll);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(printcolours::kPaneBackground));
    dc.DrawRectangle(0, 0, std::max(client.x, scroll.x), std::max(client.y, scroll.y));

    dc.SetFont(wxFont(wxFontInfo(wxSize(6, 10)).FaceName("Arial")));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (size_t i = 0; i < count; ++i) {
        const CImageItem& image = *folder->Image(i);
        const bool marked = image.m_bMarkedForPrint;
        imagecards::DrawCard(dc, PickerCards::CardRect(static_cast<int>(i)), static_cast<int>(i), image,
                             marked ? m_markedCard : m_card, marked, m_thumbs.Get(image));
    }
}

int CPrintLeftView::HitCard(const wxPoint& point) const
{
    CFolderItem* folder = Folder();
    if (!folder)
        return -1;
    const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
    const int index = PickerCards::HitIndex(point.x, point.y, scroll.x, scroll.y);
    return index >= 0 && static_cast<size_t>(index) < folder->ImageCount() ? index : -1;
}

void CPrintLeftView::OnLeftDown(wxMouseEvent& event)
{
    const int index = HitCard(event.GetPosition());
    if (index < 0)
        return;  // a click beside the cards is dropped
    if (PickerCards::Click(*Folder(), index, event.ShiftDown(), event.ControlDown()) == PickerCards::Repaint::All)
        Refresh();
    else
        RefreshCard(index);
    event.Skip();
}

void CPrintLeftView::OnDoubleClick(wxMouseEvent& event)
{
    if (HitCard(event.GetPosition()) >= 0)
        m_frame->AddToPrint();
}

void CPrintLeftView::RefreshCard(int index)
{
    const RECT r = PickerCards::CardRepaintRect(index);
    const wxPoint at = CalcScrolledPosition(wxPoint(r.left, r.top));
    RefreshRect(wxRect(at.x, at.y, r.right - r.left, r.bottom - r.top));
}
