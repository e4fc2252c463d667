#pragma once
// Small images for the colour, filter and histogram tests: built pixel by pixel
// from a function, read back as plain values.

#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace colourtest {

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

}  // namespace colourtest
