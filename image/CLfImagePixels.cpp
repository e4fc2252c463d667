// Pixel and palette access: the primitives that every codec, transform and colour
// operation is written on.

#include "image/CLfImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

inline uint8_t Luminance(const RGBQUAD& c)
{
    return static_cast<uint8_t>((306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10);
}

inline bool SameQuad(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

// v shifted right by s bits (left for negative s); 0 once every bit is gone.
inline uint32_t ShiftBy(uint32_t v, int s)
{
    if (s >= 32 || s <= -32)
        return 0;
    return s >= 0 ? v >> s : v << -s;
}

// The standard 16-colour palette as red, green, blue.
constexpr uint8_t kStd16[16][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

}  // namespace

int CompareLuminance(const RGBQUAD& a, const RGBQUAD& b)
{
    return int(Luminance(a)) - int(Luminance(b));
}

// ---- Palette --------------------------------------------------------------------------

uint32_t CLfImage::GetPaletteSize() const
{
    return dib ? header.biClrUsed * 4 : 0;
}

RGBQUAD* CLfImage::GetPalette() const
{
    if (!dib || header.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(dib + kBitmapInfoHeaderSize);
}

RGBQUAD CLfImage::GetPaletteColor(uint32_t index) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal || index >= header.biClrUsed)
        return RGBQUAD{};
    return pal[index];
}

bool CLfImage::GetPaletteColor(uint32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal || index >= header.biClrUsed)
        return false;
    red = pal[index].rgbRed;
    green = pal[index].rgbGreen;
    blue = pal[index].rgbBlue;
    return true;
}

void CLfImage::SetPaletteColor(uint8_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alphaByte)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || index >= header.biClrUsed)
        return;
    pal[index] = RGBQUAD{blue, green, red, alphaByte};
    PaletteChanged();
}

void CLfImage::SetPaletteColor(uint8_t index, RGBQUAD color)
{
    SetPaletteColor(index, color.rgbRed, color.rgbGreen, color.rgbBlue, color.rgbReserved);
}

void CLfImage::SetPaletteColor(uint8_t index, COLORREF color)
{
    SetPaletteColor(index, GetRValue(color), GetGValue(color), GetBValue(color), 0);
}

void CLfImage::SetPalette(const RGBQUAD* entries, uint32_t count)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !entries)
        return;
    std::memcpy(pal, entries, 4 * std::min(count, header.biClrUsed));
    PaletteChanged();
}

void CLfImage::SetPalette(const LfRgbColor* entries, uint32_t count)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !entries)
        return;
    const uint32_t n = std::min(count, header.biClrUsed);
    for (uint32_t i = 0; i < n; ++i) {
        pal[i].rgbBlue = entries[i].b;
        pal[i].rgbGreen = entries[i].g;
        pal[i].rgbRed = entries[i].r;
    }
    PaletteChanged();
}

void CLfImage::SetPalette(uint32_t count, const uint8_t* red, const uint8_t* green, const uint8_t* blue)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || !red)
        return;
    if (!green)
        green = red;
    if (!blue)
        blue = green;
    const uint32_t n = std::min(count, header.biClrUsed);
    for (uint32_t i = 0; i < n; ++i) {
        pal[i].rgbBlue = blue[i];
        pal[i].rgbGreen = green[i];
        pal[i].rgbRed = red[i];
    }
    PaletteChanged();
}

void CLfImage::SetGrayPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal || header.biClrUsed < 2)
        return;
    const uint32_t step = 255 / (header.biClrUsed - 1);
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        const auto v = static_cast<uint8_t>(i * step);
        pal[i].rgbBlue = pal[i].rgbGreen = pal[i].rgbRed = v;
    }
    PaletteChanged();
}

void CLfImage::SetStdPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    auto put = [pal](uint32_t i, uint8_t r, uint8_t g, uint8_t b) { pal[i] = RGBQUAD{b, g, r, 0}; };
    if (header.biBitCount == 4) {
        for (uint32_t i = 0; i < 16; ++i)
            put(i, kStd16[i][0], kStd16[i][1], kStd16[i][2]);
    } else if (header.biBitCount == 8) {
        for (uint32_t i = 0; i < 8; ++i)
            put(i, kStd16[i][0], kStd16[i][1], kStd16[i][2]);
        put(8, 192, 220, 192);
        put(9, 166, 202, 240);
        // 10..225: a 6 x 6 x 6 colour cube.
        uint32_t i = 10;
        for (uint32_t r = 0; r < 6; ++r)
            for (uint32_t g = 0; g < 6; ++g)
                for (uint32_t b = 0; b < 6; ++b)
                    put(i++, uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51));
        for (uint32_t k = 0; k < 20; ++k) {
            const auto v = static_cast<uint8_t>(242 - 12 * k);
            put(226 + k, v, v, v);
        }
        put(246, 255, 251, 240);
        put(247, 160, 160, 164);
        put(248, 128, 128, 128);
        for (uint32_t k = 9; k < 16; ++k)
            put(240 + k, kStd16[k][0], kStd16[k][1], kStd16[k][2]);
    } else {
        return;
    }
    PaletteChanged();
}

