#include "editor/model/ToolbarFilters.h"

namespace {

template <class Other>
RgbPixels Filter(const RgbPixels& image, const RgbPixels& background, uint32_t key, Other other)
{
    RgbPixels out = image;
    if (!image.Valid())
        return out;
    const uint8_t kr = uint8_t(key >> 16), kg = uint8_t(key >> 8), kb = uint8_t(key);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = &out.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
            if (p[0] == kr && p[1] == kg && p[2] == kb) {
                if (background.Valid()) {
                    const size_t at = (size_t(y % background.height) * size_t(background.width) +
                                       size_t(x % background.width)) * 3;
                    p[0] = background.rgb[at];
                    p[1] = background.rgb[at + 1];
                    p[2] = background.rgb[at + 2];
                }
            } else {
                other(p);
            }
        }
    return out;
}

}  // namespace

RgbPixels PatternFilter(const RgbPixels& image, const RgbPixels& background, uint32_t key)
{
    return Filter(image, background, key, [](uint8_t*) {});
}

RgbPixels GrayFilter(const RgbPixels& image, const RgbPixels& background, uint32_t key)
{
    return Filter(image, background, key, [](uint8_t* p) {
        const auto grey = uint8_t((6 * p[1] + 3 * p[0] + p[2]) / 10);
        p[0] = p[1] = p[2] = grey;
    });
}
