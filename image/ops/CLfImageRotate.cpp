// Geometric transforms other than resampling: rotation by any angle and by quarter
// turns, flips, cropping, canvas enlargement, thumbnails and skewing. Each builds
// its result in a work image and moves it in at the end (into the destination image
// when one is given).

#include "image/CLfImage.h"

#include "image/ops/LfImageWork.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

// Copies pixel (sx, sy) of src to (dx, dy) of dst (same depth, both inside).
inline void CopyPixel(const CLfImage& src, int64_t sx, int64_t sy, CLfImage& dst, int64_t dx, int64_t dy)
{
    if (src.GetBpp() == 24) {
        std::memcpy(dst.info.bits + dy * dst.GetRowBytes() + dx * 3, src.info.bits + sy * src.GetRowBytes() + sx * 3, 3);
    } else if (src.GetBpp() == 8) {
        dst.info.bits[dy * dst.GetRowBytes() + dx] = src.info.bits[sy * src.GetRowBytes() + sx];
    } else {
        dst.SetPixelIndex(dx, dy, src.GetPixelIndex(sx, sy));
    }
}

inline uint8_t AlphaAt(const CLfImage& img, int64_t x, int64_t y)
{
    return img.alpha[y * img.GetWidth() + x];
}

inline void SetAlphaAt(CLfImage& img, int64_t x, int64_t y, uint8_t v)
{
    img.alpha[y * img.GetWidth() + x] = v;
}

// Index and bit position helpers for the packed depths.
inline uint8_t PackedIndex(const uint8_t* row, int64_t x, uint32_t bpp)
{
    if (bpp == 4)
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

inline void SetPackedIndex(uint8_t* row, int64_t x, uint32_t bpp, uint8_t v)
{
    if (bpp == 4) {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | (v & 0x0F)) : uint8_t((b & 0x0F) | (v << 4));
    } else {
        uint8_t& b = row[x >> 3];
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        b = v ? uint8_t(b | bit) : uint8_t(b & ~bit);
    }
}

// Copies count pixels of row src starting at column sx to row dst at column dx.
void CopyRowPixels(const uint8_t* src, int64_t sx, uint8_t* dst, int64_t dx, int64_t count, uint32_t bpp)
{
    if (bpp >= 8) {
        const int64_t bytes = bpp / 8;
        std::memcpy(dst + dx * bytes, src + sx * bytes, size_t(count * bytes));
        return;
    }
    for (int64_t i = 0; i < count; ++i)
        SetPackedIndex(dst, dx + i, bpp, PackedIndex(src, sx + i, bpp));
}

// The result of a quarter turn or half turn: which source pixel lands on (x, y).
enum class Turn { Left, Right, Half };

bool TurnImage(CLfImage& self, Turn turn, CLfImage* destination)
{
    if (!self.IsValid())
        return false;
    const int64_t w = self.GetWidth();
    const int64_t h = self.GetHeight();
    const bool quarter = turn != Turn::Half;
    const int64_t nw = quarter ? h : w;
    const int64_t nh = quarter ? w : h;
    CLfImage result;
    if (!lfimg::CreateWorkImage(self, result, nw, nh, self.GetBpp()))
        return false;
    if (quarter) {
        // The picture's width becomes its height: its resolutions change places too,
        // or a turned 300 x 72 DPI scan would print stretched.
        result.SetXDPI(self.info.yDpi);
        result.SetYDPI(self.info.xDpi);
    }
    const bool withAlpha = self.alpha != nullptr;
    if (withAlpha) {
        result.AlphaCreate();
        if (!result.alpha)
            return false;
    }
    auto source = [&](int64_t x, int64_t y, int64_t& sx, int64_t& sy) {
        switch (turn) {
        case Turn::Right: sx = w - 1 - y; sy = x; break;
        case Turn::Left: sx = y; sy = h - 1 - x; break;
        case Turn::Half: sx = w - 1 - x; sy = h - 1 - y; break;
        }
    };
    // RotateLeft walks target columns in its outer loop, the others target rows.
    const bool byColumns = turn == Turn::Left;
    const int64_t outer = byColumns ? nw : nh;
    const int64_t inner = byColumns ? nh : nw;
    for (int64_t o = 0; o < outer; ++o) {
        if (lfimg::RowStep(self, o, outer))
            break;
        for (int64_t i = 0; i < inner; ++i) {
            const int64_t x = byColumns ? o : i;
            const int64_t y = byColumns ? i : o;
            int64_t sx = 0;
            int64_t sy = 0;
            source(x, y, sx, sy);
            CopyPixel(self, sx, sy, result, x, y);
            if (withAlpha)
                SetAlphaAt(result, x, y, AlphaAt(self, sx, sy));
        }
    }
    lfimg::DeliverResult(self, result, destination);
    return true;
}

}  // namespace