void CLfImage::BlendPalette(COLORREF color, int32_t percent)
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    const int32_t p = std::clamp(percent, 0, 100);
    auto mix = [p](uint8_t target, uint8_t c) { return uint8_t((target * p + c * (100 - p)) / 100); };
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        pal[i].rgbBlue = mix(GetBValue(color), pal[i].rgbBlue);
        pal[i].rgbGreen = mix(GetGValue(color), pal[i].rgbGreen);
        pal[i].rgbRed = mix(GetRValue(color), pal[i].rgbRed);
    }
    PaletteChanged();
}

void CLfImage::SetClrImportant(uint32_t count)
{
    if (count == 0 || count > 256) {
        header.biClrImportant = 0;
    } else {
        switch (header.biBitCount) {
        case 1: header.biClrImportant = std::min(count, 2u); break;
        case 4: header.biClrImportant = std::min(count, 16u); break;
        case 8: header.biClrImportant = count; break;
        default: return;
        }
    }
    PaletteChanged();  // the nearest-colour search range changed
}

bool CLfImage::IsGrayScale() const
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (uint32_t i = 0; i < header.biClrUsed; ++i) {
        if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i)
            return false;
    }
    return true;
}

void CLfImage::SwapIndex(uint8_t index1, uint8_t index2)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || index1 >= header.biClrUsed || index2 >= header.biClrUsed)
        return;
    std::swap(pal[index1], pal[index2]);
    PaletteChanged();
    for (int32_t y = 0; y < header.biHeight; ++y) {
        for (int32_t x = 0; x < header.biWidth; ++x) {
            const uint8_t v = GetPixelIndex(x, y);
            if (v == index1)
                SetPixelIndex(x, y, index2);
            else if (v == index2)
                SetPixelIndex(x, y, index1);
        }
    }
}

uint8_t CLfImage::GetNearestIndex(RGBQUAD color)
{
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return 0;
    if (info.lastColorValid && SameQuad(color, info.lastColor))
        return info.lastColorIndex;
    info.lastColor = color;
    info.lastColorValid = true;

    // biClrImportant may come from a file: never search past the palette.
    uint32_t n = header.biClrUsed;
    if (header.biClrImportant != 0 && header.biClrImportant < n)
        n = header.biClrImportant;
    int64_t best = 200000;
    uint32_t found = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const int64_t db = int64_t(pal[i].rgbBlue) - color.rgbBlue;
        const int64_t dg = int64_t(pal[i].rgbGreen) - color.rgbGreen;
        const int64_t dr = int64_t(pal[i].rgbRed) - color.rgbRed;
        const int64_t d = db * db + dg * dg + dr * dr;
        if (d < best) {
            best = d;
            found = i;
            if (d == 0)
                break;
        }
    }
    info.lastColorIndex = static_cast<uint8_t>(found);
    return info.lastColorIndex;
}

// ---- Pixels ---------------------------------------------------------------------------

uint8_t CLfImage::GetPixelIndex(int64_t x, int64_t y) const
{
    if (!dib || header.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y)) {
        if (info.transIndex >= 0)
            return static_cast<uint8_t>(info.transIndex);
        // Outside reads give the bottom-left pixel, as GetPixelColor does.
        x = 0;
        y = 0;
    }
    const uint8_t* row = info.bits + size_t(y) * info.rowBytes;
    switch (header.biBitCount) {
    case 8: return row[x];
    case 4: {
        const uint8_t b = row[x >> 1];
        return (x & 1) ? (b & 0x0F) : (b >> 4);
    }
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default: return 0;
    }
}

void CLfImage::SetPixelIndex(int64_t x, int64_t y, uint8_t index)
{
    if (!dib || header.biClrUsed == 0 || !IsInside(x, y))
        return;
    uint8_t* row = info.bits + size_t(y) * info.rowBytes;
    switch (header.biBitCount) {
    case 8: row[x] = index; break;
    case 4: {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
        break;
    }
    case 1: {
        uint8_t& b = row[x >> 3];
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        b = (index & 1) ? uint8_t(b | bit) : uint8_t(b & ~bit);
        break;
    }
    default: break;
    }
}

RGBQUAD CLfImage::GetPixelColor(int64_t x, int64_t y) const
{
    if (!dib)
        return info.transColor;
    if (!IsInside(x, y)) {
        if (info.transIndex >= 0)
            return header.biBitCount < 24 ? GetPaletteColor(uint32_t(info.transIndex)) : info.transColor;
        x = 0;
        y = 0;
    }
    RGBQUAD c;
    if (header.biClrUsed) {
        c = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const uint8_t* p = info.bits + size_t(y) * info.rowBytes + size_t(x) * 3;
        c = RGBQUAD{p[0], p[1], p[2], info.transColor.rgbReserved};
    }
    if (alpha)
        c.rgbReserved = alpha[size_t(y) * size_t(header.biWidth) + size_t(x)];
    return c;
}

