#include "editor/shell/DisplayCopy.h"

#include "image/CLfImage.h"

#include <algorithm>

DisplaySize BestFitSize(int imageWidth, int imageHeight, int areaWidth, int areaHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return {};
    if (imageWidth <= areaWidth && imageHeight <= areaHeight)
        return {imageWidth, imageHeight};
    // Compare the two scales without rounding: area/image by cross multiplication.
    const int64_t byWidth = int64_t(areaWidth) * imageHeight;
    const int64_t byHeight = int64_t(areaHeight) * imageWidth;
    DisplaySize size;
    if (byWidth <= byHeight) {
        size.width = areaWidth;
        size.height = static_cast<int>(byWidth / imageWidth);
    } else {
        size.height = areaHeight;
        size.width = static_cast<int>(byHeight / imageHeight);
    }
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

std::vector<uint8_t> SampleForDisplay(const CLfImage& image, int width, int height)
{
    std::vector<uint8_t> rgb;
    if (!image.IsValid() || width <= 0 || height <= 0)
        return rgb;
    const int64_t iw = image.GetWidth(), ih = image.GetHeight();
    rgb.resize(size_t(width) * size_t(height) * 3);
    std::vector<int64_t> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<size_t>(x)] = std::min<int64_t>(int64_t(x) * iw / width, iw - 1);
    const bool trueColour = image.GetBpp() == 24;
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        // Rows are stored from the bottom.
        const int64_t sy = std::min<int64_t>(int64_t(y) * ih / height, ih - 1);
        const int64_t row = ih - 1 - sy;
        if (trueColour) {
            const uint8_t* bits = image.GetBits(static_cast<uint32_t>(row));
            for (int x = 0; x < width; ++x, out += 3) {
                const uint8_t* p = bits + columns[static_cast<size_t>(x)] * 3;
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
            }
        } else {
            for (int x = 0; x < width; ++x, out += 3) {
                const RGBQUAD c = image.GetPixelColor(columns[static_cast<size_t>(x)], row);
                out[0] = c.rgbRed;
                out[1] = c.rgbGreen;
                out[2] = c.rgbBlue;
            }
        }
    }
    return rgb;
}
