// Changes to how pixels are coded: grey, negative, raising and lowering the bit
// depth, and dithering to one bit.

#include "image/CLfImage.h"

#include "image/ops/LfImageWork.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

inline uint8_t Luma(uint8_t r, uint8_t g, uint8_t b)
{
    return uint8_t((306 * r + 601 * g + 117 * b) >> 10);
}

inline uint8_t Luma(const RGBQUAD& c)
{
    return Luma(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// Carries the selection mask and the alpha plane of src over to a work image.
void CarryPlanes(const CLfImage& src, CLfImage& out)
{
    if (src.selection)
        out.SelectionCopy(src);
    if (src.alpha)
        out.AlphaCopy(src);
}

// An 8-bit grey work image of src's size, with src's planes.
bool CreateGreyImage(CLfImage& src, CLfImage& out)
{
    if (!lfimg::CreateWorkImage(src, out, src.GetWidth(), src.GetHeight(), 8))
        return false;
    out.SetGrayPalette();
    CarryPlanes(src, out);
    return true;
}

// One channel plus k sixteenths of an error, kept to a byte.
inline uint8_t AddError(uint8_t v, int error, int k)
{
    return uint8_t(std::clamp(int(v) + error * k / 16, 0, 255));
}

}  // namespace

bool CLfImage::GrayScale()
{
    if (!dib)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    if (header.biBitCount == 24) {
        CLfImage result;
        if (!CreateGreyImage(*this, result))
            return false;
        for (int64_t y = 0; y < h; ++y) {
            const uint8_t* p = GetBits(uint32_t(y));
            uint8_t* out = result.GetBits(uint32_t(y));
            for (int64_t x = 0; x < w; ++x, p += 3)
                out[x] = Luma(p[2], p[1], p[0]);
        }
        Transfer(result);
        return true;
    }
    // Palette images: the grey value of each entry goes into its blue byte, which
    // then serves as the lookup from index to grey.
    RGBQUAD* palette = GetPalette();
    const uint32_t colors = header.biClrUsed;
    for (uint32_t i = 0; i < colors; ++i)
        palette[i].rgbBlue = Luma(palette[i]);
    PaletteChanged();
    if (info.transIndex >= 0 && uint32_t(info.transIndex) < colors)
        info.transIndex = palette[info.transIndex].rgbBlue;
    if (header.biBitCount == 8) {
        for (int64_t y = 0; y < h; ++y) {
            uint8_t* row = GetBits(uint32_t(y));
            for (int64_t x = 0; x < w; ++x)
                row[x] = palette[row[x]].rgbBlue;
        }
        SetGrayPalette();
        return true;
    }
    CLfImage result;
    if (!CreateGreyImage(*this, result))
        return false;
    std::vector<uint8_t> indices(static_cast<size_t>(w));
    for (int64_t y = 0; y < h; ++y) {
        lfimg::UnpackRow(*this, y, indices.data());
        uint8_t* out = result.GetBits(uint32_t(y));
        for (int64_t x = 0; x < w; ++x)
            out[x] = palette[indices[size_t(x)]].rgbBlue;
    }
    Transfer(result);
    return true;
}

bool CLfImage::Negative()
{
    if (!dib)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    if (header.biBitCount == 24) {
        if (selection) {
            const RECT& box = info.selectionBox;
            for (int64_t y = box.bottom; y < box.top; ++y) {
                uint8_t* row = GetBits(uint32_t(y));
                for (int64_t x = box.left; x < box.right; ++x) {
                    if (!SelectionIsInside(x, y))
                        continue;
                    for (int c = 0; c < 3; ++c)
                        row[3 * x + c] = uint8_t(255 - row[3 * x + c]);
                }
            }
        } else {
            uint8_t* p = info.bits;
            const size_t n = size_t(info.rowBytes) * size_t(h);
            for (size_t i = 0; i < n; ++i)
                p[i] = uint8_t(~p[i]);
        }
        info.transColor.rgbBlue = uint8_t(255 - info.transColor.rgbBlue);
        info.transColor.rgbGreen = uint8_t(255 - info.transColor.rgbGreen);
        info.transColor.rgbRed = uint8_t(255 - info.transColor.rgbRed);
        return true;
    }
    if (!IsGrayScale()) {
        RGBQUAD* palette = GetPalette();
        for (uint32_t i = 0; i < header.biClrUsed; ++i) {
            palette[i].rgbBlue = uint8_t(255 - palette[i].rgbBlue);
            palette[i].rgbGreen = uint8_t(255 - palette[i].rgbGreen);
            palette[i].rgbRed = uint8_t(255 - palette[i].rgbRed);
        }
        PaletteChanged();
        return true;
    }
    // A grey palette keeps its order: the indices themselves are complemented.
    const uint8_t top = uint8_t(header.biClrUsed - 1);
    std::vector<uint8_t> indices(static_cast<size_t>(w));
    for (int64_t y = 0; y < h; ++y) {
        lfimg::UnpackRow(*this, y, indices.data());
        for (int64_t x = 0; x < w; ++x) {
            if (!selection || SelectionIsInside(x, y))
                indices[size_t(x)] = uint8_t(top - indices[size_t(x)]);
        }
        lfimg::PackRow(*this, y, indices.data());
    }
    return true;
}

bool CLfImage::IncreaseBpp(uint32_t bits)
{
    if (!dib || (bits != 4 && bits != 8 && bits != 24))
        return false;
    if (bits == header.biBitCount)
        return true;
    if (bits < header.biBitCount)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, w, h, bits))
        return false;
    CarryPlanes(*this, result);
    if (bits == 24) {
        if (info.transIndex >= 0)
            result.info.transColor = GetPaletteColor(uint32_t(info.transIndex));
        // Palette alpha moves into a plane of its own.
        if (PaletteHasAlpha() && !alpha)
            result.AlphaCreate();
    }
    std::vector<uint8_t> indices(static_cast<size_t>(w));
    std::vector<RGBQUAD> colors(bits == 24 ? size_t(w) : 0);
    for (int64_t y = 0; y < h; ++y) {
        if (lfimg::RowStep(*this, y, h))
            break;
        if (bits != 24) {
            lfimg::UnpackRow(*this, y, indices.data());
            lfimg::PackRow(result, y, indices.data());
            continue;
        }
        lfimg::ReadRowColors(*this, y, colors.data());
        uint8_t* out = result.GetBits(uint32_t(y));
        for (int64_t x = 0; x < w; ++x, out += 3) {
            out[0] = colors[size_t(x)].rgbBlue;
            out[1] = colors[size_t(x)].rgbGreen;
            out[2] = colors[size_t(x)].rgbRed;
        }
        if (result.alpha) {
            uint8_t* a = result.alpha + size_t(y) * size_t(w);
            for (int64_t x = 0; x < w; ++x)
                a[x] = colors[size_t(x)].rgbReserved;
        }
    }
    Transfer(result);
    return true;
}

