#include "editor/model/CSelectionTracker.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Float scales carry rounding noise (0.2f is not 1/5): an edge that lands within
// this distance of a pixel boundary is on it.
constexpr double kEdgeSlack = 1e-3;

int32_t FloorEdge(int32_t canvas, int32_t origin, float scale)
{
    return static_cast<int32_t>(std::floor(double(canvas - origin) / double(scale) + kEdgeSlack));
}

int32_t CeilEdge(int32_t canvas, int32_t origin, float scale)
{
    return static_cast<int32_t>(std::ceil(double(canvas - origin) / double(scale) - kEdgeSlack));
}

bool Within(int32_t value, int32_t start, int32_t length)
{
    return value >= start && value <= start + length;
}

bool Near(int32_t x, int32_t y, int32_t spotX, int32_t spotY, int tolerance)
{
    return std::abs(x - spotX) <= tolerance && std::abs(y - spotY) <= tolerance;
}

}  // namespace

void CSelectionTracker::Remember()
{
    m_rcPrev = m_rcBox;
    m_prevCenter = m_center;
    m_bPrevFirstSet = m_bFirstSet;
    m_bPrevSecondSet = m_bSecondSet;
}

void CSelectionTracker::Finish(bool order)
{
    if (order && HasBox()) {
        if (m_rcBox.right < m_rcBox.left)
            std::swap(m_rcBox.left, m_rcBox.right);
        if (m_rcBox.bottom < m_rcBox.top)
            std::swap(m_rcBox.top, m_rcBox.bottom);
    }
    m_center = {(m_rcBox.left + m_rcBox.right) / 2, (m_rcBox.top + m_rcBox.bottom) / 2};
}

void CSelectionTracker::Clear()
{
    Remember();
    m_rcBox = {};
    m_bFirstSet = m_bSecondSet = false;
    Finish(false);
}

void CSelectionTracker::Begin(int32_t x, int32_t y)
{
    Remember();
    m_rcBox = {x, y, 0, 0};
    m_bFirstSet = true;
    m_bSecondSet = false;
    Finish(false);
}

void CSelectionTracker::SetCorner(int32_t x, int32_t y, int which)
{
    Remember();
    if (which == 1) {
        m_rcBox.left = x;
        m_rcBox.top = y;
        m_bFirstSet = true;
    } else {
        m_rcBox.right = x;
        m_rcBox.bottom = y;
        m_bSecondSet = true;
    }
    Finish(true);
}

void CSelectionTracker::TakeInBounds(const Display& display, int32_t x, int32_t y, int which)
{
    int32_t& cx = which == 1 ? m_rcBox.left : m_rcBox.right;
    int32_t& cy = which == 1 ? m_rcBox.top : m_rcBox.bottom;
    bool& set = which == 1 ? m_bFirstSet : m_bSecondSet;
    const bool takeX = Within(x, display.origin.x, display.width);
    const bool takeY = Within(y, display.origin.y, display.height);
    if (takeX)
        cx = x;
    if (takeY)
        cy = y;
    // A corner that was never set has no old value to keep: it starts on the image.
    if (!set) {
        if (!takeX)
            cx = std::clamp(x, display.origin.x, display.origin.x + display.width);
        if (!takeY)
            cy = std::clamp(y, display.origin.y, display.origin.y + display.height);
        set = true;
    }
}

void CSelectionTracker::SetCornerInBounds(const Display& display, int32_t x, int32_t y, int which)
{
    Remember();
    TakeInBounds(display, x, y, which);
    Finish(true);
}

void CSelectionTracker::SetCornerInBoundsUnordered(const Display& display, int32_t x, int32_t y, int which)
{
    Remember();
    TakeInBounds(display, x, y, which);
    Finish(false);
}

void CSelectionTracker::SetRect(const Display& display, RECT box, bool mark)
{
    Remember();
    m_rcBox = box;
    m_bFirstSet = m_bSecondSet = true;
    Finish(true);
    m_rcImage = ToImageRect(display.origin, display.scale);
    if (mark)
        m_mark = {m_rcImage.left, m_rcImage.top};
}

void CSelectionTracker::MoveResize(const Display& display, RECT box)
{
    Remember();
    TakeInBounds(display, box.right, box.bottom, 2);
    TakeInBounds(display, box.left, box.top, 1);
    Finish(true);
    m_rcImage = ToImageRect(display.origin, display.scale);
}

