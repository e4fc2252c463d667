// Selection mask: one byte per pixel plus the bounding box of the selected pixels.

#include "image/CLfImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

inline int64_t Clamp(int64_t v, int64_t lo, int64_t hi)
{
    return std::clamp(v, lo, hi);
}

constexpr uint8_t kSelected = 255;

// Truncates toward zero; values far outside the image only need to stay outside.
inline int64_t Trunc(float v)
{
    return int64_t(std::clamp(v, -1e15f, 1e15f));
}

}  // namespace

void CLfImage::SelectionResetBox()
{
    info.selectionBox.left = header.biWidth;
    info.selectionBox.top = 0;
    info.selectionBox.right = 0;
    info.selectionBox.bottom = header.biHeight;
}

void CLfImage::SelectionGrowBox(int64_t left, int64_t bottom, int64_t right, int64_t top)
{
    RECT& box = info.selectionBox;
    box.left = int32_t(std::min<int64_t>(box.left, left));
    box.bottom = int32_t(std::min<int64_t>(box.bottom, bottom));
    box.right = int32_t(std::max<int64_t>(box.right, right));
    box.top = int32_t(std::max<int64_t>(box.top, top));
}

bool CLfImage::SelectionCreate()
{
    SelectionDelete();
    if (!dib || !lfimg::CheckPixelBuffer(header.biWidth, header.biHeight, 8, 1).ok())
        return false;
    selection = static_cast<uint8_t*>(std::calloc(size_t(header.biWidth), size_t(header.biHeight)));
    return selection != nullptr;
}

bool CLfImage::SelectionDelete()
{
    if (!info.ghostOf)
        std::free(selection);
    selection = nullptr;
    SelectionResetBox();
    return true;
}

bool CLfImage::SelectionClear()
{
    if (!selection)
        return false;
    std::memset(selection, 0, size_t(header.biWidth) * size_t(header.biHeight));
    SelectionResetBox();
    return true;
}

bool CLfImage::SelectionIsInside(int64_t x, int64_t y) const
{
    if (!IsInside(x, y))
        return false;
    if (!selection)
        return true;
    return selection[size_t(y) * size_t(header.biWidth) + size_t(x)] != 0;
}

bool CLfImage::SelectionAddRect(RECT rect)
{
    if (!selection && !SelectionCreate())
        return false;
    const int64_t w = header.biWidth, h = header.biHeight;
    const int64_t xmin = Clamp(std::min(rect.left, rect.right), 0, w);
    const int64_t xmax = Clamp(std::max(rect.left, rect.right), 0, w);
    const int64_t ymin = Clamp(std::min(rect.top, rect.bottom), 0, h);
    const int64_t ymax = Clamp(std::max(rect.top, rect.bottom), 0, h);

    SelectionGrowBox(xmin, ymin, xmax, ymax);

    for (int64_t y = ymin; y < ymax; ++y)
        std::memset(selection + y * w + xmin, kSelected, size_t(xmax - xmin));
    return true;
}

bool CLfImage::SelectionAddEllipse(RECT rect)
{
    // 64 bits: hostile corners must not overflow the sums.
    const int64_t rx = std::abs(int64_t(rect.right) - rect.left) / 2;
    const int64_t ry = std::abs(int64_t(rect.top) - rect.bottom) / 2;
    if (rx == 0 || ry == 0)
        return false;
    if (!selection && !SelectionCreate())
        return false;
    const int64_t w = header.biWidth, h = header.biHeight;
    const int64_t xc = (int64_t(rect.left) + rect.right) / 2;
    const int64_t yc = (int64_t(rect.top) + rect.bottom) / 2;

    SelectionGrowBox(Clamp(xc - rx, 0, w), Clamp(yc - ry, 0, h), Clamp(xc + rx, 0, w), Clamp(yc + ry, 0, h));

    const float frx = float(rx);
    const int64_t x0 = Clamp(xc - rx, 0, w), x1 = Clamp(xc + rx, 0, w);
    // Both halves stay inside the image even when the centre lies outside it.
    const int64_t lowY0 = Clamp(yc - ry, 0, h), lowY1 = Clamp(yc, 0, h);
    const int64_t highY0 = Clamp(yc, 0, h), highY1 = Clamp(yc + ry, 0, h);
    for (int64_t x = x0; x < x1; ++x) {
        const double t = double(x - xc) / frx;
        const double d = double(ry) * std::sqrt(std::max(0.0, 1.0 - t * t));
        const int64_t lowEdge = int64_t(double(yc) - d);
        const int64_t highEdge = int64_t(double(yc) + d);
        for (int64_t y = lowY0; y < lowY1; ++y) {
            if (lowEdge < y)
                selection[y * w + x] = kSelected;
        }
        for (int64_t y = highY0; y < highY1; ++y) {
            if (y < highEdge)
                selection[y * w + x] = kSelected;
        }
    }
    return true;
}