bool CLfImage::Rotate(float angle, CLfImage* destination)
{
    // A non-finite angle has no rotation and would overflow the canvas arithmetic.
    if (!dib || !std::isfinite(angle))
        return false;
    const double a = -double(angle) * std::numbers::pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;

    int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    const double corners[3][2] = {{double(w), 0.0}, {0.0, double(h)}, {double(w - 1), double(h)}};
    for (const auto& corner : corners) {
        const int64_t px = int64_t(std::floor(corner[0] * c - corner[1] * s));
        const int64_t py = int64_t(std::floor(corner[0] * s + corner[1] * c));
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    const int64_t nw = maxX - minX + 2;
    const int64_t nh = maxY - minY + 2;
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, nw, nh, header.biBitCount))
        return false;
    if (alpha) {
        result.AlphaCreate();
        if (!result.alpha)
            return false;
    }
    const bool palette = header.biClrUsed != 0;
    for (int64_t j = 0; j < nh; ++j) {
        if (lfimg::RowStep(*this, j, nh))
            break;
        const double y = double(minY + j);
        for (int64_t i = 0; i < nw; ++i) {
            const double x = double(minX + i);
            const int64_t sx = int64_t(x * c + y * s - 0.5);
            const int64_t sy = int64_t(y * c - x * s - 0.5);
            // Outside the source the pixel accessors give the transparent or the
            // bottom-left colour, which fills the uncovered corners.
            if (palette)
                result.SetPixelIndex(i, j, GetPixelIndex(sx, sy));
            else
                result.SetPixelColor(i, j, GetPixelColor(sx, sy));
            if (alpha)
                SetAlphaAt(result, i, j, IsInside(sx, sy) ? AlphaAt(*this, sx, sy) : 0);
        }
    }
    lfimg::DeliverResult(*this, result, destination);
    return true;
}

bool CLfImage::RotateLeft(CLfImage* destination)
{
    return TurnImage(*this, Turn::Left, destination);
}

bool CLfImage::RotateRight(CLfImage* destination)
{
    return TurnImage(*this, Turn::Right, destination);
}

bool CLfImage::Rotate180(CLfImage* destination)
{
    return TurnImage(*this, Turn::Half, destination);
}

bool CLfImage::Flip()
{
    if (!dib)
        return false;
    // A ghost's rows belong to another image: it takes copies of its own first.
    if (info.ghostOf) {
        CLfImage own(*this, true, false, true);
        if (!own.IsValid())
            return false;
        Transfer(own);
    }
    // In place: a second buffer as large as the picture would double its memory.
    const size_t h = size_t(header.biHeight);
    lfimg::FlipRowsInPlace(info.bits, size_t(info.rowBytes), h);
    if (alpha)
        AlphaFlip();
    // The selection is not flipped with the pixels: it no longer applies.
    SelectionDelete();
    return true;
}

bool CLfImage::Mirror()
{
    if (!dib)
        return false;
    auto result = std::make_unique<CLfImage>(*this, false, false, true);
    if (!result->IsValid())
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    const uint32_t bpp = header.biBitCount;
    for (int64_t y = 0; y < h; ++y) {
        const uint8_t* src = GetBits(uint32_t(y));
        uint8_t* dst = result->GetBits(uint32_t(y));
        if (bpp == 24) {
            for (int64_t x = 0; x < w; ++x)
                std::memcpy(dst + (w - 1 - x) * 3, src + x * 3, 3);
        } else if (bpp == 8) {
            std::reverse_copy(src, src + w, dst);
        } else {
            for (int64_t x = 0; x < w; ++x)
                SetPackedIndex(dst, w - 1 - x, bpp, PackedIndex(src, x, bpp));
        }
    }
    if (result->alpha && !result->AlphaMirror())
        return false;
    Transfer(*result);
    return true;
}

bool CLfImage::Crop(int32_t left, int32_t top, int32_t right, int32_t bottom, CLfImage* destination)
{
    if (!dib)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    int64_t l = std::clamp<int64_t>(left, 0, w);
    int64_t r = std::clamp<int64_t>(right, 0, w);
    int64_t t = std::clamp<int64_t>(top, 0, h);
    int64_t b = std::clamp<int64_t>(bottom, 0, h);
    if (l == r || t == b)
        return false;
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const int64_t nw = r - l;
    const int64_t nh = b - t;
    const int64_t firstRow = h - b;  // bottom-up row of the kept area's bottom row
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, nw, nh, header.biBitCount))
        return false;
    const uint32_t bpp = header.biBitCount;
    for (int64_t y = 0; y < nh; ++y) {
        if (lfimg::RowStep(*this, y, h - t))
            break;
        CopyRowPixels(GetBits(uint32_t(firstRow + y)), l, result.GetBits(uint32_t(y)), 0, nw, bpp);
    }
    if (alpha) {
        result.AlphaCreate();
        if (!result.alpha)
            return false;
        for (int64_t y = 0; y < nh; ++y)
            std::memcpy(result.alpha + y * nw, alpha + (firstRow + y) * w + l, size_t(nw));
    }
    lfimg::DeliverResult(*this, result, destination);
    return true;
}

