#include "manager/ThumbnailMaker.h"

#include "image/CLfImage.h"

#include <algorithm>
#include <cmath>

namespace thumbs {

namespace {

// Resample mode for thumbnails: area averaging for shrinking true-colour pictures,
// bilinear otherwise.
constexpr int32_t kThumbnailResampleMode = 3;

ThumbnailPixels Background(int width, int height)
{
    ThumbnailPixels p;
    p.width = width;
    p.height = height;
    p.rgb.resize(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        p.rgb[i] = kBackgroundRed;
        p.rgb[i + 1] = kBackgroundGreen;
        p.rgb[i + 2] = kBackgroundBlue;
    }
    return p;
}

bool SameBytes(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

}  // namespace

ThumbnailFit FitThumbnail(int width, int height, int boxWidth, int boxHeight)
{
    ThumbnailFit fit;
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) {
        fit.left = boxWidth / 2;
        fit.top = boxHeight / 2;
        return fit;
    }
    float ratio = std::max(float(width) / float(boxWidth), float(height) / float(boxHeight));
    if (ratio < 1.0f)
        ratio = 1.0f;  // never enlarged
    const double r = ratio;
    fit.width = std::min(int(std::ceil(double(width) / r)), boxWidth);
    fit.height = std::min(int(std::ceil(double(height) / r)), boxHeight);
    fit.left = (boxWidth - fit.width) / 2;
    fit.top = (boxHeight - fit.height) / 2;
    return fit;
}

ThumbnailPixels PixelsOnBackground(const CLfImage& image)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    if (!image.IsValid() || width <= 0 || height <= 0)
        return {};
    ThumbnailPixels out = Background(width, height);
    const bool palette = image.GetNumColors() != 0;
    const bool transparentIndex = image.info.transIndex >= 0;
    const bool blended = transparentIndex || image.alpha || image.info.alphaPalette;
    const RGBQUAD trans = image.GetTransColor();
    const int alphaMax = image.info.alphaMax;
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;  // the DIB keeps the bottom row first
        const uint8_t* bits = image.GetBits(uint32_t(row));
        uint8_t* dst = out.rgb.data() + size_t(y) * size_t(width) * 3;
        for (int x = 0; x < width; ++x, dst += 3) {
            RGBQUAD c;
            if (palette) {
                c = image.GetPaletteColor(image.GetPixelIndex(x, row));
            } else {
                const uint8_t* p = bits + size_t(x) * 3;
                c = RGBQUAD{p[0], p[1], p[2], 0};
            }
            if (!blended) {
                dst[0] = c.rgbRed;
                dst[1] = c.rgbGreen;
                dst[2] = c.rgbBlue;
                continue;
            }
            int a = image.alpha ? image.alpha[size_t(row) * size_t(width) + size_t(x)] : 255;
            a = a * (alphaMax + 1) >> 8;
            if (palette && image.info.alphaPalette)
                a = a * (c.rgbReserved + 1) >> 8;
            if ((transparentIndex && SameBytes(c, trans)) || a == 0)
                continue;
            if (a >= 255) {
                dst[0] = c.rgbRed;
                dst[1] = c.rgbGreen;
                dst[2] = c.rgbBlue;
            } else {
                dst[0] = uint8_t((c.rgbRed * a + dst[0] * (255 - a)) >> 8);
                dst[1] = uint8_t((c.rgbGreen * a + dst[1] * (255 - a)) >> 8);
                dst[2] = uint8_t((c.rgbBlue * a + dst[2] * (255 - a)) >> 8);
            }
        }
    }
    return out;
}

ThumbnailPair MakeThumbnails(CLfImage* image)
{
    ThumbnailPair pair;
    const bool hasPicture = image && image->IsValid() && image->GetWidth() > 0 && image->GetHeight() > 0;
    const ThumbnailFit fit = hasPicture ? FitThumbnail(image->GetWidth(), image->GetHeight()) : FitThumbnail(0, 0);
    ThumbnailPixels framed = Background(kThumbWidth, kThumbHeight);
    if (!hasPicture || !image->Resample(fit.width, fit.height, kThumbnailResampleMode)) {
        pair.fitted = std::make_shared<ThumbnailPixels>();
        pair.framed = std::make_shared<ThumbnailPixels>(std::move(framed));
        return pair;
    }
    auto fitted = std::make_shared<ThumbnailPixels>(PixelsOnBackground(*image));
    const size_t rowBytes = size_t(fitted->width) * 3;
    for (int y = 0; y < fitted->height; ++y)
        std::copy_n(fitted->rgb.data() + size_t(y) * rowBytes, rowBytes,
                    framed.rgb.data() + (size_t(fit.top + y) * kThumbWidth + size_t(fit.left)) * 3);
    pair.fitted = std::move(fitted);
    pair.framed = std::make_shared<ThumbnailPixels>(std::move(framed));
    return pair;
}

}  // namespace thumbs
