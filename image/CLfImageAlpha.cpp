// Alpha plane and palette alpha.

#include "image/CLfImage.h"
#include "image/ops/LfImageWork.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

inline uint8_t Blend(uint8_t background, uint8_t color, uint32_t opacity)
{
    return static_cast<uint8_t>((background * (255 - opacity) + color * opacity) / 255);
}

}  // namespace

void CLfImage::ReplaceAlpha(uint8_t* plane)
{
    // A ghost never frees the plane it aliases, only one it was given itself.
    if (!info.ghostOf || m_ghostOwnsAlpha)
        std::free(alpha);
    alpha = plane;
    m_ghostOwnsAlpha = info.ghostOf && plane;
}

bool CLfImage::AlphaCreate()
{
    AlphaDelete();
    if (!dib || !lfimg::CheckPixelBuffer(header.biWidth, header.biHeight, 8, 1).ok())
        return false;
    ReplaceAlpha(static_cast<uint8_t*>(std::calloc(size_t(header.biWidth), size_t(header.biHeight))));
    return alpha != nullptr;
}

void CLfImage::AlphaDelete()
{
    ReplaceAlpha(nullptr);
}

void CLfImage::AlphaClear()
{
    AlphaSet(uint8_t(0));
}

void CLfImage::AlphaSet(uint8_t level)
{
    if (alpha)
        std::memset(alpha, level, size_t(header.biWidth) * size_t(header.biHeight));
}

void CLfImage::AlphaSet(int64_t x, int64_t y, uint8_t level)
{
    if (alpha && IsInside(x, y))
        alpha[size_t(y) * size_t(header.biWidth) + size_t(x)] = level;
}

uint8_t CLfImage::AlphaGet(int64_t x, int64_t y) const
{
    if (!alpha || !IsInside(x, y))
        return 0;
    return alpha[size_t(y) * size_t(header.biWidth) + size_t(x)];
}

bool CLfImage::AlphaSet(const CLfImage& grey)
{
    // Same width and height: a shorter source would be read past its end.
    if (!dib || !grey.dib || grey.header.biBitCount != 8 || !grey.IsGrayScale() ||
        grey.header.biWidth != header.biWidth || grey.header.biHeight != header.biHeight)
        return false;
    if (!alpha && !AlphaCreate())
        return false;
    const size_t w = size_t(header.biWidth);
    for (int32_t y = 0; y < header.biHeight; ++y)
        std::memcpy(alpha + size_t(y) * w, grey.GetBits(uint32_t(y)), w);
    return true;
}

bool CLfImage::AlphaCopy(const CLfImage& src)
{
    if (!dib || !src.alpha || &src == this || src.header.biWidth != header.biWidth ||
        src.header.biHeight != header.biHeight)
        return false;
    if (!alpha && !AlphaCreate())
        return false;
    std::memcpy(alpha, src.alpha, size_t(header.biWidth) * size_t(header.biHeight));
    info.alphaMax = src.info.alphaMax;
    return true;
}

void CLfImage::AlphaInvert()
{
    if (!alpha)
        return;
    const size_t n = size_t(header.biWidth) * size_t(header.biHeight);
    for (size_t i = 0; i < n; ++i)
        alpha[i] = uint8_t(255 - alpha[i]);
}

bool CLfImage::AlphaFlip()
{
    if (!alpha)
        return false;
    const size_t w = size_t(header.biWidth), h = size_t(header.biHeight);
    if (!info.ghostOf || m_ghostOwnsAlpha) {
        lfimg::FlipRowsInPlace(alpha, w, h);
        return true;
    }
    // The plane is the owner's: the ghost takes a flipped copy of its own.
    auto* flipped = static_cast<uint8_t*>(std::malloc(w * h));
    if (!flipped)
        return false;
    for (size_t y = 0; y < h; ++y)
        std::memcpy(flipped + (h - 1 - y) * w, alpha + y * w, w);
    ReplaceAlpha(flipped);
    return true;
}