bool CLfImage::SelectionAddPolygon(const POINT* points, int32_t count)
{
    if (!points || count < 3)
        return false;
    if (!selection && !SelectionCreate())
        return false;
    try {
        return AddPolygonToMask(points, count);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CLfImage::AddPolygonToMask(const POINT* points, int32_t count)
{
    const int64_t w = header.biWidth, h = header.biHeight;
    std::vector<uint8_t> plane(size_t(w) * size_t(h), 0);
    auto mark = [&](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            plane[size_t(y * w + x)] = kSelected;
    };
    // Only the part of a segment's range inside [0, limit) can mark anything, so
    // huge coordinates cost nothing.
    auto drawSegment = [&](const POINT& a, const POINT& b) {
        if (a.x != b.x) {
            const float s = float(int64_t(b.y) - a.y) / float(int64_t(b.x) - a.x);
            const int64_t lo = std::max<int64_t>(std::min(a.x, b.x), 0);
            const int64_t hi = std::min<int64_t>(std::max(a.x, b.x), w - 1);
            for (int64_t x = lo; x <= hi; ++x)
                mark(x, Trunc(s * float(x - a.x) + float(a.y)));
        }
        if (a.y != b.y) {
            const float t = float(int64_t(b.x) - a.x) / float(int64_t(b.y) - a.y);
            const int64_t lo = std::max<int64_t>(std::min(a.y, b.y), 0);
            const int64_t hi = std::min<int64_t>(std::max(a.y, b.y), h - 1);
            for (int64_t y = lo; y <= hi; ++y)
                mark(Trunc(t * float(y - a.y) + float(a.x)), y);
        }
    };

    int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    int32_t first = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (points[i].x == -1) {
            first = i + 1;
            continue;
        }
        minX = std::min<int64_t>(minX, points[i].x);
        maxX = std::max<int64_t>(maxX, points[i].x);
        minY = std::min<int64_t>(minY, points[i].y);
        maxY = std::max<int64_t>(maxY, points[i].y);
        const bool last = i + 1 == count || points[i + 1].x == -1;
        drawSegment(points[i], last ? points[first] : points[i + 1]);
    }
    if (minX == INT64_MAX)
        return false;  // separators only

    // The polygon's box, one pixel wider on every side so the outside fill can pass
    // around the outlines.
    const int64_t bl = Clamp(minX - 1, 0, w - 1), br = Clamp(maxX + 1, 0, w - 1);
    const int64_t bb = Clamp(minY - 1, 0, h - 1), bt = Clamp(maxY + 1, 0, h - 1);

    // Flood the outside with 1 from every free pixel of the box's border.
    constexpr uint8_t kOutside = 1;
    // Pixel offsets fit 32 bits: the plane passed the size gate.
    std::vector<uint32_t> pending;
    auto seed = [&](int64_t x, int64_t y) {
        uint8_t& v = plane[size_t(y * w + x)];
        if (v == 0) {
            v = kOutside;
            pending.push_back(uint32_t(y * w + x));
        }
    };
    auto fill = [&]() {
        while (!pending.empty()) {
            const int64_t at = pending.back();
            pending.pop_back();
            const int64_t x = at % w, y = at / w;
            if (x > bl)
                seed(x - 1, y);
            if (x < br)
                seed(x + 1, y);
            if (y > bb)
                seed(x, y - 1);
            if (y < bt)
                seed(x, y + 1);
        }
    };
    for (int64_t x = bl; x <= br; ++x) {
        seed(x, bb);
        seed(x, bt);
    }
    for (int64_t y = bb; y <= bt; ++y) {
        seed(bl, y);
        seed(br, y);
    }
    fill();

    for (int64_t y = bb; y <= bt; ++y) {
        for (int64_t x = bl; x <= br; ++x) {
            if (plane[size_t(y * w + x)] != kOutside)
                selection[y * w + x] = kSelected;
        }
    }

    SelectionGrowBox(bl, bb, br + 1, bt + 1);
    return true;
}

bool CLfImage::SelectionAddColor(RGBQUAD color)
{
    if (!selection && !SelectionCreate())
        return false;
    const int64_t w = header.biWidth, h = header.biHeight;
    int64_t minX = w, maxX = -1, minY = h, maxY = -1;
    for (int64_t y = 0; y < h; ++y) {
        for (int64_t x = 0; x < w; ++x) {
            const RGBQUAD c = GetPixelColor(x, y);
            if (c.rgbBlue == color.rgbBlue && c.rgbGreen == color.rgbGreen && c.rgbRed == color.rgbRed) {
                selection[y * w + x] = kSelected;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX >= 0)
        SelectionGrowBox(minX, minY, maxX + 1, maxY + 1);
    return true;
}

bool CLfImage::SelectionAddPixel(int64_t x, int64_t y)
{
    if (!IsInside(x, y))
        return false;
    if (!selection && !SelectionCreate())
        return false;
    selection[size_t(y) * size_t(header.biWidth) + size_t(x)] = kSelected;
    SelectionGrowBox(x, y, x + 1, y + 1);
    return true;
}

bool CLfImage::SelectionInvert()
{
    if (!selection)
        return false;
    const size_t n = size_t(header.biWidth) * size_t(header.biHeight);
    for (size_t i = 0; i < n; ++i)
        selection[i] = uint8_t(255 - selection[i]);
    return true;
}

bool CLfImage::SelectionCopy(const CLfImage& src)
{
    // Same width and height: a smaller source mask would be read past its end.
    if (!src.selection || &src == this || src.header.biWidth != header.biWidth ||
        src.header.biHeight != header.biHeight)
        return false;
    if (!selection && !SelectionCreate())
        return false;
    std::memcpy(selection, src.selection, size_t(header.biWidth) * size_t(header.biHeight));
    info.selectionBox = src.info.selectionBox;
    return true;
}

bool CLfImage::SelectionToHRGN(std::vector<RECT>* region) const
{
    if (!selection || !region)
        return false;
    try {
    const int32_t w = header.biWidth;
    for (int32_t y = 0; y < header.biHeight; ++y) {
        const uint8_t* row = selection + size_t(y) * size_t(w);
        for (int32_t x = 0; x < w;) {
            if (row[x] != kSelected) {
                ++x;
                continue;
            }
            const int32_t a = x;
            while (x < w && row[x] == kSelected)
                ++x;
            region->push_back(RECT{a, y, x, y + 1});
        }
    }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