void CSelectionTracker::ClampTo(const Display& display)
{
    if (!HasBox())
        return;
    Remember();
    const int32_t right = display.origin.x + display.width;
    const int32_t bottom = display.origin.y + display.height;
    m_rcBox.left = std::clamp(m_rcBox.left, display.origin.x, right);
    m_rcBox.right = std::clamp(m_rcBox.right, display.origin.x, right);
    m_rcBox.top = std::clamp(m_rcBox.top, display.origin.y, bottom);
    m_rcBox.bottom = std::clamp(m_rcBox.bottom, display.origin.y, bottom);
    Finish(true);
}

RECT CSelectionTracker::ToImageRect(POINT origin, float scale) const
{
    if (!(scale > 0.0f))
        return {};
    return {FloorEdge(m_rcBox.left, origin.x, scale), FloorEdge(m_rcBox.top, origin.y, scale),
            CeilEdge(m_rcBox.right, origin.x, scale), CeilEdge(m_rcBox.bottom, origin.y, scale)};
}

void CSelectionTracker::Rescale(float newScale, POINT newOrigin, float oldScale, POINT oldOrigin)
{
    if (!m_bFirstSet)
        return;
    m_rcImage = ToImageRect(oldOrigin, oldScale);
    auto place = [newScale](int32_t image, int32_t origin) {
        return static_cast<int32_t>(std::lround(double(image) * newScale)) + origin;
    };
    m_rcBox.left = place(m_rcImage.left, newOrigin.x);
    m_rcBox.top = place(m_rcImage.top, newOrigin.y);
    if (m_bSecondSet) {
        m_rcBox.right = place(m_rcImage.right, newOrigin.x);
        m_rcBox.bottom = place(m_rcImage.bottom, newOrigin.y);
    }
    Finish(false);
}

int CSelectionTracker::HitTest(int32_t x, int32_t y) const
{
    if (!HasBox())
        return kHitNone;
    const int t = m_nHandle + 2;
    const RECT& b = m_rcBox;
    const POINT& c = m_center;
    struct Spot {
        int32_t x, y;
        int code;
    };
    const Spot spots[] = {
        {c.x, b.top, kHitTop},         {b.right, c.y, kHitRight},        {b.left, c.y, kHitLeft},
        {c.x, b.bottom, kHitBottom},   {b.left, b.top, kHitTopLeft},     {b.right, b.top, kHitTopRight},
        {b.left, b.bottom, kHitBottomLeft}, {b.right, b.bottom, kHitBottomRight},
    };
    for (const Spot& s : spots)
        if (Near(x, y, s.x, s.y, t))
            return s.code;
    if (x >= b.left && x <= b.right && y >= b.top && y <= b.bottom)
        return kHitInside;
    return kHitNone;
}

std::array<POINT, 4> CSelectionTracker::Outline(RECT box, POINT scroll)
{
    const int32_t l = box.left - scroll.x;
    const int32_t t = box.top - scroll.y;
    const int32_t r = box.right - 1 - scroll.x;
    const int32_t b = box.bottom - 1 - scroll.y;
    return {POINT{l, t}, POINT{r, t}, POINT{r, b}, POINT{l, b}};
}

std::array<RECT, 9> CSelectionTracker::Handles(RECT box, POINT centre, int h, POINT scroll)
{
    const int32_t l = box.left - scroll.x;
    const int32_t t = box.top - scroll.y;
    const int32_t r = box.right - scroll.x;
    const int32_t b = box.bottom - scroll.y;
    const int32_t cx = centre.x - scroll.x;
    const int32_t cy = centre.y - scroll.y;
    // Squares centred on outline pixels: the right and bottom edges are drawn one
    // pixel inside the box, so their squares sit one pixel further left or up.
    auto atLeft = [h](int32_t x) { return std::pair{x - h - 2, x + h + 2}; };
    auto atRight = [h](int32_t x) { return std::pair{x - h - 3, x + h + 1}; };
    auto square = [](std::pair<int32_t, int32_t> xs, std::pair<int32_t, int32_t> ys) {
        return RECT{xs.first, ys.first, xs.second, ys.second};
    };
    return {square(atLeft(l), atLeft(t)),   square(atRight(r), atLeft(t)),  square(atRight(r), atRight(b)),
            square(atLeft(l), atRight(b)),  square(atLeft(l), atLeft(cy)),  square(atRight(r), atLeft(cy)),
            square(atLeft(cx), atLeft(t)),  square(atLeft(cx), atRight(b)), square(atLeft(cx), atLeft(cy))};
}

RECT CSelectionTracker::DrawnArea(RECT box, int handle, POINT scroll)
{
    const int32_t reach = handle + 3;
    return {box.left - scroll.x - reach, box.top - scroll.y - reach, box.right - scroll.x + reach,
            box.bottom - scroll.y + reach};
}
