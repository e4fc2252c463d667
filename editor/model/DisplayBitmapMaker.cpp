#include "editor/model/DisplayBitmapMaker.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace {

int32_t Taps1D(double scale)
{
    if (scale >= 1.0)
        return 1;
    return std::clamp(static_cast<int32_t>(std::ceil(1.0 / scale - 1e-6)), 1, DisplayBitmapMaker::kMaxTaps);
}

// One source pixel of a row of the given depth as blue, green, red.
template <uint32_t Bpp>
inline void Fetch(const uint8_t* row, int32_t x, const RGBQUAD* palette, uint32_t& b, uint32_t& g, uint32_t& r)
{
    if constexpr (Bpp == 24) {
        const uint8_t* p = row + x * 3;
        b = p[0];
        g = p[1];
        r = p[2];
    } else {
        uint32_t index;
        if constexpr (Bpp == 8)
            index = row[x];
        else if constexpr (Bpp == 4)
            index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        else
            index = (row[x >> 3] >> (7 - (x & 7))) & 0x01;
        const RGBQUAD& c = palette[index];
        b = c.rgbBlue;
        g = c.rgbGreen;
        r = c.rgbRed;
    }
}

struct Job {
    const CLfImage& image;
    const int32_t* columns;  // taps per column, tx each; -1 outside
    const int32_t* rows;     // taps per row, ty each; -1 outside
    int32_t width;
    int32_t height;
    int32_t tx;
    int32_t ty;
    COLORREF background;
    uint8_t* out;
    int32_t firstRow;  // the rows of this part of the job
    int32_t endRow;
};

template <uint32_t Bpp, bool Alpha>
void Render(const Job& job)
{
    const CLfImage& img = job.image;
    const int32_t imageHeight = img.GetHeight();
    const int32_t imageWidth = img.GetWidth();
    const RGBQUAD* palette = img.GetPalette();
    // A palette image may index past a short palette: those indices read black.
    RGBQUAD full[256] = {};
    if constexpr (Bpp != 24) {
        const uint32_t n = std::min<uint32_t>(img.GetPaletteSize() / sizeof(RGBQUAD), 256);
        std::copy(palette, palette + n, full);
        palette = full;
    }
    const uint32_t bgR = GetRValue(job.background);
    const uint32_t bgG = GetGValue(job.background);
    const uint32_t bgB = GetBValue(job.background);
    const uint32_t taps = uint32_t(job.tx * job.ty);
    const uint8_t alphaMax = img.info.alphaMax;
    std::vector<const uint8_t*> rowPtrs(size_t(job.ty));
    std::vector<const uint8_t*> alphaPtrs(size_t(job.ty));
    uint8_t* out = job.out + size_t(job.firstRow) * size_t(job.width) * 3;
    for (int32_t y = job.firstRow; y < job.endRow; ++y) {
        const int32_t* ry = job.rows + size_t(y) * job.ty;
        if (ry[0] < 0) {
            for (int32_t x = 0; x < job.width; ++x, out += 3) {
                out[0] = uint8_t(bgR);
                out[1] = uint8_t(bgG);
                out[2] = uint8_t(bgB);
            }
            continue;
        }
        for (int32_t j = 0; j < job.ty; ++j) {
            // Image rows count from the top here; the pixel rows are stored bottom-up.
            const int32_t dibRow = imageHeight - 1 - ry[j];
            rowPtrs[size_t(j)] = img.info.bits + size_t(dibRow) * img.GetRowBytes();
            if constexpr (Alpha)
                alphaPtrs[size_t(j)] = img.alpha + size_t(dibRow) * size_t(imageWidth);
        }
        for (int32_t x = 0; x < job.width; ++x, out += 3) {
            const int32_t* cx = job.columns + size_t(x) * job.tx;
            if (cx[0] < 0) {
                out[0] = uint8_t(bgR);
                out[1] = uint8_t(bgG);
                out[2] = uint8_t(bgB);
                continue;
            }
            uint32_t sr = 0, sg = 0, sb = 0;
            for (int32_t j = 0; j < job.ty; ++j) {
                const uint8_t* row = rowPtrs[size_t(j)];
                for (int32_t i = 0; i < job.tx; ++i) {
                    uint32_t b, g, r;
                    Fetch<Bpp>(row, cx[i], palette, b, g, r);
                    if constexpr (Alpha) {
                        const uint32_t a = uint32_t(alphaPtrs[size_t(j)][cx[i]]) * alphaMax / 255;
                        r = (r * a + bgR * (255 - a)) / 255;
                        g = (g * a + bgG * (255 - a)) / 255;
                        b = (b * a + bgB * (255 - a)) / 255;
                    }
                    sr += r;
                    sg += g;
                    sb += b;
                }
            }
            if (taps == 1) {
                out[0] = uint8_t(sr);
                out[1] = uint8_t(sg);
                out[2] = uint8_t(sb);
            } else {
                out[0] = uint8_t((sr + taps / 2) / taps);
                out[1] = uint8_t((sg + taps / 2) / taps);
                out[2] = uint8_t((sb + taps / 2) / taps);
            }
        }
    }
}

