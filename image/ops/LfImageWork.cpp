#include "image/ops/LfImageWork.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lfimg {

bool CreateWorkImage(CLfImage& src, CLfImage& out, int64_t width, int64_t height, uint32_t bpp)
{
    out.Init(0);
    out.CopyInfo(src);
    if (!out.Create(width, height, bpp, src.GetType())) {
        src.SetLastError(out.GetLastError());
        return false;
    }
    // Create keeps the header's own resolution fields: bring them in line with the
    // copied DPI so an encoder writes the source's resolution.
    out.SetXDPI(src.info.xDpi);
    out.SetYDPI(src.info.yDpi);
    if (out.GetNumColors() && src.GetNumColors())
        out.SetPalette(src.GetPalette(), src.GetNumColors());
    return true;
}

void UnpackRow(const CLfImage& img, int64_t y, uint8_t* indices)
{
    const uint8_t* row = img.GetBits(uint32_t(y));
    const int64_t w = img.GetWidth();
    switch (img.GetBpp()) {
    case 8:
        std::memcpy(indices, row, size_t(w));
        break;
    case 4: {
        const int64_t pairs = w / 2;
        for (int64_t i = 0; i < pairs; ++i) {
            indices[2 * i] = uint8_t(row[i] >> 4);
            indices[2 * i + 1] = uint8_t(row[i] & 0x0F);
        }
        if (w & 1)
            indices[w - 1] = uint8_t(row[pairs] >> 4);
        break;
    }
    default: {
        const int64_t bytes = w / 8;
        for (int64_t i = 0; i < bytes; ++i)
            for (int k = 0; k < 8; ++k)
                indices[8 * i + k] = uint8_t((row[i] >> (7 - k)) & 1);
        for (int64_t x = bytes * 8; x < w; ++x)
            indices[x] = uint8_t((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    }
    }
}

void PackRow(CLfImage& img, int64_t y, const uint8_t* indices)
{
    uint8_t* row = img.GetBits(uint32_t(y));
    const int64_t w = img.GetWidth();
    switch (img.GetBpp()) {
    case 8:
        std::memcpy(row, indices, size_t(w));
        break;
    case 4:
        for (int64_t x = 0; x + 1 < w; x += 2)
            row[x >> 1] = uint8_t((indices[x] << 4) | (indices[x + 1] & 0x0F));
        if (w & 1)
            row[w >> 1] = uint8_t((row[w >> 1] & 0x0F) | (indices[w - 1] << 4));
        break;
    default:
        for (int64_t x = 0; x < w; x += 8) {
            uint8_t byte = 0;
            const int64_t n = std::min<int64_t>(8, w - x);
            for (int64_t k = 0; k < n; ++k)
                byte = uint8_t(byte | ((indices[x + k] & 1) << (7 - k)));
            const uint8_t keep = uint8_t(0xFF >> n);  // bits past the last pixel stay
            row[x >> 3] = uint8_t((row[x >> 3] & keep) | byte);
        }
        break;
    }
}

void ReadRowColors(const CLfImage& img, int64_t y, RGBQUAD* colors)
{
    const int64_t w = img.GetWidth();
    if (img.GetNumColors() != 0) {
        std::vector<uint8_t> indices(static_cast<size_t>(w));
        UnpackRow(img, y, indices.data());
        const RGBQUAD* palette = img.GetPalette();
        const uint32_t count = img.GetNumColors();
        for (int64_t x = 0; x < w; ++x)
            colors[x] = indices[size_t(x)] < count ? palette[indices[size_t(x)]] : RGBQUAD{};
    } else {
        const uint8_t* p = img.GetBits(uint32_t(y));
        const uint8_t reserved = img.info.transColor.rgbReserved;
        for (int64_t x = 0; x < w; ++x, p += 3)
            colors[x] = RGBQUAD{p[0], p[1], p[2], reserved};
    }
    if (img.alpha) {
        const uint8_t* a = img.alpha + size_t(y) * size_t(w);
        for (int64_t x = 0; x < w; ++x)
            colors[x].rgbReserved = a[x];
    }
}

void DeliverResult(CLfImage& self, CLfImage& result, CLfImage* destination)
{
    (destination ? *destination : self).Transfer(result);
}

void FlipRowsInPlace(uint8_t* base, size_t rowBytes, size_t rows)
{
    for (size_t top = 0, bottom = rows; top + 1 < bottom; ++top) {
        --bottom;
        uint8_t* a = base + top * rowBytes;
        uint8_t* b = base + bottom * rowBytes;
        if (std::memcmp(a, b, rowBytes) != 0)
            std::swap_ranges(a, a + rowBytes, b);
    }
}

}  // namespace lfimg
