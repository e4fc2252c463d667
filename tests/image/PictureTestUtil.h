#pragma once
// Pictures for the image tests: colours, test images built pixel by pixel, an
// image's pixels read back as plain values or RGBA, and picture comparisons.

#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace lftest {

using Bytes = std::vector<uint8_t>;

// ---- Colours ------------------------------------------------------------------------

inline RGBQUAD Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t reserved = 0)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    q.rgbReserved = reserved;
    return q;
}

inline RGBQUAD Grey(uint8_t v) { return Rgb(v, v, v); }

// The same colour in the DIB's own blue-green-red order.
inline RGBQUAD Bgr(uint8_t b, uint8_t g, uint8_t r) { return Rgb(r, g, b); }

// Same red, green and blue; the fourth byte does not count.
inline bool SameColor(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

// Colours compare as text, "r,g,b,a", so that failures read plainly.
inline std::string Str(const RGBQUAD& q)
{
    return std::to_string(q.rgbRed) + ',' + std::to_string(q.rgbGreen) + ',' + std::to_string(q.rgbBlue) + ',' +
           std::to_string(q.rgbReserved);
}

inline std::vector<std::string> Strs(const std::vector<RGBQUAD>& colours)
{
    std::vector<std::string> out;
    for (const RGBQUAD& c : colours) out.push_back(Str(c));
    return out;
}

// ---- Test pictures ------------------------------------------------------------------

// A picture whose every pixel differs from its neighbours; palette images get
// a palette of distinct colours (entry i of a 2-colour image is black/white).
inline std::unique_ptr<CLfImage> MakePicture(int width, int height, uint32_t bpp, bool withAlpha = false)
{
    auto img = std::make_unique<CLfImage>(width, height, bpp, 0);
    const uint32_t colours = img->GetNumColors();
    for (uint32_t i = 0; i < colours; ++i) {
        if (colours == 2)
            img->SetPaletteColor(uint8_t(i), uint8_t(i * 255), uint8_t(i * 255), uint8_t(i * 255));
        else
            img->SetPaletteColor(uint8_t(i), uint8_t(i * 37 + 5), uint8_t(255 - i * 11), uint8_t(i * 73 + 1));
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (colours != 0) {
                img->SetPixelIndex(x, y, uint8_t((x * 7 + y * 3 + x * y) % colours));
            } else {
                RGBQUAD c{};
                c.rgbRed = uint8_t(x * 29 + y);
                c.rgbGreen = uint8_t(y * 41 + x * 3);
                c.rgbBlue = uint8_t((x ^ y) * 13);
                img->SetPixelColor(x, y, c);
            }
        }
    }
    if (withAlpha) {
        img->AlphaCreate();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                img->AlphaSet(x, y, uint8_t((x * 53 + y * 17) % 256));
    }
    return img;
}

// A 24-bit image whose pixel (x, y) is f(x, y) (y from the bottom row).
template <class F>
void MakeRgb(CLfImage& image, int32_t w, int32_t h, F f)
{
    ASSERT_NE(image.Create(w, h, 24, 0), nullptr);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) image.SetPixelColor(x, y, f(x, y));
}

// An 8-bit image with the grey palette whose index at (x, y) is f(x, y).
template <class F>
void MakeGrey(CLfImage& image, int32_t w, int32_t h, F f)
{
    ASSERT_NE(image.Create(w, h, 8, 0), nullptr);
    image.SetGrayPalette();
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) image.SetPixelIndex(x, y, static_cast<uint8_t>(f(x, y)));
}

// ---- Reading pixels back --------------------------------------------------------------

// Blue, green and red of a pixel; the fourth byte cleared.
inline RGBQUAD Colour(const CLfImage& image, int32_t x, int32_t y)
{
    RGBQUAD c = image.GetPixelColor(x, y);
    c.rgbReserved = 0;
    return c;
}

// Every pixel colour, row by row from the bottom.
inline std::vector<RGBQUAD> Pixels(const CLfImage& image)
{
    std::vector<RGBQUAD> out;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x) out.push_back(Colour(image, x, y));
    return out;
}

inline std::vector<uint8_t> Indices(const CLfImage& image)
{
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x) out.push_back(image.GetPixelIndex(x, y));
    return out;
}

// The raw pixel bytes, row fillers included.
inline std::vector<uint8_t> RawBits(const CLfImage& image)
{
    const uint8_t* p = image.GetBits(0);
    return std::vector<uint8_t>(p, p + image.header.biSizeImage);
}

