#include "image/ops/LfDrawCompose.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool SameQuad(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

bool SameRgb(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// The colour of image column c on a DIB row, the fourth byte the palette's (0 for
// true colour). Palette indexes never leave the palette: Create sizes it for the depth.
inline RGBQUAD PixelAt(const uint8_t* row, int32_t c, uint32_t bpp, const RGBQUAD* palette)
{
    switch (bpp) {
    case 24: return RGBQUAD{row[3 * c], row[3 * c + 1], row[3 * c + 2], 0};
    case 8: return palette[row[c]];
    case 4: return palette[(row[c >> 1] >> ((c & 1) ? 0 : 4)) & 0x0F];
    default: return palette[(row[c >> 3] >> (7 - (c & 7))) & 1];
    }
}

}  // namespace

LfDrawArea LfVisibleArea(int64_t x, int64_t y, int64_t cx, int64_t cy, const LfDrawArea& box)
{
    const int64_t boxRight = int64_t(box.left) + box.width, boxBottom = int64_t(box.top) + box.height;
    const int64_t left = std::min(boxRight, std::max<int64_t>(box.left, x));
    const int64_t right = std::max<int64_t>(box.left, std::min(boxRight, x + cx));
    const int64_t top = std::min(boxBottom, std::max<int64_t>(box.top, y));
    const int64_t bottom = std::max<int64_t>(box.top, std::min(boxBottom, y + cy));
    LfDrawArea area;
    area.left = int32_t(left);
    area.top = int32_t(top);
    area.width = int32_t(std::max<int64_t>(0, right - left));
    area.height = int32_t(std::max<int64_t>(0, bottom - top));
    return area;
}

LfComposeMode LfDrawMode(const CLfImage& image)
{
    if (image.info.transIndex >= 0 || image.alpha || image.info.alphaPalette)
        return LfComposeMode::Blend;
    return LfComposeMode::Plain;
}

int64_t LfComposeArea(const CLfImage& image, int64_t x, int64_t y, int64_t cx, int64_t cy,
                      const LfDrawArea& area, LfComposeMode mode, RGBQUAD background, uint8_t* rgb,
                      uint8_t* alphaOut)
{
    const int32_t width = image.GetWidth(), height = image.GetHeight();
    const uint32_t bpp = image.GetBpp();
    const RGBQUAD* palette = image.GetPalette();
    if (!image.IsValid() || area.IsEmpty() || cx <= 0 || cy <= 0 || !rgb)
        return 0;

    // The source column of every area column, computed once.
    std::vector<int32_t> columns(size_t(area.width));
    for (int32_t i = 0; i < area.width; ++i)
        columns[size_t(i)] = LfSourceColumn(int64_t(area.left) + i, x, cx, width);

    const bool hasTrans = image.info.transIndex >= 0;
    const RGBQUAD trans = image.GetTransColor();
    const uint32_t alphaMax = image.info.alphaMax;
    const bool paletteAlpha = image.info.alphaPalette && bpp <= 8;
    int64_t skipped = 0;

    for (int32_t line = 0; line < area.height; ++line) {
        const int32_t srcRow = LfSourceRow(int64_t(area.top) + line, y, cy, height);
        const uint8_t* row = image.info.bits + uint64_t(srcRow) * image.GetRowBytes();
        const uint8_t* plane = image.alpha ? image.alpha + uint64_t(srcRow) * uint64_t(width) : nullptr;
        uint8_t* out = rgb + uint64_t(line) * uint64_t(area.width) * 3;
        uint8_t* outAlpha = alphaOut ? alphaOut + uint64_t(line) * uint64_t(area.width) : nullptr;

        for (int32_t i = 0; i < area.width; ++i) {
            const int32_t c = columns[size_t(i)];
            RGBQUAD colour = PixelAt(row, c, bpp, palette);
            bool painted = true;
            uint32_t opacity = 255;
            if (mode == LfComposeMode::Blend || mode == LfComposeMode::Opacity) {
                uint32_t a = plane ? plane[c] : 255;
                a = (a * (alphaMax + 1)) >> 8;
                if (bpp <= 8) {
                    if (paletteAlpha)
                        a = (a * (uint32_t(colour.rgbReserved) + 1)) >> 8;
                } else {
                    colour.rgbReserved = 0;
                }
                if (hasTrans && SameQuad(colour, trans))
                    painted = false;
                else if (mode == LfComposeMode::Opacity)
                    painted = (opacity = std::min<uint32_t>(a, 255)) != 0;
                else
                    painted = LfBlendPixel(colour, a, background, colour);
            } else if (mode == LfComposeMode::ColourKey) {
                painted = !(hasTrans && SameRgb(colour, trans));
            }
            if (!painted) {
                colour = background;
                ++skipped;
            }
            out[3 * i] = colour.rgbRed;
            out[3 * i + 1] = colour.rgbGreen;
            out[3 * i + 2] = colour.rgbBlue;
            if (outAlpha)
                outAlpha[i] = painted ? uint8_t(opacity) : 0;
        }
    }
    return skipped;
}