bool CLfImage::AlphaMirror()
{
    if (!alpha)
        return false;
    const size_t w = size_t(header.biWidth), h = size_t(header.biHeight);
    auto* mirrored = static_cast<uint8_t*>(std::malloc(w * h));
    if (!mirrored)
        return false;
    for (size_t y = 0; y < h; ++y)
        std::reverse_copy(alpha + y * w, alpha + (y + 1) * w, mirrored + y * w);
    ReplaceAlpha(mirrored);
    return true;
}

bool CLfImage::AlphaSplit(CLfImage* dest) const
{
    if (!alpha || !dest)
        return false;
    CLfImage grey;
    if (!grey.Create(header.biWidth, header.biHeight, 8, 0))
        return false;
    grey.SetGrayPalette();
    const size_t w = size_t(header.biWidth);
    for (int32_t y = 0; y < header.biHeight; ++y)
        std::memcpy(grey.GetBits(uint32_t(y)), alpha + size_t(y) * w, w);
    dest->Transfer(grey);
    return true;
}

bool CLfImage::PaletteHasAlpha() const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        if (pal[i].rgbReserved != 0)
            return true;
    }
    return false;
}

void CLfImage::AlphaPaletteClear()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    for (uint32_t i = 0; i < header.biClrUsed; ++i)
        pal[i].rgbReserved = 0;
    PaletteChanged();
}

bool CLfImage::AlphaPaletteSplit(CLfImage* dest) const
{
    if (!dest || !PaletteHasAlpha())
        return false;
    CLfImage grey;
    if (!grey.Create(header.biWidth, header.biHeight, 8, 0))
        return false;
    grey.SetGrayPalette();
    for (int32_t y = 0; y < header.biHeight; ++y) {
        uint8_t* row = grey.GetBits(uint32_t(y));
        for (int32_t x = 0; x < header.biWidth; ++x)
            row[x] = GetPixelColor(x, y).rgbReserved;
    }
    dest->Transfer(grey);
    return true;
}

void CLfImage::AlphaStrip()
{
    if (!dib)
        return;
    const bool paletteAlpha = PaletteHasAlpha();
    if (!paletteAlpha && !alpha)
        return;
    const RGBQUAD bg = info.transColor;
    const uint32_t alphaMax = info.alphaMax;
    auto opacity = [&](int32_t x, int32_t y) -> uint32_t {
        return alpha ? AlphaGet(x, y) * alphaMax / 255 : alphaMax;
    };

    if (header.biBitCount == 24) {
        for (int32_t y = 0; y < header.biHeight; ++y) {
            uint8_t* p = GetBits(uint32_t(y));
            for (int32_t x = 0; x < header.biWidth; ++x, p += 3) {
                const uint32_t a = opacity(x, y);
                p[0] = Blend(bg.rgbBlue, p[0], a);
                p[1] = Blend(bg.rgbGreen, p[1], a);
                p[2] = Blend(bg.rgbRed, p[2], a);
            }
        }
        AlphaDelete();
        return;
    }

    CLfImage rgb;
    if (!rgb.Create(header.biWidth, header.biHeight, 24, 0))
        return;
    for (int32_t y = 0; y < header.biHeight; ++y) {
        uint8_t* p = rgb.GetBits(uint32_t(y));
        for (int32_t x = 0; x < header.biWidth; ++x, p += 3) {
            const RGBQUAD c = GetPaletteColor(GetPixelIndex(x, y));
            uint32_t a = opacity(x, y);
            if (paletteAlpha)
                a = a * c.rgbReserved / 255;
            p[0] = Blend(bg.rgbBlue, c.rgbBlue, a);
            p[1] = Blend(bg.rgbGreen, c.rgbGreen, a);
            p[2] = Blend(bg.rgbRed, c.rgbRed, a);
        }
    }
    Transfer(rgb);
}
