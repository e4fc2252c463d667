#include "editor/ui/CDlgImageView.h"

#include "image/CLfImage.h"

#include <wx/dcbuffer.h>

wxDEFINE_EVENT(EVT_DLG_IMAGE_CLICK, DlgImageClickEvent);

CDlgImageView::CDlgImageView(wxWindow* owner, const wxRect& place)
    : wxWindow(owner, wxID_ANY, place.GetPosition(), place.GetSize(), wxBORDER_SIMPLE)
{
    // Painted in one step from an off-screen bitmap, so the pane never flickers.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CDlgImageView::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CDlgImageView::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CDlgImageView::OnMotion, this);
}

void CDlgImageView::SetClickMode(bool on, const wxSize& bound)
{
    m_clickMode = on;
    m_bound = bound;
}

void CDlgImageView::Render(wxDC& dc) const
{
    const wxColour grey(kBackground, kBackground, kBackground);
    dc.SetBackground(wxBrush(grey));
    dc.Clear();
    if (m_image && m_image->IsValid() && m_draw.width > 0 && m_draw.height > 0)
        m_image->Stretch(&dc, m_draw.x, m_draw.y, m_draw.width, m_draw.height);
}

void CDlgImageView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

bool CDlgImageView::InBound(const wxPoint& point) const
{
    return point.x > 0 && point.y > 0 && point.x < m_bound.x && point.y < m_bound.y;
}

void CDlgImageView::OnLeftDown(wxMouseEvent& event)
{
    event.Skip();
    if (!m_clickMode || !GetParent())
        return;
    DlgImageClickEvent click(EVT_DLG_IMAGE_CLICK, GetId(), event.GetPosition());
    click.SetEventObject(this);
    GetParent()->GetEventHandler()->ProcessEvent(click);
}

void CDlgImageView::OnMotion(wxMouseEvent& event)
{
    event.Skip();
    if (m_clickMode && InBound(event.GetPosition()))
        SetCursor(wxCursor(wxCURSOR_ARROW));
}