bool CLfImage::DecreaseBpp(uint32_t bits, bool errorDiffusion, const RGBQUAD* palette, uint32_t important)
{
    if (!dib || header.biBitCount < bits)
        return false;
    if (bits != 1 && bits != 4 && bits != 8)
        return false;
    if (header.biBitCount == bits &&
        (important == 0 || (header.biClrImportant != 0 && header.biClrImportant < important)))
        return true;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    const bool fromOneBit = header.biBitCount == 1;
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, w, h, bits))
        return false;
    if (important)
        result.SetClrImportant(important);
    CarryPlanes(*this, result);
    if (palette) {
        result.SetPalette(palette, result.GetNumColors());
    } else if (bits == 1) {
        result.SetPaletteColor(0, 0, 0, 0);
        result.SetPaletteColor(1, 255, 255, 255);
    } else {
        result.SetStdPalette();
    }
    // The diffusion works on a 24-bit copy of the source so that every depth
    // spreads its error in colour.
    std::vector<RGBQUAD> work;
    std::vector<RGBQUAD> rowColors(static_cast<size_t>(w));
    if (errorDiffusion) {
        work.resize(size_t(w) * size_t(h));
        for (int64_t y = 0; y < h; ++y)
            lfimg::ReadRowColors(*this, y, work.data() + size_t(y * w));
    }
    for (int64_t y = 0; y < h; ++y) {
        if (lfimg::RowStep(*this, y, h))
            break;
        if (!errorDiffusion)
            lfimg::ReadRowColors(*this, y, rowColors.data());
        for (int64_t x = 0; x < w; ++x) {
            if (!errorDiffusion) {
                result.SetPixelColor(x, y, rowColors[size_t(x)]);
                continue;
            }
            const RGBQUAD c = work[size_t(y * w + x)];
            result.SetPixelColor(x, y, c);
            const RGBQUAD got = result.GetPixelColor(x, y);
            const int e[3] = {c.rgbBlue - got.rgbBlue, c.rgbGreen - got.rgbGreen, c.rgbRed - got.rgbRed};
            auto spread = [&](int64_t nx, int64_t ny, int k) {
                if (nx < 0 || nx >= w || ny >= h)
                    return;
                RGBQUAD& n = work[size_t(ny * w + nx)];
                n.rgbBlue = AddError(n.rgbBlue, e[0], k);
                n.rgbGreen = AddError(n.rgbGreen, e[1], k);
                n.rgbRed = AddError(n.rgbRed, e[2], k);
            };
            spread(x + 1, y, 7);
            spread(x - 1, y + 1, 2);
            spread(x, y + 1, 4);
            spread(x + 1, y + 1, 1);
        }
    }
    if (fromOneBit) {
        result.SetPaletteColor(0, 0, 0, 0);
        result.SetPaletteColor(1, 255, 255, 255);
    }
    Transfer(result);
    return true;
}

