#pragma once
// Composing the visible part of an image for painting: plain pixel code with no
// toolkit, so every drawing rule (source mapping, transparency, the blend) is
// testable without a display. The window side only turns the composed rows into a
// bitmap and puts that on the DC in one call.

#include "image/CLfImage.h"

#include <cstdint>

// A rectangle in the DC's logical units: left, top, width, height.
struct LfDrawArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool IsEmpty() const { return width <= 0 || height <= 0; }
};

enum class LfComposeMode {
    Plain,      // every pixel painted with its colour
    Blend,      // transparent index, alpha plane, palette alpha and alphaMax
    ColourKey,  // only the transparent colour left out (alpha ignored)
    Opacity,    // as Blend, but rgb keeps the colour and alphaOut gets its opacity, for
                // a toolkit that composites over what the target already shows
};

// The part of the destination (x, y, cx, cy) inside box (its right and bottom
// exclusive); empty when they do not meet.
LfDrawArea LfVisibleArea(int64_t x, int64_t y, int64_t cx, int64_t cy, const LfDrawArea& box);

// Nearest-pixel mapping from a destination column or top-down destination line to
// the image's column or bottom-up row, for a picture of width x height painted at
// x (or y) with size cx (or cy). At natural size it is the identity.
inline int32_t LfSourceColumn(int64_t destColumn, int64_t x, int64_t cx, int64_t width)
{
    const int64_t c = (destColumn - x) * width / cx;
    return int32_t(c < 0 ? 0 : c >= width ? width - 1 : c);
}
inline int32_t LfSourceRow(int64_t destLine, int64_t y, int64_t cy, int64_t height)
{
    const int64_t n = (destLine + 1 - y) * height;
    const int64_t up = n > 0 ? (n + cy - 1) / cy : -((-n) / cy);  // ceiling
    const int64_t r = height - up;
    return int32_t(r < 0 ? 0 : r >= height ? height - 1 : r);
}

// The blend of one pixel at opacity a (0..255) over the background: false when the
// pixel leaves the background as it is (a = 0); a = 255 gives the colour itself;
// otherwise each channel is (colour x a + background x (255 - a)) >> 8.
inline bool LfBlendPixel(RGBQUAD colour, uint32_t a, RGBQUAD background, RGBQUAD& out)
{
    if (a == 0)
        return false;
    if (a >= 255) {
        out = colour;
        return true;
    }
    const uint32_t rest = 255 - a;
    out.rgbBlue = uint8_t((colour.rgbBlue * a + background.rgbBlue * rest) >> 8);
    out.rgbGreen = uint8_t((colour.rgbGreen * a + background.rgbGreen * rest) >> 8);
    out.rgbRed = uint8_t((colour.rgbRed * a + background.rgbRed * rest) >> 8);
    out.rgbReserved = 0;
    return true;
}

// The mode Draw uses for the image: Blend when it has a transparent index, an
// alpha plane or palette alpha, else Plain.
LfComposeMode LfDrawMode(const CLfImage& image);

// Fills rgb (area.width x area.height pixels, top-down rows, red-green-blue bytes,
// no padding) with the image painted at (x, y, cx, cy), for the area only. When
// alphaOut is given it receives one byte per pixel: 0 where the target must stay as
// it is, 255 where rgb holds the pixel to paint (Opacity mode: the pixel's opacity,
// 0..255). Returns the number of pixels left out (always 0 in Plain mode). cx and cy must be positive; the image valid.
int64_t LfComposeArea(const CLfImage& image, int64_t x, int64_t y, int64_t cx, int64_t cy,
                      const LfDrawArea& area, LfComposeMode mode, RGBQUAD background, uint8_t* rgb,
                      uint8_t* alphaOut);
