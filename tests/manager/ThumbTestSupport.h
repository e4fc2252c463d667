#pragma once
// Picture files and file times for the thumbnail tests.

#include "image/CLfImage.h"
#include "manager/model/ThumbnailPixels.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace lftest {

// A 24-bit picture: a gradient with a coloured left third, so that scaling and
// placement show in the thumbnail.
inline CLfImage GradientPicture(int width, int height)
{
    CLfImage img(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = img.GetBits(uint32_t(y));
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 3;
            row[3 * x] = uint8_t(left ? 20 : 200);                      // blue
            row[3 * x + 1] = uint8_t(y * 255 / std::max(height - 1, 1)); // green
            row[3 * x + 2] = uint8_t(left ? 230 : x * 255 / width);      // red
        }
    }
    return img;
}

inline CLfImage SolidPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    CLfImage img(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = img.GetBits(uint32_t(y));
        for (int x = 0; x < width; ++x) {
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return img;
}

// An 8-bit picture of a few palette colours (GIF needs one).
inline CLfImage PalettePicture(int width, int height)
{
    CLfImage img(width, height, 8);
    for (uint32_t i = 0; i < 256; ++i)
        img.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.SetPixelIndex(x, y, uint8_t((x / 8 + y / 8) * 40));
    return img;
}

inline void SavePicture(CLfImage& img, const std::filesystem::path& path, uint32_t type)
{
    ASSERT_TRUE(img.Save(path.c_str(), type)) << path << ": " << img.GetLastError();
}

// Sets the file's last write to now + offsetSeconds, "now" read once per process: two
// readings can straddle a second, and the cache compares whole seconds.
inline void SetFileTime(const std::filesystem::path& path, int64_t offsetSeconds)
{
    static const time_t now = std::time(nullptr);
    const time_t t = now + time_t(offsetSeconds);
    timespec times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Pixel (x, y) of a thumbnail, counted from the top-left corner, as "r,g,b".
inline std::string PixelAt(const ThumbnailPixels& p, int x, int y)
{
    const uint8_t* q = p.rgb.data() + (size_t(y) * size_t(p.width) + size_t(x)) * 3;
    return std::to_string(q[0]) + "," + std::to_string(q[1]) + "," + std::to_string(q[2]);
}

inline const char* BackgroundText() { return "123,142,148"; }

}  // namespace lftest
