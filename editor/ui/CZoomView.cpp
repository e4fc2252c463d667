#include "editor/ui/CZoomView.h"

#include <wx/dcclient.h>
#include <wx/pen.h>
#include <wx/window.h>

#include <algorithm>
#include <vector>

wxIMPLEMENT_ABSTRACT_CLASS(CZoomView, wxView);

namespace {

POINT ToPoint(const wxPoint& p) { return {p.x, p.y}; }

// The canvas events the view takes (read at run time: the toolkit's event types are
// set up by its own static initialisers).
std::vector<wxEventTypeTag<wxMouseEvent>> MouseEvents()
{
    return {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN};
}

std::vector<wxEventTypeTag<wxScrollWinEvent>> ScrollEvents()
{
    return {wxEVT_SCROLLWIN_TOP,      wxEVT_SCROLLWIN_BOTTOM,   wxEVT_SCROLLWIN_LINEUP,     wxEVT_SCROLLWIN_LINEDOWN,
            wxEVT_SCROLLWIN_PAGEUP,   wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE};
}

}  // namespace

CZoomView::CZoomView() = default;

CZoomView::~CZoomView() = default;

wxWindow* CZoomView::CreateCanvas(wxWindow* parent)
{
    m_canvas = new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxHSCROLL | wxVSCROLL | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS);
    // Every paint covers the whole client area: the background is never erased.
    m_canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_canvas->Bind(wxEVT_PAINT, &CZoomView::OnPaint, this);
    m_canvas->Bind(wxEVT_SIZE, &CZoomView::OnSize, this);
    m_canvas->Bind(wxEVT_SET_CURSOR, &CZoomView::OnSetCursor, this);
    for (const auto& type : MouseEvents())
        m_canvas->Bind(type, &CZoomView::OnMouse, this);
    for (const auto& type : ScrollEvents())
        m_canvas->Bind(type, &CZoomView::OnScrollWin, this);
    const wxSize client = m_canvas->GetClientSize();
    m_zoom.SetClientSize({client.x, client.y});
    return m_canvas;
}

void CZoomView::ReleaseCanvas()
{
    if (!m_canvas)
        return;
    if (m_canvas->HasCapture())
        m_canvas->ReleaseMouse();
    // The window may outlive the view by a moment (it goes at idle time).
    m_canvas->Unbind(wxEVT_PAINT, &CZoomView::OnPaint, this);
    m_canvas->Unbind(wxEVT_SIZE, &CZoomView::OnSize, this);
    m_canvas->Unbind(wxEVT_SET_CURSOR, &CZoomView::OnSetCursor, this);
    for (const auto& type : MouseEvents())
        m_canvas->Unbind(type, &CZoomView::OnMouse, this);
    for (const auto& type : ScrollEvents())
        m_canvas->Unbind(type, &CZoomView::OnScrollWin, this);
    m_canvas = nullptr;
}

void CZoomView::SetZoomMode(int mode)
{
    if (m_zoom.SetZoomMode(mode) && m_canvas) {
        // The cursor follows at once, as if the mouse had moved.
        wxSetCursorEvent event;
        event.SetEventObject(m_canvas);
        OnSetCursor(event);
        if (event.HasCursor())
            m_canvas->SetCursor(event.GetCursor());
    }
}

void CZoomView::ApplyScrollBars(SIZE range, SIZE, SIZE, POINT position)
{
    if (!m_canvas)
        return;
    const SIZE client = m_zoom.ClientSize();
    auto apply = [this](int orient, int32_t r, int32_t c, int32_t pos) {
        if (r > c)
            m_canvas->SetScrollbar(orient, pos, c, r);
        else
            m_canvas->SetScrollbar(orient, 0, 0, 0);
    };
    apply(wxHORIZONTAL, range.cx, client.cx, position.x);
    apply(wxVERTICAL, range.cy, client.cy, position.y);
}

void CZoomView::ScrollCanvasTo(POINT position)
{
    if (!m_canvas)
        return;
    m_canvas->SetScrollPos(wxHORIZONTAL, position.x);
    m_canvas->SetScrollPos(wxVERTICAL, position.y);
    m_canvas->Refresh(false);
}

