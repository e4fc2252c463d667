#pragma once
// Small arithmetic shared by the colour, channel, filter and histogram operations:
// the clamp every formula ends with, the library's luminance, and window offsets.

#include "image/CLfImage.h"
#include "platform/Dib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lfcolor {

// Truncate toward zero, then clamp to a byte. NaN counts as 0 and infinities
// saturate, so no formula can reach an undefined float-to-int conversion.
inline uint8_t ClampTrunc(double v)
{
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(static_cast<int32_t>(v));
}

inline uint8_t ClampInt(int64_t v)
{
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<uint8_t>(v);
}

inline uint8_t Luminance(const RGBQUAD& c)
{
    return static_cast<uint8_t>((306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10);
}

inline bool SameColour(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

inline bool SameQuad(const RGBQUAD& a, const RGBQUAD& b)
{
    return SameColour(a, b) && a.rgbReserved == b.rgbReserved;
}

// A window of k taps runs from -(k / 2) to k - k / 2 - 1: centred for odd k,
// one more tap on the negative side for even k.
inline int64_t WindowFirst(int32_t k) { return -static_cast<int64_t>(k / 2); }
inline int64_t WindowLast(int32_t k) { return static_cast<int64_t>(k) - k / 2 - 1; }

// A colour of the given space (1 HSL, 2 YUV, 3 YIQ, 4 XYZ, otherwise RGB) in RGB.
inline RGBQUAD SpaceToRGB(RGBQUAD colour, int32_t space)
{
    switch (space) {
        case 1: return CLfImage::HSLtoRGB(colour);
        case 2: return CLfImage::YUVtoRGB(colour);
        case 3: return CLfImage::YIQtoRGB(colour);
        case 4: return CLfImage::XYZtoRGB(colour);
        default: return colour;
    }
}

// The rows and columns a selection-aware operation visits: the selection box
// (clamped to the image) when a mask exists, otherwise the whole image. Pixels in
// it are still tested with SelectionIsInside.
struct WalkArea {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    bool masked = false;
};

inline WalkArea SelectionWalkArea(const CLfImage& image)
{
    WalkArea a;
    const int32_t w = image.header.biWidth, h = image.header.biHeight;
    if (!image.selection) {
        a.right = w;
        a.top = h;
        return a;
    }
    const RECT& box = image.info.selectionBox;
    a.masked = true;
    a.left = std::clamp(box.left, 0, w);
    a.right = std::clamp(box.right, 0, w);
    a.bottom = std::clamp(box.bottom, 0, h);
    a.top = std::clamp(box.top, 0, h);
    return a;
}

// row x 100 / end, the progress of a row walk (end 0 counts as done).
inline int32_t Percent(int64_t row, int64_t end, int64_t scale = 100)
{
    return end > 0 ? static_cast<int32_t>(row * scale / end) : 0;
}

}  // namespace lfcolor