bool CLfImage::Dither(int32_t method)
{
    if (!dib)
        return false;
    if (header.biBitCount == 1)
        return true;
    if (!GrayScale())
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, w, h, 1))
        return false;
    CarryPlanes(*this, result);
    result.SetPaletteColor(0, 0, 0, 0);
    result.SetPaletteColor(1, 255, 255, 255);
    std::vector<uint8_t> bitsOut(static_cast<size_t>(w));
    if (method == 1) {
        static constexpr uint8_t kMatrix[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
        for (int64_t y = 0; y < h; ++y) {
            if (lfimg::RowStep(*this, y, h))
                break;
            const uint8_t* row = GetBits(uint32_t(y));
            for (int64_t x = 0; x < w; ++x) {
                const int level = row[x] * 16 / 255;
                const bool on = level == 16 || kMatrix[(x & 3) + 4 * (y & 3)] < level;
                bitsOut[size_t(x)] = on ? 1 : 0;
            }
            lfimg::PackRow(result, y, bitsOut.data());
        }
    } else {
        // The grey image is this image's own 8-bit pixel rows: the error goes into them.
        for (int64_t y = 0; y < h; ++y) {
            if (lfimg::RowStep(*this, y, h))
                break;
            uint8_t* row = GetBits(uint32_t(y));
            uint8_t* above = y + 1 < h ? GetBits(uint32_t(y + 1)) : nullptr;
            for (int64_t x = 0; x < w; ++x) {
                const int grey = row[x];
                const bool on = grey > 128;
                const int error = on ? grey - 255 : grey;
                bitsOut[size_t(x)] = on ? 1 : 0;
                if (x + 1 < w)
                    row[x + 1] = AddError(row[x + 1], error, 7);
                if (above) {
                    if (x > 0)
                        above[x - 1] = AddError(above[x - 1], error, 3);
                    above[x] = AddError(above[x], error, 5);
                    if (x + 1 < w)
                        above[x + 1] = AddError(above[x + 1], error, 1);
                }
            }
            lfimg::PackRow(result, y, bitsOut.data());
        }
    }
    Transfer(result);
    return true;
}
