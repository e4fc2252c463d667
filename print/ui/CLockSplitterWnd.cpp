#include "print/ui/CLockSplitterWnd.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>

CLockSplitterWnd::CLockSplitterWnd(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE)
{
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    Bind(wxEVT_SIZE, &CLockSplitterWnd::OnSize, this);
    Bind(wxEVT_PAINT, &CLockSplitterWnd::OnPaint, this);
    // The bars take no part in the mouse: no split cursor, no tracking.
    Bind(wxEVT_LEFT_DOWN, &CLockSplitterWnd::OnMouse, this);
    Bind(wxEVT_MOTION, &CLockSplitterWnd::OnMouse, this);
}

void CLockSplitterWnd::SetPane(int column, wxWindow* pane)
{
    if (column >= 0 && column < 3)
        m_panes[static_cast<size_t>(column)] = pane;
}

wxWindow* CLockSplitterWnd::GetPane(int column) const
{
    return column >= 0 && column < 3 ? m_panes[static_cast<size_t>(column)] : nullptr;
}

void CLockSplitterWnd::SetColumns(const PrintColumns& columns)
{
    m_columns = columns;
}

void CLockSplitterWnd::RecalcLayout()
{
    const wxSize client = GetClientSize();
    const int widths[2] = {m_columns.left, m_columns.middle};
    int x = 0;
    for (size_t i = 0; i < 3; ++i) {
        const int width = i < 2 ? widths[i] : std::max(client.x - x, m_columns.right);
        if (m_panes[i])
            m_panes[i]->SetSize(x, 0, std::max(width, 1), std::max(client.y, 1));
        x += width + kBarWidth;
    }
    Refresh();
}

void CLockSplitterWnd::OnSize(wxSizeEvent& event)
{
    RecalcLayout();
    event.Skip();
}

void CLockSplitterWnd::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const int height = GetClientSize().y;
    const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
    const wxPen dark(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    int x = 0;
    const int widths[2] = {m_columns.left, m_columns.middle};
    for (int width : widths) {
        x += width;
        dc.SetPen(light);
        dc.DrawLine(x + 1, 0, x + 1, height);
        dc.SetPen(dark);
        dc.DrawLine(x + kBarWidth - 2, 0, x + kBarWidth - 2, height);
        x += kBarWidth;
    }
}

void CLockSplitterWnd::OnMouse(wxMouseEvent& event)
{
    if (!m_bLocked)
        event.Skip();
}