void CZoomView::InvalidateCanvas(bool erase)
{
    if (m_canvas)
        m_canvas->Refresh(erase);
}

void CZoomView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(m_canvas);
    OnDraw(&dc);
}

void CZoomView::OnSize(wxSizeEvent& event)
{
    const wxSize client = m_canvas->GetClientSize();
    OnCanvasSize({client.x, client.y});
    event.Skip();
}

void CZoomView::OnCanvasScrolled(POINT position)
{
    m_zoom.SetScrollPosition(position);
    InvalidateCanvas(false);
}

void CZoomView::OnScrollWin(wxScrollWinEvent& event)
{
    const bool horizontal = event.GetOrientation() == wxHORIZONTAL;
    const POINT current = m_zoom.ScrollPosition();
    const int32_t pos = horizontal ? current.x : current.y;
    const int32_t line = std::max(horizontal ? m_zoom.LineStep().cx : m_zoom.LineStep().cy, 1);
    const int32_t page = std::max(horizontal ? m_zoom.ClientSize().cx : m_zoom.ClientSize().cy, 1);
    const int32_t limit = horizontal ? m_zoom.ScrollLimit().x : m_zoom.ScrollLimit().y;
    int32_t target = pos;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP)
        target = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        target = limit;
    else if (type == wxEVT_SCROLLWIN_LINEUP)
        target = pos - line;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        target = pos + line;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        target = pos - page;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        target = pos + page;
    else
        target = event.GetPosition();
    target = std::clamp(target, 0, limit);
    POINT next = current;
    (horizontal ? next.x : next.y) = target;
    if (m_canvas)
        m_canvas->SetScrollPos(event.GetOrientation(), target);
    OnCanvasScrolled(next);
}

void CZoomView::OnMouse(wxMouseEvent& event)
{
    const POINT p = ToPoint(event.GetPosition());
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LEFT_DOWN) {
        if (m_canvas)
            m_canvas->SetFocus();
        OnCanvasLeftDown(p);
    } else if (type == wxEVT_LEFT_UP) {
        OnCanvasLeftUp(p);
    } else if (type == wxEVT_MOTION) {
        OnCanvasMotion(p, event.LeftIsDown());
    } else if (type == wxEVT_LEFT_DCLICK) {
        OnCanvasLeftDClick(p);
    } else if (type == wxEVT_RIGHT_DOWN) {
        const bool stopped = m_zoom.RightDown();
        if (stopped && m_canvas && m_canvas->HasCapture())
            m_canvas->ReleaseMouse();
        InvalidateCanvas(false);
    }
    event.Skip();
}

void CZoomView::OnCanvasLeftDown(POINT client)
{
    if (!m_zoom.BandDown(client) || !m_canvas)
        return;
    if (!m_canvas->HasCapture())
        m_canvas->CaptureMouse();
    m_canvas->SetCursor(wxCursor(wxCURSOR_CROSS));
    InvalidateCanvas(false);
}

void CZoomView::OnCanvasMotion(POINT client, bool)
{
    if (m_zoom.BandMove(client))
        InvalidateCanvas(false);
}

void CZoomView::OnCanvasLeftUp(POINT client)
{
    if (m_canvas && m_canvas->HasCapture())
        m_canvas->ReleaseMouse();
    m_zoom.BandUp(client);
}

void CZoomView::OnSetCursor(wxSetCursorEvent& event)
{
    if (m_zoom.ZoomMode() != ZoomMapping::kZoomNone && m_zoomCursor)
        event.SetCursor(*m_zoomCursor);
    else
        event.Skip();
}

void CZoomView::DrawRubberBand(wxDC& dc) const
{
    if (!m_zoom.Tracking())
        return;
    const RECT band = ZoomMapping::NormalizeRect(m_zoom.Band());
    const POINT a = m_zoom.LogicalToClient({band.left, band.top});
    const POINT b = m_zoom.LogicalToClient({band.right, band.bottom});
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SHORT_DASH));
    dc.DrawRectangle(a.x, a.y, b.x - a.x + 1, b.y - a.y + 1);
}
