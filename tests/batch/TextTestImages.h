#pragma once
// Small images for the graphical-text tests.

#include "image/CLfImage.h"

#include <utility>
#include <vector>

namespace texttest {

inline RGBQUAD Rgb(int r, int g, int b)
{
    RGBQUAD q;
    q.rgbRed = uint8_t(r);
    q.rgbGreen = uint8_t(g);
    q.rgbBlue = uint8_t(b);
    q.rgbReserved = 0;
    return q;
}

// A 24-bit image of one colour.
inline CLfImage Plain(int width, int height, RGBQUAD colour)
{
    CLfImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, colour);
    return image;
}

inline bool Same(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Every point (x, y counted from the bottom) whose colour differs from colour.
inline std::vector<std::pair<int, int>> Changed(const CLfImage& image, RGBQUAD colour)
{
    std::vector<std::pair<int, int>> points;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (!Same(image.GetPixelColor(x, y), colour))
                points.emplace_back(x, y);
    return points;
}

// The points of the rectangle of columns x0..x1 and rows y0..y1 (inclusive), in the
// order Changed lists them.
inline std::vector<std::pair<int, int>> Box(int x0, int x1, int y0, int y1)
{
    std::vector<std::pair<int, int>> points;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            points.emplace_back(x, y);
    return points;
}

}  // namespace texttest
