// Statistics and histogram-driven luminance remappings: mean grey level, channel
// histograms, stretch, equalise, normalise, logarithm and square root.

#include "image/CLfImage.h"
#include "image/ops/LfColorMath.h"

#include <array>
#include <climits>
#include <cmath>

namespace {

using Lut = std::array<uint8_t, 256>;
using Counts = std::array<int64_t, 256>;

// Visits every pixel colour row by row, reporting row x 50 / height as the first
// half of a remapping's progress. False when stopped by the escape flag.
template <class F>
bool ScanPixels(CLfImage& image, F f)
{
    const int32_t w = image.header.biWidth, h = image.header.biHeight;
    for (int32_t y = 0; y < h; ++y) {
        image.info.progress = lfcolor::Percent(y, h, 50);
        if (image.info.escape) return false;
        for (int32_t x = 0; x < w; ++x) f(image.GetPixelColor(x, y));
    }
    return true;
}

// Luminances of the palette entries of a palette image, else of every pixel.
template <class F>
bool ScanColours(CLfImage& image, F f)
{
    if (const uint32_t colours = image.header.biClrUsed) {
        for (uint32_t i = 0; i < colours; ++i) f(image.GetPaletteColor(static_cast<uint8_t>(i)));
        return true;
    }
    return ScanPixels(image, f);
}

bool LuminanceCounts(CLfImage& image, Counts& counts)
{
    counts.fill(0);
    return ScanPixels(image, [&](const RGBQUAD& c) { ++counts[lfcolor::Luminance(c)]; });
}

RGBQUAD MapLuminance(const RGBQUAD& c, const Lut& map)
{
    RGBQUAD yuv = CLfImage::RGBtoYUV(c);
    yuv.rgbRed = map[yuv.rgbRed];
    return CLfImage::YUVtoRGB(yuv);
}

// Replaces the Y of every colour (palette entries, or pixels reporting the second
// half of the progress) by map[Y], keeping U and V.
void RemapLuminance(CLfImage& image, const Lut& map)
{
    if (const uint32_t colours = image.header.biClrUsed) {
        for (uint32_t i = 0; i < colours; ++i) {
            const uint8_t index = static_cast<uint8_t>(i);
            image.SetPaletteColor(index, MapLuminance(image.GetPaletteColor(index), map));
        }
        return;
    }
    const int32_t w = image.header.biWidth, h = image.header.biHeight;
    for (int32_t y = 0; y < h; ++y) {
        image.info.progress = 50 + lfcolor::Percent(y, h, 50);
        if (image.info.escape) return;
        for (int32_t x = 0; x < w; ++x) image.SetPixelColor(x, y, MapLuminance(image.GetPixelColor(x, y), map), false);
    }
}

template <class F>
Lut MakeTable(F f)
{
    Lut t;
    for (int v = 0; v < 256; ++v) t[v] = f(v);
    return t;
}

// Largest luminance over the palette or the pixels, at least 1.
bool MaxLuminance(CLfImage& image, int& result)
{
    result = 1;
    return ScanColours(image, [&](const RGBQUAD& c) { result = std::max<int>(result, lfcolor::Luminance(c)); });
}

}  // namespace

float CLfImage::Mean()
{
    if (!dib) return 0.0f;
    int32_t left = 0, bottom = 0, right = header.biWidth, top = header.biHeight;
    if (selection) {
        const lfcolor::WalkArea a = lfcolor::SelectionWalkArea(*this);
        left = a.left, bottom = a.bottom, right = a.right, top = a.top;
    }
    if (right <= left || top <= bottom) return 0.0f;
    // The grey level of a pixel is its luminance, as a grey conversion makes it.
    int64_t sum = 0;
    for (int32_t y = bottom; y < top; ++y) {
        info.progress = lfcolor::Percent(y, top);
        for (int32_t x = left; x < right; ++x) sum += lfcolor::Luminance(GetPixelColor(x, y));
    }
    return static_cast<float>(static_cast<double>(sum) / (right - left) / (top - bottom));
}