bool CLfImage::Expand(int32_t left, int32_t top, int32_t right, int32_t bottom, RGBQUAD canvas,
                      CLfImage* destination)
{
    if (!dib || left < 0 || top < 0 || right < 0 || bottom < 0)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    const int64_t nw = w + left + right;
    const int64_t nh = h + top + bottom;
    const uint32_t bpp = header.biBitCount;
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, nw, nh, bpp))
        return false;
    // The canvas: one colour (its nearest index in a palette image) everywhere first.
    if (bpp == 24) {
        for (int64_t x = 0; x < nw; ++x) {
            uint8_t* p = result.info.bits + x * 3;
            p[0] = canvas.rgbBlue;
            p[1] = canvas.rgbGreen;
            p[2] = canvas.rgbRed;
        }
        for (int64_t y = 1; y < nh; ++y)
            std::memcpy(result.GetBits(uint32_t(y)), result.info.bits, result.GetRowBytes());
    } else {
        const uint8_t index = result.GetNearestIndex(canvas);
        uint8_t fill = index;
        if (bpp == 4)
            fill = uint8_t(index << 4 | index);
        else if (bpp == 1)
            fill = index ? 0xFF : 0x00;
        result.Clear(fill);
    }
    for (int64_t y = 0; y < h; ++y) {
        if (lfimg::RowStep(*this, y, h))
            break;
        CopyRowPixels(GetBits(uint32_t(y)), 0, result.GetBits(uint32_t(y + bottom)), left, w, bpp);
    }
    lfimg::DeliverResult(*this, result, destination);
    return true;
}

bool CLfImage::Expand(int32_t newWidth, int32_t newHeight, RGBQUAD canvas, CLfImage* destination)
{
    if (!dib || newWidth < header.biWidth || newHeight < header.biHeight)
        return false;
    const int32_t left = (newWidth - header.biWidth) / 2;
    const int32_t right = newWidth - header.biWidth - left;
    const int32_t top = (newHeight - header.biHeight) / 2;
    const int32_t bottom = newHeight - header.biHeight - top;
    return Expand(left, top, right, bottom, canvas, destination);
}

bool CLfImage::Thumbnail(int32_t boxWidth, int32_t boxHeight, RGBQUAD canvas, CLfImage* destination)
{
    if (!dib || boxWidth < 1 || boxHeight < 1)
        return false;
    CLfImage work(*this, true, true, true);
    if (!work.IsValid())
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    if (w > boxWidth || h > boxHeight) {
        const float scale = float(boxWidth) / float(boxHeight) * float(h) > float(w) ? float(boxHeight) / float(h)
                                                                                    : float(boxWidth) / float(w);
        const int32_t nw = std::max(1, int32_t(float(w) * scale));
        const int32_t nh = std::max(1, int32_t(float(h) * scale));
        if (!work.Resample(nw, nh, 0))
            return false;
    }
    if (!work.Expand(boxWidth, boxHeight, canvas))
        return false;
    lfimg::DeliverResult(*this, work, destination);
    return true;
}

bool CLfImage::Skew(float xGain, float yGain, int32_t xPivot, int32_t yPivot)
{
    if (!dib)
        return false;
    CLfImage result(*this, true, true, true);
    if (!result.IsValid())
        return false;
    int64_t x0 = 0, x1 = header.biWidth, y0 = 0, y1 = header.biHeight;
    if (selection) {
        x0 = info.selectionBox.left;
        x1 = info.selectionBox.right;
        y0 = info.selectionBox.bottom;
        y1 = info.selectionBox.top;
    }
    const bool palette = header.biClrUsed != 0;
    for (int64_t y = y0; y < y1; ++y) {
        if (lfimg::RowStep(*this, y - y0, y1 - y0))
            break;
        for (int64_t x = x0; x < x1; ++x) {
            if (!SelectionIsInside(x, y))
                continue;
            const int64_t sx = x + int64_t(float(y - yPivot) * xGain);
            const int64_t sy = y + int64_t(float(x - xPivot) * yGain);
            if (palette)
                result.SetPixelIndex(x, y, GetPixelIndex(sx, sy));
            else
                result.SetPixelColor(x, y, GetPixelColor(sx, sy));
            if (alpha)
                result.AlphaSet(x, y, AlphaGet(sx, sy));
        }
    }
    Transfer(result);
    return true;
}
