#include "editor/model/ZoomMapping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Logical to device along one axis: an anisotropic mapping rounds to the nearest pixel.
int32_t Scale(int32_t value, int32_t to, int32_t from)
{
    if (from == 0)
        return value;
    return static_cast<int32_t>(std::lround(double(value) * to / from));
}

int32_t Clamp(int32_t value, int32_t limit)
{
    return std::clamp(value, 0, std::max(limit, 0));
}

}  // namespace

void ZoomMapping::SetScrollPosition(POINT position)
{
    const POINT limit = ScrollLimit();
    m_scroll = {Clamp(position.x, limit.x), Clamp(position.y, limit.y)};
}

POINT ZoomMapping::ScrollLimit() const
{
    return {std::max(m_range.cx - m_client.cx, 0), std::max(m_range.cy - m_client.cy, 0)};
}

void ZoomMapping::SetZoomSizes(SIZE logical, SIZE pageLog, SIZE lineLog)
{
    m_logical = logical;
    m_device = logical;
    m_base = logical;
    m_pageLog = pageLog;
    m_lineLog = lineLog;
    UpdateViewport();
    if (m_host)
        m_host->NotifyZoom();
}

POINT ZoomMapping::ViewportOrigin() const
{
    POINT origin{-m_scroll.x, -m_scroll.y};
    if (m_device.cx < m_client.cx)
        origin.x = (m_client.cx - m_device.cx) / 2;
    if (m_device.cy < m_client.cy)
        origin.y = (m_client.cy - m_device.cy) / 2;
    return origin;
}

POINT ZoomMapping::LogicalToClient(POINT p) const
{
    const POINT origin = ViewportOrigin();
    return {Scale(p.x, m_device.cx, m_logical.cx) + origin.x, Scale(p.y, m_device.cy, m_logical.cy) + origin.y};
}

POINT ZoomMapping::ClientToLogical(POINT p) const
{
    const POINT origin = ViewportOrigin();
    return {Scale(p.x - origin.x, m_logical.cx, m_device.cx), Scale(p.y - origin.y, m_logical.cy, m_device.cy)};
}

POINT ZoomMapping::GetLogicalCenter() const
{
    return ClientToLogical({m_client.cx / 2, m_client.cy / 2});
}

void ZoomMapping::CenterOnLogicalPoint(POINT p)
{
    const POINT device = ClientToDevice(LogicalToClient(p));
    SetScrollPosition({device.x - m_client.cx / 2, device.y - m_client.cy / 2});
    if (m_host)
        m_host->ScrollTo(m_scroll);
}

void ZoomMapping::UpdateViewport()
{
    SIZE page{std::abs(m_pageLog.cx), std::abs(m_pageLog.cy)};
    SIZE line{std::abs(m_lineLog.cx), std::abs(m_lineLog.cy)};
    if (page.cx == 0)
        page.cx = m_device.cx / 10;
    if (page.cy == 0)
        page.cy = m_device.cy / 10;
    if (line.cx == 0)
        line.cx = page.cx / 10;
    if (line.cy == 0)
        line.cy = page.cy / 10;
    m_page = page;
    m_line = line;
    if (!m_host)
        return;
    // In best-fit mode the bars stay as they are unless a refresh was asked for; the
    // request is used up either way.
    const bool requested = m_host->TakeRefitRequest();
    if (!m_host->BestFitViewMode() || requested) {
        m_range = m_device;
        SetScrollPosition(m_scroll);
        m_host->ApplyScrollBars(m_range, m_page, m_line, m_scroll);
    }
    m_host->InvalidateView(false);
}

SIZE ZoomMapping::Scaled(float factor) const
{
    return {static_cast<int32_t>(m_base.cx * factor), static_cast<int32_t>(m_base.cy * factor)};
}

void ZoomMapping::Changed(POINT centre)
{
    CenterOnLogicalPoint(centre);
    if (m_host)
        m_host->NotifyZoom();
}

void ZoomMapping::DoZoomIn(const POINT* centre, float step)
{
    const POINT c = centre ? *centre : GetLogicalCenter();
    m_fZoom += step;
    m_device = Scaled(m_fZoom);
    UpdateViewport();
    Changed(c);
}

void ZoomMapping::ZoomOut(const POINT* centre, float step)
{
    const POINT c = centre ? *centre : GetLogicalCenter();
    // The factor never reaches 0 (or below): the picture would vanish and the
    // conversions divide by it.
    if (!m_bKeepZoomOnce && m_fZoom - step > 0.0f)
        m_fZoom -= step;
    m_bKeepZoomOnce = false;
    m_device = Scaled(m_fZoom);
    UpdateViewport();
    Changed(c);
}