template <uint32_t Bpp>
void RenderDepth(const Job& job)
{
    if (job.image.alpha)
        Render<Bpp, true>(job);
    else
        Render<Bpp, false>(job);
}

// Source indices of the taps of display pixels start .. start + count - 1 on one axis.
void AxisTaps(std::vector<int32_t>& taps, int32_t start, int32_t count, int32_t imageSize, int32_t displaySize,
              double scale, int32_t perPixel)
{
    taps.assign(size_t(count) * size_t(perPixel), -1);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t d = start + i;
        if (d < 0 || d >= displaySize)
            continue;
        int32_t* t = taps.data() + size_t(i) * size_t(perPixel);
        if (scale >= 1.0) {
            // Enlarged: the image pixel under the display pixel's centre.
            t[0] = std::min(static_cast<int32_t>((d + 0.5) / scale), imageSize - 1);
            continue;
        }
        const double first = d / scale;
        const double span = 1.0 / scale;
        for (int32_t k = 0; k < perPixel; ++k) {
            const auto at = static_cast<int32_t>(first + (k + 0.5) * span / perPixel);
            t[k] = std::clamp(at, 0, imageSize - 1);
        }
    }
}

}  // namespace

SIZE DisplayBitmapMaker::DisplaySize(const CLfImage& image, float scale)
{
    if (!image.IsValid() || !(scale > 0.0f))
        return {};
    return {std::max(static_cast<int32_t>(float(image.GetWidth()) * scale), 1),
            std::max(static_cast<int32_t>(float(image.GetHeight()) * scale), 1)};
}

bool DisplayBitmapMaker::Make(const CLfImage& image, float scale, RECT area, COLORREF background,
                              std::vector<uint8_t>& rgb)
{
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;
    const uint32_t bpp = image.GetBpp();
    if (!image.IsValid() || !(scale > 0.0f) || width <= 0 || height <= 0 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)) {
        rgb.clear();
        return false;
    }
    const SIZE display = DisplaySize(image, scale);
    const double s = scale;
    const int32_t tx = Taps1D(s);
    const int32_t ty = tx;
    AxisTaps(m_columns, area.left, width, image.GetWidth(), display.cx, s, tx);
    AxisTaps(m_rows, area.top, height, image.GetHeight(), display.cy, s, ty);
    rgb.resize(size_t(width) * size_t(height) * 3);
    const Job job{image, m_columns.data(), m_rows.data(), width, height, tx, ty, background, rgb.data(), 0, height};
    auto render = [bpp](const Job& part) {
        switch (bpp) {
        case 24: RenderDepth<24>(part); break;
        case 8: RenderDepth<8>(part); break;
        case 4: RenderDepth<4>(part); break;
        default: RenderDepth<1>(part); break;
        }
    };
    // A large reduction reads many image pixels for each shown one: the rows are shared
    // out to a few threads (each shown pixel is computed the same way on any of them).
    constexpr uint64_t kSamplesPerThread = 2'000'000;
    const uint64_t samples = uint64_t(width) * uint64_t(height) * uint64_t(tx) * uint64_t(ty);
    const unsigned parts = unsigned(std::clamp<uint64_t>(
        std::min<uint64_t>(samples / kSamplesPerThread, std::thread::hardware_concurrency()), 1, 4));
    if (parts == 1) {
        render(job);
        return true;
    }
    std::vector<std::jthread> helpers;
    const int32_t perPart = (height + int32_t(parts) - 1) / int32_t(parts);
    for (unsigned p = 1; p < parts; ++p) {
        Job part = job;
        part.firstRow = std::min(height, int32_t(p) * perPart);
        part.endRow = std::min(height, part.firstRow + perPart);
        if (part.firstRow < part.endRow)
            helpers.emplace_back([render, part] { render(part); });
    }
    Job first = job;
    first.endRow = std::min(height, perPart);
    render(first);
    return true;  // the helpers are joined as they go
}