int32_t CLfImage::Histogram(int32_t* red, int32_t* green, int32_t* blue, int32_t* grey, int32_t space) const
{
    if (!dib) return 0;
    // Counted in 64 bits: a 1-bit image may hold more than 2^31 pixels.
    Counts r{}, g{}, b{}, l{};
    const lfcolor::WalkArea area = lfcolor::SelectionWalkArea(*this);
    for (int32_t y = area.bottom; y < area.top; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (area.masked && !SelectionIsInside(x, y)) continue;
            const RGBQUAD c = lfcolor::SpaceToRGB(GetPixelColor(x, y), space);
            ++r[c.rgbRed];
            ++g[c.rgbGreen];
            ++b[c.rgbBlue];
            ++l[lfcolor::Luminance(c)];
        }
    }
    int64_t largest = 0;
    auto give = [&](int32_t* out, const Counts& counts) {
        if (!out) return;
        for (int i = 0; i < 256; ++i) {
            out[i] = static_cast<int32_t>(std::min<int64_t>(counts[i], INT32_MAX));
            largest = std::max(largest, counts[i]);
        }
    };
    give(red, r);
    give(green, g);
    give(blue, b);
    give(grey, l);
    return static_cast<int32_t>(std::min<int64_t>(largest, INT32_MAX));
}

bool CLfImage::HistogramStretch()
{
    if (!dib) return false;
    int lo = 255, hi = 0;
    if (!ScanColours(*this, [&](const RGBQUAD& c) {
            const int v = lfcolor::Luminance(c);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }))
        return true;
    if (lo >= hi) return false;
    RemapLuminance(*this, MakeTable([&](int v) { return lfcolor::ClampTrunc((v - lo) * 255.0 / (hi - lo)); }));
    return true;
}

bool CLfImage::HistogramEqualize()
{
    if (!dib) return false;
    Counts cum;
    if (!LuminanceCounts(*this, cum)) return true;
    for (int i = 1; i < 256; ++i) cum[i] += cum[i - 1];
    if (cum[0] == cum[255]) return false;
    RemapLuminance(*this, MakeTable([&](int v) {
                       return static_cast<uint8_t>((cum[v] - cum[0]) * 255 / (cum[255] - cum[0]));
                   }));
    return true;
}

bool CLfImage::HistogramNormalize()
{
    if (!dib) return false;
    Counts counts;
    if (!LuminanceCounts(*this, counts)) return true;

    // The first level from each end at which the running sum exceeds threshold.
    auto bounds = [&](int64_t threshold, int& low, int& high) {
        int64_t sum = 0;
        for (low = 0; low < 255; ++low)
            if ((sum += counts[low]) > threshold) break;
        sum = 0;
        for (high = 255; high > 0; --high)
            if ((sum += counts[high]) > threshold) break;
    };
    int low = 0, high = 0;
    bounds(static_cast<int64_t>(header.biWidth) * header.biHeight / 100, low, high);
    if (low == high) bounds(0, low, high);
    if (low >= high) return false;
    RemapLuminance(*this, MakeTable([&](int v) {
                       if (v < low) return uint8_t{0};
                       if (v > high) return uint8_t{255};
                       return static_cast<uint8_t>(254 * (v - low) / (high - low));
                   }));
    return true;
}

bool CLfImage::HistogramLog()
{
    if (!dib) return false;
    int top = 1;
    if (!MaxLuminance(*this, top)) return true;
    const double divisor = std::log(top + 1.0);
    RemapLuminance(*this, MakeTable([&](int v) { return lfcolor::ClampTrunc(std::log(v + 1.0) * 255.0 / divisor); }));
    return true;
}

bool CLfImage::HistogramRoot()
{
    if (!dib) return false;
    int top = 1;
    if (!MaxLuminance(*this, top)) return true;
    // The scale takes the logarithm of the top level, so upper levels saturate.
    const double divisor = std::log(top + 1.0);
    RemapLuminance(*this, MakeTable([&](int v) {
                       return lfcolor::ClampTrunc(std::sqrt(static_cast<double>(v)) * 128.0 / divisor);
                   }));
    return true;
}
