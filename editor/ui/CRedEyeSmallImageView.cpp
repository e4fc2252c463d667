#include "editor/ui/CRedEyeSmallImageView.h"

CRedEyeSmallImageView::CRedEyeSmallImageView(wxWindow* owner, const wxRect& place) : CDlgImageView(owner, place)
{
    // Bound after the pane's own handler, so it runs first and the report follows.
    Bind(wxEVT_LEFT_DOWN, &CRedEyeSmallImageView::OnClick, this);
}

std::optional<wxPoint> CRedEyeSmallImageView::TakeClick()
{
    std::optional<wxPoint> click = m_click;
    m_click.reset();
    return click;
}

void CRedEyeSmallImageView::OnClick(wxMouseEvent& event)
{
    m_click = event.GetPosition();
    event.Skip();
}
