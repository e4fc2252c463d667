#pragma once
// Small images for the image dialogs' tests.

#include "image/CLfImage.h"

#include <cstdint>
#include <cstring>
#include <functional>

namespace dlgtest {

// A 24-bit image whose pixel at (x, y), rows counted from the top, is colour(x, y).
inline CLfImage MakeImage(int width, int height, const std::function<RGBQUAD(int, int)>& colour)
{
    CLfImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, height - 1 - y, colour(x, y));
    return image;
}

inline RGBQUAD Rgb(int red, int green, int blue)
{
    RGBQUAD c;
    c.rgbRed = static_cast<uint8_t>(red);
    c.rgbGreen = static_cast<uint8_t>(green);
    c.rgbBlue = static_cast<uint8_t>(blue);
    return c;
}

// A colour gradient with something different in every pixel.
inline CLfImage Gradient(int width, int height)
{
    return MakeImage(width, height, [](int x, int y) { return Rgb(x * 7 % 256, y * 11 % 256, (x + y) * 5 % 256); });
}

// The pixel at (x, y), rows counted from the top.
inline RGBQUAD At(const CLfImage& image, int x, int y) { return image.GetPixelColor(x, image.GetHeight() - 1 - y); }

inline bool SamePixels(const CLfImage& a, const CLfImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const RGBQUAD p = At(a, x, y), q = At(b, x, y);
            if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue)
                return false;
        }
    return true;
}

}  // namespace dlgtest
