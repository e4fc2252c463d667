#pragma once
// Small helpers shared by the image tests: running ImageMagick to make or dump a
// picture, and reading an image's pixels in display order.

#include "image/CLfImage.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lfimgtest {

// Runs a shell command and returns its standard output; ok is false when it failed.
inline std::string RunCommand(const std::string& command, bool* ok = nullptr)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (ok)
            *ok = false;
        return out;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    if (ok)
        *ok = status == 0;
    return out;
}

// The picture of a file as ImageMagick sees it: red, green, blue bytes, top row first.
inline std::vector<uint8_t> MagickRgb(const std::string& file, int* width = nullptr, int* height = nullptr)
{
    bool ok = false;
    if (width && height) {
        const std::string size = RunCommand("identify -format '%w %h' '" + file + "[0]' 2>/dev/null", &ok);
        if (!ok || std::sscanf(size.c_str(), "%d %d", width, height) != 2)
            return {};
    }
    const std::string raw = RunCommand("convert '" + file + "[0]' -depth 8 rgb:- 2>/dev/null", &ok);
    if (!ok)
        return {};
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

// The image's colours in the same layout as MagickRgb.
inline std::vector<uint8_t> ImageRgb(const CLfImage& img)
{
    std::vector<uint8_t> out;
    const int64_t w = img.GetWidth();
    const int64_t h = img.GetHeight();
    out.reserve(size_t(w * h * 3));
    for (int64_t y = h - 1; y >= 0; --y) {
        for (int64_t x = 0; x < w; ++x) {
            const RGBQUAD c = img.GetPixelColor(x, y);
            out.push_back(c.rgbRed);
            out.push_back(c.rgbGreen);
            out.push_back(c.rgbBlue);
        }
    }
    return out;
}

// Index of the first differing byte, or -1 when both are equal.
inline int64_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return int64_t(std::min(a.size(), b.size()));
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return int64_t(i);
    return -1;
}

inline RGBQUAD Bgr(uint8_t b, uint8_t g, uint8_t r)
{
    return RGBQUAD{b, g, r, 0};
}

inline bool SameColor(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

}  // namespace lfimgtest