void CLfImage::SetPixelColor(int64_t x, int64_t y, RGBQUAD color, bool setAlpha)
{
    if (!dib || !IsInside(x, y))
        return;
    if (header.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(color));
        return;
    }
    uint8_t* p = info.bits + size_t(y) * info.rowBytes + size_t(x) * 3;
    p[0] = color.rgbBlue;
    p[1] = color.rgbGreen;
    p[2] = color.rgbRed;
    if (setAlpha && alpha)
        alpha[size_t(y) * size_t(header.biWidth) + size_t(x)] = color.rgbReserved;
}

void CLfImage::SetPixelColor(int64_t x, int64_t y, COLORREF color)
{
    SetPixelColor(x, y, RGBtoRGBQUAD(color), false);
}

uint8_t CLfImage::GetPixelGray(int64_t x, int64_t y) const
{
    return Luminance(GetPixelColor(x, y));
}

bool CLfImage::IsTransparent(int64_t x, int64_t y) const
{
    if (!dib)
        return false;
    if (info.transIndex >= 0) {
        if (header.biClrUsed) {
            if (GetPixelIndex(x, y) == uint8_t(info.transIndex))
                return true;
        } else {
            RGBQUAD c = GetPixelColor(x, y);
            c.rgbReserved = 0;
            if (SameQuad(c, info.transColor))
                return true;
        }
    }
    if (alpha)
        return !IsInside(x, y) || alpha[size_t(y) * size_t(header.biWidth) + size_t(x)] == 0;
    return false;
}

void CLfImage::DrawLine(int32_t startX, int32_t endX, int32_t startY, int32_t endY, RGBQUAD color,
                        bool setAlpha)
{
    if (!dib)
        return;
    int64_t x = startX, y = startY;
    const int64_t dx = std::abs(int64_t(endX) - startX), dy = -std::abs(int64_t(endY) - startY);
    const int64_t sx = startX < endX ? 1 : -1, sy = startY < endY ? 1 : -1;
    int64_t err = dx + dy;
    for (;;) {
        SetPixelColor(x, y, color, setAlpha);
        if (x == endX && y == endY)
            break;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CLfImage::DrawLine(int32_t startX, int32_t endX, int32_t startY, int32_t endY, COLORREF color)
{
    DrawLine(startX, endX, startY, endY, RGBtoRGBQUAD(color), false);
}

bool CLfImage::BitfieldsToRGB(const uint8_t* src, uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                              uint32_t srcBpp, uint64_t srcBytes)
{
    if (!dib || !src || header.biBitCount != 24 || (srcBpp != 16 && srcBpp != 32))
        return false;
    const uint64_t width = uint64_t(header.biWidth), height = uint64_t(header.biHeight);
    const uint64_t srcRow = srcBpp == 16 ? (width + 1) / 2 * 4 : width * 4;
    if (srcBytes / height < srcRow)
        return false;

    if (srcBpp == 16) {
        const int nb = __builtin_popcount(blueMask);
        const int ng = __builtin_popcount(greenMask);
        const int nr = __builtin_popcount(redMask);
        // Backwards: the 24-bit rows are longer, so in place no unread source
        // pixel is overwritten.
        for (uint64_t yy = height; yy-- > 0;) {
            const uint8_t* s = src + yy * srcRow;
            uint8_t* d = info.bits + yy * info.rowBytes;
            for (uint64_t xx = width; xx-- > 0;) {
                const uint32_t w = uint32_t(s[2 * xx]) | (uint32_t(s[2 * xx + 1]) << 8);
                const auto b = uint8_t(ShiftBy(w & blueMask, nb - 8));
                const auto g = uint8_t(ShiftBy(w & greenMask, nb + ng - 8));
                const auto r = uint8_t(ShiftBy(w & redMask, nb + ng + nr - 8));
                d[3 * xx] = b;
                d[3 * xx + 1] = g;
                d[3 * xx + 2] = r;
            }
        }
    } else {
        // Forwards: the 24-bit rows are shorter than the 32-bit ones, so in place
        // the writes stay behind the reads.
        for (uint64_t yy = 0; yy < height; ++yy) {
            const uint8_t* s = src + yy * srcRow;
            uint8_t* d = info.bits + yy * info.rowBytes;
            for (uint64_t xx = 0; xx < width; ++xx) {
                const uint8_t b = s[4 * xx], g = s[4 * xx + 1], r = s[4 * xx + 2];
                d[3 * xx] = b;
                d[3 * xx + 1] = g;
                d[3 * xx + 2] = r;
            }
        }
    }
    return true;
}

// ---- Conversions ----------------------------------------------------------------------

RGBQUAD CLfImage::RGBtoRGBQUAD(COLORREF color)
{
    return RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0};
}

COLORREF CLfImage::RGBtoBGR(COLORREF color)
{
    return RGB(GetBValue(color), GetGValue(color), GetRValue(color));
}

void CLfImage::SwapRedBlue(uint8_t* row, int64_t length) const
{
    if (!row || header.biClrUsed != 0 || length <= 0)
        return;
    const int64_t n = std::min<int64_t>(length, info.rowBytes);
    for (int64_t i = 0; i + 2 < n; i += 3)
        std::swap(row[i], row[i + 2]);
}