// Red, green, blue and opacity of a pixel as 0xRRGGBBAA (x from the left, y from
// the bottom row), with the alpha of whichever transparency the image carries:
// alpha plane, palette alpha, transparent index or transparent colour.
inline uint32_t Rgba(const CLfImage& img, int x, int y)
{
    const RGBQUAD c = img.GetPixelColor(x, y);
    uint32_t a = 255;
    if (img.alpha != nullptr) {
        a = img.AlphaGet(x, y);
    } else if (img.GetNumColors() != 0) {
        const uint8_t index = img.GetPixelIndex(x, y);
        if (img.info.alphaPalette)
            a = img.GetPaletteColor(index).rgbReserved;
        else if (index == img.info.transIndex)
            a = 0;
    } else if (img.info.transIndex >= 0) {
        const RGBQUAD t = img.info.transColor;
        if (c.rgbRed == t.rgbRed && c.rgbGreen == t.rgbGreen && c.rgbBlue == t.rgbBlue)
            a = 0;
    }
    return (uint32_t(c.rgbRed) << 24) | (uint32_t(c.rgbGreen) << 16) | (uint32_t(c.rgbBlue) << 8) | a;
}

// The picture top row first, `channels` bytes a pixel: 3 for red, green and blue,
// 4 with the opacity of Rgba(img, x, y) after them.
inline Bytes TopDownPixels(const CLfImage& img, int channels)
{
    const int w = img.GetWidth(), h = img.GetHeight();
    Bytes out;
    out.reserve(size_t(w) * size_t(h) * size_t(channels));
    for (int top = 0; top < h; ++top) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = Rgba(img, x, h - 1 - top);
            for (int shift = 24; shift > 24 - 8 * channels; shift -= 8) out.push_back(uint8_t(p >> shift));
        }
    }
    return out;
}

// The picture as top-down RGBA, the layout ImageMagick's rgba:- dump has.
inline Bytes Rgba(const CLfImage& img) { return TopDownPixels(img, 4); }

// The picture as top-down RGB, the layout ImageMagick's rgb:- dump has.
inline Bytes ImageRgb(const CLfImage& img) { return TopDownPixels(img, 3); }

// ---- Comparisons ----------------------------------------------------------------------

// Same size and same colour and opacity at every pixel (the colour of fully
// transparent pixels does not count).
inline ::testing::AssertionResult SamePicture(const CLfImage& a, const CLfImage& b)
{
    if (!a.IsValid() || !b.IsValid())
        return ::testing::AssertionFailure() << "an image is empty";
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return ::testing::AssertionFailure() << "sizes " << a.GetWidth() << "x" << a.GetHeight() << " and "
                                             << b.GetWidth() << "x" << b.GetHeight();
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (Rgba(a, x, y) != Rgba(b, x, y) && ((Rgba(a, x, y) & 0xFF) != 0 || (Rgba(b, x, y) & 0xFF) != 0))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") from the bottom: " << std::hex
                                                     << Rgba(a, x, y) << " and " << Rgba(b, x, y);
    return ::testing::AssertionSuccess();
}

// Bytes of a and b that differ by more than tolerance; extra bytes of the longer
// one count as differing.
inline size_t CountDiffs(const Bytes& a, const Bytes& b, int tolerance = 0)
{
    size_t n = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) ++n;
    return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// Index of the first differing byte, or -1 when both are equal.
inline int64_t FirstDifference(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size())
        return int64_t(std::min(a.size(), b.size()));
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return int64_t(i);
    return -1;
}

// ---- Snapshots: an encoder must leave its image alone ----------------------------------

struct ImageSnapshot {
    Bytes dib;
    Bytes alpha;
    int32_t transIndex = -1;
};

inline ImageSnapshot Snap(const CLfImage& img)
{
    ImageSnapshot s{Bytes(img.dib, img.dib + img.GetSize()), {}, img.info.transIndex};
    if (img.alpha) s.alpha.assign(img.alpha, img.alpha + size_t(img.GetWidth()) * img.GetHeight());
    return s;
}

inline void ExpectUnchanged(const ImageSnapshot& before, const CLfImage& img)
{
    const ImageSnapshot after = Snap(img);
    EXPECT_EQ(before.dib, after.dib) << "the encoder changed the caller's pixels or palette";
    EXPECT_EQ(before.alpha, after.alpha);
    EXPECT_EQ(before.transIndex, after.transIndex);
}

}  // namespace lftest
