// Point operations on colours: brightness/contrast, gamma, channel shifts,
// colourising and thresholding. They run on every preview of the editor's
// adjustment dialogs, so the per-channel ones are table-driven: one table per
// channel, one pass over the rows.

#include "image/CLfImage.h"
#include "image/ops/LfColorMath.h"

#include <array>
#include <cmath>

namespace {

using Lut = std::array<uint8_t, 256>;

// Runs f (colour to colour) over the palette of a palette image, or over the
// selected pixels of a true-colour image. Palette entries take all four bytes of
// the result; pixels only blue, green and red. With progress set, each row of the
// walk reports row x 100 / end row.
template <class F>
void ForEachColour(CLfImage& image, bool progress, F f)
{
    const uint32_t colours = image.header.biClrUsed;
    if (colours) {
        for (uint32_t i = 0; i < colours; ++i)
            image.SetPaletteColor(static_cast<uint8_t>(i), f(image.GetPaletteColor(static_cast<uint8_t>(i))));
        return;
    }
    const lfcolor::WalkArea area = lfcolor::SelectionWalkArea(image);
    for (int32_t y = area.bottom; y < area.top; ++y) {
        if (progress) image.info.progress = lfcolor::Percent(y, area.top);
        uint8_t* p = image.GetBits(y) + 3 * static_cast<size_t>(area.left);
        for (int32_t x = area.left; x < area.right; ++x, p += 3) {
            if (area.masked && !image.SelectionIsInside(x, y)) continue;
            RGBQUAD c;
            c.rgbBlue = p[0];
            c.rgbGreen = p[1];
            c.rgbRed = p[2];
            c = f(c);
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
        }
    }
}

void ApplyTables(CLfImage& image, bool progress, const Lut& blue, const Lut& green, const Lut& red)
{
    ForEachColour(image, progress, [&](RGBQUAD c) {
        c.rgbBlue = blue[c.rgbBlue];
        c.rgbGreen = green[c.rgbGreen];
        c.rgbRed = red[c.rgbRed];
        return c;
    });
}

Lut ShiftTable(int32_t offset)
{
    Lut t;
    for (int c = 0; c < 256; ++c) t[c] = lfcolor::ClampInt(static_cast<int64_t>(c) + offset);
    return t;
}

}  // namespace

bool CLfImage::BrightnessContrast(int32_t brightness, int32_t contrast)
{
    if (!dib) return false;
    // k is a float product of a float constant: contrast 0 gives exactly 1.
    const float k = static_cast<float>(contrast + 100.0) * 0.01f;
    const double offset = static_cast<double>(brightness) + 128.0;
    Lut t;
    for (int c = 0; c < 256; ++c) t[c] = lfcolor::ClampTrunc(static_cast<double>(k) * (c - 128) + offset);

    if (header.biClrUsed == 0 && !selection) {
        // The common case: every byte of the pixel data, row fillers included.
        uint8_t* p = GetBits(0);
        for (uint8_t* end = p + header.biSizeImage; p != end; ++p) *p = t[*p];
        return true;
    }
    ApplyTables(*this, selection != nullptr, t, t, t);
    return true;
}

bool CLfImage::Gamma(float gamma)
{
    if (!dib) return false;
    // A gamma of zero or below has no meaning (and would divide by zero).
    if (!(gamma > 0.0f)) return false;
    const double e = 1.0f / gamma;
    const double m = std::pow(255.0, e) * 0.00392156862745098;
    Lut t;
    for (int c = 0; c < 256; ++c) t[c] = lfcolor::ClampTrunc(std::pow(static_cast<double>(c), e) / m);
    ApplyTables(*this, true, t, t, t);
    return true;
}

bool CLfImage::ShiftRGB(int32_t r, int32_t g, int32_t b)
{
    if (!dib) return false;
    ApplyTables(*this, false, ShiftTable(b), ShiftTable(g), ShiftTable(r));
    return true;
}

bool CLfImage::Colorize(uint8_t hue, uint8_t saturation)
{
    if (!dib) return false;
    ForEachColour(*this, false, [&](RGBQUAD c) {
        RGBQUAD hsl = RGBtoHSL(c);
        hsl.rgbRed = hue;
        hsl.rgbGreen = saturation;
        return HSLtoRGB(hsl);
    });
    return true;
}

bool CLfImage::Threshold(uint8_t level)
{
    if (!dib) return false;
    if (header.biBitCount == 1) return true;

    const int32_t w = header.biWidth, h = header.biHeight;
    CLfImage result(0);
    if (!result.Create(w, h, 1, 0)) {
        SetLastError(result.GetLastError());
        return false;
    }
    // Rows an escape leaves unvisited are black rather than undefined.
    result.Clear(0);
    result.SetPaletteColor(0, 0, 0, 0, 0);
    result.SetPaletteColor(1, 255, 255, 255, 0);
    for (int32_t y = 0; y < h; ++y) {
        info.progress = lfcolor::Percent(y, h);
        if (info.escape) break;
        uint8_t* row = result.GetBits(y);
        for (int32_t x = 0; x < w; ++x) {
            // The grey level a grey conversion would give this pixel.
            if (lfcolor::Luminance(GetPixelColor(x, y)) > level) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
    }
    Transfer(result);
    return true;
}
