#include "graphictext/ui/CDlgWaterImageView.h"

#include "image/CLfImage.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include <algorithm>

CDlgWaterImageView::CDlgWaterImageView(wxWindow* parent, const wxRect& box, const wxRect& draw, BlendRule rule)
    : wxWindow(parent, wxID_ANY, box.GetPosition(), box.GetSize()), m_rule(rule), m_draw(draw)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CDlgWaterImageView::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CDlgWaterImageView::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CDlgWaterImageView::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CDlgWaterImageView::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CDlgWaterImageView::OnCaptureLost, this);
}

void CDlgWaterImageView::SetRaster(const TextRaster& raster, int width, int height, COLORREF colour, int visibility)
{
    m_raster = raster;
    m_hasRaster = true;
    m_rasterWidth = width;
    m_rasterHeight = height;
    m_colour = colour;
    m_visibility = visibility;
}

void CDlgWaterImageView::Render(wxDC& dc)
{
    dc.SetBackground(wxBrush(wxColour(kBackground, kBackground, kBackground)));
    dc.Clear();
    if (m_hasRaster && m_position.IsUnset())
        m_position.SetDefault(m_draw.width, m_draw.height);
    if (!m_shown || !m_shown->IsValid() || m_draw.width <= 0 || m_draw.height <= 0)
        return;
    // The reduced image is drawn at its own size, so the overlay is blended into a copy
    // of its pixels before it reaches the screen.
    wxImage picture(m_draw.width, m_draw.height);
    unsigned char* rgb = picture.GetData();
    const int h = m_draw.height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < m_draw.width; ++x) {
            const RGBQUAD c = m_shown->GetPixelColor(x, h - 1 - y);
            unsigned char* p = rgb + (static_cast<size_t>(y) * m_draw.width + x) * 3;
            p[0] = c.rgbRed, p[1] = c.rgbGreen, p[2] = c.rgbBlue;
        }
    if (m_hasRaster) {
        // Pane point (relative to the drawn image) of raster point (x, r): only the points
        // strictly inside the image are walked, however far the block reaches past it.
        const long long top = static_cast<long long>(h) - m_position.originY - m_rasterHeight;
        const IndexSpan columns =
            ClipIndices(std::min(m_rasterWidth, m_raster.Width()), m_position.originX, 1, 1, m_draw.width);
        const IndexSpan rows = ClipIndices(std::min(m_rasterHeight, m_raster.StoredRows()), top, 1, 1, h);
        for (int x = columns.end - 1; x >= columns.begin; --x)
            for (int r = rows.begin; r < rows.end; ++r) {
                if (!m_raster.IsText(x, r))
                    continue;
                const int px = m_position.originX + x;
                const int py = static_cast<int>(top + r);
                unsigned char* p = rgb + (static_cast<size_t>(py) * m_draw.width + px) * 3;
                RGBQUAD under;
                under.rgbRed = p[0], under.rgbGreen = p[1], under.rgbBlue = p[2], under.rgbReserved = 0;
                const RGBQUAD out = BlendColor(m_colour, under, m_visibility, m_rule);
                p[0] = out.rgbRed, p[1] = out.rgbGreen, p[2] = out.rgbBlue;
            }
    }
    dc.DrawBitmap(wxBitmap(picture), m_draw.x, m_draw.y);
}

void CDlgWaterImageView::RenderPreview() { Refresh(false); }

void CDlgWaterImageView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    Render(dc);
}

void CDlgWaterImageView::ButtonDown(const wxPoint& point)
{
    if (m_dragDisabled)
        return;
    const int q = m_draw.height - point.y;
    const int left = m_position.originX + m_draw.x;
    const int bottom = m_position.originY - m_draw.y;
    if (point.x >= left && point.x <= left + m_rasterWidth && q >= bottom && q <= bottom + m_rasterHeight) {
        m_grabX = point.x - left;
        m_grabY = q - bottom;
        m_dragging = true;
    }
}

void CDlgWaterImageView::PointerMove(const wxPoint& point)
{
    if (m_dragDisabled || !m_dragging)
        return;
    if (m_clean)
        m_shown = m_clean;
    // The block's right edge stays inside the image, then its left edge (which wins
    // for a block wider than the image).
    int left = point.x - m_grabX;
    left = std::min(left, m_draw.x + m_draw.width - m_rasterWidth);
    left = std::max(left, m_draw.x);
    // Vertically the block stays inside the image too: its bottom edge on the last row
    // at most, its top edge on the first row at least.
    int bottomEdge = std::min(point.y + m_grabY, m_draw.y + m_draw.height);
    bottomEdge = std::max(bottomEdge, m_draw.y + std::min(m_rasterHeight, m_draw.height));
    m_position.originX = left - m_draw.x;
    m_position.originY = m_draw.y + m_draw.height - bottomEdge;
    Refresh(false);
}

void CDlgWaterImageView::ButtonUp()
{
    if (m_dragDisabled || !m_dragging)
        return;
    m_dragging = false;
    m_position.TakePercentages(m_draw.width, m_draw.height);
}

void CDlgWaterImageView::OnLeftDown(wxMouseEvent& event)
{
    event.Skip();
    ButtonDown(event.GetPosition());
    if (m_dragging && !HasCapture())
        CaptureMouse();
}

void CDlgWaterImageView::OnMotion(wxMouseEvent& event)
{
    event.Skip();
    if (event.Dragging())
        PointerMove(event.GetPosition());
}

void CDlgWaterImageView::OnLeftUp(wxMouseEvent& event)
{
    event.Skip();
    ButtonUp();
    if (HasCapture())
        ReleaseMouse();
}

void CDlgWaterImageView::OnCaptureLost(wxMouseCaptureLostEvent&) { ButtonUp(); }