void ZoomMapping::IncreaseFitScale(const POINT* centre, float step)
{
    const POINT c = centre ? *centre : GetLogicalCenter();
    m_fReduce += step;
    m_device = Scaled(m_fReduce);
    UpdateViewport();
    m_fZoom = 1.0f;
    m_device = m_base;
    Changed(c);
}

void ZoomMapping::DecreaseFitScale(const POINT* centre, float step)
{
    const POINT c = centre ? *centre : GetLogicalCenter();
    if (m_fReduce - step > 0.0f)
        m_fReduce -= step;
    m_bKeepZoomOnce = false;
    m_device = Scaled(m_fReduce);
    UpdateViewport();
    m_fZoom = 1.0f;
    m_device = m_base;
    Changed(c);
}

void ZoomMapping::DoZoomRect(RECT rect)
{
    rect = NormalizeRect(rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const POINT a = LogicalToClient({rect.left, rect.top});
    const POINT b = LogicalToClient({rect.right, rect.bottom});
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    // A band too small to mean a rectangle (or with no width or height) is a click.
    if (std::max(b.x - a.x, b.y - a.y) < 10 || width <= 0 || height <= 0) {
        DoZoomIn(&centre, 0.2f);
        return;
    }
    m_fZoom = std::min(float(m_client.cx + 1) / float(width), float(m_client.cy + 1) / float(height));
    m_device = Scaled(m_fZoom);
    UpdateViewport();
    Changed(centre);
}

void ZoomMapping::ZoomToFit()
{
    SIZE box = m_client;
    SIZE margins;
    FitSizeKeepingAspect(m_logical, box, margins);
    m_device = box;
    if (m_base.cx > 0)
        m_fZoom = float(box.cx) / float(m_base.cx);
    if (m_host) {
        m_range = m_device;
        SetScrollPosition(m_scroll);
        m_host->ApplyScrollBars(m_range, m_page, m_line, m_scroll);
        m_host->InvalidateView(true);
        m_host->NotifyZoom();
    }
}

bool ZoomMapping::SetZoomMode(int mode)
{
    if (mode == m_nZoomMode)
        return false;
    m_nZoomMode = mode;
    return true;
}

bool ZoomMapping::BandDown(POINT client)
{
    if (m_nZoomMode != kZoomBand)
        return false;
    m_bTracking = true;
    const POINT p = ClientToLogical(client);
    m_rcBand = {p.x, p.y, p.x, p.y};
    return true;
}

bool ZoomMapping::BandMove(POINT client)
{
    if (m_nZoomMode != kZoomBand || !m_bTracking)
        return false;
    const POINT p = ClientToLogical(client);
    m_rcBand.right = p.x;
    m_rcBand.bottom = p.y;
    return true;
}

void ZoomMapping::BandUp(POINT client)
{
    if (m_nZoomMode == kZoomBand && m_bTracking) {
        m_bTracking = false;
        DoZoomRect(m_rcBand);
    } else if (m_nZoomMode == kZoomOutClick) {
        const POINT p = ClientToLogical(client);
        ZoomOut(&p, 0.2f);
    }
}

bool ZoomMapping::RightDown()
{
    if (m_bTracking) {
        m_bTracking = false;
        return true;
    }
    m_nZoomMode = kZoomNone;
    return false;
}

RECT ZoomMapping::NormalizeRect(RECT rect)
{
    if (rect.right < rect.left)
        std::swap(rect.left, rect.right);
    if (rect.bottom < rect.top)
        std::swap(rect.top, rect.bottom);
    return rect;
}

void ZoomMapping::FitSizeKeepingAspect(SIZE size, SIZE& box, SIZE& margins)
{
    margins = {0, 0};
    if (size.cx <= 0 || size.cy <= 0 || box.cx <= 0 || box.cy <= 0)
        return;
    const float a = float(size.cx) / float(size.cy);
    const float b = float(box.cx) / float(box.cy);
    if (a > b) {
        const int32_t h = static_cast<int32_t>(float(box.cx) / a);
        margins = {0, box.cy - h};
        box.cy = h;
    } else if (a < b) {
        const int32_t w = static_cast<int32_t>(a * float(box.cy));
        margins = {box.cx - w, 0};
        box.cx = w;
    }
}
