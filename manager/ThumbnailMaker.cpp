#include "manager/ThumbnailMaker.h"

#include "image/CLfImage.h"
#include "image/ops/LfDrawCompose.h"

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
    ThumbnailPixels out;
    out.width = width;
    out.height = height;
    out.rgb.resize(size_t(width) * size_t(height) * 3);
    const RGBQUAD background{kBackgroundBlue, kBackgroundGreen, kBackgroundRed, 0};
    const LfDrawArea area{0, 0, width, height};
    LfComposeArea(image, 0, 0, width, height, area, LfDrawMode(image), background, out.rgb.data(), nullptr);
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
