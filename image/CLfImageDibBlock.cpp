// Packed DIB blocks (header, palette, pixel rows in one piece): the form in which
// images travel through the clipboard. Reading trusts nothing in the block: every
// offset and length is checked against the bytes it holds.

#include "image/CLfImage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kMaxHeaderSize = 1024;  // V5 is 124; anything far larger is not a header

int32_t PelsToDpi(int32_t pelsPerMeter)
{
    if (pelsPerMeter == 0)
        return 96;
    return int32_t(std::floor(pelsPerMeter * 0.0254 + 0.5));
}

// The 8-bit value of a channel that occupies mask's bits of v.
uint8_t MaskedChannel(uint32_t v, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = __builtin_ctz(mask);
    const int bits = __builtin_popcount(mask);
    uint32_t c = (v & mask) >> shift;
    if (bits >= 8)
        return uint8_t(c >> (bits - 8));
    // Widen by repeating the top bits, so full scale stays full scale.
    uint32_t wide = 0;
    for (int filled = 0; filled < 8; filled += bits)
        wide = (wide << bits) | c;
    const int total = ((8 + bits - 1) / bits) * bits;
    return uint8_t(wide >> (total - 8));
}

}  // namespace

std::vector<uint8_t> CLfImage::CopyToHandle() const
{
    std::vector<uint8_t> block;
    if (!dib)
        return block;
    const uint64_t rest = 4ull * header.biClrUsed + header.biSizeImage;
    block.resize(kBitmapInfoHeaderSize + rest);
    BITMAPINFOHEADER current = header;
    current.biSize = kBitmapInfoHeaderSize;
    lfdib::WriteInfoHeader(current, block.data());
    std::memcpy(block.data() + kBitmapInfoHeaderSize, dib + kBitmapInfoHeaderSize, rest);
    return block;
}

bool CLfImage::CreateFromHANDLE(const uint8_t* block, size_t size)
{
    if (!block || size < 4) {
        SetLastError("packed DIB: no block");
        return false;
    }
    const uint32_t headerSize = lfdib::GetLE32(block);
    if (headerSize < kBitmapInfoHeaderSize || headerSize > kMaxHeaderSize || headerSize > size) {
        SetLastErrorF("packed DIB: header of %u bytes in a block of %zu", headerSize, size);
        return false;
    }
    const BITMAPINFOHEADER h = lfdib::ReadInfoHeader(block);
    const uint32_t bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        SetLastErrorF("packed DIB: %u bits per pixel", bpp);
        return false;
    }
    const bool bitFields = h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (h.biCompression != BI_RGB && !bitFields) {
        SetLastErrorF("packed DIB: compression %u is not read", h.biCompression);
        return false;
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        SetLastErrorF("packed DIB: size %d x %d", h.biWidth, h.biHeight);
        return false;
    }
    const bool topDown = h.biHeight < 0;
    const int64_t width = h.biWidth, height = topDown ? -int64_t(h.biHeight) : h.biHeight;

    // Masks sit inside V2 and later headers, or in 12 bytes after a 40-byte one.
    uint64_t offset = headerSize;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    if (bitFields) {
        const uint64_t at = headerSize >= 52 ? kBitmapInfoHeaderSize : headerSize;
        if (at + 12 > size) {
            SetLastError("packed DIB: bit-field masks missing");
            return false;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = lfdib::GetLE32(block + at + 4 * i);
        if (headerSize < 52)
            offset += 12;
    }
    // The colour table: biClrUsed entries (all the depth allows when 0).
    const uint64_t depthColours = bpp <= 8 ? (1u << bpp) : 0;
    const uint64_t tableEntries = h.biClrUsed ? h.biClrUsed : depthColours;
    const uint64_t paletteEntries = std::min(tableEntries, depthColours);
    offset += 4 * tableEntries;
    const uint64_t srcRow = ((uint64_t(width) * bpp + 31) >> 5) << 2;
    const uint64_t pixelBytes = srcRow * uint64_t(height);
    if (offset > size || size - offset < pixelBytes) {
        SetLastErrorF("packed DIB: %llu bytes of pixels expected, %llu in the block",
                      (unsigned long long)pixelBytes,
                      (unsigned long long)(offset > size ? 0 : size - offset));
        return false;
    }

    CLfImage result;
    if (!result.Create(width, height, bpp <= 8 ? bpp : 24, info.type)) {
        SetLastError(result.GetLastError());
        return false;
    }
    const uint8_t* src = block + offset;
    if (bpp <= 8) {
        RGBQUAD* palette = result.GetPalette();
        for (uint64_t i = 0; i < paletteEntries; ++i) {
            const uint8_t* e = block + headerSize + (bitFields && headerSize < 52 ? 12 : 0) + 4 * i;
            palette[i] = RGBQUAD{e[0], e[1], e[2], e[3]};
        }
        result.PaletteChanged();
    }
    if (bpp <= 8 || bpp == 24) {
        for (int64_t row = 0; row < height; ++row)
            std::memcpy(result.GetBits(uint32_t(row)), src + uint64_t(row) * srcRow, srcRow);
    } else if (bpp == 16 || (masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF)) {
        result.BitfieldsToRGB(src, masks[0], masks[1], masks[2], bpp, pixelBytes);
    } else {
        for (int64_t row = 0; row < height; ++row) {
            const uint8_t* s = src + uint64_t(row) * srcRow;
            uint8_t* d = result.GetBits(uint32_t(row));
            for (int64_t c = 0; c < width; ++c) {
                const uint32_t v = lfdib::GetLE32(s + 4 * c);
                d[3 * c] = MaskedChannel(v, masks[2]);
                d[3 * c + 1] = MaskedChannel(v, masks[1]);
                d[3 * c + 2] = MaskedChannel(v, masks[0]);
            }
        }
    }
    if (topDown)
        result.Flip();
    result.SetXDPI(PelsToDpi(h.biXPelsPerMeter));
    result.SetYDPI(PelsToDpi(h.biYPelsPerMeter));
    lfdib::WriteInfoHeader(result.header, result.dib);
    Transfer(result);
    return true;
}
